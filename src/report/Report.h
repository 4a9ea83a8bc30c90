// The PDF report of a recording: facts, statistics, shock events, an overview that keeps every peak, and
// for 5-ms captures the vibration figures. Qt Gui's PDF writer; no widgets and no display.
#pragma once

#include "analysis/AnalysisSample.h"

#include <QIODevice>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vexa::report {

struct ReportFact {
    QString name, value;
};

struct ReportRequest {
    QString title;                 // empty: the default title
    QString fileName;              // the recording's file (or the name the window shows)
    std::vector<ReportFact> facts; // what the recording carries: source, logger ID, firmware, ...
    analysis::Samples samples;
    std::function<std::string(std::size_t)> timeText; // sample i's time as the file writes it
    int countsPerG = 10;
    bool countsPerGFromHeader = true; // false: the header named none and 10 is assumed
    bool capture = false;             // 5-ms samples: the vibration figures follow the events
    std::optional<double> threshold;  // g; nothing: the default above the median
    std::int64_t minGapMs = 1000;
};

struct ReportOutcome {
    bool ok = false;
    QString error; // why no PDF was written
    int pages = 0;
    std::size_t events = 0;
    double threshold = 0;
};

QString DefaultReportTitle();

// Writes the PDF to `device` (open for writing).
ReportOutcome WriteReport(const ReportRequest& request, QIODevice& device);
// Writes the PDF to a file; the file appears whole or not at all.
ReportOutcome WriteReportFile(const ReportRequest& request, const QString& path);

} // namespace vexa::report
