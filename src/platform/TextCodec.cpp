// The one place where bytes in the system's ANSI code page (Shift-JIS) meet Qt's Unicode strings.
#include "platform/TextCodec.h"

#include "platform/ShiftJisConverter.h"

namespace {
bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}
} // namespace

QString AnsiToQString(std::string_view bytes) {
    if (IsAscii(bytes)) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    return vexa::sjis::Decode(bytes);
}

std::string QStringToAnsi(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return vexa::sjis::Encode(text);
    return text.toLatin1().toStdString();
}

std::string Utf8ToAnsi(std::string_view utf8) {
    return QStringToAnsi(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}
