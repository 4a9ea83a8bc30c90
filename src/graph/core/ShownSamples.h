// The data the graph shows as a recording, for the analysis behind the graph's event list, report and
// statistics: the handed-over recording, which of its lines the graph took, and which samples it draws.
#pragma once

#include "graph/core/GraphHandover.h"
#include "recording/Recording.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vexa {

struct ShownSamples {
    std::shared_ptr<const Recording> recording;
    // Graph line i is recording line lines[i] (ascending: the hand-over keeps the recording's order).
    std::vector<std::uint32_t> lines;
    // The recording's samples on the graph lines the graph draws: [begin, end).
    std::size_t begin = 0, end = 0;

    std::size_t Count() const { return end - begin; }
    // The graph line of the recording's sample k (k in [begin, end)).
    int GraphLineOfSample(std::size_t k) const;
    // The samples of graph lines [fromLine, toLine): a range of the recording's samples inside
    // [begin, end), empty when none of those lines holds one.
    std::pair<std::size_t, std::size_t> SamplesOfLines(int fromLine, int toLine) const;
};

// The samples of the handed-over recording on graph lines firstLine..lastLine (the lines the graph draws).
// Nothing drawn (lastLine < firstLine, or no recording): begin == end.
ShownSamples ShownSamplesOf(const GraphHandover& handed, int firstLine, int lastLine);

} // namespace vexa
