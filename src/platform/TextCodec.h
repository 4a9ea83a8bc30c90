// The one place where bytes in the system's ANSI code page (Shift-JIS) meet Qt's Unicode strings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

// Bytes as stored in the work area or sent on the wire -> text to show. Invalid sequences (such as
// the irregular-record mark 0x81 standing alone) are shown as a replacement character; the bytes
// themselves are never changed by showing them.
QString AnsiToQString(std::string_view bytes);
// Text a person typed -> Shift-JIS bytes. Characters Shift-JIS cannot hold become "?".
std::string QStringToAnsi(const QString& text);
// UTF-8 literals of the program's own texts (captions, messages) -> Shift-JIS bytes.
std::string Utf8ToAnsi(std::string_view utf8);
