// The graph window's per-sample arrays, filled from the samples of the handed-over recording.
#pragma once

#include "graph/core/GraphHandover.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Entries of each per-sample array; sample i comes from line i.
inline constexpr int kGraphEntries = 72500;
// The first sample's index (the scroll bar's minimum): lines 0..2 and the last three are never parsed.
inline constexpr int kFirstSample = 3;
// A value field holds at most this many characters; the rest of a longer field is dropped.
inline constexpr std::size_t kGraphFieldLength = 7;

// "MM/DD hh:mm:ss.fff" of a sample, kept inline (18 characters) so a parse allocates nothing per line.
struct TimeLabel {
    std::array<char, 18> text{};
    std::uint8_t length = 0;
    std::string_view View() const { return {text.data(), length}; }
};

struct GraphData {
    GraphData();
    // Milliseconds since the first day's midnight; 64-bit, so weeks of day offsets never wrap.
    std::vector<std::int64_t> timeMs;
    std::vector<std::int32_t> x, y, z, temperature, extra;
    std::vector<TimeLabel> labels;
};

struct GraphParseResult {
    int endIndex = kFirstSample; // one past the last parsed sample
    int reversals = 0;           // samples earlier than the one before
    std::string firstText;       // "MM/DD hh:mm:ss" of the first sample
    std::string lastText;        // the same of the last parsed sample
    std::string error;           // empty, or why the parse stopped (names the line)

    bool HasSamples() const { return endIndex > kFirstSample; }
    int LastSample() const { return endIndex - 1; }
    // Scroll position after a parse: the middle of the lines, inside the samples.
    int MiddleSample() const;
};

// Fills data from the samples of graph lines kFirstSample .. LineCount()-4 (the first three and the last
// three lines are never read). X, Y, Z and times are cleared over all entries first; temperature, extra
// field and labels are overwritten only where a sample is read. A line there that is no data line (a
// time stamp or a value that is not a number) stops at that line; the result covers the samples before.
GraphParseResult FillGraphData(const GraphHandover& handover, GraphData& data);

// Leading blanks, an optional sign, then digits and nothing else; nothing for any other text.
std::optional<int> StrictInteger(std::string_view text);

} // namespace vexa
