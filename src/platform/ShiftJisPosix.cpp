// Shift-JIS to UTF-8 through the C library's iconv (code page 932).
#include "platform/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace vexa {

namespace {
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}
} // namespace

std::string ShiftJisToUtf8(std::string_view bytes) {
    if (IsAscii(bytes)) return std::string(bytes);
    const iconv_t cd = ::iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter on this system: ASCII stays, every other byte is marked as unreadable.
        std::string out;
        for (char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80)
                out.push_back(c);
            else
                out.append(kReplacement);
        }
        return out;
    }
    std::string out;
    std::string input(bytes);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, std::size_t(outPtr - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // EILSEQ or EINVAL (a lead byte at the end): this byte is not text; go on after it.
            out.append(kReplacement);
            ++in;
            --inLeft;
        }
    }
    ::iconv_close(cd);
    return out;
}

} // namespace vexa
