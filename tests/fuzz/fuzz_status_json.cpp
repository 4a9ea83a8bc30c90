// Fuzz target: a reply line from the logger as `vexa status --json` reports it (the texts the window
// would show, decoded from Shift-JIS, written as JSON strings) must always be valid JSON in UTF-8.
#include "cli/JsonWriter.h"
#include "platform/ShiftJis.h"
#include "protocol/ShownTexts.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// True when text is UTF-8 without overlong forms, surrogates or code points beyond U+10FFFF.
bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = b < 0x80                 ? 1
                        : b >= 0xC2 && b <= 0xDF ? 2
                        : b >= 0xE0 && b <= 0xEF ? 3
                        : b >= 0xF0 && b <= 0xF4 ? 4
                                                 : 0;
        if (n == 0 || i + n > s.size()) return false;
        std::uint32_t cp = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
        for (std::size_t k = 1; k < n; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

void CheckJsonString(const std::string& json) {
    FUZZ_CHECK(json.size() >= 2 && json.front() == '"' && json.back() == '"');
    FUZZ_CHECK(ValidUtf8(json));
    // Inside the quotes: no raw control character, and every quote or backslash escaped.
    for (std::size_t i = 1; i + 1 < json.size(); ++i) {
        const auto c = static_cast<unsigned char>(json[i]);
        FUZZ_CHECK(c >= 0x20);
        if (c == '\\') {
            FUZZ_CHECK(i + 2 < json.size());
            ++i;
        } else {
            FUZZ_CHECK(c != '"');
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    for (const vexa::ShownText& shown : vexa::ShownTexts(vexa::ParseStatusReply(line))) {
        const std::string text = shown.wire ? vexa::ShiftJisToUtf8(shown.text) : shown.text;
        FUZZ_CHECK(ValidUtf8(text));
        CheckJsonString(vexa::cli::JsonString(text));
    }
    if (const auto model = vexa::ParseModelLine(line))
        for (const vexa::ShownText& shown : vexa::ShownTexts(*model))
            CheckJsonString(vexa::cli::JsonString(vexa::ShiftJisToUtf8(shown.text)));
    // Bytes straight from the wire, as a file name or a message might carry them.
    CheckJsonString(vexa::cli::JsonString(line));
    return 0;
}
