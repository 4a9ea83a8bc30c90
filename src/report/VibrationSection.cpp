// The vibration figures of a 5-ms capture: Grms from the PSD, crest factors, the PSD plot and the RMS of
// each second.
#include "report/Chart.h"
#include "report/ReportSections.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace vexa::report {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("Report", text);
}

const char* kAxisNames[3] = {"X", "Y", "Z"};

std::vector<std::pair<QString, QColor>> AxisLegend() {
    return {{QStringLiteral("X"), kAxisColour[0]},
            {QStringLiteral("Y"), kAxisColour[1]},
            {QStringLiteral("Z"), kAxisColour[2]}};
}

} // namespace

double DrawVibration(PdfSheet& sheet, const ReportContext& c, double y) {
    const analysis::Psd& psd = c.psd;
    sheet.SetPen(Qt::black, 0.1);
    sheet.SetFont(10, true);
    sheet.Text(kMarginMm, y,
               Tr("Vibration (5-ms capture, %1 samples a second)").arg(analysis::kCaptureRateHz));
    sheet.SetFont(8);
    y += 5.5;
    if (psd.segments == 0) {
        sheet.Text(
            kMarginMm, y,
            Tr("Fewer than %1 samples: too short for a power spectral density.").arg(analysis::kPsdSegment));
        return y;
    }
    sheet.Text(
        kMarginMm, y,
        Tr("Power spectral density (Welch): %1-sample segments, Hann window, 50 % overlap, the mean of each "
           "segment removed.")
            .arg(analysis::kPsdSegment));
    y += 4.3;
    const std::size_t total = c.request.samples.size();
    sheet.Text(kMarginMm, y,
               psd.samplesUsed == total
                   ? Tr("%1 segments cover all %2 samples.").arg(psd.segments).arg(Count(total))
                   : Tr("%1 segments cover %2 of the %3 samples; the last %4 are fewer than half a segment.")
                         .arg(psd.segments)
                         .arg(Count(psd.samplesUsed), Count(total), Count(total - psd.samplesUsed)));
    y += 4.3;
    sheet.Text(
        kMarginMm, y,
        Tr("Resolution %1 Hz. Frequencies reach %2 Hz at most, half the sampling rate: vibration above "
           "%2 Hz is not seen.")
            .arg(QString::number(psd.resolution, 'g', 6))
            .arg(psd.NyquistHz()));
    y += 5.5;
    sheet.SetFont(8, true);
    QString grms = Tr("Grms: overall %1 g").arg(QString::number(psd.grmsOverall, 'f', 4));
    QString crest = Tr("Crest factor (peak / RMS):");
    for (int a = 0; a < 3; ++a) {
        grms += QStringLiteral(", %1 %2 g")
                    .arg(QLatin1String(kAxisNames[a]))
                    .arg(QString::number(psd.grms[std::size_t(a)], 'f', 4));
        // An axis without signal (RMS 0) has no crest factor.
        const double k = c.crest[std::size_t(a)];
        crest += QStringLiteral(" %1 %2").arg(QLatin1String(kAxisNames[a]),
                                              k > 0 ? QString::number(k, 'f', 2) : QStringLiteral("–"));
    }
    sheet.Text(kMarginMm, y, grms);
    y += 4.3;
    sheet.SetFont(8);
    sheet.Text(kMarginMm, y, crest);

    // The PSD on a logarithmic scale, from the first bin above DC; six decades below the largest value.
    double top = 0;
    for (const std::vector<double>& d : psd.density)
        for (std::size_t k = 1; k < d.size(); ++k)
            top = std::max(top, d[k]);
    top = top > 0 ? std::pow(10.0, std::ceil(std::log10(top))) : 1.0;
    const double bottom = top * 1e-6;
    const double left = kMarginMm + 14, width = 180 - 14;
    y += 9;
    Chart chart(sheet, QRectF(left, y, width, 75), {0, psd.NyquistHz(), false}, {bottom, top, true});
    chart.Frame(Tr("Power spectral density"), Tr("g²/Hz"));
    chart.YGrid(0);
    std::vector<std::pair<double, QString>> hz;
    for (int f = 0; f <= int(psd.NyquistHz()); f += 10)
        hz.push_back({double(f), f == int(psd.NyquistHz()) ? Tr("%1 Hz").arg(f) : QString::number(f)});
    chart.XGrid(hz);
    for (int a = 0; a < 3; ++a) {
        std::vector<QPointF> points;
        const std::vector<double>& d = psd.density[std::size_t(a)];
        for (std::size_t k = 1; k < d.size(); ++k)
            points.push_back({psd.frequency[k], std::max(d[k], bottom)});
        chart.Polyline(points, kAxisColour[a]);
    }
    chart.Legend(AxisLegend());
    y += 75 + 11;

    // RMS of each second.
    double rmsTop = 0;
    for (const analysis::RmsWindow& w : c.rms)
        for (double v : w.rms)
            rmsTop = std::max(rmsTop, v);
    const double seconds = double(c.rms.size());
    Chart rms(sheet, QRectF(left, y, width, 45), {0, std::max(seconds, 1.0), false}, PaddedAxis(0, rmsTop));
    rms.Frame(Tr("RMS of each second"), Tr("g"));
    rms.YGrid(2);
    std::vector<std::pair<double, QString>> ticks;
    for (double t : NiceTicks(0, seconds, 8))
        ticks.push_back({t, t == 0 ? Tr("0 s") : QString::number(t)});
    rms.XGrid(ticks);
    for (int a = 0; a < 3; ++a) {
        std::vector<QPointF> points;
        for (std::size_t k = 0; k < c.rms.size(); ++k)
            points.push_back({double(k) + 0.5, c.rms[k].rms[std::size_t(a)]});
        rms.Polyline(points, kAxisColour[a]);
    }
    rms.Legend(AxisLegend());
    return y + 45 + 6;
}

} // namespace vexa::report
