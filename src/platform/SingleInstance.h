// Single-instance guard: a named lock held for the life of the process.
#pragma once

#include <cstdint>
#include <string>

// On POSIX systems the lock is an exclusive flock on a file named after the guard, so the kernel
// releases it when the holder exits or crashes: a stale lock file never blocks the next start. On
// Windows it is the named mutex itself, created owned; the system abandons it when the holder dies.
// The window's guard: one copy of the window at a time, and the command line stays off its logger.
inline constexpr const char* kWindowGuardName = "orewavexada";

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
    // True when another process holds the guard now. Nothing is kept: on POSIX a shared lock is taken
    // and dropped at once, so only a copy starting in that very instant could be turned away.
    bool HeldElsewhere() const;
    // The lock file's path; on Windows the mutex's name.
    const std::string& LockPath() const { return path_; }

private:
    std::string path_;
    std::intptr_t handle_ = -1; // the lock file's descriptor or the mutex's handle; -1 while not held
};
