// Shock events: runs of samples whose vector magnitude reaches a threshold, joined across short gaps.
#pragma once

#include "analysis/AnalysisSample.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexa::analysis {

inline constexpr std::int64_t kDefaultMinGapMs = 1000;
// The default threshold lies this far above the recording's median magnitude, so resting gravity does
// not count.
inline constexpr double kThresholdAboveMedian = 2.0;

struct ShockEvent {
    std::size_t start = 0, end = 0; // indexes of the first and last over sample
    std::size_t peakAt = 0;         // index of the first sample reaching the peak
    double peak = 0;                // largest vector magnitude in the event, g
    // Per axis, the value of largest absolute size among samples start..end (over or not), signed as in
    // the data; on a tie the earlier sample's.
    std::array<double, 3> axisPeak{};
    std::size_t samples = 0; // over samples in the event
};

// Vector magnitude of one sample in g.
double MagnitudeG(const Sample& s, int countsPerG);

// The median vector magnitude of all samples (g); 0 for no samples. For an even count, the mean of the
// middle two.
double MedianMagnitude(Samples samples, int countsPerG);
// The median vector magnitude of all samples plus 2 g, rounded to 0.1 g; 2.0 for no samples.
double DefaultThreshold(Samples samples, int countsPerG);

// A sample is over when its magnitude is at least `threshold` (g). An event is a run of adjacent over
// samples; runs whose gap (time from the last over sample of one to the first of the next) is less than
// minGapMs are one event. Events come in the order of the samples.
std::vector<ShockEvent> FindShockEvents(Samples samples, int countsPerG, double threshold,
                                        std::int64_t minGapMs = kDefaultMinGapMs);

} // namespace vexa::analysis
