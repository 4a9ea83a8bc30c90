// Reading and replacing files of the work area on POSIX systems: only regular files, loads of a bounded size.
#include "platform/RegularFile.h"

#include "platform/RegularFileErrors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa {

namespace {

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

} // namespace

std::string ReadRegularFile(const std::string& path, std::uintmax_t maxBytes, std::string_view sizeReason) {
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer; the kind
    // is then checked on what was actually opened, which also covers links.
    const Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) throw FileError("open", path, std::strerror(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw FileError("open", path, std::strerror(errno));
    if (!S_ISREG(st.st_mode)) throw NotAFileError(path, KindOf(st.st_mode), "only files can be loaded");
    if (std::uintmax_t(st.st_size) > maxBytes)
        throw TooLargeError(path, std::uintmax_t(st.st_size), maxBytes, sizeReason);

    std::string content;
    content.resize(std::size_t(st.st_size));
    std::size_t filled = 0;
    for (;;) {
        // One byte of room beyond the size seen, so a file that grew while being read is noticed.
        if (filled == content.size()) {
            if (filled >= maxBytes) {
                char probe;
                const ssize_t n = ::read(fd.get(), &probe, 1);
                if (n == 0) break;
                if (n > 0) throw TooLargeError(path, filled + 1, maxBytes, sizeReason);
                if (errno == EINTR) continue;
                throw FileError("read", path, std::strerror(errno));
            }
            content.resize(std::min<std::uintmax_t>(maxBytes, filled + 64 * 1024 + filled / 2));
        }
        const ssize_t n = ::read(fd.get(), content.data() + filled, content.size() - filled);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError("read", path, std::strerror(errno));
        }
        filled += std::size_t(n);
    }
    content.resize(filled);
    return content;
}

void CheckReplaceableFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return; // nothing there yet, or the save itself will say why
    if (!S_ISREG(st.st_mode)) throw NotAFileError(path, KindOf(st.st_mode), "only files can be replaced");
}

} // namespace vexa
