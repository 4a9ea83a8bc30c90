// The painter on offscreen 800 x 550 images: grid, axes, traces, switches, and the fast strokes against
// the sample-by-sample painter walk at every time scale.
#include "graph/GraphPainter.h"
#include "graph/core/TimeScale.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

// Fixed colours, so pictures compare the same on every desktop.
GraphColours TestColours() {
    return {QColor(255, 255, 255), QColor(0x40, 0x40, 0x40), QColor(0x33, 0x99, 0xFF),
            QColor(0x6D, 0x6D, 0x6D)};
}

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlackRgb = qRgb(0, 0, 0);
const QRgb kGreyRgb = qRgb(0x80, 0x80, 0x80);
const QRgb kFuchsiaRgb = qRgb(0xFF, 0, 0xFF);
const QRgb kBlueRgb = qRgb(0, 0, 0xFF);

int Count(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// Samples `stepMs` apart with constant X, Y, Z values.
GraphData Flat(int n, std::int64_t stepMs, int x, int y, int z) {
    GraphData d;
    for (int k = 0; k < n; ++k) {
        const std::size_t i = std::size_t(3 + k);
        d.timeMs[i] = k * stepMs;
        d.x[i] = x;
        d.y[i] = y;
        d.z[i] = z;
        d.temperature[i] = 20;
    }
    return d;
}

GraphPaintParams Params(int n, int centre) {
    GraphPaintParams p;
    p.hasSamples = n > 0;
    p.lastSample = 3 + n - 1;
    p.centre = centre;
    return p;
}

struct Picture {
    QImage image{800, 550, QImage::Format_RGB32};
    GraphPaintResult result;
};

Picture Paint(GraphPainter& painter, const GraphData& d, const GraphPaintParams& p, StrokeMode mode) {
    Picture pic;
    pic.result = painter.Paint(pic.image, d, p, mode);
    return pic;
}

} // namespace

TEST(GraphPaint, GridAxesCentreAndLegend) {
    GraphPainter painter(GraphFont(), TestColours());
    const GraphData d = Flat(200, 1000, 30, -20, 45);
    const Picture pic = Paint(painter, d, Params(200, 100), StrokeMode::Fast);
    EXPECT_EQ(pic.result.centreX, 388);
    EXPECT_EQ(pic.result.centreY, 275);
    // y = 125 lies between horizontal grid lines and away from every trace.
    for (int x = 68; x <= 788; x += 40) {
        EXPECT_EQ(pic.image.pixel(x, 125), x == 388 ? kBlackRgb : kGreyRgb) << x;
        if (x + 20 < 800) {
            EXPECT_EQ(pic.image.pixel(x + 20, 125), kWhite) << x + 20;
        }
    }
    EXPECT_EQ(pic.image.pixel(28, 10), kBlackRgb); // the doubled vertical axis
    EXPECT_EQ(pic.image.pixel(29, 10), kBlackRgb);
    // The zero line at the origin between two grey lines (right of the traces' end).
    EXPECT_EQ(pic.image.pixel(790, 274), kGreyRgb);
    EXPECT_EQ(pic.image.pixel(790, 275), kBlackRgb);
    EXPECT_EQ(pic.image.pixel(790, 276), kGreyRgb);
    // Legend rows at 20, 32, 44, 56, 68; boxes beside X, Y and Z.
    EXPECT_EQ(pic.image.pixel(40, 44), kFuchsiaRgb);
    EXPECT_EQ(pic.image.pixel(40, 56), kBlueRgb);
    EXPECT_EQ(pic.result.checkBoxPositions[0], QPoint(68, 38));
    EXPECT_EQ(pic.result.checkBoxPositions[2], QPoint(68, 62));
    EXPECT_EQ(pic.result.label4Position, QPoint(388, 75));
}

TEST(GraphPaint, TracesWhereTheDataPutsThemAndTheSwitches) {
    GraphPainter painter(GraphFont(), TestColours());
    const GraphData d = Flat(200, 1000, 30, -21, 45);
    GraphPaintParams p = Params(200, 100);
    const Picture pic = Paint(painter, d, p, StrokeMode::Fast);
    // 1 s apart at 12 s per division: X at 30 counts lies on y = 275 - 60 across the samples' span.
    for (int x : {300, 388, 420})
        EXPECT_EQ(pic.image.pixel(x, 215), kFuchsiaRgb) << x;
    EXPECT_EQ(pic.image.pixel(420, 317), kBlueRgb);
    EXPECT_GT(Count(pic.image, kBlueRgb), 100);

    p.traces.y = false;
    const Picture without = Paint(painter, d, p, StrokeMode::Fast);
    // Only the legend's blue row is left.
    EXPECT_EQ(Count(without.image, kBlueRgb), 11);
    EXPECT_EQ(without.image.pixel(420, 317), kWhite);
}

TEST(GraphPaint, NoSamplesSaysSoInsteadOfDrawingTraces) {
    GraphPainter painter(GraphFont(), TestColours());
    GraphData d;
    GraphPaintParams p;
    const Picture pic = Paint(painter, d, p, StrokeMode::Fast);
    EXPECT_FALSE(pic.result.walked);
    EXPECT_EQ(pic.result.centreX, 388);
    // The message's text lies right of the centre line, above the zero line.
    int text = 0;
    for (int y = 220; y < 250; ++y)
        for (int x = 390; x < 520; ++x)
            text += pic.image.pixel(x, y) == TestColours().shadow3d.rgb();
    EXPECT_GT(text, 20);
}

namespace {

// A recording that has everything the strokes distinguish: steady 1-s samples, a 29- and a 31-minute
// gap, a stretch of missing samples (grey joins), a step back in time, a day change, the extra field
// and values reaching the time labels' band.
GraphData Mixed(int n) {
    GraphData d;
    std::int64_t t = 0;
    for (int k = 0; k < n; ++k) {
        const std::size_t i = std::size_t(3 + k);
        if (k == n / 5)
            t += 29 * 60000;
        else if (k == n / 4)
            t += 31 * 60000;
        else if (k % 97 == 0)
            t += 7000; // missing samples
        else if (k == n / 3)
            t -= 3000; // a reversal
        else if (k == n / 2)
            t += 6 * 3600000;
        else
            t += 1000 + (k % 3) * 10;
        d.timeMs[i] = t;
        d.x[i] = (k * 7) % 60 - 30;
        d.y[i] = (k % 40 < 20) ? 10 : -78; // crosses the labels' band at y = 425..437
        d.z[i] = 60 - (k * 13) % 50;
        d.temperature[i] = 20 + (k / 500) % 5;
        d.extra[i] = (k / 50) % 2 ? 35 + k % 4 : 0;
    }
    return d;
}

} // namespace

TEST(GraphPaint, FastStrokesGiveTheSamePictureAsThePainterWalkAtEveryScale) {
    GraphPainter painter(GraphFont(), TestColours());
    const int n = 6000;
    const GraphData d = Mixed(n);
    std::vector<TimeScale> scales = {TimeScale{}};
    for (const TimeScaleItem& item : TimeScaleItems())
        scales.push_back(ChooseTimeScale(item.text, "", TimeScale{}).scale);
    for (const TimeScale& scale : scales) {
        for (int centre : {3 + n / 5 - 2, 3 + n / 2, 3 + n - 3}) {
            GraphPaintParams p = Params(n, centre);
            p.scale = scale;
            p.selectionWidth = 150;
            const Picture fast = Paint(painter, d, p, StrokeMode::Fast);
            const Picture reference = Paint(painter, d, p, StrokeMode::Reference);
            int differing = 0;
            for (int y = 0; y < 550; ++y)
                for (int x = 0; x < 800; ++x)
                    differing += fast.image.pixel(x, y) != reference.image.pixel(x, y);
            EXPECT_EQ(differing, 0) << "S=" << scale.S << " K=" << scale.K << " centre=" << centre;
            EXPECT_EQ(fast.result.walk.end, reference.result.walk.end);
        }
    }
}
