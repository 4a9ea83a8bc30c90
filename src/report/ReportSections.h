// The report's sections and what they share: the request and the analysis made once for all of them.
#pragma once

#include "analysis/Psd.h"
#include "analysis/ShockEvents.h"
#include "analysis/Statistics.h"
#include "analysis/Vibration.h"
#include "report/PdfSheet.h"
#include "report/Report.h"

#include <QColor>

namespace vexa::report {

struct ReportContext {
    const ReportRequest& request;
    analysis::Statistics statistics;
    double median = 0; // g, of the vector magnitude
    double threshold = 0;
    bool defaultThreshold = true;
    std::vector<analysis::ShockEvent> events;
    // Captures only.
    analysis::Psd psd;
    std::vector<analysis::RmsWindow> rms;
    std::array<double, 3> crest{};

    QString TimeText(std::size_t sample) const;
};

// Trace colours as the graph window draws them: X fuchsia, Y blue, Z green, temperature red.
inline const QColor kAxisColour[3] = {QColor(0xFF, 0x00, 0xFF), QColor(0x00, 0x00, 0xFF),
                                      QColor(0x00, 0x80, 0x00)};
inline const QColor kTemperatureColour(0xFF, 0x00, 0x00);
inline const QColor kMagnitudeColour(0x20, 0x20, 0x20);
inline const QColor kThresholdColour(0xE0, 0x00, 0x00);

// Each section starts at yMm and returns where the next may start.
double DrawSummary(PdfSheet& sheet, const ReportContext& c, double yMm);
double DrawStatisticsTable(PdfSheet& sheet, const ReportContext& c, double yMm);
double DrawOverview(PdfSheet& sheet, const ReportContext& c, double yMm);
double DrawEventTable(PdfSheet& sheet, const ReportContext& c, double yMm);
double DrawVibration(PdfSheet& sheet, const ReportContext& c, double yMm);
void DrawFooter(PdfSheet& sheet, int page, int pages);

// Texts of numbers as the report writes them.
QString G(double value);          // "1.234"
QString Count(std::size_t n);     // "72,000"
QString Duration(double seconds); // "3 h 20 min 0.0 s"

// The 20 largest events by peak, the earlier first among equal peaks.
inline constexpr std::size_t kReportedEvents = 20;
std::vector<std::size_t> LargestEvents(const std::vector<analysis::ShockEvent>& events, std::size_t count);

} // namespace vexa::report
