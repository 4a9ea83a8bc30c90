// Statistics of a range of samples in g, in one pass with exact integer sums.
#include "analysis/Statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vexa::analysis {

Statistics ComputeStatistics(Samples samples, int countsPerG, std::size_t begin, std::size_t end) {
    Statistics s;
    s.countsPerG = countsPerG;
    end = std::min(end, samples.size());
    if (begin >= end) return s;
    const double g = double(countsPerG);

    // Counts are integers: sums of values and of squares stay exact in 64 bits for any recording length
    // the tool can hold, so the mean and the RMS carry no rounding drift.
    std::array<std::int64_t, 3> sum{}, sumSquares{};
    std::array<int, 3> max{}, min{};
    for (int a = 0; a < 3; ++a)
        max[a] = min[a] = AxisCounts(samples[begin], a);
    std::int64_t peakSquared = -1;
    double temperatureSum = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const Sample& sample = samples[i];
        for (int a = 0; a < 3; ++a) {
            const int v = AxisCounts(sample, a);
            max[a] = std::max(max[a], v);
            min[a] = std::min(min[a], v);
            sum[a] += v;
            sumSquares[a] += std::int64_t(v) * v;
        }
        if (const std::int64_t m = SquaredMagnitude(sample); m > peakSquared) {
            peakSquared = m;
            s.vectorMaxAt = i;
        }
        if (const std::optional<double> t = Celsius(sample)) {
            if (s.temperatureSamples++ == 0) s.temperatureMax = s.temperatureMin = *t;
            s.temperatureMax = std::max(s.temperatureMax, *t);
            s.temperatureMin = std::min(s.temperatureMin, *t);
            temperatureSum += *t;
        }
    }

    const double n = double(end - begin);
    s.samples = end - begin;
    s.first = begin;
    s.last = end - 1;
    s.seconds = double(TimeMs(samples[s.last]) - TimeMs(samples[s.first])) / 1000.0;
    for (int a = 0; a < 3; ++a) {
        AxisStatistics& axis = s.axes[std::size_t(a)];
        axis.max = max[a] / g;
        axis.min = min[a] / g;
        axis.mean = double(sum[a]) / n / g;
        axis.rms = std::sqrt(double(sumSquares[a]) / n) / g;
        axis.peakToPeak = (max[a] - min[a]) / g;
    }
    s.vectorMax = std::sqrt(double(peakSquared)) / g;
    if (s.temperatureSamples) s.temperatureMean = temperatureSum / double(s.temperatureSamples);
    return s;
}

} // namespace vexa::analysis
