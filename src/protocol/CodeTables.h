// Code tables shared by the replies and the commands: recording interval, sampling setting and range.
// Display texts are UTF-8; wire codes are ASCII.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Recording-interval code letters; the position of a letter is its interval index.
inline constexpr std::string_view IntervalCodes = "ABCDEJOT^abcdef";
inline constexpr int IntervalCount = 15;

// Name of the interval with this index ("1min" .. "30sec"), "???" outside 0..14.
std::string IntervalNameAt(int index);

// Index of an interval code letter; nothing for a letter that is not an interval code.
std::optional<int> IntervalIndexOfCode(char code);

// Code letter of an interval name as it stands in the interval box; nothing for an unknown name.
std::optional<char> IntervalCodeOfName(std::string_view name);

// The interval list as the window offers it: the seconds intervals first, then the minutes.
std::vector<std::string_view> IntervalChoices();

// The index after this one when stepping through the nine minute intervals: 0..7 -> next, 8 -> 0.
// From the seconds intervals it steps on (9..13 -> next) and wraps from 14 to 0 so that a code exists.
int NextIntervalIndex(int index);

// Sampling setting reported by "@I": the text for the sampling box and whether records carry a
// thousandths digit (1 for the millisecond settings A..F).
struct SamplingSetting {
    std::string text;
    int extraDigitMode = 0;
    bool operator==(const SamplingSetting&) const = default;
};

SamplingSetting SamplingOfCode(char code);
// The sampling list as the window offers it: the trace settings, then the millisecond ones.
std::vector<std::string_view> SamplingChoices();

// Code sent with "i" for a sampling name; any text that is not a known name gives '0'.
char SamplingCodeOfName(std::string_view name);

// Counts per G and the range box text.
struct RangeSetting {
    int countsPerG = 10;
    std::string rangeText;
    bool operator==(const RangeSetting&) const = default;
};

// Range from the two characters of "@T" (at v + 3 and v + 4); nothing when the setting stays unchanged
// ("0" followed by a character other than "0", "1", "2").
std::optional<RangeSetting> RangeOfCodes(char first, char second);

// Counts per G for a range box text applied locally: 0 -> 1, 1 -> 100, 2 -> 50, 10 -> 10, 20 -> 5,
// 50 -> 2, any other number -> 10. Throws EConvertError when the text is not an integer.
int CountsPerGOfRangeText(std::string_view text);

} // namespace vexa
