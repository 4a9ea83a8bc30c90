// The report's pages: the analysis is made once, then page 1 (facts, statistics, overview) and page 2
// (events, and for captures the vibration figures).
#include "report/Report.h"

#include "analysis/Envelope.h"
#include "report/ReportSections.h"

#include <QCoreApplication>
#include <QSaveFile>

namespace vexa::report {

QString DefaultReportTitle() {
    return QCoreApplication::translate("Report", "Shock and vibration report");
}

namespace {

ReportContext Analyse(const ReportRequest& r) {
    ReportContext c{r, {}, {}, {}, {}, {}, {}, {}, {}};
    c.statistics = analysis::ComputeStatistics(r.samples, r.countsPerG);
    c.median = analysis::MedianMagnitude(r.samples, r.countsPerG);
    c.defaultThreshold = !r.threshold;
    c.threshold = r.threshold ? *r.threshold : analysis::DefaultThreshold(r.samples, r.countsPerG);
    c.events = analysis::FindShockEvents(r.samples, r.countsPerG, c.threshold, r.minGapMs);
    if (r.capture) {
        c.psd = analysis::WelchPsd(r.samples, r.countsPerG, analysis::kCaptureRateHz);
        c.rms = analysis::WindowedRms(r.samples, r.countsPerG);
        c.crest = analysis::CrestFactors(r.samples);
    }
    return c;
}

} // namespace

ReportOutcome WriteReport(const ReportRequest& request, QIODevice& device) {
    ReportOutcome outcome;
    if (request.countsPerG <= 0) {
        outcome.error = QCoreApplication::translate("Report", "counts per G must be positive");
        return outcome;
    }
    if (request.threshold && !(*request.threshold > 0)) {
        outcome.error = QCoreApplication::translate("Report", "the threshold must be a positive number of g");
        return outcome;
    }
    const ReportContext c = Analyse(request);
    outcome.events = c.events.size();
    outcome.threshold = c.threshold;

    QPdfWriter writer(&device);
    writer.setTitle(request.title.isEmpty() ? DefaultReportTitle() : request.title);
    writer.setCreator(QStringLiteral("V-EXAVIEW"));
    PdfSheet sheet(writer);
    if (!sheet.IsActive()) {
        outcome.error = QCoreApplication::translate("Report", "the PDF could not be started");
        return outcome;
    }
    const int pages = request.samples.empty() ? 1 : 2;
    double y = DrawSummary(sheet, c, kMarginMm);
    if (!request.samples.empty()) {
        y = DrawStatisticsTable(sheet, c, y + 4);
        DrawOverview(sheet, c, y + 6);
    }
    DrawFooter(sheet, 1, pages);
    if (pages > 1) {
        if (!sheet.NewPage()) {
            outcome.error =
                QCoreApplication::translate("Report", "the PDF's second page could not be started");
            return outcome;
        }
        y = DrawEventTable(sheet, c, kMarginMm + 5);
        if (request.capture) DrawVibration(sheet, c, y + 8);
        DrawFooter(sheet, 2, pages);
    }
    sheet.Painter().end();
    outcome.pages = sheet.Pages();
    outcome.ok = true;
    return outcome;
}

ReportOutcome WriteReportFile(const ReportRequest& request, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ReportOutcome outcome;
        outcome.error = file.errorString();
        return outcome;
    }
    ReportOutcome outcome = WriteReport(request, file);
    if (!outcome.ok) {
        file.cancelWriting();
        return outcome;
    }
    if (!file.commit()) {
        outcome.ok = false;
        outcome.error = file.errorString();
    }
    return outcome;
}

} // namespace vexa::report
