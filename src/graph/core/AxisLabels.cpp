// Texts the graph writes beside its axes and under its samples.
#include "graph/core/AxisLabels.h"

#include <cstdlib>

namespace vexa {

std::string AccelerationLabel(int v, int countsPerG) {
    const int p = countsPerG > 0 ? countsPerG : 1;
    const int magnitude = std::abs(v);
    std::string text = v < 0 ? "-" : "";
    text += std::to_string(magnitude / p);
    if (p > 10) text += "." + std::to_string((magnitude % p) * (1000 / p)).substr(0, 2);
    return text + "G";
}

std::string TemperatureLabel(int degrees) {
    return std::to_string(degrees) + "℃";
}

std::string SampleTimeText(std::string_view timeLabel, int K) {
    // Characters 7..17 (hh:mm:ss.ff) or 7..14 (hh:mm:ss), 1-based.
    const std::size_t count = K == 100 ? 11 : 8;
    const std::string_view clock = timeLabel.size() > 6 ? timeLabel.substr(6, count) : std::string_view();
    return "↑" + std::string(clock);
}

} // namespace vexa
