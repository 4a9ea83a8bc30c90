// Text conversions at the Windows API: UTF-8 (the program's narrow text) and Shift-JIS (code page 932,
// the logger's and the work area's bytes) to and from the API's UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace vexa::win {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// Shift-JIS -> UTF-16. A byte that starts no character (the irregular-record mark 0x81 before a
// digit, a lead byte at the end, 0x80, 0xA0, 0xFD-0xFF) becomes U+001A and the next byte is read
// afresh; a well-formed pair the code page assigns nothing to becomes U+FFFD. Bytes below 0x80 are
// ASCII. This is how Qt's converters on Linux show the same bytes.
std::wstring WideFromShiftJis(std::string_view bytes);
// UTF-16 -> Shift-JIS. Each character code page 932 cannot hold (a surrogate pair counts as one)
// becomes "?": no best-fit look-alikes, so what is sent or saved is what was typed or a visible "?".
std::string ShiftJisFromWide(std::wstring_view wide);

} // namespace vexa::win
