// The samples the analysis reads, used in place: what it needs of a sample is read through these functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vexa::analysis {

// One sample as the analysis sees it: time, the three axes in counts, the temperature.
struct Sample {
    std::int64_t timeMs = 0;
    int x = 0, y = 0, z = 0;
    std::optional<double> temperature; // degrees Celsius; nothing where the line has no reading
};

using Samples = std::span<const Sample>;

inline std::int64_t TimeMs(const Sample& s) {
    return s.timeMs;
}
inline int AxisCounts(const Sample& s, int axis) {
    return axis == 0 ? s.x : axis == 1 ? s.y : s.z;
}
inline std::optional<double> Celsius(const Sample& s) {
    return s.temperature;
}

// x² + y² + z² in counts², exact: the vector magnitude is its square root.
inline std::int64_t SquaredMagnitude(const Sample& s) {
    const std::int64_t x = s.x, y = s.y, z = s.z;
    return x * x + y * y + z * z;
}

} // namespace vexa::analysis
