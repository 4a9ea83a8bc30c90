// The work area's file checks' messages for the user, worded the same on every platform.
#include "platform/RegularFileErrors.h"

#include <cstdio>

namespace vexa {

namespace {
std::string Megabytes(std::uintmax_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", double(bytes) / (1024.0 * 1024.0));
    return text;
}
} // namespace

std::runtime_error NotAFileError(const std::string& path, const char* kind, const char* what) {
    return std::runtime_error("\"" + path + "\" is " + kind + ", not a file; " + what);
}

std::runtime_error TooLargeError(const std::string& path, std::uintmax_t size, std::uintmax_t maxBytes,
                                 std::string_view reason) {
    return std::runtime_error("\"" + path + "\" is " + (size > maxBytes ? Megabytes(size) : "growing") + "; " +
                              std::string(reason) + ", so files over " + Megabytes(maxBytes) + " are not loaded");
}

std::runtime_error FileError(const char* action, const std::string& path, const std::string& reason) {
    return std::runtime_error(std::string("Cannot ") + action + " file \"" + path + "\": " + reason);
}

} // namespace vexa
