// A recording: the lines of a download, a 5-ms capture or a data file, kept as the exact bytes they
// stand as, the samples its data lines mean, and what the tool knew when it was made.
#include "recording/Recording.h"

#include "protocol/IntegerConversion.h"

namespace vexa {

void Recording::Reserve(std::size_t lines, std::size_t samples, std::size_t textBytes) {
    text_.reserve(textBytes + lines * kLineEnd.size());
    lineEnd_.reserve(lines);
    sampleOfLine_.reserve(lines);
    samples_.reserve(samples);
    lineOfSample_.reserve(samples);
}

std::vector<std::string> Recording::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(LineCount());
    for (std::size_t i = 0; i < LineCount(); ++i)
        lines.emplace_back(Line(i));
    return lines;
}

void Recording::AddSample(const Sample& sample) {
    char line[kCsvLineBufferBytes];
    AddSample(sample, std::string_view(line, FormatCsvLine(sample, line)));
}

void Recording::Append(Recording&& tail) {
    if (LineCount() < tail.LineCount()) {
        // A few lines before many (a download's start and column lines before its records): the tail's
        // storage takes these at its front, in place, rather than being copied behind them.
        Recording head = std::move(*this);
        *this = std::move(tail);
        if (head.header.source != RecordingSource::None) header = std::move(head.header);
        Prepend(head);
        tail.Clear();
        return;
    }
    if (header.source == RecordingSource::None) header = std::move(tail.header);
    const auto lineBase = std::uint32_t(LineCount());
    const auto sampleBase = std::uint32_t(samples_.size());
    const std::size_t textBase = text_.size();
    if (text_.empty()) {
        text_ = std::move(tail.text_);
        lineEnd_ = std::move(tail.lineEnd_);
    } else {
        text_.append(tail.text_);
        lineEnd_.reserve(lineEnd_.size() + tail.lineEnd_.size());
        for (const std::size_t end : tail.lineEnd_)
            lineEnd_.push_back(end + textBase);
    }
    sampleOfLine_.reserve(sampleOfLine_.size() + tail.sampleOfLine_.size());
    for (const std::uint32_t k : tail.sampleOfLine_)
        sampleOfLine_.push_back(k == kNoSample ? kNoSample : k + sampleBase);
    samples_.insert(samples_.end(), tail.samples_.begin(), tail.samples_.end());
    lineOfSample_.reserve(lineOfSample_.size() + tail.lineOfSample_.size());
    for (const std::uint32_t line : tail.lineOfSample_)
        lineOfSample_.push_back(line + lineBase);
    tail.Clear();
}

void Recording::Prepend(const Recording& head) {
    const std::size_t textBase = head.text_.size();
    const auto lineBase = std::uint32_t(head.LineCount());
    const auto sampleBase = std::uint32_t(head.samples_.size());
    text_.insert(0, head.text_);
    for (std::size_t& end : lineEnd_)
        end += textBase;
    lineEnd_.insert(lineEnd_.begin(), head.lineEnd_.begin(), head.lineEnd_.end());
    for (std::uint32_t& k : sampleOfLine_)
        if (k != kNoSample) k += sampleBase;
    sampleOfLine_.insert(sampleOfLine_.begin(), head.sampleOfLine_.begin(), head.sampleOfLine_.end());
    for (std::uint32_t& line : lineOfSample_)
        line += lineBase;
    lineOfSample_.insert(lineOfSample_.begin(), head.lineOfSample_.begin(), head.lineOfSample_.end());
    samples_.insert(samples_.begin(), head.samples_.begin(), head.samples_.end());
}

void Recording::Clear() {
    header = RecordingHeader{};
    text_.clear();
    lineEnd_.clear();
    sampleOfLine_.clear();
    samples_.clear();
    lineOfSample_.clear();
}

std::string DownloadStartLine(std::string_view startYearText, std::optional<int> countsPerG) {
    std::string line = "Start Year=" + std::string(startYearText);
    if (countsPerG) line += " @1G=" + std::to_string(*countsPerG);
    return line;
}

std::optional<int> CountsPerGOfStartLine(std::string_view line) {
    constexpr std::string_view Key = "@1G=";
    const std::size_t at = line.find(Key);
    if (!line.starts_with("Start") || at == std::string_view::npos) return std::nullopt;
    const std::string_view number = line.substr(at + Key.size());
    if (number.empty() || !IsDigit(number.front())) return std::nullopt;
    const int value = LenientToInt(number);
    if (value < 1) return std::nullopt;
    return value;
}

void ReadHeaderLines(std::string_view start, std::string_view columnLine, RecordingHeader& header) {
    header.startText.clear();
    header.startYear = 0;
    header.columns = ColumnKind::None;
    for (const std::string_view key : {std::string_view("Start Year="), std::string_view("Start Time=")}) {
        if (!start.starts_with(key)) continue;
        const std::string_view text = start.substr(key.size());
        header.startText = std::string(text.substr(0, text.find(" @1G=")));
        // "2024" and "2024/05/01 09:03:00" both begin with the year.
        std::size_t digits = 0;
        while (digits < header.startText.size() && digits < 9 && IsDigit(header.startText[digits]))
            ++digits;
        if (digits > 0) header.startYear = LenientToInt(std::string_view(header.startText).substr(0, digits));
    }
    header.countsPerG = CountsPerGOfStartLine(start);
    header.columns = ColumnKindOf(columnLine);
}

ColumnKind ColumnKindOf(std::string_view line) {
    if (line == kNamedColumnLine) return ColumnKind::Named;
    if (line == kShortColumnLine) return ColumnKind::Short;
    return ColumnKind::None;
}

} // namespace vexa
