// Millimetre drawing on a PDF writer.
#include "report/PdfSheet.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPen>

namespace vexa::report {

namespace {

// Fine enough that positions in hundredths of a millimetre keep their place in the PDF.
constexpr int kResolution = 1200;

} // namespace

PdfSheet::PdfSheet(QPdfWriter& writer) : writer_(writer), dotsPerMm_(kResolution / 25.4) {
    writer_.setResolution(kResolution);
    writer_.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    painter_.begin(&writer_);
    painter_.setRenderHint(QPainter::Antialiasing);
    SetFont(9);
}

void PdfSheet::SetFont(double points, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    // Without shaping Latin text keeps its letters ("fi" stays two), so a reader's search finds it.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPointSizeF(points);
    font.setBold(bold);
    painter_.setFont(font);
}

void PdfSheet::Text(double xMm, double yMm, const QString& text, Qt::Alignment align) {
    double x = Dots(xMm);
    if (align & (Qt::AlignRight | Qt::AlignHCenter)) {
        const double width = QFontMetricsF(painter_.font(), painter_.device()).horizontalAdvance(text);
        x -= (align & Qt::AlignRight) ? width : width / 2;
    }
    painter_.drawText(QPointF(x, Dots(yMm)), text);
}

double PdfSheet::TextWidthMm(const QString& text) const {
    return QFontMetricsF(painter_.font(), painter_.device()).horizontalAdvance(text) / dotsPerMm_;
}

void PdfSheet::SetPen(const QColor& colour, double widthMm, Qt::PenStyle style) {
    QPen pen(colour, Dots(widthMm), style);
    pen.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen);
}

bool PdfSheet::NewPage() {
    if (!writer_.newPage()) return false;
    ++pages_;
    return true;
}

} // namespace vexa::report
