// The column compositor against the obvious oracle: the same operations painted one after another.
#include "graph/core/ColumnCompositor.h"

#include <gtest/gtest.h>
#include <random>

using namespace vexa;

TEST(ColumnCompositor, EqualsPaintingEveryOperationInOrder) {
    const int w = 37, h = 53, stride = 40;
    std::mt19937 rng(1234);
    std::vector<PixelMask> masks(6);
    for (PixelMask& m : masks)
        for (int k = 0; k < 25; ++k)
            m.pixels.push_back({std::int16_t(rng() % 9), std::int16_t(rng() % 7)});

    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint32_t> expected(std::size_t(stride * h), 7), actual = expected;
        ColumnCompositor c;
        c.Begin(actual.data(), stride, w, h);
        // Several flushes per round, so the per-flush bookkeeping is exercised across runs.
        const int ops = 1 + int(rng() % 400);
        for (int k = 0; k < ops; ++k) {
            const std::uint32_t colour = 1 + rng() % 5;
            if (rng() % 6 == 0) {
                const PixelMask& m = masks[rng() % masks.size()];
                const int left = int(rng() % (w + 10)) - 5, top = int(rng() % (h + 10)) - 5;
                c.Mask(m, left, top, colour);
                for (auto [dx, dy] : m.pixels) {
                    const int x = left + dx, y = top + dy;
                    if (x >= 0 && x < w && y >= 0 && y < h) expected[std::size_t(y * stride + x)] = colour;
                }
            } else {
                // Spans cluster in a few columns, as thousands of samples do at coarse time scales.
                const int x = int(rng() % 5) * 8 + int(rng() % 3) - 1;
                int top = int(rng() % (h + 6)) - 3, bottom = top + int(rng() % 12);
                c.Span(x, top, bottom, colour);
                if (x >= 0 && x < w)
                    for (int y = std::max(top, 0); y <= std::min(bottom, h - 1); ++y)
                        expected[std::size_t(y * stride + x)] = colour;
            }
            if (rng() % 50 == 0) c.Flush();
        }
        c.Flush();
        ASSERT_EQ(actual, expected) << "round " << round;
    }
}
