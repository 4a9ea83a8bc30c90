// Atomic file write on Windows: a temporary file in the target's folder, flushed, then moved over it.
#include "platform/AtomicFile.h"

#include "platform/RegularFile.h"
#include "platform/WideTextWin32.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace vexa {

namespace {

std::runtime_error WriteError(const std::string& path, DWORD error) {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                   DWORD(std::size(text)), nullptr);
    std::string reason = win::Utf8FromWide(text);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' '))
        reason.pop_back();
    return std::runtime_error("Cannot write file \"" + path + "\": " + reason);
}

std::filesystem::path FolderOf(const std::string& path) {
    const std::filesystem::path p(win::WideFromUtf8(path));
    return p.has_parent_path() ? p.parent_path() : std::filesystem::path(L".");
}

} // namespace

void CheckWritableFile(const std::string& path) {
    CheckReplaceableFile(path);
    std::error_code ec;
    const std::filesystem::path folder = FolderOf(path);
    if (!std::filesystem::is_directory(folder, ec))
        throw std::runtime_error("Cannot write file \"" + path + "\": the folder " +
                                 win::Utf8FromWide(folder.wstring()) + " does not exist");
}

void WriteFileAtomically(const std::string& path, std::string_view content) {
    CheckReplaceableFile(path);
    const std::wstring target = win::WideFromUtf8(path);
    const std::wstring temporary = target + L".tmp" + std::to_wstring(GetCurrentProcessId());
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw WriteError(path, GetLastError());
    DWORD error = 0;
    for (std::size_t done = 0; error == 0 && done < content.size();) {
        const DWORD piece = DWORD(std::min<std::size_t>(content.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, content.data() + done, piece, &written, nullptr)) error = GetLastError();
        done += written;
    }
    // The data must be on the disk before the name points at it, or a crash could leave an empty file.
    if (error == 0 && !FlushFileBuffers(file)) error = GetLastError();
    CloseHandle(file);
    if (error == 0 &&
        !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != 0) {
        DeleteFileW(temporary.c_str());
        throw WriteError(path, error);
    }
}

} // namespace vexa
