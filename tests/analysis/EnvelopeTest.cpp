// The overview's columns keep every peak: a single-sample spike shows whatever the width.
#include "analysis/Envelope.h"
#include "GeneratedSamples.h"

#include <gtest/gtest.h>

#include <random>

using namespace vexa::analysis;
using vexa::analysis::testing::MakeSample;

TEST(Envelope, EverySampleLandsInItsTimeColumnAndSpikesSurvive) {
    // A day of 1-s samples with an hour's pause, and one spike of a single sample on X.
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> noise(-2, 2);
    std::vector<Sample> samples;
    for (std::int64_t t = 0; t < 86'400'000; t += (t == 40'000'000 ? 3'600'000 : 1000))
        samples.push_back(MakeSample(t, noise(rng), noise(rng), 10 + noise(rng)));
    const std::size_t spike = 51'234;
    samples[spike].x = 120;
    samples[spike - 1].x = -3; // an earlier sample of the column may hold the minimum

    for (std::size_t columns : {1u, 7u, 720u, 5000u, 200000u}) {
        SCOPED_TRACE(::testing::Message() << columns << " columns");
        const TimeColumns c = AssignColumns(samples, columns);
        EXPECT_EQ(c.firstMs, 0);
        EXPECT_EQ(c.lastMs, samples.back().timeMs);
        ASSERT_EQ(c.of.size(), samples.size());
        for (std::size_t i = 0; i < samples.size(); ++i) {
            // Oracle: the column whose time span [k, k+1) * span / columns holds the sample (the last
            // sample's time closes the last column).
            const double at = double(samples[i].timeMs) / double(c.lastMs) * double(columns);
            ASSERT_EQ(c.of[i], std::min<std::size_t>(columns - 1, std::size_t(at))) << "sample " << i;
        }
        const std::vector<ColumnRange> x = Envelope(samples, c, [](const Sample& s) { return double(s.x); });
        ASSERT_EQ(x.size(), columns);
        std::vector<ColumnRange> expected(columns);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            ColumnRange& e = expected[c.of[i]];
            if (e.count++ == 0) e.firstSample = i, e.min = e.max = samples[i].x;
            e.min = std::min(e.min, double(samples[i].x));
            e.max = std::max(e.max, double(samples[i].x));
        }
        for (std::size_t k = 0; k < columns; ++k) {
            ASSERT_EQ(x[k].count, expected[k].count) << "column " << k;
            if (!x[k].count) continue;
            ASSERT_EQ(x[k].min, expected[k].min) << "column " << k;
            ASSERT_EQ(x[k].max, expected[k].max) << "column " << k;
            ASSERT_EQ(x[k].firstSample, expected[k].firstSample) << "column " << k;
        }
        EXPECT_EQ(x[c.of[spike]].max, 120.0);
    }
    // Nothing, or all at one time: one column holds everything.
    EXPECT_TRUE(AssignColumns({}, 10).of.empty());
    const std::vector<Sample> same = {MakeSample(5, 1, 0, 0), MakeSample(5, 2, 0, 0)};
    EXPECT_EQ(AssignColumns(same, 10).of, (std::vector<std::uint32_t>{0, 0}));
}
