// The operating system's message for an error number on POSIX systems (strerror's texts).
#include "serial/ErrorText.h"

#include <cstring>

namespace vexa::serial {

std::string SystemErrorText(int number) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
    // strerrordesc_np tells unknown numbers apart (nullptr) instead of inventing "Unknown error N".
    const char* text = strerrordesc_np(number);
    if (text == nullptr) return {};
    std::string message = text;
#else
    char buffer[256] = {};
    const int rc = strerror_r(number, buffer, sizeof buffer); // XSI variant
    if (rc != 0 || std::strncmp(buffer, "Unknown error", 13) == 0) return {};
    std::string message = buffer;
#endif
    return message + "\r\n";
}

} // namespace vexa::serial
