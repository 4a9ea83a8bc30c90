// The firmware update's exchange with the logger's boot loader: the ready prompt, one image line per
// acknowledgement, the leave command, each wait bounded so that a silent or lost logger ends the update.
#pragma once

#include "session/ExclusiveMode.h"

#include <string>
#include <string_view>
#include <vector>

namespace vexa::session {

enum class FirmwareOutcome {
    Completed,           // every line sent, "M" received, "m" sent
    CompletedWithErrors, // the same, but the logger answered "!" to some lines
    NotReady,            // no "#" after "e": nothing was sent
    Silent,              // a line was not acknowledged in time
    PortLost,            // the port went away while the update ran
    NoReturn,            // every line sent, but no "M" after "qs"
};

struct FirmwareResult {
    FirmwareOutcome outcome = FirmwareOutcome::Completed;
    int lineCount = 0;
    int lastSent = -1;              // index of the last image line sent, -1 = none
    int lastAcknowledged = -1;      // index of the last image line the logger acknowledged, -1 = none
    std::vector<int> rejectedLines; // one entry per "!", the line it answered
    std::string message;            // everything the user is told, in one text
    // The logger may hold a partial image: it needs a new update before it can be used.
    bool needsNewUpdate() const {
        return outcome == FirmwareOutcome::Silent || outcome == FirmwareOutcome::PortLost;
    }
    bool failed() const {
        return outcome != FirmwareOutcome::Completed && outcome != FirmwareOutcome::CompletedWithErrors;
    }
};

// What the update asks of the window; the exchange never names a control.
class FirmwareObserver {
  public:
    virtual ~FirmwareObserver() = default;
    // Bytes for the logger, exactly as given.
    virtual void FirmwareSend(std::string_view bytes) = 0;
    // The boot loader is ready: progress range 0..lineCount at position 0, shown.
    virtual void FirmwareProgressStart(int lineCount) = 0;
    // A line goes out: progress position, and the text that shows it (the line, then index and count).
    virtual void FirmwareLine(int position, const std::string& shown) = 0;
    // The last line is acknowledged: progress hidden, work area cleared.
    virtual void FirmwareSendingDone() = 0;
    // Timer1 gets back the interval it had before the update.
    virtual void FirmwareRestoreTimer(int interval) = 0;
    // What the update is waiting for, for the status line.
    virtual void FirmwareStatus(const std::string& text) = 0;
    // The update is over, one way or another; shown to the user once.
    virtual void FirmwareEnded(const FirmwareResult& result) = 0;
};

class FirmwareExchange : public ExclusiveMode {
  public:
    enum class Phase { Idle, WaitingReady, Sending, Leaving };
    static constexpr std::chrono::milliseconds kAnswerLimit{10000};

    explicit FirmwareExchange(FirmwareObserver& observer, Clock::duration answerLimit = kAnswerLimit);

    // Sends "e" and waits for the boot loader's "#". The last of `lines` is never sent (the image ends
    // with an empty line). Refused (false, nothing sent) while an update runs or with fewer than 2 lines.
    bool Begin(std::vector<std::string> lines, int savedTimerInterval, Clock::time_point now);

    bool Active() const override { return phase_ != Phase::Idle; }
    void OnBytes(std::string_view block, Clock::time_point now) override;
    void OnTick(Clock::time_point now) override;
    void OnPortLost(Clock::time_point now) override;

    Phase phase() const { return phase_; }
    int updateActive() const { return UpdateActive; }
    int updateLineIndex() const { return UpdateLineIndex; }
    int lineCount() const { return LineCount; }

  private:
    void SendLine(Clock::time_point now);
    void Finish(Clock::time_point now);
    void End(FirmwareOutcome outcome);
    std::string Describe(FirmwareOutcome outcome) const;

    FirmwareObserver& observer_;
    Clock::duration answerLimit_;
    Phase phase_ = Phase::Idle;
    Clock::time_point deadline_{};
    std::vector<std::string> lines_;
    int lastAcknowledged_ = -1;
    std::vector<int> rejected_;

    // 1 while image lines are being sent.
    int UpdateActive = 0;
    // Next line to send.
    int UpdateLineIndex = 0;
    // Lines of the image when the boot loader became ready.
    int LineCount = 0;
    // Timer1's interval before the update.
    int SavedTimerInterval = 0;
};

} // namespace vexa::session
