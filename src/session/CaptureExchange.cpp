// The 5-ms online capture: frames the logger's sample stream, ends it, and writes the samples as lines.
#include "session/CaptureExchange.h"

#include "protocol/CaptureFormat.h"
#include "protocol/MonitorLine.h"
#include "protocol/CsvLine.h"
#include "protocol/IntegerConversion.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace vexa::session {

namespace {
constexpr char CR = 0x0D;
constexpr char LF = 0x0A;
} // namespace

CaptureExchange::CaptureExchange(LinkPort& port, SessionObserver& observer)
    : port_(port), observer_(observer) {}

void CaptureExchange::SendToLogger(std::string_view bytes) {
    // A port already gone takes nothing; the capture goes on to write what it has.
    if (port_.IsOpen()) port_.Send(bytes);
}

bool CaptureExchange::Start(const CaptureStart& start, Clock::time_point now) {
    if (Active()) return false;
    // The table is built by the first capture, so a session that never captures does not pay for it.
    if (CaptureRecords.empty()) CaptureRecords.resize(kTableEntries);
    // The last sample taken lands in entry target, so the table bounds the target.
    CaptureTarget = std::clamp(start.target, 1, kTableEntries - 1);
    answerLine_ = start.answerLine;
    answerUnfinished_ = start.answerUnfinished;
    countsPerG_ = start.countsPerG;
    DroppedRecords = 0;
    received_ = 0;
    CaptureEndText.clear();
    observer_.CaptureStarted();
    observer_.CaptureProgressShown(CaptureTarget);
    CaptureStartText = start.startText;
    observer_.CaptureWorkAreaLine(CaptureStartLine(CaptureStartText, start.countsPerG));
    // An answer still to come is written once the stream has ended, in the same place.
    answerLineWritten_ = !answerUnfinished_;
    if (answerLineWritten_)
        observer_.CaptureWorkAreaLine(answerLine_.value_or(std::string(kCaptureNoTemperatureLine)));
    SendToLogger("x");
    CaptureIndex = 1;
    line_.clear();
    line_.reserve(kLineCapacity);
    lineTooLong_ = false;
    lastWasCR_ = false;
    // The part of the answer's line that came before the stream is the head of the stream's first line.
    if (answerUnfinished_) line_ = start.answerBegun.substr(0, kLineCapacity);
    lastSampleAt_ = now;
    const auto duration =
        std::chrono::milliseconds(std::int64_t(CaptureTarget) * 1000 / kCaptureSamplesPerSecond);
    streamDeadline_ = now + duration + kEndMargin + duration / 20;
    phase_ = Phase::Streaming;
    return true;
}

std::string_view CaptureExchange::Record(int i) const {
    if (i < 0 || std::size_t(i) >= CaptureRecords.size()) return {};
    const auto& entry = CaptureRecords[std::size_t(i)];
    return {entry.data(), strnlen(entry.data(), entry.size())};
}

bool CaptureExchange::LineEnded() {
    const std::string_view line = line_;
    const bool sample = !lineTooLong_ && IsCaptureRecord(line);
    if (answerUnfinished_ && !sample) {
        // Until the first sample, a line that is none belongs to the answer to "n", which came late: its
        // monitor line is the capture's second line and gives the temperature; it takes no sample's place.
        if (!answerLine_ && !lineTooLong_ && ParsesAsMonitorLine(line)) answerLine_ = std::string(line);
        return false;
    }
    auto& entry = CaptureRecords[std::size_t(CaptureIndex)];
    if (sample) {
        std::copy(line.begin(), line.end(), entry.begin());
        entry[line.size()] = '\0';
        // The stream proper has begun: nothing of the answer comes after a sample.
        answerUnfinished_ = false;
    } else {
        // No sample: counted, and its 5 ms stay empty rather than hold made-up values.
        entry[0] = '\0';
        ++DroppedRecords;
    }
    ++CaptureIndex;
    return CaptureIndex > CaptureTarget;
}

void CaptureExchange::OnBytes(std::string_view block, Clock::time_point now) {
    if (!block.empty()) lastByteAt_ = now;
    if (!Streaming()) return;
    // Bursts split records anywhere: a line without its end yet waits for the rest.
    for (std::size_t k = 0; k < block.size(); ++k) {
        const char c = block[k];
        // While the answer to "n" may still lead the stream, its line ends ("\r\n") and the "#" that
        // closes it are framing, not bytes of a record.
        if (answerUnfinished_ && c == LF) {
            if (!lastWasCR_ && !line_.empty()) {
                if (LineEnded()) {
                    EndStream(CaptureEnd::Complete, now);
                    return;
                }
            }
            line_.clear();
            lineTooLong_ = false;
            lastWasCR_ = false;
            continue;
        }
        lastWasCR_ = c == CR;
        if (answerUnfinished_ && c == '#' && line_.empty()) {
            answerUnfinished_ = false;
            continue;
        }
        if (c != CR) {
            if (line_.size() < kLineCapacity)
                line_.push_back(c);
            else
                lineTooLong_ = true;
            continue;
        }
        lastSampleAt_ = now;
        const bool full = LineEnded();
        line_.clear();
        lineTooLong_ = false;
        if (full) {
            // Records after the target in the same burst are not taken.
            observer_.CaptureProgress(CaptureIndex);
            EndStream(CaptureEnd::Complete, now);
            return;
        }
    }
    observer_.CaptureProgress(CaptureIndex);
}

void CaptureExchange::OnTick(Clock::time_point now) {
    if (Streaming()) {
        if (now - lastSampleAt_ >= kStallLimit)
            EndStream(CaptureEnd::Stalled, now);
        else if (now >= streamDeadline_)
            EndStream(CaptureEnd::TimeUp, now);
        return;
    }
    // The stream has gone quiet since the stop (or never will): what comes later is no longer its.
    if (settling_ && (now - lastByteAt_ >= kSettleQuiet || now - stoppedAt_ >= kSettleLimit))
        settling_ = false;
}

void CaptureExchange::OnPortLost(Clock::time_point now) {
    settling_ = false;
    // Nobody is there to hear the stop byte.
    if (Streaming()) EndStream(CaptureEnd::PortLost, now);
}

void CaptureExchange::Abort(Clock::time_point now) {
    if (Streaming()) EndStream(CaptureEnd::Escaped, now);
}

void CaptureExchange::EndStream(CaptureEnd how, Clock::time_point now) {
    if (how != CaptureEnd::PortLost) {
        SendToLogger(" ");
        settling_ = port_.IsOpen();
        stoppedAt_ = now;
        lastByteAt_ = now;
    }
    observer_.CaptureProgressHidden();
    received_ = CaptureIndex - 1;
    CaptureIndex = 0;
    answerUnfinished_ = false;
    line_.clear();
    end_ = how;
    CaptureEndText = observer_.CaptureClockText();
    temperatureField_ = CaptureTemperatureField(answerLine_.value_or(std::string()));
    if (!answerLineWritten_) {
        observer_.CaptureWorkAreaLine(answerLine_.value_or(std::string(kCaptureNoTemperatureLine)));
        answerLineWritten_ = true;
    }
    // A complete capture writes samples 1 .. target - 1; one that ended early every sample it has.
    nextLine_ = 1;
    lineEnd_ = std::min(received_, CaptureTarget - 1) + 1;
    stamps_ = CaptureTimeStamps(CaptureStartText, lineEnd_ - 1);
    phase_ = Phase::Writing;
    observer_.CaptureOutputBegins();
    observer_.CaptureProgressShown(CaptureTarget);
    observer_.CaptureStepDue();
}

bool CaptureExchange::WriteStep() {
    if (phase_ != Phase::Writing) return false;
    const int stepEnd = std::min(lineEnd_, nextLine_ + kLinesPerStep);
    const bool first = nextLine_ == 1;
    vexa::Recording block;
    // The first block carries the capture's header, also when no sample arrived.
    if (first) {
        block.header.source = vexa::RecordingSource::Capture;
        block.header.startText = CaptureStartText;
        block.header.startYear = LenientToInt(CaptureStartText.substr(0, 4));
        block.header.countsPerG = countsPerG_;
    }
    block.Reserve(std::size_t(stepEnd - nextLine_), std::size_t(stepEnd - nextLine_));
    for (; nextLine_ < stepEnd; ++nextLine_) {
        const std::string_view record = Record(nextLine_);
        // A dropped record leaves its time out; the samples after it keep theirs.
        if (record.empty()) continue;
        std::string line =
            CaptureSampleLine(stamps_, nextLine_, DecodeCaptureRecord(record), temperatureField_);
        // The sample is what the one reader of a data line reads from it; a line it cannot read (a start
        // text that is no date) is kept as it stands, without a sample.
        if (const std::optional<Sample> sample = ParseCsvLine(line))
            block.AddSample(*sample, std::move(line));
        else
            block.AddLine(std::move(line));
    }
    if (block.LineCount() > 0 || first) observer_.CaptureWorkAreaLines(std::move(block));
    observer_.CaptureProgress(nextLine_ - 1);
    if (nextLine_ < lineEnd_) {
        observer_.CaptureStepDue();
        return true;
    }
    phase_ = Phase::Idle;
    observer_.CaptureOutputEnds();
    observer_.CaptureProgressHidden();
    observer_.CaptureWorkAreaLine(CaptureEndLine(CaptureEndText));
    CaptureSummary summary;
    summary.target = CaptureTarget;
    summary.received = received_;
    summary.dropped = DroppedRecords;
    summary.end = end_;
    summary.temperature = answerLine_.has_value();
    observer_.CaptureFinished(summary);
    return false;
}

} // namespace vexa::session
