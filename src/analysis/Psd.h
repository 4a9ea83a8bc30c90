// Power spectral density per axis (Welch) of an evenly sampled capture, and the Grms it gives.
#pragma once

#include "analysis/AnalysisSample.h"

#include <array>
#include <cstddef>
#include <vector>

namespace vexa::analysis {

inline constexpr std::size_t kPsdSegment = 256;

struct Psd {
    double sampleRate = 0;         // Hz
    double resolution = 0;         // Hz between bins: sampleRate / segment length
    std::size_t segments = 0;      // 0: fewer samples than one segment, and no density
    std::size_t samplesUsed = 0;   // samples covered by the segments (the tail after the last one is not)
    std::vector<double> frequency; // Hz of each bin, 0 .. sampleRate / 2
    std::array<std::vector<double>, 3> density; // g²/Hz per axis, one value per bin
    std::array<double, 3> grms{};               // square root of the area under each axis's density, g
    double grmsOverall = 0;                     // square root of the sum of the three areas, g

    double NyquistHz() const { return sampleRate / 2; }
};

// Welch's method: segments of segmentLength samples (even) overlapping by half, the mean of each
// segment removed (so gravity and offset do not land in the lowest bins), a periodic Hann window,
// one-sided, scaled to g²/Hz so that the area under the density is the mean square of the signal.
Psd WelchPsd(Samples samples, int countsPerG, double sampleRate, std::size_t segmentLength = kPsdSegment);

} // namespace vexa::analysis
