// Builds the logger's answer lines: the status report, the record count, the monitor line and stream samples.
#pragma once

#include "sim/SimTypes.h"

#include <string>
#include <vector>

namespace vexa::sim {

// The model line and one "@" line per status code, in the order the logger sends them (no line ends).
std::vector<std::string> StatusReportLines(const SimSettings& s, int recordCount, int firstYear);
// "@C= <count> <capacity>".
std::string CountLine(int count);
// "X:" value, "Y:" value, "Z:" value (each right-aligned in five), then "p " and the temperature, which
// starts at offset 32.
std::string MonitorLine(const SimSettings& s);
// One 8-byte stream sample: lead character, X Y Z as two hexadecimal digits each (signed bytes), CR.
std::string StreamSample(int x, int y, int z);
// A five-character group of "@A"/"@F": sign (blank or "-") and four digits of the magnitude.
std::string Group(int value);

inline constexpr int kRecordCapacity = 72000;

} // namespace vexa::sim
