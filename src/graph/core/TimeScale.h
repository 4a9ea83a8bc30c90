// The graph's time scale: the list's items, the choice of one, and the sample-to-pixel mapping.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// x = ((t - tc) * K / N) / S + centre, each division truncating toward zero. Before any choice one
// 40-pixel division is 12 seconds.
struct TimeScale {
    int K = 1;
    int N = 1;
    int S = 300;
    bool operator==(const TimeScale&) const = default;
};

struct TimeScaleItem {
    const char* text; // the list's item (UTF-8)
    int divisor;      // put into the divisor box (S)
    int K;
};

// The sixteen scales in list order; the list's seventeenth item " " matches none of them.
const std::array<TimeScaleItem, 16>& TimeScaleItems();
std::optional<TimeScaleItem> FindTimeScaleItem(std::string_view text);

struct TimeScaleChoice {
    TimeScale scale;         // the scale to draw with
    std::string divisorText; // the divisor box's new text
    std::string error;       // empty, or why the divisor was refused (the scale is then unchanged)
};

// A choice in the list: an item of the table puts its divisor into the box and sets K and N; then the
// box is read as S. A divisor that is not a positive integer is refused and the previous scale kept.
TimeScaleChoice ChooseTimeScale(std::string_view itemText, std::string_view divisorText,
                                const TimeScale& current);

// Pixel x of a sample at time t when the centre sample is at time tc and drawn at centreX. Truncating by N
// and then by S equals truncating once by N * S (both positive), so one division does.
inline std::int64_t PixelX(std::int64_t t, std::int64_t tc, const TimeScale& scale, int centreX) {
    return (t - tc) * scale.K / (std::int64_t(scale.N) * scale.S) + centreX;
}
// Pixel y of a value (2 pixels per count).
inline int PixelY(std::int32_t v, int centreY) {
    return centreY - 2 * v;
}

} // namespace vexa
