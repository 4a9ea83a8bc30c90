// Reading and replacing files of the work area on Windows: only files on a disk, loads of a bounded size.
#include "platform/RegularFile.h"

#include "platform/RegularFileErrors.h"
#include "platform/WideTextWin32.h"
#include "serial/ErrorText.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

namespace vexa {

namespace {

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }

  private:
    HANDLE h_;
};

std::string Reason(DWORD error) {
    std::string text = serial::CleanSystemMessage(serial::SystemErrorText(static_cast<int>(error)));
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text.empty() ? "system error " + std::to_string(error) : text;
}

// What the handle is, when it is not a file on a disk; nullptr for a file.
const char* KindOf(HANDLE file) {
    switch (GetFileType(file)) {
    case FILE_TYPE_DISK:
        break;
    case FILE_TYPE_CHAR:
        return "a character device";
    case FILE_TYPE_PIPE:
        return "a named pipe";
    default:
        return "not a regular file";
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return "not a regular file";
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "a folder";
    return nullptr;
}

// Opening is how Windows tells a device or pipe from a file, and it neither blocks nor reads: a pipe
// without a free instance fails at once, and a device is closed again unread.
HANDLE Open(const std::string& path, DWORD access) {
    return CreateFileW(win::WideFromUtf8(path).c_str(), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

std::string ReadRegularFile(const std::string& path, std::uintmax_t maxBytes, std::string_view sizeReason) {
    const Handle file(Open(path, GENERIC_READ));
    if (file.get() == INVALID_HANDLE_VALUE) throw FileError("open", path, Reason(GetLastError()));
    if (const char* kind = KindOf(file.get())) throw NotAFileError(path, kind, "only files can be loaded");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throw FileError("open", path, Reason(GetLastError()));
    if (std::uintmax_t(size.QuadPart) > maxBytes)
        throw TooLargeError(path, std::uintmax_t(size.QuadPart), maxBytes, sizeReason);

    std::string content(std::size_t(size.QuadPart), '\0');
    std::size_t filled = 0;
    for (;;) {
        // One byte of room beyond the size seen, so a file that grew while being read is noticed.
        if (filled == content.size()) {
            if (filled >= maxBytes) {
                char probe;
                DWORD n = 0;
                if (!ReadFile(file.get(), &probe, 1, &n, nullptr))
                    throw FileError("read", path, Reason(GetLastError()));
                if (n == 0) break;
                throw TooLargeError(path, filled + 1, maxBytes, sizeReason);
            }
            content.resize(std::min<std::uintmax_t>(maxBytes, filled + 64 * 1024 + filled / 2));
        }
        const DWORD want = DWORD(std::min<std::size_t>(content.size() - filled, 1u << 20));
        DWORD n = 0;
        if (!ReadFile(file.get(), content.data() + filled, want, &n, nullptr))
            throw FileError("read", path, Reason(GetLastError()));
        if (n == 0) break;
        filled += n;
    }
    content.resize(filled);
    return content;
}

void CheckReplaceableFile(const std::string& path) {
    // Asking for no access reads nothing and takes no share, yet tells what the name stands for.
    const Handle file(Open(path, 0));
    if (file.get() == INVALID_HANDLE_VALUE) return; // nothing there yet, or the save itself will say why
    if (const char* kind = KindOf(file.get())) throw NotAFileError(path, kind, "only files can be replaced");
}

} // namespace vexa
