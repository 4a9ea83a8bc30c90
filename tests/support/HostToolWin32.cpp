// Build-machine programs from a Windows test: directly on Windows; under Wine through the Linux shell.
#include "support/HostTool.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

using ToUnix = char* (*)(const wchar_t*);

// Only Wine's kernel32 has this export; on Windows itself it is missing and the tools are Windows programs.
ToUnix WineToUnix() {
    return reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

QString UnixPath(ToUnix toUnix, const QString& path) {
    char* unixPath = toUnix(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()));
    if (!unixPath) return path;
    const QString result = QString::fromUtf8(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

} // namespace

HostToolRun RunHostTool(const QString& program, const QStringList& arguments) {
    const ToUnix toUnix = WineToUnix();
    if (!toUnix) return RunHostToolDirectly(program, arguments);

    // Wine starts a Linux program from a Windows one, but neither connects its pipes nor signals its
    // end: the shell writes the output and then the exit status into files, the status file last.
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    const QString status = dir.filePath(QStringLiteral("status"));
    QStringList shell{QStringLiteral("-c"),
                      QStringLiteral("out=$1; status=$2; shift 2; \"$@\" >\"$out\" 2>/dev/null; "
                                     "echo $? >\"$status.part\"; mv \"$status.part\" \"$status\""),
                      QStringLiteral("sh"),
                      UnixPath(toUnix, out),
                      UnixPath(toUnix, status),
                      program};
    for (const QString& a : arguments)
        shell << (QFileInfo(a).isAbsolute() ? UnixPath(toUnix, a) : a);
    QProcess::startDetached(QStringLiteral("/bin/sh"), shell);

    HostToolRun run;
    QDeadlineTimer deadline(60000);
    while (!QFileInfo::exists(status) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile statusFile(status);
    if (!statusFile.open(QIODevice::ReadOnly)) return run;
    bool ok = false;
    run.exitCode = statusFile.readAll().trimmed().toInt(&ok);
    run.finished = ok;
    QFile outFile(out);
    if (outFile.open(QIODevice::ReadOnly)) run.output = outFile.readAll();
    return run;
}
