// The 5-ms online capture: frames the logger's sample stream, ends it, and writes the samples as lines.
#include "session/CaptureExchange.h"

#include "protocol/CaptureFormat.h"

#include <algorithm>
#include <cstring>

namespace vexa::session {

namespace {
constexpr char CR = 0x0D;
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
    DroppedRecords = 0;
    recordTooLong_ = false;
    received_ = 0;
    CaptureEndText.clear();
    observer_.CaptureStarted();
    observer_.CaptureProgressShown(CaptureTarget);
    CaptureStartText = start.startText;
    observer_.CaptureWorkAreaLine(CaptureStartLine(CaptureStartText, start.countsPerG));
    observer_.CaptureWorkAreaLine(answerLine_);
    SendToLogger("x");
    CaptureIndex = 1;
    CaptureCharPos = 0;
    CaptureRecords[1].fill('\0');
    lastSampleAt_ = now;
    phase_ = Phase::Streaming;
    return true;
}

std::string_view CaptureExchange::Record(int i) const {
    if (i < 0 || std::size_t(i) >= CaptureRecords.size()) return {};
    const auto& entry = CaptureRecords[std::size_t(i)];
    return {entry.data(), strnlen(entry.data(), entry.size())};
}

void CaptureExchange::OnBytes(std::string_view block, Clock::time_point now) {
    if (!Streaming()) return;
    // Bursts split records anywhere: a record without its CR yet waits in its entry for the rest.
    for (const char c : block) {
        const bool inTable = CaptureIndex < kTableEntries;
        auto& entry = CaptureRecords[std::size_t(std::min(CaptureIndex, kTableEntries - 1))];
        if (c != CR) {
            if (inTable && std::size_t(CaptureCharPos) < kRecordCapacity) {
                entry[std::size_t(CaptureCharPos)] = c;
                ++CaptureCharPos;
            } else {
                recordTooLong_ = true;
            }
            continue;
        }
        lastSampleAt_ = now;
        if (!inTable || recordTooLong_) {
            // Never stored outside the table or past an entry; the sample is lost, and counted.
            ++DroppedRecords;
            if (inTable) entry.fill('\0');
        } else {
            entry[std::size_t(CaptureCharPos)] = '\0';
            ++CaptureIndex;
            if (CaptureIndex < kTableEntries) CaptureRecords[std::size_t(CaptureIndex)].fill('\0');
        }
        CaptureCharPos = 0;
        recordTooLong_ = false;
        if (CaptureIndex > CaptureTarget) {
            // Records after the target in the same burst are not taken.
            observer_.CaptureProgress(CaptureIndex);
            EndStream(End::Complete, true);
            return;
        }
    }
    observer_.CaptureProgress(CaptureIndex);
}

void CaptureExchange::OnTick(Clock::time_point now) {
    if (Streaming() && now - lastSampleAt_ >= kStallLimit) EndStream(End::Early, true);
}

void CaptureExchange::OnPortLost(Clock::time_point now) {
    (void)now;
    // Nobody is there to hear the stop byte.
    if (Streaming()) EndStream(End::Early, false);
}

void CaptureExchange::Abort(Clock::time_point now) {
    (void)now;
    if (Streaming()) EndStream(End::Early, true);
}

void CaptureExchange::EndStream(End how, bool sendStop) {
    if (sendStop) SendToLogger(" ");
    observer_.CaptureProgressHidden();
    received_ = CaptureIndex - 1;
    CaptureIndex = 0;
    end_ = how;
    CaptureEndText = observer_.CaptureClockText();
    temperatureField_ = CaptureTemperatureField(answerLine_);
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
    std::vector<std::string> lines;
    lines.reserve(std::size_t(stepEnd - nextLine_));
    for (; nextLine_ < stepEnd; ++nextLine_)
        lines.push_back(
            CaptureSampleLine(stamps_, nextLine_, DecodeCaptureRecord(Record(nextLine_)), temperatureField_));
    if (!lines.empty()) {
        observer_.CaptureWorkAreaLines(lines);
        observer_.CaptureProgress(nextLine_ - 1);
    }
    if (nextLine_ < lineEnd_) {
        observer_.CaptureStepDue();
        return true;
    }
    phase_ = Phase::Idle;
    observer_.CaptureOutputEnds();
    observer_.CaptureProgressHidden();
    observer_.CaptureWorkAreaLine(CaptureEndLine(CaptureEndText));
    if (end_ == End::Early)
        observer_.CaptureStatus("capture ended early: " + std::to_string(received_) + " of " +
                                std::to_string(CaptureTarget) + " samples");
    else if (DroppedRecords > 0)
        observer_.CaptureStatus("capture: " + std::to_string(DroppedRecords) + " malformed samples dropped");
    return false;
}

} // namespace vexa::session
