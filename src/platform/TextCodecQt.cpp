// Shift-JIS through Qt's own converters (ICU on Linux), where Qt can name the encoding.
#include "platform/ShiftJisBytes.h"
#include "platform/ShiftJisConverter.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace vexa::sjis {

QString Decode(std::string_view bytes) {
    QStringDecoder decoder("Shift_JIS", QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    // The converter keeps a lead byte at the end back as the start of a character still to come;
    // here the text is complete, so the byte is shown like any other that starts no character.
    if (EndsInLoneLeadByte(bytes)) text += QChar(kNotText);
    return text;
}

std::string Encode(const QString& text) {
    QStringEncoder encoder("Shift_JIS");
    if (!encoder.isValid()) return text.toLocal8Bit().toStdString();
    const QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError()) return std::string(bytes.constData(), size_t(bytes.size()));
    // The converter's own stand-in for a missing character is the pair 0xFC 0xFC, bytes that are no
    // character either: each such character becomes "?" instead, one by one.
    std::string out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder one("Shift_JIS");
        const QByteArray piece = one.encode(QStringView(text).mid(i, length));
        if (one.hasError())
            out.push_back('?');
        else
            out.append(piece.constData(), size_t(piece.size()));
        i += length;
    }
    return out;
}

} // namespace vexa::sjis
