// A mode of the receive handler that owns the link while it runs (5-ms capture, firmware update).
#pragma once

#include <chrono>
#include <string_view>

namespace vexa::session {

// The session's time. Callers pass "now" in; nothing below the window reads a clock itself.
using Clock = std::chrono::steady_clock;

// While Active(), the session hands this mode every received byte and parses nothing itself; the
// mode selection asks the capture first, then the firmware update.
class ExclusiveMode {
public:
    virtual ~ExclusiveMode() = default;
    virtual bool Active() const = 0;
    // All bytes of one data notification, in arrival order.
    virtual void OnBytes(std::string_view block, Clock::time_point now) = 0;
    // Regular tick (at least every 250 ms, also while Timer1 is stopped), for the mode's own time-outs.
    virtual void OnTick(Clock::time_point now) = 0;
    // The port is gone (unplug, I/O error) while the mode runs.
    virtual void OnPortLost(Clock::time_point now) = 0;
};

}  // namespace vexa::session
