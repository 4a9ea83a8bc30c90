// Columns of the overview by time.
#include "analysis/Envelope.h"

#include <algorithm>

namespace vexa::analysis {

TimeColumns AssignColumns(Samples samples, std::size_t columns) {
    TimeColumns c;
    c.columns = std::max<std::size_t>(columns, 1);
    c.of.resize(samples.size());
    if (samples.empty()) return c;
    const auto [lo, hi] =
        std::minmax_element(samples.begin(), samples.end(),
                            [](const Sample& a, const Sample& b) { return TimeMs(a) < TimeMs(b); });
    c.firstMs = TimeMs(*lo);
    c.lastMs = TimeMs(*hi);
    const double span = double(c.lastMs - c.firstMs);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double at = span > 0 ? double(TimeMs(samples[i]) - c.firstMs) / span : 0.0;
        c.of[i] = std::uint32_t(std::min(c.columns - 1, std::size_t(at * double(c.columns))));
    }
    return c;
}

} // namespace vexa::analysis
