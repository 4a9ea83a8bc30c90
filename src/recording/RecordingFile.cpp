// A recording as a data file: read from the file's bytes ("FILE"), written back byte for byte ("保存").
#include "recording/RecordingFile.h"

#include <algorithm>

namespace vexa {

namespace {

// Calls take(line) for each line of content, split on CR LF, CR or LF as SplitLines splits it, until take
// answers false.
template <class Take> void EachLine(std::string_view content, Take take) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c != '\r' && c != '\n') continue;
        if (!take(content.substr(start, i - start))) return;
        if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < content.size()) take(content.substr(start));
}

// Builds a file's recording line by line, the first two lines already read into its header.
class FileRecording {
  public:
    FileRecording(std::string_view startLine, std::string_view columnLine) {
        ReadHeaderLines(startLine, columnLine, r_.header);
        r_.header.source = RecordingSource::File;
    }
    Recording& Result() { return r_; }

    void Take(std::string_view line) {
        std::optional<Sample> sample = ParseCsvLine(line);
        if (!sample) {
            r_.AddLine(line);
            return;
        }
        if (sample->irregular && sample->stamp.year < 1000) {
            const int reference = lastYear_ > 0 ? lastYear_ : r_.header.startYear;
            if (reference >= 1000) {
                Stamp stamp = sample->stamp;
                stamp.year += reference / 1000 * 1000;
                sample->SetStamp(stamp);
            }
        }
        lastYear_ = sample->stamp.year;
        r_.AddSample(*sample, line);
    }

  private:
    Recording r_;
    int lastYear_ = 0;
};

} // namespace

Recording ReadRecording(std::string_view content) {
    std::string_view first, second;
    std::size_t lines = 0;
    EachLine(content, [&](std::string_view line) {
        (lines == 0 ? first : second) = line;
        return ++lines < 2;
    });
    FileRecording file(first, second);
    // Room for a line per line end at once (lines ended by CR LF, LF or CR alone); mixed ends only grow
    // the tables as they fill.
    const auto ends = std::size_t(std::max(std::count(content.begin(), content.end(), '\n'),
                                           std::count(content.begin(), content.end(), '\r'))) +
                      1;
    file.Result().Reserve(ends, ends, content.size());
    EachLine(content, [&](std::string_view line) {
        file.Take(line);
        return true;
    });
    return std::move(file.Result());
}

Recording ReadRecordingLines(const std::vector<std::string>& lines) {
    FileRecording file(lines.empty() ? std::string_view() : lines[0],
                       lines.size() < 2 ? std::string_view() : lines[1]);
    file.Result().Reserve(lines.size(), lines.size());
    for (const std::string& line : lines)
        file.Take(line);
    return std::move(file.Result());
}

} // namespace vexa
