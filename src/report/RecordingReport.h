// The report's request for a recording: its samples, time texts, counts per G, kind and the device facts
// it carries.
#pragma once

#include "recording/Recording.h"
#include "report/Report.h"

#include <QString>
#include <cstddef>

namespace vexa::report {

// The recording must outlive the request. shownSamples: how many of its samples the report covers, from
// the first (the graph shows at most its own limit); the report then says how many there are in all.
ReportRequest ReportRequestFor(const Recording& recording, const QString& fileName,
                               std::size_t shownSamples = std::size_t(-1));

} // namespace vexa::report
