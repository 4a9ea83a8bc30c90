// The firmware update's exchange with the logger's boot loader: the ready prompt, one image line per
// acknowledgement, the leave command, each wait bounded so that a silent or lost logger ends the update.
#pragma once

#include "session/ExclusiveMode.h"
#include "session/LinkPort.h"
#include "session/SessionObserver.h"

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

class FirmwareExchange : public ExclusiveMode {
  public:
    enum class Phase { Idle, WaitingReady, Sending, Leaving };
    static constexpr std::chrono::milliseconds kAnswerLimit{10000};

    // Bytes go to the port; everything else is reported to the observer.
    FirmwareExchange(LinkPort& port, SessionObserver& observer, Clock::duration answerLimit = kAnswerLimit);

    // Sends "e" and waits for the boot loader's "#". The last of `lines` is never sent (the image ends
    // with an empty line). Refused (false, nothing sent) while an update runs or with fewer than 2 lines.
    bool Begin(std::vector<std::string> lines, Clock::time_point now);
    // How the last update ended (valid once it has).
    const FirmwareResult& Result() const { return result_; }
    void SetAnswerLimit(Clock::duration limit) { answerLimit_ = limit; }

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

    LinkPort& port_;
    SessionObserver& observer_;
    FirmwareResult result_;
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
};

} // namespace vexa::session
