// Speed of the analysis over 72,000 samples (a full capture of 360 s): statistics, shock events with the
// default threshold, and the PSD of the three axes. Each figure is the median of nine runs.
#include "analysis/Psd.h"
#include "analysis/ShockEvents.h"
#include "analysis/Statistics.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vexa::analysis;

namespace {

// Gravity on Z, a 20-Hz vibration on X and Y, a shock every 5 s.
std::vector<Sample> Capture72k() {
    std::vector<Sample> samples(72000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        Sample& s = samples[i];
        s.timeMs = std::int64_t(i) * 5;
        s.x = int(std::lround(20 * std::sin(double(i) * 0.628)));
        s.y = int(std::lround(7 * std::cos(double(i) * 0.3)));
        s.z = 10 + ((i % 1000) < 4 ? 60 : 0);
        s.temperature = vexa::Temperature::FromRecord(20 + int(i % 50) / 10, false, char('0' + i % 10));
    }
    return samples;
}

double MedianMs(const std::function<void()>& work) {
    std::vector<double> runs;
    for (int run = 0; run < 9; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        runs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

} // namespace

int main() {
    const std::vector<Sample> samples = Capture72k();
    volatile double sink = 0; // keeps the results observable
    std::size_t events = 0;
    const double stats = MedianMs([&] { sink = sink + ComputeStatistics(samples, 10).vectorMax; });
    const double shocks = MedianMs([&] {
        events = FindShockEvents(samples, 10, DefaultThreshold(samples, 10)).size();
        sink = sink + double(events);
    });
    const double psd = MedianMs([&] { sink = sink + WelchPsd(samples, 10, 200).grmsOverall; });
    if (events != 72) {
        std::fprintf(stderr, "bench_analysis: %zu events instead of 72\n", events);
        return 1;
    }
    std::printf("bench: analysis.stats72k_ms %.3f ms\n", stats);
    std::printf("bench: analysis.events72k_ms %.3f ms\n", shocks);
    std::printf("bench: analysis.psd72k_ms %.3f ms\n", psd);
    return 0;
}
