// Counts to g: the recording's counts per G, and the value used when its header names none.
#pragma once

#include <optional>

namespace vexa::analysis {

// A header without a count value of 1 G (or with one that is not positive) is read as 10 counts per G,
// the logger's own default.
inline constexpr int kDefaultCountsPerG = 10;

inline int CountsPerGOrDefault(std::optional<int> header) {
    return header && *header > 0 ? *header : kDefaultCountsPerG;
}

} // namespace vexa::analysis
