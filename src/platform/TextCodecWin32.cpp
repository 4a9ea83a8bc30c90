// Shift-JIS on Windows through code page 932: Qt without ICU cannot name Shift_JIS there.
#include "platform/ShiftJisConverter.h"
#include "platform/WideTextWin32.h"

namespace vexa::sjis {

QString Decode(std::string_view bytes) {
    return QString::fromStdWString(win::WideFromShiftJis(bytes));
}

std::string Encode(const QString& text) {
    return win::ShiftJisFromWide(text.toStdWString());
}

} // namespace vexa::sjis
