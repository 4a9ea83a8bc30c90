// The Shift-JIS table every platform's converter must pass, both ways: Qt's on Linux, code page 932 on
// Windows (through TextCodec, and below it the Windows API conversion on its own).
#pragma once

#include "protocol/RecordDecoder.h"

#include <string>

namespace vexa::test {

enum class Way { Both, DecodeOnly, EncodeOnly };

struct Case {
    const char* name;
    std::string bytes;
    const char* text; // UTF-8
    Way way;
};

inline const Case kShiftJisCases[] = {
    {"ascii", "Start Year=2024", "Start Year=2024", Way::Both},
    {"katakana", "\x83\x65\x83\x58\x83\x67", "テスト", Way::Both},
    {"kanji after ascii", "ID\x8f\x49\x97\xb9:", "ID終了:", Way::Both},
    {"half-width kana", "\xbd\xc3\xb0\xc0\xbd", "ｽﾃｰﾀｽ", Way::Both},
    {"irregular-record comment", std::string(vexa::IrregularRecordComment), "//↓Irregular Record //",
     Way::Both},
    // Where Shift-JIS tables differ, the files follow Windows' code page 932.
    {"code page 932 tilde", "\x81\x60", "～", Way::Both},
    {"circled digit", "\x87\x40", "①", Way::Both},
    // Two codes for one kanji: either reads, and typing it gives the IBM one, as Windows does.
    {"extension kanji, NEC code", "\xed\x40", "纊", Way::DecodeOnly},
    {"extension kanji, IBM code", "\xfa\x5c", "纊", Way::Both},
    // Bytes that are no text are shown, never dropped: the mark keeps its place before the digits.
    {"mark before a record",
     "\x81"
     "024/01/02",
     "\x1a"
     "024/01/02",
     Way::DecodeOnly},
    {"mark before a line end", "\x81\r\n", "\x1a\r\n", Way::DecodeOnly},
    {"mark at the end", "12\x81", "12\x1a", Way::DecodeOnly},
    {"bytes outside the code page",
     "a\x80"
     "b\xa0"
     "c\xfd",
     "a\x1a"
     "b\x1a"
     "c\x1a",
     Way::DecodeOnly},
    {"pair without a character", "\x85\x40!", "\xef\xbf\xbd!", Way::DecodeOnly},
    // Typed characters Shift-JIS cannot hold are sent and saved as "?", not as look-alikes.
    {"accented letter", "caf?", "café", Way::EncodeOnly},
    {"yen sign", "?100", "¥100", Way::EncodeOnly},
    {"wave dash", "1?2", "1〜2", Way::EncodeOnly},
    {"outside the basic plane", "a?b", "a😀b", Way::EncodeOnly},
    {"replacement character", "?", "\xef\xbf\xbd", Way::EncodeOnly},
};

} // namespace vexa::test
