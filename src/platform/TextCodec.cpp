// The one place where bytes in the system's ANSI code page (Shift-JIS) meet Qt's Unicode strings.
#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}
} // namespace

QString AnsiToQString(std::string_view bytes) {
    if (IsAscii(bytes)) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    QStringDecoder decoder("Shift_JIS");
    if (!decoder.isValid()) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

std::string QStringToAnsi(const QString& text) {
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return text.toLatin1().toStdString();
    QStringEncoder encoder("Shift_JIS");
    if (!encoder.isValid()) return text.toLocal8Bit().toStdString();
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), size_t(bytes.size()));
}

std::string Utf8ToAnsi(std::string_view utf8) {
    return QStringToAnsi(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}
