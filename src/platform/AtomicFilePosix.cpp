// Atomic file write on POSIX systems: mkstemp in the target's folder, fsync, rename.
#include "platform/AtomicFile.h"

#include "platform/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vexa {

namespace {

std::runtime_error WriteError(const std::string& path, int error) {
    return std::runtime_error("Cannot write file \"" + path + "\": " + std::strerror(error));
}

// The file a save lands in: a link is followed, so the link stays and its file gets the content.
std::string TargetOf(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : resolved.string();
}

// Permissions for a new file as open(2) would give them: 0666 less the process's umask. umask can only
// be read by setting it, so it is put back at once (the program creates no files on other threads).
mode_t NewFileMode() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

std::filesystem::path FolderOf(const std::string& target) {
    const std::filesystem::path path(target);
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

} // namespace

void CheckWritableFile(const std::string& path) {
    const std::string target = TargetOf(path);
    CheckReplaceableFile(target);
    const std::filesystem::path folder = FolderOf(target);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        throw std::runtime_error("Cannot write file \"" + path + "\": the folder " + folder.string() +
                                 " does not exist");
    if (::access(folder.c_str(), W_OK | X_OK) != 0) throw WriteError(path, errno);
}

void WriteFileAtomically(const std::string& path, std::string_view content) {
    const std::string target = TargetOf(path);
    CheckReplaceableFile(target);
    const std::filesystem::path targetPath(target);
    const std::filesystem::path folder = FolderOf(target);
    std::string pattern = (folder / ("." + targetPath.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) throw WriteError(path, errno);
    const std::string temporary(name.data());

    int error = 0;
    // A replaced file keeps its permissions; a new one gets the usual ones rather than mkstemp's 0600.
    struct stat existing {};
    const mode_t mode = ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();
    if (::fchmod(fd, mode) != 0) error = errno;
    for (std::size_t done = 0; error == 0 && done < content.size();) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno != EINTR) error = errno;
            continue;
        }
        done += std::size_t(n);
    }
    // The data must be on the disk before the name points at it, or a crash could leave an empty file.
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        throw WriteError(path, error);
    }
    // The rename itself reaches the disk with the folder; a failure here loses nothing already written.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace vexa
