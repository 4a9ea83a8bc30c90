// Argument texts of setting commands, built from the texts of the window's controls.
#include "protocol/ArgumentForms.h"

#include "protocol/IntegerConversion.h"

namespace vexa {

namespace {

// "-" for a negative value, then the magnitude with at least two digits.
std::string SignedAtLeastTwoDigits(long long value) {
    std::string out;
    if (value < 0) {
        out = "-";
        value = -value;
    }
    const std::string digits = std::to_string(value);
    if (digits.size() < 2)
        out += '0';
    return out + digits;
}

} // namespace

std::string TrimmedTextArgument(std::string_view controlText) { return std::string(TrimRight(controlText)); }

std::string SignedTwoDigitArgument(std::string_view controlText) {
    return SignedAtLeastTwoDigits(StrictToInt(TrimRight(controlText)));
}

std::string OnOffArgument(std::string_view controlText) {
    return TrimRight(controlText) == "ON" ? "00" : "01";
}

std::string HundredsArgument(std::string_view controlText) {
    // Truncating division; the sign is written once in front rather than before each digit group.
    return SignedAtLeastTwoDigits(StrictToInt(TrimRight(controlText)) / 100);
}

std::string DateTimeArgument(std::string_view nowText) { return std::string(nowText); }

} // namespace vexa
