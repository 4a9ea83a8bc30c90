// The graph button's hand-over: the work area's recording, checked and capped, for the graph window.
#pragma once

#include "recording/Recording.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace vexa {

// The graph window takes at most this many lines: as many as its per-sample arrays have entries, so a
// full download (72,000 records) or a 360-s capture (72,002 lines) is drawn whole.
inline constexpr int kGraphLineLimit = 72500;

// What the graph window draws: a recording and the lines of it the graph takes, in order. Graph line i is
// recording line lines[i]; the graph's samples come from the recording's samples, never from the text.
struct GraphHandover {
    int countsPerG = 10;
    std::shared_ptr<const Recording> recording;
    std::vector<std::uint32_t> lines; // at most kGraphLineLimit
    int linesLeftOut = 0;             // lines beyond the limit (comment lines not counted), not handed over
    std::size_t LineCount() const { return lines.size(); }
};

// Counts per G from the start line: the number four characters after the first "@" at index 4..49, when
// that "@" stands below index 20. A missing, zero or negative number keeps `current`.
int CountsPerGFromHeader(std::string_view header, int current);

// The whole hand-over, or nothing when the first line does not begin with "Start". Comment lines
// ("//...", such as the mark before an irregular record) are left out, so the graph reads every sample.
std::optional<GraphHandover> PrepareGraphHandover(std::shared_ptr<const Recording> recording, int countsPerG);

} // namespace vexa
