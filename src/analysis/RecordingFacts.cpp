// Time texts, capture and counts per G of a recording.
#include "analysis/RecordingFacts.h"

#include "analysis/Units.h"

namespace vexa::analysis {

std::string SampleTimeText(const Recording& recording, std::size_t k) {
    const std::string_view line = recording.Line(recording.LineOfSample(k));
    std::string text(line.substr(0, line.find(',')));
    const Sample& s = recording.Samples()[k];
    if (!text.empty() && text[0] == IrregularMark && s.stamp.year >= 1000)
        text[0] = char('0' + s.stamp.year / 1000 % 10);
    return text;
}

bool IsCapture(const Recording& recording) {
    return recording.header.source == RecordingSource::Capture ||
           (recording.LineCount() > 0 && recording.Line(0).starts_with("Start Time="));
}

int CountsPerGOf(const Recording& recording) {
    return CountsPerGOrDefault(recording.header.countsPerG);
}

} // namespace vexa::analysis
