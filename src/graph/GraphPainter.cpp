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

const PixelMask* GraphPainter::TextMask(const QString& text) {
    const std::string key = text.toStdString();
    if (auto it = textMasks_.find(key); it != textMasks_.end())
        return textExact_[key] ? &it->second : nullptr;
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
    PixelMask mask;
    bool exact = true;
    for (int y = 0; y < scratch.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x) {
            const int alpha = qAlpha(row[x]);
            if (alpha == 255)
                mask.pixels.push_back({std::int16_t(x - pad), std::int16_t(y - pad)});
            else if (alpha != 0)
                exact = false;
        }
    }
    textExact_[key] = exact;
    const PixelMask& stored = textMasks_.emplace(key, std::move(mask)).first->second;
    return exact ? &stored : nullptr;
}

namespace {

constexpr std::string_view kGlyphChars = "0123456789:.";

std::vector<std::pair<std::int16_t, std::int16_t>>
Sorted(std::vector<std::pair<std::int16_t, std::int16_t>> v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

} // namespace

const PixelMask* GraphPainter::GlyphMask(char c) const {
    return glyphMasks_[static_cast<unsigned char>(c)];
}

int GraphPainter::GlyphAdvance(char c) const {
    return glyphAdvances_[static_cast<unsigned char>(c)];
}

bool GraphPainter::GlyphsUsable() {
    if (glyphState_ != 0) return glyphState_ > 0;
    glyphState_ = -1;
    const QFontMetrics metrics(font_);
    const QString arrow = QStringLiteral("↑");
    arrowMask_ = TextMask(arrow);
    arrowAdvance_ = metrics.horizontalAdvance(arrow);
    if (!arrowMask_) return false;
    for (char c : kGlyphChars) {
        const QString one(QChar::fromLatin1(c));
        const PixelMask* mask = TextMask(one);
        if (!mask) return false;
        glyphMasks_[static_cast<unsigned char>(c)] = mask;
        glyphAdvances_[static_cast<unsigned char>(c)] = metrics.horizontalAdvance(one);
    }
    // The glyphs must give exactly what the painter gives for whole labels (no kerning, whole-pixel
    // advances); checked once on labels that use every character.
    for (const char* sample : {"01:23:45.67", "89:01:23", "12:34:56.78", "99:88:77.66", "00:00:00"}) {
        const QString text = arrow + QString::fromLatin1(sample);
        const PixelMask* whole = TextMask(text);
        if (!whole) return false;
        std::vector<std::pair<std::int16_t, std::int16_t>> composed = arrowMask_->pixels;
        int x = arrowAdvance_;
        for (const char* c = sample; *c; ++c) {
            for (const auto& [dx, dy] : GlyphMask(*c)->pixels)
                composed.push_back({std::int16_t(dx + x), dy});
            x += GlyphAdvance(*c);
        }
        if (Sorted(composed) != Sorted(whole->pixels)) return false;
    }
    glyphState_ = 1;
    return true;
}

void GraphPainter::OneColumnLine(int dx, int dy, LineShape& shape) {
    // From the start column to the next one the painter gives the start column everything but the end
    // row; from the start column to the one before, the start pixel only and the rest to the end column.
    shape.runs.clear();
    shape.exact = true;
    if (dx == 1) {
        shape.runs.push_back({0, std::min(0, dy + 1), std::max(0, dy - 1)});
        if (dy == 0) shape.runs.back() = {0, 0, 0};
        shape.runs.push_back({1, dy, dy});
    } else {
        shape.runs.push_back({0, 0, 0});
        shape.runs.push_back({-1, dy > 0 ? 1 : dy, dy > 0 ? dy : (dy < 0 ? -1 : 0)});
    }
}

bool GraphPainter::OneColumnRuleHolds() {
    if (oneColumnState_ != 0) return oneColumnState_ > 0;
    oneColumnState_ = -1;
    LineShape computed;
    auto runs = [](const LineShape& l) {
        std::vector<std::array<int, 3>> v;
        for (const LineShape::Run& r : l.runs)
            v.push_back({r.dx, r.top, r.bottom});
        std::sort(v.begin(), v.end());
        return v;
    };
    for (int dx : {1, -1}) {
        for (int dy = -40; dy <= 40; ++dy) {
            const LineShape* drawn = DrawnLine(dx, dy);
            OneColumnLine(dx, dy, computed);
            if (!drawn || runs(*drawn) != runs(computed)) return false;
        }
    }
    oneColumnState_ = 1;
    return true;
}

const GraphPainter::LineShape* GraphPainter::ShortLine(int dx, int dy) {
    if (dx == 0 || std::abs(dx) > kShortLineColumns || std::abs(dy) > 4096) return nullptr;
    if (std::abs(dx) == 1 && OneColumnRuleHolds()) {
        OneColumnLine(dx, dy, oneColumn_);
        return &oneColumn_;
    }
    return DrawnLine(dx, dy);
}

const GraphPainter::LineShape* GraphPainter::DrawnLine(int dx, int dy) {
    const std::int64_t key = std::int64_t(dx) * 100000 + dy;
    if (auto it = lineShapes_.find(key); it != lineShapes_.end())
        return it->second.exact ? &it->second : nullptr;
    const int margin = 3;
    const int ox = margin + (dx < 0 ? -dx : 0), oy = margin + (dy < 0 ? -dy : 0);
    QImage scratch(std::abs(dx) + 2 * margin + 1, std::abs(dy) + 2 * margin + 1,
                   QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
        QPainter p(&scratch);
        p.setPen(Pen(kBlack));
        p.drawLine(ox, oy, ox + dx, oy + dy);
    }
    LineShape shape;
    for (int x = 0; x < scratch.width(); ++x) {
        int runTop = -1;
        for (int y = 0; y <= scratch.height(); ++y) {
            const int alpha = y < scratch.height() ? qAlpha(scratch.pixel(x, y)) : 0;
            if (alpha != 0 && alpha != 255) shape.exact = false;
            if (alpha == 255 && runTop < 0) runTop = y;
            if (alpha != 255 && runTop >= 0) {
                shape.runs.push_back({x - ox, runTop - oy, y - 1 - oy});
                runTop = -1;
            }
        }
    }
    // A shape touching the scratch image's border may have been cut: keep using the painter for it.
    for (const LineShape::Run& r : shape.runs)
        if (r.dx + ox == 0 || r.dx + ox == scratch.width() - 1 || r.top + oy == 0 ||
            r.bottom + oy == scratch.height() - 1)
            shape.exact = false;
    const LineShape& stored = lineShapes_.emplace(key, std::move(shape)).first->second;
    return stored.exact ? &stored : nullptr;
}

// The traces and their time labels, drawn as the walks report them.
class TraceLayer : public WalkVisitor {
  public:
    TraceLayer(GraphPainter& owner, QPainter& painter, QRgb* bits, const QImage& image, const GraphData& data,
               int centreY, int K, StrokeMode mode)
        : owner_(owner), painter_(painter), data_(data), centreY_(centreY), K_(K), mode_(mode),
          compositor_(owner.compositor_) {
        inks_[int(Ink::Red)] = kRed;
        inks_[int(Ink::Highlight)] = owner.colours_.highlight;
        inks_[int(Ink::Fuchsia)] = kFuchsia;
        inks_[int(Ink::Blue)] = kBlue;
        inks_[int(Ink::Green)] = kGreen;
        inks_[int(Ink::Grey)] = kGrey;
        for (int k = 0; k < 6; ++k) {
            rgb_[k] = inks_[k].rgb();
            pens_[k] = Pen(inks_[k]);
        }
        textRgb_ = owner.colours_.shadow3d.rgb();
        w_ = image.width();
        h_ = image.height();
        compositor_.Begin(bits, int(image.bytesPerLine() / 4), w_, h_);
    }
    ~TraceLayer() override { compositor_.Flush(); }

    void Label(int i, int x) override {
        const int left = x - 5, top = centreY_ + 150;
        const std::string_view label = data_.labels[std::size_t(i)].View();
        if (mode_ == StrokeMode::Fast) {
            if (GlyphLabel(label, left, top)) return;
            const QString text = QString::fromUtf8(SampleTimeText(label, K_));
            if (const PixelMask* mask = owner_.TextMask(text)) {
                compositor_.Mask(*mask, left, top, textRgb_);
                return;
            }
        }
        compositor_.Flush();
        painter_.setPen(Pen(owner_.colours_.shadow3d));
        currentInk_ = -1;
        GraphPainter::DrawTextAt(painter_, left, top, QString::fromUtf8(SampleTimeText(label, K_)));
    }

    void Stroke(const Segment* segments, int count) override {
        for (int k = 0; k < count; ++k) {
            const Segment& s = segments[k];
            if (mode_ == StrokeMode::Fast) {
                if (s.x1 == s.x2) {
                    compositor_.Span(s.x1, std::min(s.y1, s.y2), std::max(s.y1, s.y2), rgb_[int(s.ink)]);
                    continue;
                }
                if (Inside(s)) {
                    if (const GraphPainter::LineShape* shape = owner_.ShortLine(s.x2 - s.x1, s.y2 - s.y1)) {
                        for (const GraphPainter::LineShape::Run& r : shape->runs)
                            compositor_.Span(s.x1 + r.dx, s.y1 + r.top, s.y1 + r.bottom, rgb_[int(s.ink)]);
                        continue;
                    }
                }
            }
            compositor_.Flush();
            if (currentInk_ != int(s.ink)) {
                painter_.setPen(pens_[int(s.ink)]);
                currentInk_ = int(s.ink);
            }
            painter_.drawLine(s.x1, s.y1, s.x2, s.y2);
        }
    }

  private:
    // Lines whose every pixel lies inside the image (a margin for the pen's ends) are drawn the same
    // anywhere, so their pixels can be taken from the shape of the same line drawn elsewhere.
    bool Inside(const Segment& s) const {
        const int m = 2;
        return std::min(s.x1, s.x2) >= m && std::max(s.x1, s.x2) < w_ - m && std::min(s.y1, s.y2) >= m &&
               std::max(s.y1, s.y2) < h_ - m;
    }

    // The label as its glyphs' masks, when every character of it has a checked glyph.
    bool GlyphLabel(std::string_view label, int left, int top) {
        if (!owner_.GlyphsUsable()) return false;
        const std::size_t count = K_ == 100 ? 11 : 8;
        const std::string_view clock = label.size() > 6 ? label.substr(6, count) : std::string_view();
        for (char c : clock)
            if (!owner_.GlyphMask(c)) return false;
        compositor_.Mask(*owner_.arrowMask_, left, top, textRgb_);
        int x = left + owner_.arrowAdvance_;
        for (char c : clock) {
            compositor_.Mask(*owner_.GlyphMask(c), x, top, textRgb_);
            x += owner_.GlyphAdvance(c);
        }
        return true;
    }

    GraphPainter& owner_;
    QPainter& painter_;
    const GraphData& data_;
    int centreY_;
    int K_;
    StrokeMode mode_;
    ColumnCompositor& compositor_;
    QColor inks_[6];
    QRgb rgb_[6];
    QPen pens_[6];
    QRgb textRgb_;
    int w_ = 0, h_ = 0;
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
    {
        TraceLayer traces(*this, painter, bits, image, data, r.centreY, p.scale.K, mode);
        r.walk = WalkGraph(data, walk, traces);
    }
    r.walked = true;
    return r;
}
