// The samples the analysis reads: a recording's samples, used in place; what it needs of one is read
// through these functions.
#pragma once

#include "protocol/CsvLine.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vexa::analysis {

using Sample = vexa::Sample;
using Samples = std::span<const Sample>;

inline std::int64_t TimeMs(const Sample& s) {
    return s.timeMs;
}
inline int AxisCounts(const Sample& s, int axis) {
    return axis == 0 ? s.x : axis == 1 ? s.y : s.z;
}
// Degrees Celsius; nothing where the line has no reading (a capture's blank field).
inline std::optional<double> Celsius(const Sample& s) {
    const std::optional<int> tenths = s.temperature.Tenths();
    return tenths ? std::optional<double>(*tenths / 10.0) : std::nullopt;
}

// x² + y² + z² in counts², exact: the vector magnitude is its square root.
inline std::int64_t SquaredMagnitude(const Sample& s) {
    const std::int64_t x = s.x, y = s.y, z = s.z;
    return x * x + y * y + z * z;
}

} // namespace vexa::analysis
