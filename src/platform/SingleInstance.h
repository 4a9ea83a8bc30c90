// Single-instance guard: a named lock held for the life of the process.
#pragma once

#include <string>

// The lock is an exclusive flock on a file named after the guard, so the kernel releases it when the
// holder exits or crashes: a stale lock file never blocks the next start.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(std::string name);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // True when this process now holds the guard; false when another process holds it
    // (or the lock file cannot be created at all).
    bool Acquire();
    void Release();
    const std::string& LockPath() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};
