// The overview of the whole recording: vector magnitude with the threshold, the three axes, and the
// temperature, each a column envelope that keeps every peak.
#include "report/Chart.h"
#include "report/ReportSections.h"

#include "analysis/Envelope.h"

#include <QCoreApplication>
#include <algorithm>

namespace vexa::report {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("Report", text);
}

// A quarter of a millimetre per column: finer than the eye, coarse enough to keep the PDF small.
constexpr double kColumnMm = 0.25;
constexpr double kChartWidthMm = 180 - 14; // room for the y labels on the left
constexpr double kTall = 48, kLow = 30;    // chart heights
constexpr double kBelow = 13;              // the time labels and the next chart's title

QString TwoLines(QString time) {
    // Date over time of day, so that five labels fit side by side.
    if (const qsizetype space = time.indexOf(QLatin1Char(' ')); space > 0) time[space] = QLatin1Char('\n');
    return time;
}

// Time labels below a chart: at the left edge of the columns at 0, 1/4, 1/2 and 3/4 of the width (or the
// nearest column that holds a sample), the time of its first sample; at the right edge the last sample's.
std::vector<std::pair<double, QString>> TimeTicks(const ReportContext& c,
                                                  const std::vector<analysis::ColumnRange>& columns) {
    std::vector<std::pair<double, QString>> ticks;
    const std::size_t n = columns.size();
    for (int k = 0; k < 4; ++k) {
        const std::size_t want = n * std::size_t(k) / 4;
        for (std::size_t d = 0; d < n; ++d) {
            const std::size_t before = want >= d ? want - d : n, after = want + d;
            const std::size_t found = before < n && columns[before].count ? before
                                      : after < n && columns[after].count ? after
                                                                          : n;
            if (found == n) continue;
            if (ticks.empty() || ticks.back().first < double(found))
                ticks.push_back({double(found), TwoLines(c.TimeText(columns[found].firstSample))});
            break;
        }
    }
    ticks.push_back({double(n), TwoLines(c.TimeText(c.statistics.last))});
    return ticks;
}

} // namespace

double DrawOverview(PdfSheet& sheet, const ReportContext& c, double y) {
    const analysis::Samples samples = c.request.samples;
    const int g = c.request.countsPerG;
    const std::size_t columns = std::size_t(kChartWidthMm / kColumnMm);
    const analysis::TimeColumns at = analysis::AssignColumns(samples, columns);
    const double left = kMarginMm + 14;
    const ChartAxis x{0, double(columns), false};

    // Vector magnitude and the threshold; each event's peak is marked above the chart.
    const auto magnitude = analysis::Envelope(
        samples, at, [g](const analysis::Sample& s) { return analysis::MagnitudeG(s, g); });
    const std::vector<std::pair<double, QString>> ticks = TimeTicks(c, magnitude);
    y += 4;
    const double top = std::max(c.statistics.vectorMax, c.threshold) * 1.08;
    Chart m(sheet, QRectF(left, y, kChartWidthMm, kTall), x, {0, top > 0 ? top : 1, false});
    m.Frame(Tr("Vector magnitude |a|, all %1 samples (every peak kept)").arg(Count(samples.size())), Tr("g"));
    m.YGrid(1);
    m.XGrid(ticks);
    m.Envelope(magnitude, kMagnitudeColour);
    m.HorizontalLine(
        c.threshold, kThresholdColour, Qt::DashLine,
        Tr("threshold %1 g, %2 events").arg(QString::number(c.threshold, 'f', 2)).arg(c.events.size()));
    sheet.SetPen(kThresholdColour, 0.3);
    for (const analysis::ShockEvent& e : c.events) {
        const double px = m.Map(double(at.of[e.peakAt]) + 0.5, 0).x();
        sheet.Painter().drawLine(QPointF(px, sheet.Dots(y - 1.2)), QPointF(px, sheet.Dots(y)));
    }
    y += kTall + kBelow;

    // The three axes.
    std::array<std::vector<analysis::ColumnRange>, 3> axes;
    double lo = 0, hi = 0;
    for (int a = 0; a < 3; ++a) {
        axes[std::size_t(a)] = analysis::Envelope(samples, at, [a, g](const analysis::Sample& s) {
            return analysis::AxisCounts(s, a) / double(g);
        });
        lo = std::min(lo, c.statistics.axes[std::size_t(a)].min);
        hi = std::max(hi, c.statistics.axes[std::size_t(a)].max);
    }
    Chart xyz(sheet, QRectF(left, y, kChartWidthMm, kTall), x, PaddedAxis(lo, hi));
    xyz.Frame(Tr("Acceleration per axis"), Tr("g"));
    xyz.YGrid(1);
    xyz.XGrid(ticks);
    for (int a = 0; a < 3; ++a)
        xyz.Envelope(axes[std::size_t(a)], kAxisColour[a]);
    xyz.Legend({{QStringLiteral("X"), kAxisColour[0]},
                {QStringLiteral("Y"), kAxisColour[1]},
                {QStringLiteral("Z"), kAxisColour[2]}});
    y += kTall + kBelow;

    // Temperature, where the samples carry a reading.
    if (c.statistics.temperatureSamples == 0) return y;
    const auto temperature =
        analysis::Envelope(samples, at, [](const analysis::Sample& s) { return analysis::Celsius(s); });
    Chart t(sheet, QRectF(left, y, kChartWidthMm, kLow), x,
            PaddedAxis(c.statistics.temperatureMin, c.statistics.temperatureMax));
    t.Frame(Tr("Temperature"), Tr("°C"));
    t.YGrid(1);
    t.XGrid(ticks);
    t.Envelope(temperature, kTemperatureColour);
    return y + kLow + kBelow;
}

} // namespace vexa::report
