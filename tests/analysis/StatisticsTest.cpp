// Statistics in g against an oracle computed here, sample by sample, on generated recordings.
#include "analysis/Statistics.h"
#include "GeneratedSamples.h"
#include "analysis/Units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace vexa::analysis;
using vexa::analysis::testing::MakeSample;

namespace {

// Random counts of the logger's signed 8-bit range, irregular time steps, temperatures in tenths; every
// seventh sample has no temperature reading.
std::vector<Sample> RandomRecording(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> counts(-128, 127), step(1, 5000), tenths(-300, 600);
    std::vector<Sample> samples;
    std::int64_t t = 3'600'000;
    for (std::size_t i = 0; i < n; ++i) {
        t += step(rng);
        const std::optional<double> celsius =
            i % 7 == 3 ? std::nullopt : std::optional<double>(tenths(rng) / 10.0);
        samples.push_back(MakeSample(t, counts(rng), counts(rng), counts(rng), celsius));
    }
    return samples;
}

} // namespace

TEST(Statistics, MatchTheOracleOverRangesAndCountsPerG) {
    const std::vector<Sample> samples = RandomRecording(5000, 7);
    struct Case {
        int countsPerG;
        std::size_t begin, end;
    } cases[] = {{10, 0, kToEnd}, {1, 0, 5000}, {100, 17, 18}, {5, 1000, 4321}, {50, 4999, 9000}, {2, 0, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "countsPerG " << c.countsPerG << " [" << c.begin << ", " << c.end << ")");
        const Statistics s = ComputeStatistics(samples, c.countsPerG, c.begin, c.end);
        const std::size_t end = std::min(c.end, samples.size());
        const double g = c.countsPerG;

        // The oracle: straight from the definitions, in long double.
        ASSERT_EQ(s.samples, end - c.begin);
        EXPECT_EQ(s.countsPerG, c.countsPerG);
        EXPECT_EQ(s.first, c.begin);
        EXPECT_EQ(s.last, end - 1);
        EXPECT_DOUBLE_EQ(s.seconds, (samples[end - 1].timeMs - samples[c.begin].timeMs) / 1000.0);
        for (int a = 0; a < 3; ++a) {
            long double sum = 0, squares = 0, max = -1e9, min = 1e9;
            for (std::size_t i = c.begin; i < end; ++i) {
                const long double v = (a == 0 ? samples[i].x : a == 1 ? samples[i].y : samples[i].z) / g;
                sum += v;
                squares += v * v;
                max = std::max(max, v);
                min = std::min(min, v);
            }
            const long double n = end - c.begin;
            const AxisStatistics& axis = s.axes[std::size_t(a)];
            EXPECT_DOUBLE_EQ(axis.max, double(max)) << "axis " << a;
            EXPECT_DOUBLE_EQ(axis.min, double(min)) << "axis " << a;
            EXPECT_NEAR(axis.mean, double(sum / n), 1e-12) << "axis " << a;
            EXPECT_NEAR(axis.rms, double(std::sqrt(squares / n)), 1e-12) << "axis " << a;
            EXPECT_DOUBLE_EQ(axis.peakToPeak, double(max - min)) << "axis " << a;
        }
        double peak = -1, tMax = -1e9, tMin = 1e9, tSum = 0;
        std::size_t peakAt = 0, readings = 0;
        for (std::size_t i = c.begin; i < end; ++i) {
            const Sample& v = samples[i];
            const double m = std::sqrt(double(v.x * v.x + v.y * v.y + v.z * v.z)) / g;
            if (m > peak) {
                peak = m;
                peakAt = i;
            }
            const std::optional<int> tenths = v.temperature.Tenths();
            if (!tenths) continue;
            ++readings;
            tMax = std::max(tMax, *tenths / 10.0);
            tMin = std::min(tMin, *tenths / 10.0);
            tSum += *tenths / 10.0;
        }
        EXPECT_DOUBLE_EQ(s.vectorMax, peak);
        EXPECT_EQ(s.vectorMaxAt, peakAt); // the first sample reaching the peak
        EXPECT_EQ(s.temperatureSamples, readings);
        if (readings == 0) continue; // [17, 18) is a sample without a reading
        EXPECT_DOUBLE_EQ(s.temperatureMax, tMax);
        EXPECT_DOUBLE_EQ(s.temperatureMin, tMin);
        EXPECT_NEAR(s.temperatureMean, tSum / double(readings), 1e-9);
    }
}

TEST(Statistics, EmptyRangeAndCountsPerGDefault) {
    const std::vector<Sample> samples = RandomRecording(10, 1);
    for (auto [begin, end] : {std::pair<std::size_t, std::size_t>{5, 5}, {7, 3}, {10, kToEnd}, {20, 30}}) {
        const Statistics s = ComputeStatistics(samples, 10, begin, end);
        EXPECT_EQ(s.samples, 0u) << begin << ".." << end;
        EXPECT_EQ(s.vectorMax, 0.0);
    }
    EXPECT_EQ(ComputeStatistics({}, 10).samples, 0u);

    EXPECT_EQ(CountsPerGOrDefault(std::nullopt), 10);
    EXPECT_EQ(CountsPerGOrDefault(0), 10);
    EXPECT_EQ(CountsPerGOrDefault(-5), 10);
    EXPECT_EQ(CountsPerGOrDefault(100), 100);
}

TEST(Statistics, FirstSampleReachingTheVectorPeakIsNamedOnATie) {
    // Equal magnitudes on different axes: (3,4,0) and (0,0,-5) are both 5 counts.
    const std::vector<Sample> samples = {MakeSample(0, 1, 1, 1), MakeSample(5, 3, 4, 0),
                                         MakeSample(10, 0, 0, -5)};
    const Statistics s = ComputeStatistics(samples, 1);
    EXPECT_EQ(s.vectorMax, 5.0);
    EXPECT_EQ(s.vectorMaxAt, 1u);
}
