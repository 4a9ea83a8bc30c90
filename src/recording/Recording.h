// A recording: the lines of a download, a 5-ms capture or a data file, kept as the exact bytes they
// stand as, the samples its data lines mean, and what the tool knew when it was made.
#pragma once

#include "protocol/CaptureFormat.h"
#include "protocol/CsvLine.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

enum class RecordingSource {
    None,     // lines that no producer made (replies in the work area)
    Download, // decoded from the logger's record memory
    Capture,  // the 5-ms online capture
    File,     // read from a data file ("FILE")
};

// The column line that follows a download's start line.
enum class ColumnKind {
    None,  // no column line (a capture, or a file without one)
    Named, // "date time,x(G),y(G),z(G),temperature(C)"
    Short, // "Date,Xaxis,Yaxis,Zaxis,Temp", written by the "*" download
};

inline constexpr std::string_view kNamedColumnLine = "date time,x(G),y(G),z(G),temperature(C)";
inline constexpr std::string_view kShortColumnLine = "Date,Xaxis,Yaxis,Zaxis,Temp";

// What the tool knew of the logger when the recording was made; empty where it knew nothing (a file).
struct DeviceFacts {
    std::string firmware; // version text of the model line
    std::string id;       // the logger's ID
    std::string interval; // name of the recording interval
    std::string sampling; // name of the sampling setting
    std::string range;    // the range as the logger names it
    bool operator==(const DeviceFacts&) const = default;
};

struct RecordingHeader {
    RecordingSource source = RecordingSource::None;
    // The start line's text between "Start Year=" or "Start Time=" and " @1G=" (the year of the first
    // record, or a capture's "yyyy/mm/dd hh:mm:ss").
    std::string startText;
    int startYear = 0; // that text's year; 0 when it has none ("20XX" before the logger told it)
    // The count value of 1 G from the start line; nothing when the line carries none (the "V3" and "*"
    // downloads, a file without it).
    std::optional<int> countsPerG;
    ColumnKind columns = ColumnKind::None;
    DeviceFacts device;
    bool operator==(const RecordingHeader&) const = default;
};

class Recording {
  public:
    static constexpr std::uint32_t kNoSample = UINT32_MAX;

    RecordingHeader header;

    // ---- lines, in order, as their bytes stand ----
    std::size_t LineCount() const { return lines_.size(); }
    const std::string& Line(std::size_t i) const { return lines_[i]; }
    const std::vector<std::string>& Lines() const { return lines_; }

    // ---- samples, in line order ----
    const std::vector<Sample>& Samples() const { return samples_; }
    // The sample that line i means, or nullptr for a line that is no data line.
    const Sample* SampleOfLine(std::size_t i) const {
        const std::uint32_t k = sampleOfLine_[i];
        return k == kNoSample ? nullptr : &samples_[k];
    }
    // The line sample k stands on.
    std::size_t LineOfSample(std::size_t k) const { return lineOfSample_[k]; }

    // ---- building ----
    void Reserve(std::size_t lines, std::size_t samples);
    // A line that is no data line (start and column lines, comments, replies, the capture's end).
    void AddLine(std::string line);
    // A data line written from its sample.
    void AddSample(const Sample& sample);
    // A data line as it was read, with what it means.
    void AddSample(const Sample& sample, std::string line);
    // The lines and samples of tail after these. The header is tail's when this one came from no producer.
    void Append(Recording&& tail);
    // No lines, no samples, an empty header.
    void Clear();

  private:
    std::vector<std::string> lines_;
    std::vector<std::uint32_t> sampleOfLine_; // per line: its sample, or kNoSample
    std::vector<Sample> samples_;
    std::vector<std::uint32_t> lineOfSample_; // per sample: its line
};

// ---- the start line ----

// "Start Year=" text, and " @1G=" with the counts when given: the first line of a download.
std::string DownloadStartLine(std::string_view startYearText, std::optional<int> countsPerG);
// "Start Time=" start " @1G=" counts, the first line of a capture: CaptureStartLine of
// protocol/CaptureFormat.h.

// Counts per G from a start line: the number after its "@1G=". Nothing for a line that does not begin
// with "Start", one without that number, or a number below 1 (no divisor of 0 for the graph and the
// statistics).
std::optional<int> CountsPerGOfStartLine(std::string_view line);

// The kind of a column line; None for any other line.
ColumnKind ColumnKindOf(std::string_view line);

// What a recording's first two lines say (the start line, the column line): start text and year, counts
// per G, column kind. Source and device facts stay as they are.
void ReadHeaderLines(std::string_view startLine, std::string_view columnLine, RecordingHeader& header);

} // namespace vexa
