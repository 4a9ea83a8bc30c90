// Drawing on the pages of a PDF in millimetres: text stays text, lines and paths stay vector paths.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace vexa::report {

// A4 portrait, no printer margins: the report keeps its own.
inline constexpr double kPageWidthMm = 210, kPageHeightMm = 297, kMarginMm = 15;

class PdfSheet {
  public:
    // Begins painting on the writer's first page.
    explicit PdfSheet(QPdfWriter& writer);

    QPainter& Painter() { return painter_; }
    bool IsActive() const { return painter_.isActive(); }
    double Dots(double mm) const { return mm * dotsPerMm_; }
    QPointF Point(double xMm, double yMm) const { return {Dots(xMm), Dots(yMm)}; }
    QRectF Rect(const QRectF& mm) const {
        return {Point(mm.left(), mm.top()), Point(mm.right(), mm.bottom())};
    }

    void SetFont(double points, bool bold = false);
    // Text with its baseline at yMm; `align` says whether xMm is its left edge, centre or right edge.
    void Text(double xMm, double yMm, const QString& text, Qt::Alignment align = Qt::AlignLeft);
    double TextWidthMm(const QString& text) const;
    // A pen `widthMm` wide.
    void SetPen(const QColor& colour, double widthMm, Qt::PenStyle style = Qt::SolidLine);

    bool NewPage();
    int Pages() const { return pages_; }

  private:
    QPdfWriter& writer_;
    QPainter painter_;
    double dotsPerMm_;
    int pages_ = 1;
};

} // namespace vexa::report
