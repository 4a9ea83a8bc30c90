// The two exchanges that own the link while they run, the 5-ms capture and the firmware update: how the
// session starts them, hands them every byte and tick, and takes the link back when they are over.
#include "session/Session.h"

namespace vexa::session {

ExclusiveMode* Session::ActiveMode() {
    if (capture_.Active()) return &capture_;
    if (firmware_.Active()) return &firmware_;
    return nullptr;
}

bool Session::CaptureBusy() const {
    return captureArmed_ || capture_.Active();
}

void Session::AfterExclusive(Clock::time_point now) {
    if (phase_ == Phase::Capture && !CaptureBusy()) {
        // Nothing of the stream is left to become the front of the next answer.
        state_.ClearRxLine();
        SetPhase(RestingPhase());
        return;
    }
    if (phase_ == Phase::Firmware && !firmware_.Active()) {
        SetPhase(RestingPhase());
        // The logger is in its boot loader or gone: discovery connects and greets it again.
        if (firmware_.Result().failed()) LoseLink(LinkLoss::UpdateFailed, now);
    }
}

// ---- 5-ms capture ----

bool Session::RequestCaptureSample(Clock::time_point now) {
    if (Refused(Guard::None)) return false;
    // A pending answer's queue must not follow into the stream, nor its lines into the capture.
    EndPendingAnswer();
    port_.Open();
    // Bytes of an earlier stream still arriving must not lead the answer the capture takes its
    // temperature from.
    port_.Drain();
    state_.ClearRxLine();
    sampleRequested_ = true;
    sampleLine_.reset();
    Send("n", now);
    return true;
}

bool Session::StartCapture(const CaptureSettings& settings, Clock::time_point now) {
    if (Refused(Guard::None)) return false;
    captureTarget_ = settings.target;
    captureStartText_ = settings.startText.empty() ? state_.NowText : settings.startText;
    SetPhase(Phase::Capture);
    // The answer's "#" ends its exchange; only then is no byte of it taken for a sample.
    if (deadline_) {
        captureArmed_ = true;
        captureArmedAt_ = now;
        return true;
    }
    BeginStreaming(now);
    return true;
}

void Session::BeginStreaming(Clock::time_point now) {
    captureArmed_ = false;
    CaptureStart start;
    start.target = captureTarget_;
    start.startText = captureStartText_;
    start.answerLine = std::move(sampleLine_);
    start.countsPerG = state_.CountsPerG;
    // An answer to "n" that has not ended yet comes at the head of the stream: the capture still takes
    // its monitor line, so its bytes stay at the port and its line begun is handed on.
    start.answerUnfinished = sampleRequested_;
    if (start.answerUnfinished) start.answerBegun = std::string(state_.RxLineView());
    sampleRequested_ = false;
    sampleLine_.reset();
    // Nothing queued follows into the stream.
    DropAnswer();
    port_.Open();
    if (!start.answerUnfinished) port_.Drain();
    capture_.Start(start, now);
}

void Session::AbortCapture(Clock::time_point now) {
    if (captureArmed_) {
        // Escape before the stream started: "x" is never sent and nothing is written. The answer to the
        // "n" may still be on its way; its exchange ends as any other.
        captureArmed_ = false;
        SetPhase(deadline_ ? Phase::Exchange : RestingPhase());
        observer_.CaptureStatus("5ms capture cancelled before it started: nothing was recorded");
        return;
    }
    capture_.Abort(now);
}

bool Session::CaptureWriteStep() {
    const bool more = capture_.WriteStep();
    // The capture's end needs no time; only a failed update's does, and that is not this.
    if (!more) AfterExclusive(Clock::time_point{});
    return more;
}

// ---- firmware update ----

bool Session::RequestBootLoaderEntry(Clock::time_point now) {
    (void)now;
    if (Refused(Guard::Enabled)) return false;
    // An answer still awaited must not be read as the boot loader's, nor its queue follow the entry.
    EndPendingAnswer();
    port_.Open();
    // The logger does not answer the entry sequence, so no answer is awaited.
    port_.Send(std::string_view("\x03\x06\x03\x06\x03", 5));
    return true;
}

bool Session::StartFirmwareUpdate(std::vector<std::string> lines, Clock::time_point now) {
    if (Refused(Guard::None)) return false;
    EndPendingAnswer();
    port_.Open();
    SetPhase(Phase::Firmware);
    if (!firmware_.Begin(std::move(lines), now)) {
        SetPhase(RestingPhase());
        return false;
    }
    return true;
}

} // namespace vexa::session
