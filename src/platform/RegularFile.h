// Reading and replacing files of the work area: only regular files, and loads of a bounded size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

// The logger's data files are a few MB (72,000 records or a 360 s capture); anything far beyond that is
// not one of them, and reading it whole would only exhaust the memory.
inline constexpr std::uintmax_t kMaxLoadBytes = 64u * 1024u * 1024u;

// Reads a whole regular file of at most maxBytes. A FIFO, a device, a socket or a directory (also when
// reached through a link) is refused without reading from it, so that neither a FIFO without a writer
// nor an endless device can stall the window. Throws std::runtime_error with a message for the user;
// sizeReason says why the bound is what it is.
std::string ReadRegularFile(const std::string& path, std::uintmax_t maxBytes = kMaxLoadBytes,
                            std::string_view sizeReason = "the logger's data files are a few MB");

// Throws std::runtime_error when path (after following links) exists and is not a regular file, so a
// save never replaces a device, a FIFO or a folder. A path that does not exist yet is fine.
void CheckReplaceableFile(const std::string& path);

} // namespace vexa
