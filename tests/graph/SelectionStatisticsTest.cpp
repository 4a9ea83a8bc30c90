// Statistics over a selection and the statistics window's texts, without a window.
#include "graph/core/SelectionStatistics.h"
#include "graph/core/GraphWalk.h"

#include <gtest/gtest.h>

using namespace vexa;

namespace {

GraphData WithX(const std::vector<int>& x, int from = 3) {
    GraphData d;
    for (std::size_t k = 0; k < x.size(); ++k) {
        d.x[std::size_t(from) + k] = x[k];
        d.z[std::size_t(from) + k] = -2 * x[k];
    }
    return d;
}

} // namespace

TEST(SelectionStatistics, MaximumMinimumMeanCountAndBaseline) {
    const GraphData d = WithX({12, -5, 30});
    struct Case {
        const char* baseline;
        int axis;
        SelectionStatistics expected;
    } cases[] = {
        {"VOID", 0, {30, -5, 12, 3}}, // 37 / 3 truncated
        {"5", 0, {30, -5, 5, 3}},     // the baseline replaces the mean
        {"-19", 0, {30, -5, -19, 3}},
        {"25", 0, {30, -5, 12, 3}}, // outside -20 < k < 20: the computed mean
        {"20", 0, {30, -5, 12, 3}},
        {"abc", 0, {30, -5, 12, 3}},    // not an integer: read as "VOID", no error
        {"VOID", 2, {10, -60, -24, 3}}, // Z: -24, 10, -60; mean -74 / 3 truncated toward zero
        {"VOID", 7, {30, -5, 12, 3}},   // any other axis is X
    };
    for (const Case& c : cases) {
        SelectionStatistics s;
        UpdateSelectionStatistics(d, 3, 6, c.axis, c.baseline, s);
        EXPECT_EQ(s.max, c.expected.max) << c.baseline << " axis " << c.axis;
        EXPECT_EQ(s.min, c.expected.min) << c.baseline << " axis " << c.axis;
        EXPECT_EQ(s.mean, c.expected.mean) << c.baseline << " axis " << c.axis;
        EXPECT_EQ(s.count, c.expected.count) << c.baseline << " axis " << c.axis;
    }

    // An empty selection keeps maximum, minimum and count; the mean becomes 0.
    SelectionStatistics s{30, -5, 12, 3};
    UpdateSelectionStatistics(d, 5, 5, 0, "VOID", s);
    EXPECT_EQ(s.max, 30);
    EXPECT_EQ(s.min, -5);
    EXPECT_EQ(s.count, 3);
    EXPECT_EQ(s.mean, 0);
}

TEST(SelectionStatistics, WindowTexts) {
    struct Case {
        int v, p;
        const char* text;
    } cases[] = {
        // The sign (a blank when not negative) and the two-wide field follow ": ".
        {30, 100, "●最大値  :   0.300g    (30)dgt"},   {125, 100, "●最大値  :   1.250g    (125)dgt"},
        {-37, 100, "●最大値  : - 0.370g    (-37)dgt"}, {25, 10, "●最大値  :   2.500g    (25)dgt"},
        {0, 10, "●最大値  :   0.000g    (0)dgt"},      {-250, 5, "●最大値  : -50.000g    (-250)dgt"},
        {7, 50, "●最大値  :   0.140g    (7)dgt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StatisticText("●最大値  : ", c.v, c.p), c.text) << c.v << " " << c.p;
}

TEST(SelectionStatistics, ASelectionPastTheLastSampleEndsThere) {
    GraphData d;
    for (int k = 0; k < 20; ++k)
        d.timeMs[std::size_t(3 + k)] = k * 1000;
    struct NoDraw : WalkVisitor {
        void Label(int, int) override {}
        void Stroke(const Segment*, int) override {}
    } none;
    WalkParams p;
    p.centre = 10;
    p.lastSample = 22;
    p.centreX = 388;
    p.width = 800;
    p.selectionWidth = 400; // samples are 3 px apart: the data ends 36 px right of the centre
    const WalkResult r = WalkGraph(d, p, none);
    EXPECT_EQ(r.selectionStart, 10);
    EXPECT_EQ(r.selectionEnd, 22);
}
