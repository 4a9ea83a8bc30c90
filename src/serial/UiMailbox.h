// How the serial layer's worker threads hand work to the user-interface thread.
#pragma once

#include <functional>

// Implemented by the host: a Qt object living in the UI thread (platform/QtUiMailbox.h), or a
// queue pumped by the owning thread (serial/QueueMailbox.h) in tests, tools and benchmarks.
class UiMailbox {
  public:
    virtual ~UiMailbox() = default;
    // Runs fn on the UI thread and blocks the caller until fn has run (returned or thrown: true) or
    // timeoutMs passed (false; fn may still run later). Called from the UI thread itself, runs fn
    // inline. An exception from fn goes to the UI side's own exception handling, not to the caller.
    virtual bool Send(std::function<void()> fn, int timeoutMs) = 0;
    // Queues fn to run on the UI thread later; returns at once.
    virtual void Post(std::function<void()> fn) = 0;
};
