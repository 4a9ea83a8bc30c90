// The report's speed from file to PDF, without a display: a 72,000-record download with shocks (file read,
// recording parsed, analysis, two PDF pages written), and a 360-s capture of 72,000 samples (the same and
// its PSD). Each figure is the median of five runs.
#include "platform/RegularFile.h"
#include "protocol/CsvLine.h"
#include "recording/RecordingFile.h"
#include "report/RecordingReport.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>

using namespace vexa;

namespace {

// Resting gravity with a shock of up to 8 G every 1,000 samples; `stepMs` apart.
std::string Csv(bool capture, std::int64_t stepMs) {
    std::string text = capture ? "Start Time=2024/05/01 00:00:00 @1G=10\r\n\r\n"
                               : "Start Year=2024 @1G=10\r\ndate time,x(G),y(G),z(G),temperature(C)\r\n";
    for (int i = 0; i < 72000; ++i) {
        Sample s;
        const std::int64_t ms = std::int64_t(i) * stepMs;
        const Stamp t{2024,
                      5,
                      int(1 + ms / 86'400'000),
                      int(ms / 3'600'000 % 24),
                      int(ms / 60'000 % 60),
                      int(ms / 1000 % 60),
                      int(ms % 1000 / 10),
                      int(ms % 10)};
        s.SetStamp(t);
        s.x = int(std::lround(3 * std::sin(i * 0.47)));
        s.y = (i * 7) % 3 - 1;
        s.z = 10 + ((i % 1000) < 3 ? 30 + i / 1000 % 50 : 0);
        s.temperature = Temperature::FromRecord(21 + i / 20000, false, char('0' + i % 10));
        text += FormatCsvLine(s) + "\r\n";
    }
    if (capture) text += "End=>2024/05/01 00:06:00\r\n";
    return text;
}

double MedianMs(const std::string& csv, const QString& dir, std::size_t& pages) {
    const std::string in = (dir + QStringLiteral("/in.csv")).toStdString();
    std::ofstream(in, std::ios::binary) << csv;
    std::vector<double> runs;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const Recording recording = ReadRecording(ReadRegularFile(in));
        const report::ReportOutcome outcome =
            report::WriteReportFile(report::ReportRequestFor(recording, QString::fromStdString(in)),
                                    dir + QStringLiteral("/out.pdf"));
        runs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (!outcome.ok) return -1;
        pages = std::size_t(outcome.pages);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    std::size_t pages = 0, capturePages = 0;
    const double download = MedianMs(Csv(false, 1000), dir.path(), pages);
    const double capture = MedianMs(Csv(true, 5), dir.path(), capturePages);
    if (download < 0 || capture < 0 || pages > 2 || capturePages > 2) {
        std::fprintf(stderr, "bench_report: the report failed or took more than 2 pages\n");
        return 1;
    }
    std::printf("bench: report.pdf72k_ms %.1f ms\n", download);
    std::printf("bench: report.pdf72k_capture_ms %.1f ms\n", capture);
    return 0;
}
