// The graph's lines mapped to the handed-over recording's samples, and back.
#include "graph/core/ShownSamples.h"

#include <algorithm>

namespace vexa {

namespace {

// The first sample on a recording line at or after `line` (the count of samples when there is none).
std::size_t FirstSampleFrom(const Recording& r, std::size_t line) {
    const std::vector<Sample>& samples = r.Samples();
    std::size_t lo = 0, hi = samples.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (r.LineOfSample(mid) < line)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// The recording line of graph line `line`; past the last graph line, the end of the recording.
std::size_t RecordingLineOf(const ShownSamples& s, int line) {
    if (line <= 0) return s.lines.empty() ? s.recording->LineCount() : s.lines.front();
    if (std::size_t(line) >= s.lines.size()) return s.recording->LineCount();
    return s.lines[std::size_t(line)];
}

} // namespace

int ShownSamples::GraphLineOfSample(std::size_t k) const {
    const std::size_t line = recording->LineOfSample(k);
    return int(std::lower_bound(lines.begin(), lines.end(), line) - lines.begin());
}

std::pair<std::size_t, std::size_t> ShownSamples::SamplesOfLines(int fromLine, int toLine) const {
    if (!recording || toLine <= fromLine) return {begin, begin};
    const std::size_t from =
        std::clamp(FirstSampleFrom(*recording, RecordingLineOf(*this, fromLine)), begin, end);
    const std::size_t to = std::clamp(FirstSampleFrom(*recording, RecordingLineOf(*this, toLine)), from, end);
    return {from, to};
}

ShownSamples ShownSamplesOf(const GraphHandover& handed, int firstLine, int lastLine) {
    ShownSamples shown;
    shown.recording = handed.recording ? handed.recording : std::make_shared<const Recording>();
    shown.lines = handed.lines;
    if (lastLine >= firstLine && firstLine >= 0 && std::size_t(firstLine) < shown.lines.size()) {
        shown.begin = FirstSampleFrom(*shown.recording, RecordingLineOf(shown, firstLine));
        shown.end =
            std::max(shown.begin, FirstSampleFrom(*shown.recording, RecordingLineOf(shown, lastLine + 1)));
    }
    return shown;
}

} // namespace vexa
