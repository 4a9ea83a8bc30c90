// Shift-JIS to UTF-8 on Windows: code page 932 through the API's UTF-16, as the window decodes it.
#include "platform/ShiftJis.h"

#include "platform/WideTextWin32.h"

#include <algorithm>

namespace vexa {

std::string ShiftJisToUtf8(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(bytes);
    return win::Utf8FromWide(win::WideFromShiftJis(bytes));
}

} // namespace vexa
