// Windowed RMS and crest factors of a capture.
#include "analysis/Vibration.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace vexa::analysis {

namespace {

std::array<std::int64_t, 3> SumsOfSquares(Samples samples) {
    std::array<std::int64_t, 3> sums{};
    for (const Sample& s : samples)
        for (int a = 0; a < 3; ++a) {
            const std::int64_t v = AxisCounts(s, a);
            sums[std::size_t(a)] += v * v;
        }
    return sums;
}

} // namespace

std::vector<RmsWindow> WindowedRms(Samples samples, int countsPerG, std::size_t samplesPerWindow) {
    std::vector<RmsWindow> windows;
    if (samplesPerWindow == 0) return windows;
    for (std::size_t begin = 0; begin < samples.size(); begin += samplesPerWindow) {
        const Samples window = samples.subspan(begin, std::min(samplesPerWindow, samples.size() - begin));
        const std::array<std::int64_t, 3> sums = SumsOfSquares(window);
        RmsWindow w{begin, window.size(), {}};
        for (std::size_t a = 0; a < 3; ++a)
            w.rms[a] = std::sqrt(double(sums[a]) / double(window.size())) / double(countsPerG);
        windows.push_back(w);
    }
    return windows;
}

std::array<double, 3> CrestFactors(Samples samples) {
    std::array<double, 3> crest{};
    if (samples.empty()) return crest;
    // Counts per G cancel in peak / RMS.
    const std::array<std::int64_t, 3> sums = SumsOfSquares(samples);
    for (int a = 0; a < 3; ++a) {
        int peak = 0;
        for (const Sample& s : samples)
            peak = std::max(peak, std::abs(AxisCounts(s, a)));
        const double rms = std::sqrt(double(sums[std::size_t(a)]) / double(samples.size()));
        crest[std::size_t(a)] = rms > 0 ? peak / rms : 0;
    }
    return crest;
}

} // namespace vexa::analysis
