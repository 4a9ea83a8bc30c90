// Maximum, minimum, mean and count of one axis over the graph's selection, and the statistics window's texts.
#pragma once

#include "graph/core/GraphData.h"

#include <string>
#include <string_view>

namespace vexa {

// Values in counts (1 G = counts per G).
struct SelectionStatistics {
    int max = 0;
    int min = 0;
    int mean = 0;
    int count = 0;
};

// Recomputes the statistics over samples start .. end-1 of the axis (0 X, 1 Y, 2 Z, anything else X).
// An empty selection keeps the previous maximum, minimum and count and sets the mean to 0. A baseline
// text that holds an integer k with -20 < k < 20 replaces the mean by k; "VOID", and text that is no
// integer at all, leave the computed mean.
void UpdateSelectionStatistics(const GraphData& data, int start, int end, int axis, std::string_view baseline,
                               SelectionStatistics& stats);

// "%c%2d.%3sg    (%d)dgt" after the title: sign, whole G, three decimals, and the raw counts (UTF-8).
std::string StatisticText(std::string_view title, int counts, int countsPerG);
std::string MaximumText(int counts, int countsPerG);
std::string MinimumText(int counts, int countsPerG);
std::string MeanText(int counts, int countsPerG);
// "●データ数  : %d個" (UTF-8).
std::string CountText(int count);
// The lines below those: "●RMS    : X%6.3f Y%6.3f Z%6.3f g" with the RMS of each axis in g, and
// "●|a|最大 : %6.3fg  (time)" with the vector magnitude's peak in g and the time of its sample (UTF-8).
std::string RmsText(double x, double y, double z);
std::string VectorPeakText(double g, std::string_view time);

} // namespace vexa
