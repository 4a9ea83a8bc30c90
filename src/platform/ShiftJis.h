// Shift-JIS text (the logger's and the files' code page) as UTF-8, for output that must be UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Decodes Shift-JIS (Windows code page 932) into UTF-8. ASCII passes unchanged; a byte that starts no
// character becomes a substitute (U+FFFD here, U+001A on Windows as the window shows it there), so the
// result is always valid UTF-8 and the rest of the text is still read.
std::string ShiftJisToUtf8(std::string_view bytes);

} // namespace vexa
