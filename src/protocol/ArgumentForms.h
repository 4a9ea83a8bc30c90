// Argument texts of setting commands, built from the texts of the window's controls.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// The control's text without trailing blanks, leading blanks kept ("FX" + ..., "Kw" + ...).
std::string TrimmedTextArgument(std::string_view controlText);

// Signed decimal with at least two digits: 7 -> "07", -7 -> "-07", -125 -> "-125".
// Throws EConvertError when the trimmed text is not an integer.
std::string SignedTwoDigitArgument(std::string_view controlText);

// "00" when the trimmed text is exactly "ON", otherwise "01" (the field shows the logger's state,
// so pressing the button toggles it).
std::string OnOffArgument(std::string_view controlText);

// The value in hundreds with at least two digits: 3500 -> "35", 800 -> "08", 12345 -> "123".
// A negative value gives "-" and the digits of its magnitude (-3500 -> "-35").
// Throws EConvertError when the trimmed text is not an integer.
std::string HundredsArgument(std::string_view controlText);

// The clock argument of "s": the "yyyy/mm/dd hh:mm:ss" text of the last tick, unchanged.
std::string DateTimeArgument(std::string_view nowText);

} // namespace vexa
