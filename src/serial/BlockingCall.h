// A call queued for the UI thread that its sender can wait for: ran (returned or threw), or dropped.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

// Used by the UiMailbox implementations for Send. The queued function reports "ran" when it has
// run, also when fn threw; if the queue destroys it unrun (the mailbox went away), the waiter
// learns at once instead of sitting out its time-out.
class BlockingCall {
  public:
    // The function to queue, and the waiter.
    static std::pair<std::function<void()>, std::shared_ptr<BlockingCall>> Wrap(std::function<void()> fn) {
        auto call = std::make_shared<BlockingCall>();
        auto dropped = std::shared_ptr<void>(nullptr, [call](void*) { call->Finish(false); });
        std::function<void()> queued = [call, dropped, fn = std::move(fn)] {
            struct RanGuard {
                BlockingCall& call;
                ~RanGuard() { call.Finish(true); }
            } guard{*call};
            fn();
        };
        return {std::move(queued), call};
    }

    // True when the call ran within the time; false when it was dropped or the time ran out.
    bool WaitFor(int timeoutMs) {
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return finished_; });
        return finished_ && ran_;
    }

  private:
    void Finish(bool ran) {
        {
            std::lock_guard lock(mutex_);
            if (finished_) return;
            finished_ = true;
            ran_ = ran;
        }
        cv_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    bool finished_ = false;
    bool ran_ = false;
};
