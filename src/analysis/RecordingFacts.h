// What the analysis takes from a recording beyond its samples: each sample's time as the file writes it,
// whether it is a 5-ms capture, its counts per G.
#pragma once

#include "recording/Recording.h"

#include <cstddef>
#include <string>

namespace vexa::analysis {

// The time of sample k as its line writes it: the text before the first comma. A marked line (the
// irregular mark in place of the year's first digit) gets that digit back from the sample's year.
std::string SampleTimeText(const Recording& recording, std::size_t k);

// Made by the 5-ms capture, or a file that one wrote (its start line is "Start Time=..."): 200 samples a
// second, evenly spaced.
bool IsCapture(const Recording& recording);

// The header's counts per G, or 10 when it names none.
int CountsPerGOf(const Recording& recording);

} // namespace vexa::analysis
