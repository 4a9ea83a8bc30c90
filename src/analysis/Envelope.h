// The overview of a whole recording at a fixed width: per column the smallest and largest value of the
// samples whose time falls in it, so that a peak of a single sample always shows.
#pragma once

#include "analysis/AnalysisSample.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <vector>

namespace vexa::analysis {

// The column of every sample, by time, from the earliest to the latest sample's time.
struct TimeColumns {
    std::size_t columns = 0;
    std::int64_t firstMs = 0, lastMs = 0; // earliest and latest time of the samples
    std::vector<std::uint32_t> of;        // column of sample i
};

// columns must be at least 1. Samples of equal time (or a single sample) all fall in column 0.
TimeColumns AssignColumns(Samples samples, std::size_t columns);

struct ColumnRange {
    std::size_t count = 0; // samples in the column; 0: nothing to draw there
    double min = 0, max = 0;
    std::size_t firstSample = 0; // index of the first sample in it
};

// Smallest and largest value(sample) per column; value may return std::optional<double>, and a sample
// whose value is nothing is left out.
template <class Value>
std::vector<ColumnRange> Envelope(Samples samples, const TimeColumns& columns, Value value) {
    std::vector<ColumnRange> ranges(columns.columns);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        ColumnRange& r = ranges[columns.of[i]];
        double v = 0;
        if constexpr (std::is_same_v<decltype(value(samples[i])), std::optional<double>>) {
            const std::optional<double> maybe = value(samples[i]);
            if (!maybe) continue;
            v = *maybe;
        } else {
            v = value(samples[i]);
        }
        if (r.count++ == 0) {
            r.min = r.max = v;
            r.firstSample = i;
        } else if (v < r.min) {
            r.min = v;
        } else if (v > r.max) {
            r.max = v;
        }
    }
    return ranges;
}

} // namespace vexa::analysis
