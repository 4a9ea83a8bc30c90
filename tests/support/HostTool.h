// Runs a program of the build machine (pdftoppm, pdftotext, pdfinfo) from a test and collects its output.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct HostToolRun {
    bool finished = false; // started and ended within the minute it is given
    int exitCode = -1;
    QByteArray output; // what it wrote to standard output
};

// Arguments that are absolute paths name files of this program's file system; under Wine they are
// handed over as the Linux paths they stand for, since the tools are Linux programs there.
HostToolRun RunHostTool(const QString& program, const QStringList& arguments);

// Starts the program as it is and waits for it (POSIX, and Windows itself).
HostToolRun RunHostToolDirectly(const QString& program, const QStringList& arguments);
