// Shock events and their default threshold.
#include "analysis/ShockEvents.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace vexa::analysis {

double MagnitudeG(const Sample& s, int countsPerG) {
    return std::sqrt(double(SquaredMagnitude(s))) / double(countsPerG);
}

double MedianMagnitude(Samples samples, int countsPerG) {
    if (samples.empty()) return 0;
    // The square root is monotonic, so the median of the squared magnitudes (exact integers) gives the
    // median magnitude; nth_element keeps this linear.
    std::vector<std::int64_t> squared(samples.size());
    std::transform(samples.begin(), samples.end(), squared.begin(), SquaredMagnitude);
    const std::size_t mid = squared.size() / 2;
    std::nth_element(squared.begin(), squared.begin() + std::ptrdiff_t(mid), squared.end());
    double median = std::sqrt(double(squared[mid]));
    if (squared.size() % 2 == 0) {
        const std::int64_t below = *std::max_element(squared.begin(), squared.begin() + std::ptrdiff_t(mid));
        median = (median + std::sqrt(double(below))) / 2;
    }
    return median / double(countsPerG);
}

double DefaultThreshold(Samples samples, int countsPerG) {
    return std::round((MedianMagnitude(samples, countsPerG) + kThresholdAboveMedian) * 10.0) / 10.0;
}

namespace {

// Fills the per-axis peaks of an event from all its samples, start to end.
void FillAxisPeaks(Samples samples, int countsPerG, ShockEvent& e) {
    for (int a = 0; a < 3; ++a) {
        int best = AxisCounts(samples[e.start], a);
        for (std::size_t i = e.start + 1; i <= e.end; ++i) {
            const int v = AxisCounts(samples[i], a);
            if (std::abs(v) > std::abs(best)) best = v;
        }
        e.axisPeak[std::size_t(a)] = best / double(countsPerG);
    }
}

} // namespace

std::vector<ShockEvent> FindShockEvents(Samples samples, int countsPerG, double threshold,
                                        std::int64_t minGapMs) {
    std::vector<ShockEvent> events;
    std::optional<ShockEvent> open;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double m = MagnitudeG(samples[i], countsPerG);
        if (!(m >= threshold)) continue;
        const bool joins =
            open && (i == open->end + 1 || TimeMs(samples[i]) - TimeMs(samples[open->end]) < minGapMs);
        if (!joins) {
            if (open) {
                FillAxisPeaks(samples, countsPerG, *open);
                events.push_back(*open);
            }
            open = ShockEvent{i, i, i, m, {}, 0};
        }
        open->end = i;
        ++open->samples;
        if (m > open->peak) {
            open->peak = m;
            open->peakAt = i;
        }
    }
    if (open) {
        FillAxisPeaks(samples, countsPerG, *open);
        events.push_back(*open);
    }
    return events;
}

} // namespace vexa::analysis
