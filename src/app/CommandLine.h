// The program's command line: --help and --version, answered before any window or display exists, and
// --lang, the interface language of one run.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLineAnswer {
    bool exit = false; // true: print the texts and end with exitCode; false: start the window
    int exitCode = 0;
    QString out; // for stdout
    QString err; // for stderr
    QString language; // --lang: "ja" or "en"; empty when not given
};

// arguments as in argv, the program's name first. Qt's own window-system options (-platform,
// -style, -display, ...) are accepted and left for the application object to take.
CommandLineAnswer ReadCommandLine(const QStringList& arguments);

// Reads argv and prints the answer; answer.exit says whether the program ends here.
CommandLineAnswer AnswerCommandLine(int argc, char** argv);
