// A recording as a data file: read from the file's bytes ("FILE"), written back byte for byte ("保存").
#pragma once

#include "recording/Recording.h"

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Lines split on CR LF, CR or LF and kept as bytes; every data line is read into its sample, the first
// two lines into the header. A marked line has lost its year's first digit: it is taken from the sample
// before (or the start line's year), so that the sample's time stays in its century.
Recording ReadRecording(std::string_view content);
// The same of lines already split (line i of the result is lines[i]).
Recording ReadRecordingLines(const std::vector<std::string>& lines);

} // namespace vexa
