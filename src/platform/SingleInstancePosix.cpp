// Single-instance guard on POSIX systems: an flock on a per-user lock file.
#include "platform/SingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
std::string LockDirectory() {
    if (const char* dir = std::getenv("VEXA_LOCK_DIR"); dir && *dir) return dir;
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir) return dir;
    return "/tmp";
}
} // namespace

SingleInstanceGuard::SingleInstanceGuard(std::string name)
    : path_(LockDirectory() + "/" + name + "-" + std::to_string(getuid()) + ".lock") {}

SingleInstanceGuard::~SingleInstanceGuard() { Release(); }

bool SingleInstanceGuard::Acquire() {
    if (handle_ >= 0) return true;
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

bool SingleInstanceGuard::HeldElsewhere() const {
    if (handle_ >= 0) return false;
    // No lock file: nobody has ever held the guard here. It is not created just to look.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

void SingleInstanceGuard::Release() {
    if (handle_ < 0) return;
    const int fd = static_cast<int>(handle_);
    ::flock(fd, LOCK_UN);
    ::close(fd);
    handle_ = -1;
}
