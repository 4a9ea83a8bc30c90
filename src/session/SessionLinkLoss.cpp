// The one way the link goes down, whatever took it (unplug, I/O error, silence, "close", a port that
// vanished from the registry, a failed update), and the session's tick that notices most of them.
#include "session/Session.h"

namespace vexa::session {

void Session::Tick(Clock::time_point now) {
    // The device hung up under the open port: noticed here at once rather than by the watchdog, which
    // would leave the window in the middle of an exchange for ten seconds.
    if (port_.DeviceLost()) {
        // Bytes the device delivered before it went away are still readable: frame them first, so
        // every record that arrived whole is kept.
        OnDataAvailable(now);
        LoseLink(LinkLoss::Unplugged, now);
        return;
    }
    if (ExclusiveMode* mode = ActiveMode()) {
        deadline_.reset();
        // Bytes already at the port count before a time-out is judged: a notification still waiting
        // behind this tick on a busy machine is not a silent logger.
        if (port_.IsOpen()) mode->OnBytes(port_.ReadAvailable(), now);
        AfterExclusive(now);
        if ((mode = ActiveMode()) == nullptr) return;
        mode->OnTick(now);
        AfterExclusive(now);
        return;
    }
    // The answer to the capture's "n" did not end within a second: the capture starts without it.
    if (captureArmed_ && now - captureArmedAt_ >= CaptureExchange::kAnswerWait) {
        BeginStreaming(now);
        return;
    }
    if (deadline_ && now >= *deadline_) LoseLink(LinkLoss::Silent, now);
}

void Session::LoseLink(LinkLoss reason, Clock::time_point now) {
    if (losingLink_) return;
    losingLink_ = true;
    LinkDownReport report;
    report.reason = reason;
    report.silentSeconds = int(std::chrono::duration_cast<std::chrono::seconds>(timeout_).count());
    // Something was running, or the logger was linked: the loss is news, told once.
    report.exchangeEnded = deadline_.has_value() || phase_ == Phase::Download || captureArmed_;
    const bool tell = report.exchangeEnded || state_.LinkUp == 1 || LinkOwnedExclusively();

    // A capture ends its stream and writes what it has; an update ends saying where it stopped. Both
    // keep the link's phase until they are over.
    if (ExclusiveMode* mode = ActiveMode()) mode->OnPortLost(now);
    captureArmed_ = false;
    sampleRequested_ = false;

    const Phase running = phase_;
    DropAnswer();
    queue_.clear();
    try {
        port_.Close();
    } catch (...) {
        // A device that is gone may refuse even its close; the link is down either way.
    }
    state_.LinkUp = 0;
    state_.CommandsEnabled = 0;
    state_.AutoConnectDone = 0;
    if (running == Phase::Download) {
        report.downloadCut = true;
        FinishDownload(false); // shows what arrived and says the download is incomplete
    }
    if (state_.MonitorMode == 1) {
        state_.MonitorMode = 0;
        report.monitorStopped = true;
        observer_.MonitorChanged(false);
    }
    if (!LinkOwnedExclusively()) SetPhase(Phase::Idle);
    AfterExclusive(now);
    losingLink_ = false;
    if (tell) observer_.LinkDown(report);
}

} // namespace vexa::session
