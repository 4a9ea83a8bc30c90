// Charts of the report.
#include "report/Chart.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vexa::report {

namespace {

double Coordinate(const ChartAxis& axis, double v) {
    if (!axis.logarithmic) return (v - axis.min) / (axis.max - axis.min);
    v = std::max(v, axis.min);
    return (std::log10(v) - std::log10(axis.min)) / (std::log10(axis.max) - std::log10(axis.min));
}

const QColor kGrid(0xC0, 0xC0, 0xC0);
const QColor kInk(0x20, 0x20, 0x20);

} // namespace

std::vector<double> NiceTicks(double min, double max, int count) {
    std::vector<double> ticks;
    if (!(max > min) || count < 1) return ticks;
    const double raw = (max - min) / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) {
            step = m * power;
            break;
        }
    for (double t = std::ceil(min / step - 1e-9) * step; t <= max + step * 1e-9; t += step)
        ticks.push_back(std::abs(t) < step * 1e-9 ? 0.0 : t);
    return ticks;
}

ChartAxis PaddedAxis(double min, double max) {
    if (!(max > min)) return {min - 0.5, max + 0.5, false};
    const double room = (max - min) * 0.05;
    return {min - room, max + room, false};
}

Chart::Chart(PdfSheet& sheet, const QRectF& areaMm, ChartAxis x, ChartAxis y)
    : sheet_(sheet), area_(areaMm), x_(x), y_(y) {}

QPointF Chart::Map(double x, double y) const {
    const double cx = std::clamp(Coordinate(x_, x), 0.0, 1.0), cy = std::clamp(Coordinate(y_, y), 0.0, 1.0);
    return sheet_.Point(area_.left() + cx * area_.width(), area_.bottom() - cy * area_.height());
}

double Chart::MapY(double y) const {
    return Map(x_.min, y).y();
}

void Chart::Frame(const QString& title, const QString& yUnit) {
    sheet_.SetPen(kInk, 0.2);
    sheet_.SetFont(8, true);
    sheet_.Text(area_.left(), area_.top() - 1.5, title);
    sheet_.SetFont(7);
    sheet_.Text(area_.right(), area_.top() - 1.5, yUnit, Qt::AlignRight);
    sheet_.SetPen(kInk, 0.2);
    sheet_.Painter().setBrush(Qt::NoBrush);
    sheet_.Painter().drawRect(sheet_.Rect(area_));
}

void Chart::YGrid(int decimals) {
    std::vector<double> ticks;
    if (y_.logarithmic) {
        for (double d = std::ceil(std::log10(y_.min) - 1e-9); d <= std::log10(y_.max) + 1e-9; d += 1)
            ticks.push_back(std::pow(10.0, d));
    } else {
        ticks = NiceTicks(y_.min, y_.max, 6);
    }
    sheet_.SetFont(6.5);
    for (double t : ticks) {
        const double y = MapY(t);
        sheet_.SetPen(kGrid, 0.1);
        sheet_.Painter().drawLine(QPointF(sheet_.Dots(area_.left()), y),
                                  QPointF(sheet_.Dots(area_.right()), y));
        const QString text = y_.logarithmic ? QStringLiteral("1e%1").arg(int(std::lround(std::log10(t))))
                                            : QString::number(t, 'f', decimals);
        sheet_.SetPen(kInk, 0.1);
        sheet_.Text(area_.left() - 1, y / sheet_.Dots(1) + 0.9, text, Qt::AlignRight);
    }
}

void Chart::XGrid(const std::vector<std::pair<double, QString>>& ticks) {
    sheet_.SetFont(6.5);
    for (const auto& [value, text] : ticks) {
        const double x = Map(value, y_.min).x();
        sheet_.SetPen(kGrid, 0.1);
        sheet_.Painter().drawLine(QPointF(x, sheet_.Dots(area_.top())),
                                  QPointF(x, sheet_.Dots(area_.bottom())));
        sheet_.SetPen(kInk, 0.1);
        const double xMm = x / sheet_.Dots(1);
        // A label may have several lines (date over time); labels at the edges stay inside the chart.
        double line = area_.bottom() + 3;
        for (const QString& part : text.split(QLatin1Char('\n'))) {
            const double half = sheet_.TextWidthMm(part) / 2;
            const Qt::Alignment align = xMm - half < area_.left()    ? Qt::AlignLeft
                                        : xMm + half > area_.right() ? Qt::AlignRight
                                                                     : Qt::AlignHCenter;
            sheet_.Text(align == Qt::AlignLeft    ? std::max(xMm, area_.left())
                        : align == Qt::AlignRight ? std::min(xMm, area_.right())
                                                  : xMm,
                        line, part, align);
            line += 2.6;
        }
    }
}

void Chart::Envelope(const std::vector<analysis::ColumnRange>& columns, const QColor& colour) {
    if (columns.empty()) return;
    const double width = area_.width() / double(columns.size());
    QPainterPath path;
    const double minimum = sheet_.Dots(0.3);
    const analysis::ColumnRange* before = nullptr;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const analysis::ColumnRange& c = columns[k];
        if (c.count == 0) {
            before = nullptr; // no samples here: the stroke breaks, as the recording does
            continue;
        }
        double lo = c.min, hi = c.max;
        if (before) { // join the column before without a gap
            lo = std::min(lo, before->max);
            hi = std::max(hi, before->min);
        }
        const double x = sheet_.Dots(area_.left() + (double(k) + 0.5) * width);
        // A flat stretch still leaves a visible stroke.
        double y0 = MapY(lo), y1 = MapY(hi);
        if (y0 - y1 < minimum) {
            const double middle = (y0 + y1) / 2;
            y0 = middle + minimum / 2;
            y1 = middle - minimum / 2;
        }
        path.moveTo(x, y0);
        path.lineTo(x, y1);
        before = &c;
    }
    // The stroke is at least a column wide (and 0.15 mm, so that a lone column is seen).
    sheet_.SetPen(colour, std::max(width, 0.15));
    sheet_.Painter().setBrush(Qt::NoBrush);
    sheet_.Painter().drawPath(path);
}

void Chart::Polyline(const std::vector<QPointF>& points, const QColor& colour, double widthMm) {
    if (points.empty()) return;
    QPainterPath path;
    path.moveTo(Map(points[0].x(), points[0].y()));
    for (std::size_t k = 1; k < points.size(); ++k)
        path.lineTo(Map(points[k].x(), points[k].y()));
    sheet_.SetPen(colour, widthMm);
    sheet_.Painter().setBrush(Qt::NoBrush);
    sheet_.Painter().drawPath(path);
}

void Chart::HorizontalLine(double y, const QColor& colour, Qt::PenStyle style, const QString& label) {
    const double dotsY = MapY(y);
    sheet_.SetPen(colour, 0.3, style);
    sheet_.Painter().drawLine(QPointF(sheet_.Dots(area_.left()), dotsY),
                              QPointF(sheet_.Dots(area_.right()), dotsY));
    sheet_.SetFont(6.5);
    sheet_.Text(area_.right() - 1, dotsY / sheet_.Dots(1) - 0.8, label, Qt::AlignRight);
}

void Chart::Legend(const std::vector<std::pair<QString, QColor>>& entries) {
    sheet_.SetFont(7);
    double x = area_.right() - 12;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        x -= sheet_.TextWidthMm(it->first) + 7;
        const double y = area_.top() - 1.5;
        sheet_.SetPen(it->second, 0.6);
        sheet_.Painter().drawLine(sheet_.Point(x, y - 0.9), sheet_.Point(x + 4, y - 0.9));
        sheet_.SetPen(kInk, 0.1);
        sheet_.Text(x + 5, y, it->first);
    }
}

} // namespace vexa::report
