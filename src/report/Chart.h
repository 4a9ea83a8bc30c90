// A framed chart on a report page: linear or logarithmic axes, grid, labels, and the data drawn as paths.
#pragma once

#include "analysis/Envelope.h"
#include "report/PdfSheet.h"

#include <QColor>
#include <QString>
#include <vector>

namespace vexa::report {

struct ChartAxis {
    double min = 0, max = 1;
    bool logarithmic = false; // min and max then are positive
};

// Round values for grid lines: steps of 1, 2 or 5 times a power of ten, about `count` of them.
std::vector<double> NiceTicks(double min, double max, int count);
// A range that holds [min, max] with a little room, and is never empty.
ChartAxis PaddedAxis(double min, double max);

class Chart {
  public:
    // areaMm is the plotting area; the title goes above it, the y labels to its left.
    Chart(PdfSheet& sheet, const QRectF& areaMm, ChartAxis x, ChartAxis y);

    QPointF Map(double x, double y) const; // data to page dots, clamped to the area
    double MapY(double y) const;

    void Frame(const QString& title, const QString& yUnit);
    // Horizontal grid with labels at the y ticks; `decimals` for the labels (ignored on a log axis).
    void YGrid(int decimals);
    // Vertical grid with labels: ticks as (x value, text).
    void XGrid(const std::vector<std::pair<double, QString>>& ticks);

    // Per column, a vertical stroke from the column's smallest to its largest value, joined to the
    // column before, so that every peak shows at any width.
    void Envelope(const std::vector<analysis::ColumnRange>& columns, const QColor& colour);
    void Polyline(const std::vector<QPointF>& points, const QColor& colour, double widthMm = 0.25);
    void HorizontalLine(double y, const QColor& colour, Qt::PenStyle style, const QString& label);
    void Legend(const std::vector<std::pair<QString, QColor>>& entries);

  private:
    PdfSheet& sheet_;
    QRectF area_; // mm
    ChartAxis x_, y_;
};

} // namespace vexa::report
