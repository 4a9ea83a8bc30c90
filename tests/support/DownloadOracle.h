// What a complete download of the simulated logger must give: the lines a person expects for its
// records, worked out from the records themselves rather than by the decoder under test.
#pragma once

#include "sim/RecordEncoder.h"
#include "sim/SimTypes.h"

#include <cstdio>
#include <string>
#include <vector>

namespace oracle {

// "↓" in Shift-JIS.
inline const std::string kIrregularComment = "//\x81\xab"
                                             "Irregular Record //";

// The CSV line for a record: date-time with two-digit fields, raw X, Y, Z and the temperature in degrees
// (minus zero for -0.x); a record whose time did not advance has the byte 0x81 first.
inline std::string ExpectedLine(const vexa::sim::SimRecord& r, bool irregular) {
    char temp[16];
    const int t = r.tempTenths;
    if (t < 0 && t > -10)
        std::snprintf(temp, sizeof temp, " -0.%d", -t);
    else
        std::snprintf(temp, sizeof temp, "%3d.%d", t / 10, (t < 0 ? -t : t) % 10);
    char line[128];
    std::snprintf(line, sizeof line, "%04d/%02d/%02d %02d:%02d:%02d.%02d%d,%3d,%3d,%3d,%s", r.year, r.month,
                  r.day, r.hour, r.minute, r.second, r.hundredths, r.thousandths, r.x, r.y, r.z, temp);
    std::string out = line;
    if (irregular) out[0] = '\x81';
    return out;
}

// The work area after "取得" of the whole memory: start line, column line, one line per record with the
// comment before each irregular one.
inline std::vector<std::string> ExpectedDownload(const vexa::sim::SimConfig& config, int countsPerG) {
    const auto records = vexa::sim::GenerateRecords(config);
    std::vector<std::string> lines;
    lines.reserve(records.size() + 2 + config.irregular.size());
    lines.push_back("Start Year=" + std::to_string(records.empty() ? 0 : records.front().year) +
                    " @1G=" + std::to_string(countsPerG));
    lines.push_back("date time,x(G),y(G),z(G),temperature(C)");
    for (std::size_t i = 0; i < records.size(); ++i) {
        const bool irregular = config.irregular.count(int(i)) > 0;
        if (irregular) lines.push_back(kIrregularComment);
        lines.push_back(ExpectedLine(records[i], irregular));
    }
    return lines;
}

} // namespace oracle
