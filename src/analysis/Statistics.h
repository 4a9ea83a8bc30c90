// Statistics of a range of samples in g: per axis, the vector magnitude's peak, temperature, time span.
#pragma once

#include "analysis/AnalysisSample.h"

#include <array>
#include <cstddef>
#include <limits>

namespace vexa::analysis {

struct AxisStatistics {
    double max = 0, min = 0, mean = 0;
    double rms = 0; // square root of the mean of the squares
    double peakToPeak = 0;
};

struct Statistics {
    std::size_t samples = 0; // 0: the range held no sample, and every other figure is 0
    int countsPerG = 0;
    std::size_t first = 0, last = 0; // indexes of the first and last sample of the range
    double seconds = 0;              // time of the last sample less that of the first
    std::array<AxisStatistics, 3> axes{};
    double vectorMax = 0;        // largest sqrt(x² + y² + z²), g
    std::size_t vectorMaxAt = 0; // index of the first sample reaching it
    // °C, over the samples that carry a reading (a capture's blank field carries none).
    std::size_t temperatureSamples = 0;
    double temperatureMax = 0, temperatureMin = 0, temperatureMean = 0;
};

inline constexpr std::size_t kToEnd = std::numeric_limits<std::size_t>::max();

// Statistics of samples[begin, end) (held to the samples there are); indexes in the result count from the
// start of `samples`. countsPerG must be positive (see CountsPerGOrDefault).
Statistics ComputeStatistics(Samples samples, int countsPerG, std::size_t begin = 0,
                             std::size_t end = kToEnd);

} // namespace vexa::analysis
