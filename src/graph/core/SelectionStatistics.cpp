// Maximum, minimum, mean and count of one axis over the graph's selection, and the statistics window's texts.
#include "graph/core/SelectionStatistics.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vexa {

void UpdateSelectionStatistics(const GraphData& data, int start, int end, int axis, std::string_view baseline,
                               SelectionStatistics& stats) {
    const std::vector<std::int32_t>& values = axis == 1 ? data.y : axis == 2 ? data.z : data.x;
    stats.mean = 0;
    start = std::max(start, 0);
    end = std::min(end, int(values.size()));
    const int n = end - start;
    if (n <= 0) return;
    // Hundredths of a count, as the mean's division is carried out on them.
    std::int64_t sum = 0, max = 0, min = 0;
    for (int i = start; i < end; ++i) {
        const std::int64_t v = 100 * std::int64_t(values[std::size_t(i)]);
        if (i == start) max = min = v;
        max = std::max(max, v);
        min = std::min(min, v);
        sum += v;
    }
    std::int64_t mean = sum / n;
    if (baseline != "VOID") {
        if (const std::optional<int> k = StrictInteger(baseline); k && *k > -20 && *k < 20) mean = 100 * *k;
    }
    stats.count = n;
    stats.max = int(max / 100);
    stats.min = int(min / 100);
    stats.mean = int(mean / 100);
}

std::string StatisticText(std::string_view title, int counts, int countsPerG) {
    const int p = countsPerG > 0 ? countsPerG : 1;
    const long long magnitude = std::llabs(static_cast<long long>(counts));
    const long long d = (magnitude % p) * (1000 / p);
    const char digits[4] = {char('0' + d / 100), char('0' + (d % 100) / 10), char('0' + d % 10), 0};
    char text[96];
    std::snprintf(text, sizeof text, "%c%2lld.%3sg    (%d)dgt", counts < 0 ? '-' : ' ', magnitude / p, digits,
                  counts);
    return std::string(title) + text;
}

std::string MaximumText(int counts, int countsPerG) {
    return StatisticText("●最大値  : ", counts, countsPerG);
}
std::string MinimumText(int counts, int countsPerG) {
    return StatisticText("●最小値  : ", counts, countsPerG);
}
std::string MeanText(int counts, int countsPerG) {
    return StatisticText("●平均値  : ", counts, countsPerG);
}
std::string CountText(int count) {
    return "●データ数  : " + std::to_string(count) + "個";
}

std::string RmsText(double x, double y, double z) {
    char text[96];
    std::snprintf(text, sizeof text, "X%6.3f Y%6.3f Z%6.3f g", x, y, z);
    return std::string("●RMS    : ") + text;
}

std::string VectorPeakText(double g, std::string_view time) {
    char text[32];
    std::snprintf(text, sizeof text, "%6.3fg", g);
    return std::string("●|a|最大 : ") + text + "  (" + std::string(time) + ")";
}

} // namespace vexa
