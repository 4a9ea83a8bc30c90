// Integer conversions of texts: strict for texts typed into controls, lenient for logger and file values.
#pragma once

#include <stdexcept>
#include <string_view>

namespace vexa {

// Raised when a control's text is not an integer; the application's top-level handler shows the message.
class EConvertError : public std::runtime_error {
  public:
    explicit EConvertError(std::string_view text);
};

// Leading blanks, an optional sign, then one or more decimal digits and nothing else.
// Anything else, or a value outside the int range, throws EConvertError.
int StrictToInt(std::string_view text);

// atol-style: leading blanks, an optional sign, digits up to the first non-digit; 0 if there are none.
// A value beyond the int range saturates instead of overflowing.
int LenientToInt(std::string_view text);

// A decimal digit, '0' to '9' (no locale, no other scripts' digits).
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True for the characters that count as blanks around a control's text (space and control characters).
constexpr bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// The text without trailing blanks.
std::string_view TrimRight(std::string_view text);

} // namespace vexa
