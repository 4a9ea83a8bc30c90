// A mailbox pumped by its owning thread.
#include "serial/QueueMailbox.h"

#include "serial/BlockingCall.h"

QueueMailbox::QueueMailbox() : owner_(std::this_thread::get_id()) {}

QueueMailbox::~QueueMailbox() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(queue_);
    }
}

bool QueueMailbox::Send(std::function<void()> fn, int timeoutMs) {
    if (std::this_thread::get_id() == owner_) {
        fn();
        return true;
    }
    auto [queued, call] = BlockingCall::Wrap(std::move(fn));
    Post(std::move(queued));
    return call->WaitFor(timeoutMs);
}

void QueueMailbox::Post(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(fn));
    }
    cv_.notify_all();
}

bool QueueMailbox::RunOne(std::unique_lock<std::mutex>& lock) {
    if (queue_.empty()) return false;
    std::function<void()> fn = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    // The call and what it holds are destroyed before the lock is taken again, also when it throws.
    struct Relock {
        std::unique_lock<std::mutex>& lock;
        std::function<void()>& fn;
        ~Relock() {
            fn = nullptr;
            lock.lock();
        }
    } relock{lock, fn};
    fn();
    return true;
}

bool QueueMailbox::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    while (true) {
        lock.unlock();
        const bool finished = done();
        lock.lock();
        if (finished) return true;
        if (!cv_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
            lock.unlock();
            return done();
        }
        RunOne(lock);
    }
}

std::size_t QueueMailbox::PumpPending() {
    std::unique_lock lock(mutex_);
    std::size_t count = 0;
    for (std::size_t n = queue_.size(); n > 0 && RunOne(lock); --n)
        ++count;
    return count;
}

std::size_t QueueMailbox::Queued() {
    std::lock_guard lock(mutex_);
    return queue_.size();
}
