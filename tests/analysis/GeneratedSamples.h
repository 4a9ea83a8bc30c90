// Generated recordings for the analysis tests: samples built in one place from time, counts, temperature.
#pragma once

#include "analysis/AnalysisSample.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace vexa::analysis::testing {

// A reading in degrees as a record carries it: whole degrees, the tenths digit, minus zero for -0.x.
inline Temperature TemperatureOf(double celsius) {
    const long tenths = std::lround(celsius * 10);
    const int whole = int(tenths / 10), digit = int(std::labs(tenths % 10));
    return Temperature::FromRecord(whole, tenths < 0 && whole == 0, char('0' + digit));
}

inline Sample MakeSample(std::int64_t timeMs, int x, int y, int z, std::optional<double> celsius = 20.0) {
    Sample s;
    s.timeMs = timeMs;
    s.x = x;
    s.y = y;
    s.z = z;
    // A capture's blank field carries no reading.
    s.temperature = celsius ? TemperatureOf(*celsius) : *Temperature::FromText("     ");
    return s;
}

} // namespace vexa::analysis::testing
