// The program's command line: --help and --version, answered before any window or display exists.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct CommandLineAnswer {
    bool exit = false; // true: print the texts and end with exitCode; false: start the window
    int exitCode = 0;
    QString out; // for stdout
    QString err; // for stderr
};

// arguments as in argv, the program's name first. Qt's own window-system options (-platform,
// -style, -display, ...) are accepted and left for the application object to take.
CommandLineAnswer ReadCommandLine(const QStringList& arguments);

// Reads argv and prints the answer; the exit code when the program should end here.
std::optional<int> AnswerCommandLine(int argc, char** argv);
