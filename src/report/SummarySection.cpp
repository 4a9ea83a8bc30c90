// The report's head: title, the recording's facts, its time span; and the statistics table.
#include "report/ReportSections.h"

#include "version/Version.h"

#include <QCoreApplication>
#include <QDateTime>

namespace vexa::report {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("Report", text);
}

constexpr double kLine = 4.3; // mm between lines of 8-point text

} // namespace

double DrawSummary(PdfSheet& sheet, const ReportContext& c, double y) {
    const ReportRequest& r = c.request;
    sheet.SetPen(Qt::black, 0.1);
    sheet.SetFont(16, true);
    y += 7;
    sheet.Text(kMarginMm, y, r.title.isEmpty() ? DefaultReportTitle() : r.title);
    sheet.SetFont(7);
    y += 5;
    sheet.Text(kMarginMm, y,
               Tr("Written %1 by V-EXAVIEW %2")
                   .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                        QString::fromLatin1(VexaVersion())));

    std::vector<ReportFact> facts;
    facts.push_back({Tr("File"), r.fileName.isEmpty() ? Tr("(not saved)") : r.fileName});
    facts.insert(facts.end(), r.facts.begin(), r.facts.end());
    facts.push_back({Tr("Counts per G"), r.countsPerGFromHeader
                                             ? QString::number(r.countsPerG)
                                             : Tr("%1 (the header names none)").arg(r.countsPerG)});
    const analysis::Statistics& s = c.statistics;
    facts.push_back({Tr("Samples"), Count(r.samples.size())});
    if (s.samples > 0) {
        facts.push_back({Tr("Start"), c.TimeText(s.first)});
        facts.push_back({Tr("End"), c.TimeText(s.last)});
        facts.push_back({Tr("Time span"), Duration(s.seconds)});
    }

    // Two columns of "name: value", the left one filled first.
    y += 6;
    const std::size_t rows = (facts.size() + 1) / 2;
    sheet.SetFont(8);
    const double nameWidth = 26, columnWidth = 92;
    for (std::size_t k = 0; k < facts.size(); ++k) {
        const double x = kMarginMm + double(k / rows) * columnWidth, line = y + double(k % rows) * kLine;
        sheet.SetFont(8, true);
        sheet.Text(x, line, facts[k].name);
        sheet.SetFont(8);
        // A value wider than its column is cut with an ellipsis; the file name keeps its end.
        QString value = facts[k].value;
        const double room = columnWidth - nameWidth - 2;
        while (value.size() > 4 && sheet.TextWidthMm(value) > room)
            value = k == 0 ? QStringLiteral("…") + value.mid(value.startsWith(QStringLiteral("…")) ? 2 : 1)
                           : value.left(value.size() - 2) + QStringLiteral("…");
        sheet.Text(x + nameWidth, line, value);
    }
    return y + double(rows) * kLine;
}

double DrawStatisticsTable(PdfSheet& sheet, const ReportContext& c, double y) {
    const analysis::Statistics& s = c.statistics;
    sheet.SetPen(Qt::black, 0.1);
    sheet.SetFont(10, true);
    y += 5;
    sheet.Text(kMarginMm, y, Tr("Statistics (g)"));
    const double first = kMarginMm + 38, step = 28;
    const QString heads[] = {Tr("max"), Tr("min"), Tr("mean"), Tr("RMS"), Tr("peak-to-peak")};
    y += 5.5;
    sheet.SetFont(8, true);
    for (int k = 0; k < 5; ++k)
        sheet.Text(first + step * k, y, heads[k], Qt::AlignRight);
    sheet.SetPen(Qt::gray, 0.15);
    sheet.Painter().drawLine(sheet.Point(kMarginMm, y + 1.2), sheet.Point(kMarginMm + 180, y + 1.2));
    sheet.SetPen(Qt::black, 0.1);
    const char* names[] = {"X", "Y", "Z"};
    for (int a = 0; a < 3; ++a) {
        const analysis::AxisStatistics& v = s.axes[std::size_t(a)];
        y += kLine;
        sheet.SetFont(8, true);
        sheet.Text(kMarginMm, y, QString::fromLatin1(names[a]));
        sheet.SetFont(8);
        const double values[] = {v.max, v.min, v.mean, v.rms, v.peakToPeak};
        for (int k = 0; k < 5; ++k)
            sheet.Text(first + step * k, y, G(values[k]), Qt::AlignRight);
    }
    y += kLine + 1;
    sheet.SetFont(8, true);
    sheet.Text(kMarginMm, y, Tr("Vector |a|"));
    sheet.SetFont(8);
    sheet.Text(first, y, G(s.vectorMax), Qt::AlignRight);
    sheet.Text(first + 4, y, Tr("largest, at %1 (median %2)").arg(c.TimeText(s.vectorMaxAt), G(c.median)));
    y += kLine;
    sheet.SetFont(8, true);
    sheet.Text(kMarginMm, y, Tr("Temperature (°C)"));
    sheet.SetFont(8);
    if (s.temperatureSamples == 0) {
        sheet.Text(first, y, Tr("no readings"), Qt::AlignRight);
        return y;
    }
    const double temperatures[] = {s.temperatureMax, s.temperatureMin, s.temperatureMean};
    for (int k = 0; k < 3; ++k)
        sheet.Text(first + step * k, y, QString::number(temperatures[k], 'f', 1), Qt::AlignRight);
    if (s.temperatureSamples < s.samples)
        sheet.Text(first + step * 3 - 20, y,
                   Tr("over the %1 samples with a reading").arg(Count(s.temperatureSamples)));
    return y;
}

void DrawFooter(PdfSheet& sheet, int page, int pages) {
    sheet.SetPen(Qt::darkGray, 0.1);
    sheet.SetFont(7);
    sheet.Text(kPageWidthMm - kMarginMm, kPageHeightMm - 8, Tr("page %1 of %2").arg(page).arg(pages),
               Qt::AlignRight);
}

} // namespace vexa::report
