// The 5-ms online capture: frames the logger's sample stream, ends it, and writes the samples as lines.
#pragma once

#include "protocol/CaptureFormat.h"
#include "session/ExclusiveMode.h"
#include "session/LinkPort.h"
#include "session/SessionObserver.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace vexa::session {

struct CaptureStart {
    int target = 0;        // samples to take: seconds x 200
    std::string startText; // "yyyy/mm/dd hh:mm:ss" of the start
    // The monitor line that answered "n" (the temperature field), when it came before the stream.
    std::optional<std::string> answerLine;
    // The answer to "n" had not ended when "x" went out: its rest may lead the stream, beginning with the
    // characters of its line already received, and a monitor line in it is still taken.
    bool answerUnfinished = false;
    std::string answerBegun;
    int countsPerG = 10;
};

class CaptureExchange final : public ExclusiveMode {
  public:
    // The record table: 72,020 entries of 19 characters and a NUL. Entry 0 stays unused.
    static constexpr int kTableEntries = 72020;
    static constexpr std::size_t kRecordCapacity = 19;
    // A stream that sends no sample for this long has stopped; the capture ends with what it has.
    static constexpr std::chrono::milliseconds kStallLimit{2000};
    // Sample lines written per step; the window runs its events between steps.
    static constexpr int kLinesPerStep = 4000;
    // The answer to the "n" before the stream is awaited this long at most; after that the stream
    // starts, and an answer that comes at its head is still taken.
    static constexpr std::chrono::milliseconds kAnswerWait{1000};
    // A stream that has not brought its count of records by its duration plus this margin (and a
    // twentieth of the duration, for a logger whose clock runs slow) has ended.
    static constexpr std::chrono::milliseconds kEndMargin{2000};
    // After " " the logger may still have samples on their way: the capture keeps the link and drops
    // them until none came for kSettleQuiet, at most kSettleLimit after the stop.
    static constexpr std::chrono::milliseconds kSettleQuiet{300};
    static constexpr std::chrono::milliseconds kSettleLimit{2000};
    // A line in the stream longer than this is no record and no monitor line; its rest is not kept.
    static constexpr std::size_t kLineCapacity = 127;

    // "x" and " " go to the port; everything else is reported to the observer.
    CaptureExchange(LinkPort& port, SessionObserver& observer);

    // Starts streaming: progress bar, the first two lines, "x". False (and nothing done) while a
    // capture is still active (streaming or writing).
    bool Start(const CaptureStart& start, Clock::time_point now);
    // The user's Escape: the stream is stopped and what arrived is written.
    void Abort(Clock::time_point now);
    // Writes the next block of sample lines; false once the capture is complete.
    bool WriteStep();

    // The capture owns the link from "x" until its lines are written and the stream has gone quiet: the
    // receive handler hands it every byte. Samples still under way after " " and the logger's "#" are
    // dropped, so they reach neither the work area nor the answer of the next command.
    bool Active() const override { return phase_ != Phase::Idle || settling_; }
    // Samples are being taken (bytes framed, stall watched, Escape heard).
    bool Streaming() const { return phase_ == Phase::Streaming; }
    void OnBytes(std::string_view block, Clock::time_point now) override;
    void OnTick(Clock::time_point now) override;
    void OnPortLost(Clock::time_point now) override;

    int Target() const { return CaptureTarget; }
    // Records framed so far, good or dropped (each takes its 5 ms of the capture's time).
    int Received() const { return CaptureIndex > 0 ? CaptureIndex - 1 : received_; }
    // Records that were no sample (see IsCaptureRecord): counted, and no line is written for them.
    int Dropped() const { return DroppedRecords; }
    // Record i as stored; empty for a dropped one.
    std::string_view Record(int i) const;
    const std::string& StartText() const { return CaptureStartText; }
    const std::string& EndText() const { return CaptureEndText; }

  private:
    enum class Phase { Idle, Streaming, Writing };

    // One line of the stream ended (at its CR): a record, the answer to "n", or a dropped record.
    // True when the capture's count is reached.
    bool LineEnded();
    void EndStream(CaptureEnd how, Clock::time_point now);
    void SendToLogger(std::string_view bytes);

    LinkPort& port_;
    SessionObserver& observer_;
    Phase phase_ = Phase::Idle;
    int CaptureIndex = 0; // table entry the next record goes to; 0 when not streaming
    std::vector<std::array<char, kRecordCapacity + 1>> CaptureRecords;
    int CaptureTarget = 0;
    std::string CaptureStartText;
    std::string CaptureEndText;
    int DroppedRecords = 0;
    // The line of the stream being framed, up to kLineCapacity characters; longer ones are cut and marked.
    std::string line_;
    bool lineTooLong_ = false;
    bool lastWasCR_ = false;
    Clock::time_point lastSampleAt_{};
    Clock::time_point streamDeadline_{};
    std::optional<std::string> answerLine_;
    bool answerUnfinished_ = false;
    bool answerLineWritten_ = false;
    // After the stop: bytes still arriving are dropped until the stream has gone quiet.
    bool settling_ = false;
    Clock::time_point stoppedAt_{};
    Clock::time_point lastByteAt_{};
    int countsPerG_ = 10;
    // Writing: the next sample line and the one after the last.
    CaptureEnd end_ = CaptureEnd::Complete;
    int received_ = 0;
    int nextLine_ = 0;
    int lineEnd_ = 0;
    CaptureTimeStamps stamps_{"", 0};
    std::string temperatureField_;
};

} // namespace vexa::session
