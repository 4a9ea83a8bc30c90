// Draws the graph into an image in layers: axes and grid, legend, traces with their time labels, and the
// selection box. The graph window paints through it, and tests paint offscreen images with it.
#include "graph/GraphPainter.h"

#include "graph/core/AxisLabels.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

using namespace vexa;

namespace {

const QColor kGrey(0x80, 0x80, 0x80);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kBlack(0, 0, 0);
const QColor kRed(0xFF, 0, 0);
const QColor kFuchsia(0xFF, 0, 0xFF);
const QColor kBlue(0, 0, 0xFF);
const QColor kGreen(0, 0x80, 0);
const QColor kLime(0, 0xFF, 0);

QPen Pen(const QColor& colour) {
    QPen pen(colour);
    pen.setWidth(1);
    return pen;
}

} // namespace

GraphColours GraphColours::FromPalette(const QPalette& palette) {
    return {palette.color(QPalette::Base), palette.color(QPalette::Shadow),
            palette.color(QPalette::Highlight), palette.color(QPalette::Disabled, QPalette::Text)};
}

QFont GraphFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    // The window's bitmap-style text: no smoothing, so a label drawn twice looks the same.
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

GraphPainter::GraphPainter(const QFont& font, const GraphColours& colours) : font_(font), colours_(colours) {}

void GraphPainter::DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

const GraphPainter::LabelMask& GraphPainter::MaskFor(const QString& text) {
    auto it = labelMasks_.find(text);
    if (it != labelMasks_.end()) return *it;
    const QFontMetrics metrics(font_);
    const int pad = 4;
    QImage scratch(metrics.horizontalAdvance(text) + 2 * pad + 8, metrics.height() + 2 * pad,
                   QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
        QPainter p(&scratch);
        p.setFont(font_);
        p.setPen(Pen(kBlack));
        DrawTextAt(p, pad, pad, text);
    }
    LabelMask mask;
    for (int y = 0; y < scratch.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x) {
            const int alpha = qAlpha(row[x]);
            if (alpha == 255)
                mask.pixels.push_back(QPoint(x - pad, y - pad));
            else if (alpha != 0)
                mask.exact = false;
        }
    }
    return *labelMasks_.insert(text, std::move(mask));
}

// The traces and their time labels, drawn as the walks report them.
class TraceLayer : public WalkVisitor {
  public:
    TraceLayer(GraphPainter& owner, QPainter& painter, QRgb* bits, const QImage& image, const GraphData& data,
               int centreY, int K, StrokeMode mode)
        : owner_(owner), painter_(painter), data_(data), centreY_(centreY), K_(K), mode_(mode), bits_(bits),
          stride_(int(image.bytesPerLine() / 4)), w_(image.width()), h_(image.height()) {
        inks_[int(Ink::Red)] = kRed;
        inks_[int(Ink::Highlight)] = owner.colours_.highlight;
        inks_[int(Ink::Fuchsia)] = kFuchsia;
        inks_[int(Ink::Blue)] = kBlue;
        inks_[int(Ink::Green)] = kGreen;
        inks_[int(Ink::Grey)] = kGrey;
        for (int k = 0; k < 6; ++k)
            rgb_[k] = inks_[k].rgb();
        textRgb_ = owner.colours_.shadow3d.rgb();
    }

    void Label(int i, int x) override {
        const QString text = QString::fromUtf8(SampleTimeText(data_.labels[std::size_t(i)].View(), K_));
        const int left = x - 5, top = centreY_ + 150;
        if (mode_ == StrokeMode::Fast) {
            const GraphPainter::LabelMask& mask = owner_.MaskFor(text);
            if (mask.exact) {
                for (const QPoint& p : mask.pixels) {
                    const int px = left + p.x(), py = top + p.y();
                    if (px >= 0 && px < w_ && py >= 0 && py < h_) bits_[py * stride_ + px] = textRgb_;
                }
                return;
            }
        }
        painter_.setPen(Pen(owner_.colours_.shadow3d));
        currentInk_ = -1;
        GraphPainter::DrawTextAt(painter_, left, top, text);
    }

    void Stroke(const Segment* segments, int count) override {
        for (int k = 0; k < count; ++k) {
            const Segment& s = segments[k];
            if (mode_ == StrokeMode::Fast && s.x1 == s.x2) {
                Column(s.x1, std::min(s.y1, s.y2), std::max(s.y1, s.y2), rgb_[int(s.ink)]);
                continue;
            }
            if (currentInk_ != int(s.ink)) {
                painter_.setPen(Pen(inks_[int(s.ink)]));
                currentInk_ = int(s.ink);
            }
            painter_.drawLine(s.x1, s.y1, s.x2, s.y2);
        }
    }

  private:
    // A stroke inside one pixel column covers the column from its top to its bottom end, both included.
    void Column(int x, int top, int bottom, QRgb rgb) {
        if (x < 0 || x >= w_) return;
        top = std::max(top, 0);
        bottom = std::min(bottom, h_ - 1);
        for (int y = top; y <= bottom; ++y)
            bits_[y * stride_ + x] = rgb;
    }

    GraphPainter& owner_;
    QPainter& painter_;
    const GraphData& data_;
    int centreY_;
    int K_;
    StrokeMode mode_;
    QRgb* bits_;
    int stride_, w_, h_;
    QColor inks_[6];
    QRgb rgb_[6];
    QRgb textRgb_;
    int currentInk_ = -1;
};

GraphPaintResult GraphPainter::Paint(QImage& image, const GraphData& data, const GraphPaintParams& p,
                                     StrokeMode mode) {
    GraphPaintResult r;
    image.fill(colours_.background);
    // Strokes written straight into the image go through this pointer; taken before the painter starts.
    QRgb* const bits = reinterpret_cast<QRgb*>(image.bits());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font_);
    const int width = p.width, height = p.height;

    // Axes: the zero line between two grey lines, and the doubled vertical axis.
    painter.setPen(Pen(kGrey));
    painter.drawLine(0, p.originY - 1, width, p.originY - 1);
    painter.setPen(Pen(kBlack));
    painter.drawLine(0, p.originY, width, p.originY);
    painter.setPen(Pen(kGrey));
    painter.drawLine(0, p.originY + 1, width, p.originY + 1);
    painter.setPen(Pen(kBlack));
    painter.drawLine(p.originX, 0, p.originX, height);
    painter.drawLine(p.originX + 1, 0, p.originX + 1, height);

    // Legend: five rows; the X, Y and Z rows carry the check boxes that switch their traces.
    const int textOffset = 5, lineLength = 20, step = 12;
    int legendY = 20;
    struct Row {
        QColor colour;
        const char* text;
    } rows[] = {
        {kRed, "'C (G*10)"}, {colours_.highlight, "RH(G*10)"}, {kFuchsia, "X"}, {kBlue, "Y"}, {kGreen, "Z"}};
    for (int k = 0; k < 5; ++k) {
        painter.setPen(Pen(rows[k].colour));
        painter.drawLine(38, legendY, lineLength + 28, legendY);
        painter.setPen(Pen(colours_.shadow3d));
        DrawTextAt(painter, lineLength + textOffset + 28, legendY - textOffset,
                   QString::fromLatin1(rows[k].text));
        legendY += step;
        if (k >= 1 && k <= 3) r.checkBoxPositions[std::size_t(k - 1)] = QPoint(68, legendY - 6);
    }

    // Horizontal grid every 10 counts with the acceleration labels; every 20 counts darker, with the
    // temperature labels between -40 and 40 degrees.
    for (int t = -100; t <= 100; t += 10) {
        const int y = p.originY + 2 * t;
        QColor pen = kSilver;
        if (t % 20 == 0) {
            pen = colours_.grayText;
            if (t >= -40 && t <= 40) {
                painter.setPen(Pen(colours_.grayText));
                DrawTextAt(painter, t > 0 ? 35 : 40, y - 9, QString::fromUtf8(TemperatureLabel(-t)));
            }
        }
        if (t == 0) pen = kBlack;
        painter.setPen(Pen(pen));
        painter.drawLine(0, y, width, y);
        painter.setPen(Pen(colours_.shadow3d));
        DrawTextAt(painter, 5, y - 9, QString::fromUtf8(AccelerationLabel(-t, p.countsPerG)));
    }

    // Vertical grid every 40 pixels; the M-th line is the black centre line.
    const int m = (width / 40) / 2;
    r.centreX = p.previousCentreX;
    r.centreY = p.previousCentreY;
    int count = 0;
    for (int x = 0; x < width; x += 40) {
        ++count;
        const bool centre = count == m;
        painter.setPen(Pen(centre ? kBlack : kGrey));
        painter.drawLine(x + 28, p.originY - 200, x + 28, p.originY + 200);
        if (centre) {
            r.centreX = x + 28;
            r.centreY = p.originY;
        }
    }

    if (p.selectionWidth > 0) {
        const int sx = r.centreX + p.selectionWidth;
        painter.setPen(Pen(kLime));
        painter.drawLine(sx, r.centreY - 100, sx, r.centreY + 100);
        painter.drawLine(r.centreX, r.centreY - 100, sx, r.centreY - 100);
        painter.drawLine(r.centreX, r.centreY + 100, sx, r.centreY + 100);
    }
    r.label4Position = QPoint(r.centreX, r.centreY - 200);

    if (!p.hasSamples) {
        painter.setPen(Pen(colours_.shadow3d));
        DrawTextAt(painter, r.centreX + 8, r.centreY - 40, QStringLiteral("no samples to draw"));
        return r;
    }

    WalkParams walk;
    walk.centre = p.centre;
    walk.lastSample = p.lastSample;
    walk.centreX = r.centreX;
    walk.centreY = r.centreY;
    walk.width = width;
    walk.scale = p.scale;
    walk.selectionWidth = p.selectionWidth;
    walk.traces = p.traces;
    painter.setPen(Pen(colours_.shadow3d));
    TraceLayer traces(*this, painter, bits, image, data, r.centreY, p.scale.K, mode);
    r.walk = WalkGraph(data, walk, traces);
    r.walked = true;
    return r;
}
