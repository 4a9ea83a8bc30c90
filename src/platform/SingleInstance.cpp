// Single-instance guard: a named lock held for the life of the process.
#include "platform/SingleInstance.h"

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
    if (fd_ >= 0) return true;
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void SingleInstanceGuard::Release() {
    if (fd_ < 0) return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}
