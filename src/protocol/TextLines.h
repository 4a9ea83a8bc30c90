// Text files of the work area: lines as bytes, split on CR LF, CR or LF, written with CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Splits file content into lines. CR LF, CR and LF each end a line; a final line end does not start
// another line, so "a\r\nb\r\n" and "a\r\nb" both give two lines. Bytes are kept as they are.
std::vector<std::string> SplitLines(std::string_view content);

// Joins lines with CR LF after every line, the last one included; no lines give an empty text.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// ".csv" is appended when the file name itself (after the last "/") holds no dot.
std::string WithCsvExtension(std::string_view path);

} // namespace vexa
