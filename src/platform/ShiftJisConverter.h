// The platform's Shift-JIS converter behind TextCodec: Qt's own on Linux, code page 932 on Windows.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vexa::sjis {

// Bytes -> text, as WideFromShiftJis describes: U+001A for a byte that starts no character (a lead
// byte at the end included), U+FFFD for a pair without a character.
QString Decode(std::string_view bytes);
// Text -> bytes; each character Shift-JIS cannot hold becomes "?".
std::string Encode(const QString& text);

} // namespace vexa::sjis
