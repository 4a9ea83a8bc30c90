// The program's command line. The tool itself takes no options; --help and --version are answered
// without creating the application object, so they work on a machine without a display (a package
// check, a remote shell).
#include "app/CommandLine.h"

#include "platform/CallerConsole.h"
#include "version/Version.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

namespace {

// Options the Qt application object takes itself; they must not be refused here.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"style", true},
    {"stylesheet", true},
    {"name", true},
    {"title", true},
    {"visual", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
};

} // namespace

CommandLineAnswer ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's options come with one dash ("-platform offscreen"); read them as words, not as letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "V-EXAVIEW: reads the settings and the recorded data of the VEXA acceleration and temperature\n"
        "logger over USB, shows live readings and saves the data as CSV files. The logger is found by\n"
        "itself once plugged in; the program takes no further options."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.takesValue) option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLineAnswer answer;
    const QString program = arguments.isEmpty() ? QStringLiteral("vexaview") : arguments.first();
    const QString tryHelp = QStringLiteral("Try '%1 --help' for more information.\n").arg(program);
    if (!parser.parse(arguments)) {
        answer = {true, 2, {}, QStringLiteral("vexaview: %1\n").arg(parser.errorText()) + tryHelp};
    } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object the parser cannot know the program's name.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QFileInfo(program).fileName());
        answer = {true, 0, text, {}};
    } else if (parser.isSet(version)) {
        answer = {true, 0, QStringLiteral("vexaview %1\n").arg(QString::fromLatin1(VexaVersion())), {}};
    } else if (!parser.positionalArguments().isEmpty()) {
        answer = {
            true,
            2,
            {},
            QStringLiteral("vexaview: unexpected argument '%1'\n").arg(parser.positionalArguments().first()) +
                tryHelp};
    }
    return answer;
}

std::optional<int> AnswerCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineAnswer answer = ReadCommandLine(arguments);
    if (!answer.exit) return std::nullopt;
    UseCallersConsole();
    std::fputs(answer.out.toLocal8Bit().constData(), stdout);
    std::fputs(answer.err.toLocal8Bit().constData(), stderr);
    return answer.exitCode;
}
