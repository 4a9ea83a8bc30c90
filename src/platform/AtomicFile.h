// Writing a whole file so that readers see the old file or the complete new one, never a part.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Writes content to a temporary file beside path and renames it over path. A file that existed stays
// as it was when anything fails (full disk, no permission), and the temporary file is removed. Only a
// regular file, or a name with nothing behind it yet, is replaced; a link is followed to its file.
// Throws std::runtime_error with one line naming the file and the cause.
void WriteFileAtomically(const std::string& path, std::string_view content);

// Checks beforehand, without writing anything, that WriteFileAtomically could put a file at path: the
// folder exists and may be written, and nothing but a regular file stands at path. Throws as it does.
void CheckWritableFile(const std::string& path);

} // namespace vexa
