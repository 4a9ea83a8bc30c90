// Shock events on generated recordings: half-sine pulses of known height and width on resting gravity.
#include "analysis/ShockEvents.h"
#include "GeneratedSamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

using namespace vexa::analysis;
using vexa::analysis::testing::MakeSample;

namespace {

double Magnitude(const Sample& s, int countsPerG) {
    return std::sqrt(double(s.x * s.x + s.y * s.y + s.z * s.z)) / countsPerG;
}

// The default threshold, from a sorted copy of the magnitudes.
double OracleThreshold(const std::vector<Sample>& samples, int countsPerG) {
    std::vector<double> m;
    for (const Sample& s : samples)
        m.push_back(Magnitude(s, countsPerG));
    std::sort(m.begin(), m.end());
    const std::size_t n = m.size();
    const double median = n % 2 ? m[n / 2] : (m[n / 2 - 1] + m[n / 2]) / 2;
    return std::round((median + 2.0) * 10.0) / 10.0;
}

struct Pulse {
    std::size_t first = 0, width = 0; // samples it covers
};

struct Generated {
    std::vector<Sample> samples;
    std::vector<Pulse> pulses;
};

// Resting gravity on Z with a count of noise on every axis between pulses; pulses on a random axis and sign,
// heights 4.5..11 g, widths of 3..40 samples, separated by at least the gap plus one interval of quiet
// samples.
Generated PulsesOnGravity(int countsPerG, std::int64_t intervalMs, std::int64_t minGapMs, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-1, 1), axisOf(0, 2), signOf(0, 1), width(3, 40);
    std::uniform_real_distribution<double> height(4.5, 11.0);
    std::uniform_int_distribution<std::int64_t> extraGap(0, 30 * minGapMs + 1);
    Generated g;
    std::int64_t t = 0;
    const auto quiet = [&](std::size_t count) {
        for (std::size_t k = 0; k < count; ++k, t += intervalMs)
            g.samples.push_back(MakeSample(t, noise(rng), noise(rng), countsPerG + noise(rng)));
    };
    quiet(50);
    for (int p = 0; p < 40; ++p) {
        const int w = width(rng), axis = axisOf(rng), sign = signOf(rng) ? 1 : -1;
        const double h = height(rng) * countsPerG;
        g.pulses.push_back({g.samples.size(), std::size_t(w)});
        for (int k = 0; k < w; ++k, t += intervalMs) {
            const int v = sign * int(std::lround(h * std::sin(std::numbers::pi * (k + 1) / (w + 1))));
            // No noise inside a pulse: its magnitude rises and falls once, so its over samples are one run.
            Sample s = MakeSample(t, 0, 0, countsPerG);
            (axis == 0 ? s.x : axis == 1 ? s.y : s.z) += v;
            g.samples.push_back(s);
        }
        // At least twice the pulse's width of quiet, so that resting gravity stays the median.
        quiet(std::size_t((minGapMs + extraGap(rng)) / intervalMs + 1) + 2 * std::size_t(w));
    }
    quiet(50);
    return g;
}

} // namespace

TEST(ShockEvents, EveryPulseFoundOnceWithExactPeaks) {
    struct Case {
        int countsPerG;
        std::int64_t intervalMs, minGapMs;
    } cases[] = {{10, 5, 1000}, {10, 1000, 1000}, {100, 5, 250}, {50, 100, 2000}, {10, 10, 0}};
    unsigned seed = 11;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "countsPerG " << c.countsPerG << ", every " << c.intervalMs
                                          << " ms, gap " << c.minGapMs);
        const Generated g = PulsesOnGravity(c.countsPerG, c.intervalMs, c.minGapMs, seed++);
        const double threshold = OracleThreshold(g.samples, c.countsPerG);
        ASSERT_GE(threshold, 2.9); // resting near 1 g, so every pulse (3.5 g and more) reaches it
        ASSERT_LE(threshold, 3.2);
        ASSERT_DOUBLE_EQ(DefaultThreshold(g.samples, c.countsPerG), threshold);

        const std::vector<ShockEvent> events =
            FindShockEvents(g.samples, c.countsPerG, threshold, c.minGapMs);
        ASSERT_EQ(events.size(), g.pulses.size()); // none invented, none lost
        for (std::size_t p = 0; p < g.pulses.size(); ++p) {
            SCOPED_TRACE(::testing::Message() << "pulse " << p);
            // The oracle for one pulse: its over samples, the first largest magnitude, the signed axis peaks.
            std::size_t first = SIZE_MAX, last = 0, over = 0, peakAt = 0;
            double peak = -1;
            for (std::size_t i = g.pulses[p].first; i < g.pulses[p].first + g.pulses[p].width; ++i) {
                const double m = Magnitude(g.samples[i], c.countsPerG);
                if (m < threshold) continue;
                first = std::min(first, i);
                last = i;
                ++over;
                if (m > peak) peak = m, peakAt = i;
            }
            ASSERT_NE(first, SIZE_MAX);
            const ShockEvent& e = events[p];
            EXPECT_EQ(e.start, first);
            EXPECT_EQ(e.end, last);
            EXPECT_EQ(e.samples, over);
            EXPECT_EQ(e.peakAt, peakAt);
            EXPECT_EQ(e.peak, peak);
            for (int a = 0; a < 3; ++a) {
                int best = 0;
                for (std::size_t i = first; i <= last; ++i) {
                    const int v = a == 0 ? g.samples[i].x : a == 1 ? g.samples[i].y : g.samples[i].z;
                    if (std::abs(v) > std::abs(best)) best = v;
                }
                EXPECT_EQ(e.axisPeak[std::size_t(a)], best / double(c.countsPerG)) << "axis " << a;
            }
        }
    }
}

TEST(ShockEvents, RunsJoinAcrossGapsShorterThanTheMinimum) {
    // Counts per G 10, threshold 3 g: (30,0,0) is over, (0,0,10) is not.
    const auto over = [](std::int64_t t) { return MakeSample(t, 30, 0, 0); };
    const auto rest = [](std::int64_t t) { return MakeSample(t, 0, 0, 10); };
    struct Case {
        const char* name;
        std::vector<Sample> samples;
        std::int64_t minGapMs;
        std::vector<std::pair<std::size_t, std::size_t>> events; // start, end
    } cases[] = {
        {"gap 999 < 1000: one", {over(0), rest(500), over(999)}, 1000, {{0, 2}}},
        {"gap 1000: two", {over(0), rest(500), over(1000)}, 1000, {{0, 0}, {2, 2}}},
        {"adjacent over samples are one run, whatever the time between",
         {over(0), over(60'000)},
         1000,
         {{0, 1}}},
        {"gap 0 keeps every run apart", {over(0), rest(5), over(10), over(15)}, 0, {{0, 0}, {2, 3}}},
        {"time going back joins", {over(5000), rest(6000), over(2000)}, 1000, {{0, 2}}},
        {"nothing over", {rest(0), rest(5)}, 1000, {}},
    };
    for (const Case& c : cases) {
        const std::vector<ShockEvent> events = FindShockEvents(c.samples, 10, 3.0, c.minGapMs);
        ASSERT_EQ(events.size(), c.events.size()) << c.name;
        for (std::size_t k = 0; k < events.size(); ++k) {
            EXPECT_EQ(events[k].start, c.events[k].first) << c.name;
            EXPECT_EQ(events[k].end, c.events[k].second) << c.name;
        }
    }

    // Samples between the runs count for the axis peaks, not for the over count; the threshold is
    // reached at equality.
    const std::vector<Sample> s = {MakeSample(0, 30, 0, 0), MakeSample(5, 0, -25, 4),
                                   MakeSample(10, 0, 0, -30)};
    const std::vector<ShockEvent> e = FindShockEvents(s, 10, 3.0, 1000);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].samples, 2u);
    EXPECT_EQ(e[0].peakAt, 0u); // 3 g twice: the first
    EXPECT_EQ(e[0].axisPeak, (std::array<double, 3>{3.0, -2.5, -3.0}));
}

TEST(ShockEvents, DefaultThresholdIsTheMedianPlusTwoRoundedToATenth) {
    struct Case {
        std::vector<int> z; // magnitudes in counts, counts per G 10
        double threshold;
    } cases[] = {
        {{10}, 3.0},
        {{10, 11, 200}, 3.1},     // median 1.1 g
        {{10, 12}, 3.1},          // even count: the mean of the middle two
        {{10, 10, 12, 100}, 3.1}, // 1.1 g
        {{0, 0, 0}, 2.0},
        {{-14, 14, -14, 0}, 3.4}, // magnitudes, not signed values
    };
    for (const Case& c : cases) {
        std::vector<Sample> samples;
        for (int z : c.z)
            samples.push_back(MakeSample(0, 0, 0, z));
        EXPECT_DOUBLE_EQ(DefaultThreshold(samples, 10), c.threshold) << c.z.size() << " samples";
    }
    EXPECT_DOUBLE_EQ(DefaultThreshold({}, 10), 2.0);
}
