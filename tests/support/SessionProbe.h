// Test setup only: the starting conditions a test needs that no request of the session brings about
// by itself (a linked logger whose commands are disabled, a given counts-per-G...). Production code
// never includes this; there the session is the link state's only writer. Benchmarks may use it
// to time one part alone.
#pragma once

#include "session/Session.h"

namespace vexa::session {

struct SessionProbe {
    static LinkState& State(Session& session) { return session.state_; }
    static bool& PollPending(Session& session) { return session.pollPending_; }
    // The capture itself, for a benchmark that hands it a whole stream at once.
    static CaptureExchange& Capture(Session& session) { return session.capture_; }
};

} // namespace vexa::session
