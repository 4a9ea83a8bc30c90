// Paths for the build machine's programs under Wine: Wine's own mapping to the Linux file name.
#include "support/HostPath.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QDir>
#include <cstdlib>

QString HostPath(const QString& path) {
    // Only Wine's kernel32 has this export; on Windows itself the tools are Windows programs.
    using ToUnix = char* (*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return path;
    char* unixPath = toUnix(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()));
    if (!unixPath) return path;
    const QString result = QString::fromUtf8(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}
