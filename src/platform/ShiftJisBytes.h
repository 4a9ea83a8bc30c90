// How Shift-JIS (code page 932) bytes group into characters, shared by the converters of every platform.
#pragma once

#include <cstddef>
#include <string_view>

namespace vexa::sjis {

// First byte of a two-byte character.
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
// Second byte of a two-byte character.
constexpr bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
// Half-width katakana and punctuation: one byte each.
constexpr bool IsSingleByteKana(unsigned char b) {
    return b >= 0xA1 && b <= 0xDF;
}

// Shown for a byte that starts no character (the converters' substitute character).
inline constexpr char16_t kNotText = 0x001A;
// Shown for a well-formed pair that the code page assigns nothing to.
inline constexpr char16_t kUnassigned = 0xFFFD;

// True when the last byte is a lead byte whose trail byte is missing (a text cut in the middle of a
// character, or a line ending in the irregular-record mark).
constexpr bool EndsInLoneLeadByte(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (!IsLeadByte(b)) {
            ++i;
        } else if (i + 1 == bytes.size()) {
            return true;
        } else {
            i += IsTrailByte(static_cast<unsigned char>(bytes[i + 1])) ? 2 : 1;
        }
    }
    return false;
}

} // namespace vexa::sjis
