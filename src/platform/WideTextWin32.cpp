// Text conversions at the Windows API: UTF-8 and Shift-JIS (code page 932) to and from UTF-16.
#include "platform/WideTextWin32.h"

#include "platform/ShiftJisBytes.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace vexa::win {

namespace {

constexpr UINT kShiftJis = 932;

// Converts bytes the system is expected to read whole; false when it refuses them.
bool AppendDecoded(UINT codePage, DWORD flags, std::string_view bytes, std::wstring& out) {
    if (bytes.empty()) return true;
    const int n =
        MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return false;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n));
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), out.data() + at, n);
    return true;
}

std::size_t CharacterLength(std::string_view bytes, std::size_t i) {
    return sjis::IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
}

// A run of well-formed characters; only when it holds a pair without a character is it taken apart.
void AppendShiftJisRun(std::string_view run, std::wstring& out) {
    if (AppendDecoded(kShiftJis, MB_ERR_INVALID_CHARS, run, out)) return;
    for (std::size_t i = 0; i < run.size();) {
        const std::size_t length = CharacterLength(run, i);
        if (!AppendDecoded(kShiftJis, MB_ERR_INVALID_CHARS, run.substr(i, length), out))
            out.push_back(static_cast<wchar_t>(sjis::kUnassigned));
        i += length;
    }
}

} // namespace

std::wstring WideFromUtf8(std::string_view utf8) {
    std::wstring out;
    AppendDecoded(CP_UTF8, 0, utf8, out);
    return out;
}

std::string Utf8FromWide(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring WideFromShiftJis(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t start = i;
        while (i < bytes.size()) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b < 0x80 || sjis::IsSingleByteKana(b)) {
                ++i;
            } else if (sjis::IsLeadByte(b) && i + 1 < bytes.size() &&
                       sjis::IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
                i += 2;
            } else {
                break;
            }
        }
        AppendShiftJisRun(bytes.substr(start, i - start), out);
        if (i < bytes.size()) {
            out.push_back(static_cast<wchar_t>(sjis::kNotText));
            ++i;
        }
    }
    return out;
}

std::string ShiftJisFromWide(std::wstring_view wide) {
    if (wide.empty()) return {};
    char unmapped[] = "?";
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0, unmapped, &usedDefault);
    if (n > 0 && !usedDefault) {
        std::string out(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                            out.data(), n, unmapped, nullptr);
        return out;
    }
    // One "?" per character the code page lacks, a surrogate pair being one character.
    std::string out;
    for (std::size_t i = 0; i < wide.size();) {
        const std::size_t length =
            IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]) ? 2 : 1;
        char bytes[8];
        BOOL used = FALSE;
        const int k = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data() + i,
                                          static_cast<int>(length), bytes, sizeof bytes, unmapped, &used);
        if (k <= 0 || used)
            out.push_back('?');
        else
            out.append(bytes, static_cast<std::size_t>(k));
        i += length;
    }
    return out;
}

} // namespace vexa::win
