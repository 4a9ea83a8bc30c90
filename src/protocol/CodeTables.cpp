// Code tables shared by the replies and the commands: recording interval, sampling setting and range.
#include "protocol/CodeTables.h"

#include "protocol/IntegerConversion.h"

#include <array>

namespace vexa {

namespace {

constexpr std::array<std::string_view, IntervalCount> IntervalNames = {
    "1min", "2min", "3min", "4min", "5min", "10min", "15min", "20min",
    "30min", "1sec", "5sec", "10sec", "15sec", "20sec", "30sec"};

struct SamplingEntry {
    char code;
    std::string_view text;
    int extraDigitMode;
};

constexpr std::array<SamplingEntry, 16> SamplingTable = {{
    {'0', "0.5秒", 0},       {'1', "0.16秒", 0},     {'2', "8Hz", 0},    {'3', "16Hz", 0},
    {'4', "Trace(32Hz)", 0}, {'5', "Real(32Hz)", 0}, {'6', "20msec", 0}, {'7', "10msec", 0},
    {'8', "20mTRC", 0},      {'9', "10mTRC", 0},     {'A', "5msec", 1},  {'B', "2msec", 1},
    {'C', "1msec", 1},       {'D', "5mTRC", 1},      {'E', "2mTRC", 1},  {'F', "1mTRC", 1},
}};

constexpr std::string_view UnknownSamplingText = "Real(16Hz)";

} // namespace

std::string IntervalNameAt(int index) {
    if (index < 0 || index >= IntervalCount)
        return "???";
    return std::string(IntervalNames[static_cast<std::size_t>(index)]);
}

std::optional<int> IntervalIndexOfCode(char code) {
    const auto pos = IntervalCodes.find(code);
    if (pos == std::string_view::npos)
        return std::nullopt;
    return static_cast<int>(pos);
}

std::optional<char> IntervalCodeOfName(std::string_view name) {
    for (std::size_t i = 0; i < IntervalNames.size(); ++i)
        if (IntervalNames[i] == name)
            return IntervalCodes[i];
    return std::nullopt;
}

std::vector<std::string_view> IntervalChoices() {
    std::vector<std::string_view> choices(IntervalNames.begin() + 9, IntervalNames.end());
    choices.insert(choices.end(), IntervalNames.begin(), IntervalNames.begin() + 9);
    return choices;
}

int NextIntervalIndex(int index) {
    const int next = index + 1;
    if (next == 9 || next < 0 || next >= IntervalCount)
        return 0;
    return next;
}

SamplingSetting SamplingOfCode(char code) {
    for (const auto& entry : SamplingTable)
        if (entry.code == code)
            return {std::string(entry.text), entry.extraDigitMode};
    return {std::string(UnknownSamplingText), 0};
}

std::vector<std::string_view> SamplingChoices() {
    std::vector<std::string_view> choices;
    for (char code : std::string_view("FED98CBA76"))
        for (const auto& entry : SamplingTable)
            if (entry.code == code)
                choices.push_back(entry.text);
    return choices;
}

char SamplingCodeOfName(std::string_view name) {
    // "0.5秒" and "0.16秒" fall to '0' like any other text, as the command set defines.
    for (const auto& entry : SamplingTable)
        if (entry.code > '1' && entry.text == name)
            return entry.code;
    return '0';
}

std::optional<RangeSetting> RangeOfCodes(char first, char second) {
    switch (first) {
    case '0':
        switch (second) {
        case '0':
            return RangeSetting{1, "00"};
        case '1':
            return RangeSetting{100, "01"};
        case '2':
            return RangeSetting{50, "02"};
        default:
            return std::nullopt;
        }
    case '1':
        return RangeSetting{10, "10"};
    case '2':
        return RangeSetting{5, "20"};
    case '5':
        return RangeSetting{2, "50"};
    default:
        return RangeSetting{10, "10"};
    }
}

int CountsPerGOfRangeText(std::string_view text) {
    switch (StrictToInt(TrimRight(text))) {
    case 0:
        return 1;
    case 1:
        return 100;
    case 2:
        return 50;
    case 10:
        return 10;
    case 20:
        return 5;
    case 50:
        return 2;
    default:
        return 10;
    }
}

} // namespace vexa
