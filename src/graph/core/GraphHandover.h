// The graph button's hand-over: the work area's lines checked, capped and normalised for the graph window.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// The graph window takes at most this many lines: as many as its per-sample arrays have entries, so a
// full download (72,000 records) or a 360-s capture (72,002 lines) is drawn whole.
inline constexpr int kGraphLineLimit = 72500;
// A handed-over line is cut to this many characters; the parse never reads further.
inline constexpr std::size_t kGraphLineLength = 67;

struct GraphHandover {
    int countsPerG = 10;
    std::vector<std::string> lines; // at most kGraphLineLimit, each at most kGraphLineLength
    int linesLeftOut = 0;           // lines beyond the limit (comment lines not counted), not handed over
};

// Counts per G from the start line: the number four characters after the first "@" at index 4..49, when
// that "@" stands below index 20. A missing, zero or negative number keeps `current`.
int CountsPerGFromHeader(std::string_view header, int current);

// One line as the graph reads it: cut to kGraphLineLength, and a time stamp with a fourth fractional
// digit (comma at index 24) shortened by the character at index 22.
std::string NormaliseGraphLine(std::string_view line);

// The whole hand-over, or nothing when the first line does not begin with "Start". Comment lines
// ("//...", such as the mark before an irregular record) are left out, so the parse reads every sample.
std::optional<GraphHandover> PrepareGraphHandover(const std::vector<std::string>& workArea, int countsPerG);

} // namespace vexa
