// The report's request for a recording: its samples, time texts, counts per G, kind and the device facts
// it carries.
#pragma once

#include "recording/Recording.h"
#include "report/Report.h"

#include <QString>
#include <cstddef>

namespace vexa::report {

// The recording must outlive the request. The report covers its samples [begin, end) (held to the samples
// there are); when that is not all of them (the part a graph shows), it says which ones of how many.
ReportRequest ReportRequestFor(const Recording& recording, const QString& fileName, std::size_t begin = 0,
                               std::size_t end = std::size_t(-1));

} // namespace vexa::report
