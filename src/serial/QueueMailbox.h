// A UiMailbox for hosts without an event loop of their own (tests, benchmarks, console tools):
// calls wait in a queue until the owning thread pumps them.
#pragma once

#include "serial/UiMailbox.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class QueueMailbox final : public UiMailbox {
  public:
    // The constructing thread is the "UI thread" that pumps.
    QueueMailbox();
    // Drops the calls still queued; their senders stop waiting at once.
    ~QueueMailbox() override;

    bool Send(std::function<void()> fn, int timeoutMs) override;
    void Post(std::function<void()> fn) override;

    // Runs queued calls until done() holds (true) or the time runs out (false); done() is checked
    // first and after every call. An exception from a call propagates to the pumping thread, as an
    // event handler's exception reaches the application's handler; the rest stay queued.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Runs the calls queued right now; answers how many ran.
    std::size_t PumpPending();
    // Calls waiting to be pumped.
    std::size_t Queued();

  private:
    bool RunOne(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
    const std::thread::id owner_;
};
