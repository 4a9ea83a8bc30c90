// `vexa report FILE.csv -o REPORT.pdf`: the PDF report of a data file. The only part of the command line
// that uses Qt (Gui, for the PDF writer): the application object exists while the report is written, on
// the offscreen platform, so no display is needed.
#include "analysis/ShockEvents.h"
#include "cli/Failure.h"
#include "cli/JsonWriter.h"
#include "cli/Subcommands.h"
#include "cli/analysis/AnalysisInput.h"
#include "report/RecordingReport.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace vexa::cli {

namespace {

// The PDF writer needs fonts, and so Qt's window-system layer; the offscreen one needs no display and
// is forced, so that a DISPLAY that cannot be reached (ssh, CI) never matters.
std::unique_ptr<QGuiApplication> GuiForReport() {
    if (QGuiApplication::instance()) return nullptr;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vexa";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

// Qt's notes about its own environment (no runtime folder, say) mean nothing to someone asking for a
// report; its critical messages still reach standard error.
void QuietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "vexa: %s\n", qPrintable(message));
}

struct QtNotesQuiet {
    QtMessageHandler previous = qInstallMessageHandler(QuietQtNotes);
    ~QtNotesQuiet() { qInstallMessageHandler(previous); }
};

} // namespace

int RunReport(const Invocation& inv, Streams& streams) {
    if (inv.operands.empty()) throw UsageFailure("report needs the CSV file to read");
    const std::optional<std::string> output = inv.Value("output");
    if (!output || output->empty()) throw UsageFailure("report needs -o REPORT.pdf, the file to write");
    const std::optional<double> threshold = GOption(inv, "threshold");
    const std::int64_t minGapMs = MinGapOption(inv);
    const std::string& path = inv.operands.front();
    const Recording recording = LoadRecording(path);

    const QtNotesQuiet quiet;
    const std::unique_ptr<QGuiApplication> gui = GuiForReport();
    report::ReportRequest request = report::ReportRequestFor(recording, QString::fromUtf8(path.c_str()));
    if (const std::optional<std::string> title = inv.Value("title"))
        request.title = QString::fromUtf8(title->c_str());
    request.threshold = threshold;
    request.minGapMs = minGapMs;
    const report::ReportOutcome outcome =
        report::WriteReportFile(request, QString::fromUtf8(output->c_str()));
    if (!outcome.ok)
        throw Failure(kExitUsage, "cannot write " + *output + ": " + outcome.error.toStdString());

    if (inv.Has("json")) {
        JsonObject o;
        o.String("output", *output)
            .Integer("pages", outcome.pages)
            .Integer("events", std::int64_t(outcome.events));
        o.Decimal("threshold", outcome.threshold, kJsonDecimals);
        std::fprintf(streams.out, "%s\n", o.Text().c_str());
    } else {
        std::fprintf(streams.out, "%s: %d page%s, %s events at or above %s g\n", output->c_str(),
                     outcome.pages, outcome.pages == 1 ? "" : "s", std::to_string(outcome.events).c_str(),
                     G3(outcome.threshold).c_str());
    }
    return kExitDone;
}

} // namespace vexa::cli
