// The operating system's message for an error number on Windows (the system's message table).
#include "serial/ErrorText.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <iterator>

namespace vexa::serial {

std::string SystemErrorText(int number) {
    // Asked in UTF-16 and handed on as UTF-8, the layer's narrow encoding on every platform; the
    // component truncates the cleaned text to 255 characters.
    wchar_t buffer[512] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(number), 0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    if (length == 0) return {};
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string message(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), message.data(), bytes, nullptr,
                        nullptr);
    return message;
}

} // namespace vexa::serial
