// The work area's file checks' messages for the user, worded the same on every platform.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vexa {

// kind: "a folder", "a character device", ...; what: what is refused, e.g. "only files can be loaded".
std::runtime_error NotAFileError(const std::string& path, const char* kind, const char* what);
// size beyond maxBytes, or a file that grew past it while being read (size <= maxBytes); reason: why the
// bound is what it is.
std::runtime_error TooLargeError(const std::string& path, std::uintmax_t size, std::uintmax_t maxBytes,
                                 std::string_view reason);
// action: "open" or "read"; reason: the system's text.
std::runtime_error FileError(const char* action, const std::string& path, const std::string& reason);

} // namespace vexa
