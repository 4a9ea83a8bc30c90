// Names of the session's phases and of the ways the link goes down, and the capture's default end stamp.
#include "session/SessionObserver.h"

#include "protocol/LocalTime.h"

#include <ctime>

namespace vexa::session {

const char* PhaseName(Phase phase) {
    switch (phase) {
    case Phase::Idle:
        return "idle";
    case Phase::Greeting:
        return "greeting";
    case Phase::Linked:
        return "linked";
    case Phase::Exchange:
        return "exchange";
    case Phase::Download:
        return "download";
    case Phase::Capture:
        return "capture";
    case Phase::Firmware:
        return "firmware";
    }
    return "?";
}

const char* LinkLossName(LinkLoss reason) {
    switch (reason) {
    case LinkLoss::Unplugged:
        return "unplugged";
    case LinkLoss::Silent:
        return "silent";
    case LinkLoss::Closed:
        return "closed";
    case LinkLoss::PortVanished:
        return "port vanished";
    case LinkLoss::UpdateFailed:
        return "update failed";
    }
    return "?";
}

std::string CaptureStatusText(const CaptureSummary& s) {
    std::string text;
    if (s.end != CaptureEnd::Complete) {
        text = "capture ended early: " + std::to_string(s.received) + " of " + std::to_string(s.target) +
               " samples";
        if (s.end == CaptureEnd::Stalled) text += " (the logger stopped sending)";
        if (s.end == CaptureEnd::TimeUp) text += " (its time was up)";
        if (s.end == CaptureEnd::PortLost) text += " (the logger was lost)";
    }
    const auto note = [&text](const std::string& part) {
        text += (text.empty() ? "capture: " : "; ") + part;
    };
    if (s.dropped > 0) note(std::to_string(s.dropped) + " malformed samples dropped");
    if (!s.temperature) note("no temperature (no monitor line came before the stream)");
    return text;
}

void SessionObserver::CaptureFinished(const CaptureSummary& summary) {
    std::string text = CaptureStatusText(summary);
    if (!text.empty()) CaptureStatus(std::move(text));
}

std::string SessionObserver::CaptureClockText() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = vexa::LocalTimeOf(now);
    char text[64] = {};
    // The locale's date and time, as the program's locale (setlocale) has them.
    std::strftime(text, sizeof text, "%x %X", &local);
    return text;
}

} // namespace vexa::session
