// The 5-ms online capture: frames the logger's sample stream, ends it, and writes the samples as lines.
#pragma once

#include "protocol/CaptureFormat.h"
#include "session/ExclusiveMode.h"
#include "session/LinkPort.h"
#include "session/SessionObserver.h"

#include <array>
#include <chrono>
#include <string>
#include <vector>

namespace vexa::session {

struct CaptureStart {
    int target = 0;         // samples to take: seconds x 200
    std::string startText;  // "yyyy/mm/dd hh:mm:ss" of the start
    std::string answerLine; // the line that answered "n" (temperature field), or empty
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
    // The answer to the "n" before the stream is awaited this long at most; a logger that does not
    // answer gets an empty second line.
    static constexpr std::chrono::milliseconds kAnswerWait{1000};

    // "x" and " " go to the port; everything else is reported to the observer.
    CaptureExchange(LinkPort& port, SessionObserver& observer);

    // Starts streaming: progress bar, the first two lines, "x". False (and nothing done) while a
    // capture is still active (streaming or writing).
    bool Start(const CaptureStart& start, Clock::time_point now);
    // The user's Escape: the stream is stopped and what arrived is written.
    void Abort(Clock::time_point now);
    // Writes the next block of sample lines; false once the capture is complete.
    bool WriteStep();

    // The capture owns the link from "x" until its lines are written: the receive handler hands it every
    // byte. Samples still under way after " " and the logger's "#" are dropped, so they neither reach
    // the work area nor restart Timer1 before the capture restores it.
    bool Active() const override { return phase_ != Phase::Idle; }
    // Samples are being taken (bytes framed, stall watched, Escape heard).
    bool Streaming() const { return phase_ == Phase::Streaming; }
    void OnBytes(std::string_view block, Clock::time_point now) override;
    void OnTick(Clock::time_point now) override;
    void OnPortLost(Clock::time_point now) override;

    int Target() const { return CaptureTarget; }
    // Samples stored so far (records framed into the table).
    int Received() const { return CaptureIndex > 0 ? CaptureIndex - 1 : received_; }
    // Records not stored: longer than 19 characters, or beyond the table.
    int Dropped() const { return DroppedRecords; }
    std::string_view Record(int i) const;
    const std::string& StartText() const { return CaptureStartText; }
    const std::string& EndText() const { return CaptureEndText; }

  private:
    enum class Phase { Idle, Streaming, Writing };
    enum class End { Complete, Early };

    void EndStream(End how, bool sendStop);
    void SendToLogger(std::string_view bytes);

    LinkPort& port_;
    SessionObserver& observer_;
    Phase phase_ = Phase::Idle;
    int CaptureIndex = 0;   // table entry being filled; 0 when not streaming
    int CaptureCharPos = 0; // next character of that entry
    std::vector<std::array<char, kRecordCapacity + 1>> CaptureRecords;
    int CaptureTarget = 0;
    std::string CaptureStartText;
    std::string CaptureEndText;
    int DroppedRecords = 0;
    bool recordTooLong_ = false;
    Clock::time_point lastSampleAt_{};
    std::string answerLine_;
    // Writing: the next sample line and the one after the last.
    End end_ = End::Complete;
    int received_ = 0;
    int nextLine_ = 0;
    int lineEnd_ = 0;
    CaptureTimeStamps stamps_{"", 0};
    std::string temperatureField_;
};

} // namespace vexa::session
