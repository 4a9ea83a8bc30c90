// Fuzz target: the work area's and the logger's Shift-JIS bytes shown as text, and typed back.
#include "platform/TextCodec.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QString shown = AnsiToQString(bytes);
    // Every byte shows as something: a character takes at most two bytes, and none is dropped.
    FUZZ_CHECK(size == 0 || !shown.isEmpty());
    FUZZ_CHECK(std::size_t(shown.size()) <= size);
    // What is shown, typed again, reads back as the same text (unless a pair had no character,
    // which typing cannot reproduce).
    if (!shown.contains(QChar(0xFFFD))) {
        FUZZ_CHECK(AnsiToQString(QStringToAnsi(shown)) == shown);
    }
    return 0;
}
