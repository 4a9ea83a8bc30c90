// A graph hand-over of lines read as a data file's, as "グラフ" makes it from the work area.
#pragma once

#include "graph/core/GraphHandover.h"
#include "recording/RecordingFile.h"

#include <memory>
#include <string>
#include <vector>

inline std::optional<vexa::GraphHandover> PrepareHandOver(std::vector<std::string> lines,
                                                          int countsPerG = 10) {
    return vexa::PrepareGraphHandover(
        std::make_shared<const vexa::Recording>(vexa::ReadRecordingLines(std::move(lines))), countsPerG);
}

// The hand-over, or an empty one when the lines do not begin with a start line.
inline vexa::GraphHandover HandOver(std::vector<std::string> lines, int countsPerG = 10) {
    std::optional<vexa::GraphHandover> h = PrepareHandOver(std::move(lines), countsPerG);
    return h ? std::move(*h) : vexa::GraphHandover{};
}
