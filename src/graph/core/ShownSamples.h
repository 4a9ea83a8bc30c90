// The data the graph shows as a recording, for the analysis behind the graph's event list, report and
// statistics: the graph's lines read into samples, and which of them the graph draws.
#pragma once

#include "recording/Recording.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace vexa {

struct ShownSamples {
    // Line i of the recording is graph line i.
    std::shared_ptr<const Recording> recording;
    // The recording's samples on lines firstLine..lastLine: [begin, end).
    std::size_t begin = 0, end = 0;

    std::size_t Count() const { return end - begin; }
    // The graph line of the recording's sample k.
    int GraphLineOfSample(std::size_t k) const { return int(recording->LineOfSample(k)); }
    // The samples of graph lines [fromLine, toLine): a range of the recording's samples inside
    // [begin, end), empty when none of those lines holds one.
    std::pair<std::size_t, std::size_t> SamplesOfLines(int fromLine, int toLine) const;
};

// The graph's lines read as a recording (a marked line takes its year's first digit from the line
// before, as a file's does); the graph draws lines firstLine..lastLine. Nothing drawn: begin == end.
ShownSamples ShownSamplesOfLines(const std::vector<std::string>& lines, int firstLine, int lastLine);

} // namespace vexa
