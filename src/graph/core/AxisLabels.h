// Texts the graph writes beside its axes and under its samples.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Acceleration label for v counts at P counts per G: "0.90G" style for P above 10, "9G" style otherwise.
std::string AccelerationLabel(int v, int countsPerG);
// Temperature label of a grid line: the degrees followed by "℃" (UTF-8).
std::string TemperatureLabel(int degrees);
// The label under a sample: "↑" and hh:mm:ss.ff of its time label on the sub-second scales (K = 100),
// hh:mm:ss on the others (UTF-8).
std::string SampleTimeText(std::string_view timeLabel, int K);

} // namespace vexa
