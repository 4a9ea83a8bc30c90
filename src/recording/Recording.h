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
    std::size_t LineCount() const { return lineEnd_.size(); }
    // Line i without its line end; valid until the recording changes.
    std::string_view Line(std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : lineEnd_[i - 1];
        return std::string_view(text_).substr(begin, lineEnd_[i] - begin - kLineEnd.size());
    }
    // Every line followed by CR LF: the bytes of the recording's data file.
    std::string_view FileText() const { return text_; }
    // A copy of every line, for a few lines (a firmware image, a check); the view reads Line(i).
    std::vector<std::string> Lines() const;

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
    // Room for that many lines, samples and bytes of line text.
    void Reserve(std::size_t lines, std::size_t samples, std::size_t textBytes = 0);
    // A line that is no data line (start and column lines, comments, replies, the capture's end).
    void AddLine(std::string_view line) {
        PushLine(line);
        sampleOfLine_.push_back(kNoSample);
    }
    // A data line written from its sample.
    void AddSample(const Sample& sample);
    // A data line as it was read, with what it means. (Inline: a download adds tens of thousands.)
    void AddSample(const Sample& sample, std::string_view line) {
        sampleOfLine_.push_back(std::uint32_t(samples_.size()));
        lineOfSample_.push_back(std::uint32_t(LineCount()));
        PushLine(line);
        samples_.push_back(sample);
    }
    // The lines and samples of tail after these. The header is tail's when this one came from no producer.
    void Append(Recording&& tail);
    // No lines, no samples, an empty header.
    void Clear();

  private:
    static constexpr std::string_view kLineEnd = "\r\n";
    // head's lines and samples before these.
    void Prepend(const Recording& head);
    void PushLine(std::string_view line) {
        text_.append(line).append(kLineEnd);
        lineEnd_.push_back(text_.size());
    }

    // The lines one after another, each followed by CR LF, so that saving writes this text as it stands
    // and tens of thousands of lines cost one block of memory rather than one each.
    std::string text_;
    std::vector<std::size_t> lineEnd_;        // per line: where it ends in text_, its CR LF included
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
