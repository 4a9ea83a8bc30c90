// Integer conversions of texts: strict for texts typed into controls, lenient for logger and file values.
#include "protocol/IntegerConversion.h"

#include <climits>
#include <string>

namespace vexa {

namespace {

std::string Message(std::string_view text) {
    std::string message;
    message.reserve(text.size() + 32);
    message.append(1, '\'').append(text).append("' is not a valid integer value");
    return message;
}

} // namespace

EConvertError::EConvertError(std::string_view text)
    : std::runtime_error(Message(text)) {}

namespace {

// Reads blanks, sign and digits from pos; returns the saturated value and leaves pos after the digits.
long long ReadSignedDigits(std::string_view text, std::size_t& pos, bool& anyDigit) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    anyDigit = false;
    while (pos < text.size() && IsDigit(text[pos])) {
        anyDigit = true;
        // Stop growing once past the int range; the callers only need to know it is out of range.
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return negative ? -value : value;
}

} // namespace

int StrictToInt(std::string_view text) {
    std::size_t pos = 0;
    bool anyDigit = false;
    const long long value = ReadSignedDigits(text, pos, anyDigit);
    if (!anyDigit || pos != text.size() || value < INT_MIN || value > INT_MAX)
        throw EConvertError(text);
    return static_cast<int>(value);
}

int LenientToInt(std::string_view text) {
    std::size_t pos = 0;
    bool anyDigit = false;
    const long long value = ReadSignedDigits(text, pos, anyDigit);
    if (value < INT_MIN)
        return INT_MIN;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

std::string_view TrimRight(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

} // namespace vexa
