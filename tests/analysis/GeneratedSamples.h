// Generated recordings for the analysis tests: samples built in one place from time, counts, temperature.
#pragma once

#include "analysis/AnalysisSample.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vexa::analysis::testing {

inline Sample MakeSample(std::int64_t timeMs, int x, int y, int z, std::optional<double> celsius = 20.0) {
    Sample s;
    s.timeMs = timeMs;
    s.x = x;
    s.y = y;
    s.z = z;
    s.temperature = celsius;
    return s;
}

} // namespace vexa::analysis::testing
