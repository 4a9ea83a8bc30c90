// Vibration figures of a 5-ms capture: RMS per axis over 1-s windows and the crest factor per axis.
#pragma once

#include "analysis/AnalysisSample.h"

#include <array>
#include <cstddef>
#include <vector>

namespace vexa::analysis {

// A 5-ms capture: 200 samples a second, evenly spaced.
inline constexpr double kCaptureRateHz = 200;
inline constexpr std::size_t kCaptureSamplesPerSecond = 200;

struct RmsWindow {
    std::size_t begin = 0;       // index of its first sample
    std::size_t count = 0;       // samples in it; the last window may hold fewer
    std::array<double, 3> rms{}; // square root of the mean of the squares, g
};

// Consecutive windows of samplesPerWindow samples (the last one takes what is left).
std::vector<RmsWindow> WindowedRms(Samples samples, int countsPerG,
                                   std::size_t samplesPerWindow = kCaptureSamplesPerSecond);

// Per axis, the largest absolute value divided by the RMS over all samples; 0 for an axis whose RMS is 0.
std::array<double, 3> CrestFactors(Samples samples);

} // namespace vexa::analysis
