// The program's command line. --help and --version are answered without creating the application
// object, so they work on a machine without a display (a package check, a remote shell); --lang only
// chooses the interface language of this run.
#include "app/CommandLine.h"

#include "app/Language.h"
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
        "itself once plugged in."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption lang(
        QStringLiteral("lang"),
        QStringLiteral("Interface language of this run: ja (Japanese, the default) or en "
                       "(English). Overrides the language chosen in the window."),
        QStringLiteral("ja|en"));
    parser.addOption(lang);
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.takesValue) option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const QString program = arguments.isEmpty() ? QStringLiteral("vexaview") : arguments.first();
    const QString tryHelp = QStringLiteral("Try '%1 --help' for more information.\n").arg(program);
    const auto ending = [](int exitCode, const QString& out, const QString& err) {
        CommandLineAnswer a;
        a.exit = true;
        a.exitCode = exitCode;
        a.out = out;
        a.err = err;
        return a;
    };
    CommandLineAnswer answer;
    if (!parser.parse(arguments)) {
        answer = ending(2, {}, QStringLiteral("vexaview: %1\n").arg(parser.errorText()) + tryHelp);
    } else if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object the parser cannot know the program's name.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QFileInfo(program).fileName());
        answer = ending(0, text, {});
    } else if (parser.isSet(version)) {
        answer = ending(0, QStringLiteral("vexaview %1\n").arg(QString::fromLatin1(VexaVersion())), {});
    } else if (parser.isSet(lang) && !LanguageOfCode(parser.value(lang))) {
        answer = ending(
            2, {},
            QStringLiteral("vexaview: --lang takes ja or en, not '%1'\n").arg(parser.value(lang)) + tryHelp);
    } else if (!parser.positionalArguments().isEmpty()) {
        answer = ending(
            2, {},
            QStringLiteral("vexaview: unexpected argument '%1'\n").arg(parser.positionalArguments().first()) +
                tryHelp);
    } else {
        answer.language = parser.value(lang);
    }
    return answer;
}

CommandLineAnswer AnswerCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineAnswer answer = ReadCommandLine(arguments);
    if (!answer.exit) return answer;
    UseCallersConsole();
    std::fputs(answer.out.toLocal8Bit().constData(), stdout);
    std::fputs(answer.err.toLocal8Bit().constData(), stderr);
    return answer;
}
