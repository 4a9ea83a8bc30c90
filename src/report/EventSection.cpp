// The shock events: threshold and gap, the total count, and the 20 largest by peak.
#include "report/ReportSections.h"

#include <QCoreApplication>

namespace vexa::report {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("Report", text);
}

} // namespace

double DrawEventTable(PdfSheet& sheet, const ReportContext& c, double y) {
    sheet.SetPen(Qt::black, 0.1);
    sheet.SetFont(10, true);
    sheet.Text(kMarginMm, y, Tr("Shock events"));
    sheet.SetFont(8);
    y += 5.5;
    const QString threshold = QString::number(c.threshold, 'f', 2);
    sheet.Text(
        kMarginMm, y,
        c.defaultThreshold
            ? Tr("Threshold %1 g: the median |a| (%2 g) plus 2 g, rounded to 0.1 g. Minimum gap %3 ms.")
                  .arg(threshold, G(c.median))
                  .arg(c.request.minGapMs)
            : Tr("Threshold %1 g (given). Minimum gap %2 ms.").arg(threshold).arg(c.request.minGapMs));
    y += 4.3;
    const std::size_t total = c.events.size();
    if (total == 0) {
        sheet.Text(kMarginMm, y, Tr("No sample reached the threshold: no events."));
        return y;
    }
    sheet.Text(
        kMarginMm, y,
        total <= kReportedEvents
            ? Tr("%1 events, all listed, the largest peak first.").arg(Count(total))
            : Tr("%1 events; the %2 largest by peak are listed.").arg(Count(total)).arg(kReportedEvents));

    // Columns: event number in time order, start, end, peak time, peak, X, Y, Z, over samples.
    const double xs[] = {kMarginMm + 7,   kMarginMm + 10,  kMarginMm + 47,  kMarginMm + 84, kMarginMm + 131,
                         kMarginMm + 143, kMarginMm + 155, kMarginMm + 167, kMarginMm + 180};
    const Qt::Alignment align[] = {Qt::AlignRight, Qt::AlignLeft,  Qt::AlignLeft,
                                   Qt::AlignLeft,  Qt::AlignRight, Qt::AlignRight,
                                   Qt::AlignRight, Qt::AlignRight, Qt::AlignRight};
    const QString heads[] = {Tr("#"),   Tr("start"), Tr("end"), Tr("peak at"), Tr("peak g"),
                             Tr("X g"), Tr("Y g"),   Tr("Z g"), Tr("samples")};
    y += 6;
    sheet.SetFont(7.5, true);
    for (int k = 0; k < 9; ++k)
        sheet.Text(xs[k], y, heads[k], align[k]);
    sheet.SetPen(Qt::gray, 0.15);
    sheet.Painter().drawLine(sheet.Point(kMarginMm, y + 1.2), sheet.Point(kMarginMm + 180, y + 1.2));
    sheet.SetPen(Qt::black, 0.1);
    sheet.SetFont(7.5);
    for (std::size_t index : LargestEvents(c.events, kReportedEvents)) {
        const analysis::ShockEvent& e = c.events[index];
        y += 4;
        const QString cells[] = {QString::number(index + 1), c.TimeText(e.start), c.TimeText(e.end),
                                 c.TimeText(e.peakAt),       G(e.peak),           G(e.axisPeak[0]),
                                 G(e.axisPeak[1]),           G(e.axisPeak[2]),    Count(e.samples)};
        for (int k = 0; k < 9; ++k)
            sheet.Text(xs[k], y, cells[k], align[k]);
    }
    return y;
}

} // namespace vexa::report
