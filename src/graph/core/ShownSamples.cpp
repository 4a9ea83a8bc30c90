// The graph's lines as a recording, and the graph's lines mapped to its samples.
#include "graph/core/ShownSamples.h"

#include "recording/RecordingFile.h"

#include <algorithm>

namespace vexa {

namespace {

// The first sample on a line at or after `line` (the count of samples when there is none).
std::size_t FirstSampleFrom(const Recording& r, int line) {
    const std::vector<Sample>& samples = r.Samples();
    std::size_t lo = 0, hi = samples.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (int(r.LineOfSample(mid)) < line)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

} // namespace

std::pair<std::size_t, std::size_t> ShownSamples::SamplesOfLines(int fromLine, int toLine) const {
    if (!recording || toLine <= fromLine) return {begin, begin};
    const std::size_t from = std::clamp(FirstSampleFrom(*recording, fromLine), begin, end);
    const std::size_t to = std::clamp(FirstSampleFrom(*recording, toLine), from, end);
    return {from, to};
}

ShownSamples ShownSamplesOfLines(const std::vector<std::string>& lines, int firstLine, int lastLine) {
    ShownSamples shown;
    auto recording = std::make_shared<Recording>(ReadRecordingLines(lines));
    // The graph knows its lines, not whether a download, a capture or a file made them.
    recording->header.source = RecordingSource::None;
    shown.recording = recording;
    if (lastLine >= firstLine) {
        shown.begin = FirstSampleFrom(*recording, firstLine);
        shown.end = std::max(shown.begin, FirstSampleFrom(*recording, lastLine + 1));
    }
    return shown;
}

} // namespace vexa
