// A recording as a data file: read from the file's bytes ("FILE"), written back byte for byte ("保存").
#include "recording/RecordingFile.h"

#include "protocol/TextLines.h"

namespace vexa {

Recording ReadRecording(std::string_view content) {
    return ReadRecordingLines(SplitLines(content));
}

Recording ReadRecordingLines(std::vector<std::string> lines) {
    Recording r;
    ReadHeaderLines(lines.empty() ? std::string_view() : lines[0],
                    lines.size() < 2 ? std::string_view() : lines[1], r.header);
    r.header.source = RecordingSource::File;
    r.Reserve(lines.size(), lines.size());
    int lastYear = 0;
    for (std::string& line : lines) {
        std::optional<Sample> sample = ParseCsvLine(line);
        if (!sample) {
            r.AddLine(std::move(line));
            continue;
        }
        if (sample->irregular && sample->stamp.year < 1000) {
            const int reference = lastYear > 0 ? lastYear : r.header.startYear;
            if (reference >= 1000) {
                Stamp stamp = sample->stamp;
                stamp.year += reference / 1000 * 1000;
                sample->SetStamp(stamp);
            }
        }
        lastYear = sample->stamp.year;
        r.AddSample(*sample, std::move(line));
    }
    return r;
}

std::string RecordingFileContent(const Recording& recording) {
    return JoinLinesCrLf(recording.Lines());
}

} // namespace vexa
