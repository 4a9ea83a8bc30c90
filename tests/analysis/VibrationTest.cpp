// Vibration figures of captures: the PSD of a known sine, the PSD against a direct DFT, windowed RMS and
// crest factors against sums written here.
#include "analysis/Vibration.h"
#include "GeneratedSamples.h"
#include "analysis/Psd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

using namespace vexa::analysis;
using vexa::analysis::testing::MakeSample;

namespace {

// A 200-Hz capture: a sine of `peakG` at `hz` on one axis, gravity on Z, counts rounded as the logger's.
std::vector<Sample> SineCapture(double seconds, double hz, double peakG, int axis, int countsPerG) {
    std::vector<Sample> samples;
    for (int i = 0; i < int(seconds * 200); ++i) {
        const int v = int(std::lround(peakG * countsPerG * std::sin(2 * std::numbers::pi * hz * i / 200.0)));
        Sample s = MakeSample(std::int64_t(i) * 5, 0, 0, axis == 2 ? 0 : countsPerG);
        (axis == 0 ? s.x : axis == 1 ? s.y : s.z) += v;
        samples.push_back(s);
    }
    return samples;
}

} // namespace

TEST(Psd, SineOf1gAt20HzPeaksAt20HzWithGrmsOfItsRms) {
    for (int countsPerG : {100, 50, 10}) {
        for (int axis = 0; axis < 3; ++axis) {
            SCOPED_TRACE(::testing::Message() << "countsPerG " << countsPerG << ", axis " << axis);
            const std::vector<Sample> capture = SineCapture(60, 20, 1.0, axis, countsPerG);
            const Psd psd = WelchPsd(capture, countsPerG, 200);
            EXPECT_DOUBLE_EQ(psd.resolution, 200.0 / 256);
            EXPECT_DOUBLE_EQ(psd.NyquistHz(), 100.0);
            EXPECT_EQ(psd.segments, (12000u - 256) / 128 + 1);
            EXPECT_EQ(psd.samplesUsed, (psd.segments - 1) * 128 + 256);
            ASSERT_EQ(psd.frequency.size(), 129u);
            EXPECT_DOUBLE_EQ(psd.frequency.back(), 100.0);

            const std::vector<double>& d = psd.density[std::size_t(axis)];
            ASSERT_EQ(d.size(), 129u);
            const std::size_t peak = std::size_t(std::max_element(d.begin(), d.end()) - d.begin());
            EXPECT_NEAR(psd.frequency[peak], 20.0, psd.resolution);
            // The area under the density is the mean square of the samples as counted: at 10 counts per G the
            // rounded sine (0, 0.6, 1.0, 1.0, 0.6, ...) is 0.738 g RMS; finer counts come within 2 % of
            // 0.707.
            double squares = 0;
            for (const Sample& s : capture) {
                const int v = axis == 0 ? s.x : axis == 1 ? s.y : s.z;
                squares += double(v) * v / (double(countsPerG) * countsPerG);
            }
            const double rms = std::sqrt(squares / double(capture.size()));
            EXPECT_NEAR(psd.grms[std::size_t(axis)], rms, 0.02 * rms);
            EXPECT_NEAR(psd.grmsOverall, rms, 0.02 * rms);
            if (countsPerG >= 50) {
                EXPECT_NEAR(psd.grms[std::size_t(axis)], std::sqrt(0.5), 0.02 * std::sqrt(0.5));
            }
            // The other axes hold a constant (gravity or nothing): its mean is removed per segment.
            for (int other = 0; other < 3; ++other)
                if (other != axis) {
                    EXPECT_LT(psd.grms[std::size_t(other)], 1e-6) << "axis " << other;
                }
        }
    }
}

TEST(Psd, MatchesWelchByADirectTransform) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> counts(-128, 127);
    std::vector<Sample> samples;
    for (int i = 0; i < 1000; ++i)
        samples.push_back(MakeSample(i * 5, counts(rng), counts(rng) / 4 + 50, counts(rng)));
    const int countsPerG = 50;
    const Psd psd = WelchPsd(samples, countsPerG, 200);
    ASSERT_EQ(psd.segments, 6u); // starts 0, 128, ..., 640; the last 104 samples fill no segment
    EXPECT_EQ(psd.samplesUsed, 896u);

    const std::size_t n = 256;
    for (int a = 0; a < 3; ++a) {
        std::vector<double> expected(n / 2 + 1, 0.0);
        double windowPower = 0;
        for (std::size_t k = 0; k < n; ++k)
            windowPower += std::pow(0.5 - 0.5 * std::cos(2 * std::numbers::pi * k / n), 2);
        for (std::size_t s = 0; s < 6; ++s) {
            std::vector<double> x(n);
            double mean = 0;
            for (std::size_t k = 0; k < n; ++k) {
                const Sample& v = samples[s * 128 + k];
                x[k] = (a == 0 ? v.x : a == 1 ? v.y : v.z) / double(countsPerG);
                mean += x[k] / n;
            }
            for (std::size_t f = 0; f <= n / 2; ++f) {
                std::complex<double> sum = 0;
                for (std::size_t k = 0; k < n; ++k) {
                    const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * k / n);
                    sum += (x[k] - mean) * w * std::polar(1.0, -2 * std::numbers::pi * double(f * k % n) / n);
                }
                const double oneSided = (f == 0 || f == n / 2) ? 1 : 2;
                expected[f] += oneSided * std::norm(sum) / (200 * windowPower * 6);
            }
        }
        double area = 0;
        for (std::size_t f = 0; f <= n / 2; ++f) {
            EXPECT_NEAR(psd.density[std::size_t(a)][f], expected[f], 1e-4 * expected[f] + 1e-9)
                << "axis " << a << " bin " << f;
            area += expected[f] * 200.0 / n;
        }
        EXPECT_NEAR(psd.grms[std::size_t(a)], std::sqrt(area), 1e-4 * std::sqrt(area)) << "axis " << a;
    }

    // Fewer samples than one segment: no density, and the resolution still stated.
    const Psd none = WelchPsd(std::span(samples).first(255), countsPerG, 200);
    EXPECT_EQ(none.segments, 0u);
    EXPECT_TRUE(none.density[0].empty());
    EXPECT_EQ(none.grmsOverall, 0.0);
    EXPECT_DOUBLE_EQ(none.resolution, 200.0 / 256);
}

TEST(Vibration, WindowedRmsAndCrestFactors) {
    // 2.5 s: two whole windows and a half one; a 20-Hz sine of 2 g on Y, gravity on Z, noise on X.
    std::vector<Sample> capture = SineCapture(2.5, 20, 2.0, 1, 50);
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> noise(-20, 20);
    for (Sample& s : capture)
        s.x = noise(rng);
    const std::vector<RmsWindow> windows = WindowedRms(capture, 50);
    ASSERT_EQ(windows.size(), 3u);
    for (std::size_t w = 0; w < windows.size(); ++w) {
        const std::size_t begin = w * 200, count = std::min<std::size_t>(200, capture.size() - begin);
        EXPECT_EQ(windows[w].begin, begin);
        EXPECT_EQ(windows[w].count, count);
        for (int a = 0; a < 3; ++a) {
            double squares = 0;
            for (std::size_t i = begin; i < begin + count; ++i) {
                const double v = (a == 0 ? capture[i].x : a == 1 ? capture[i].y : capture[i].z) / 50.0;
                squares += v * v;
            }
            EXPECT_NEAR(windows[w].rms[std::size_t(a)], std::sqrt(squares / count), 1e-12) << w << " " << a;
        }
        EXPECT_NEAR(windows[w].rms[1], 2.0 / std::sqrt(2.0), 0.01); // whole periods of the sine
        EXPECT_DOUBLE_EQ(windows[w].rms[2], 1.0);
    }

    // Peak over RMS of the samples; the sampled sine never meets its crest (0.951 of it at 10 samples a
    // period), and a constant has a crest factor of 1.
    const std::array<double, 3> crest = CrestFactors(capture);
    for (int a = 0; a < 3; ++a) {
        double squares = 0, peak = 0;
        for (const Sample& s : capture) {
            const double v = a == 0 ? s.x : a == 1 ? s.y : s.z;
            squares += v * v;
            peak = std::max(peak, std::abs(v));
        }
        EXPECT_NEAR(crest[std::size_t(a)], peak / std::sqrt(squares / double(capture.size())), 1e-12) << a;
    }
    EXPECT_NEAR(crest[1], 0.951 * std::sqrt(2.0), 0.01);
    EXPECT_DOUBLE_EQ(crest[2], 1.0);
    EXPECT_EQ(CrestFactors(SineCapture(1, 20, 0, 0, 10))[0], 0.0); // no signal: no crest factor
}
