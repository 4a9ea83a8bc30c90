// The PDF report read back as a reader sees it: pages, searchable text, vector graphs, and no file left
// behind when it cannot be written.
#include "report/Report.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

using namespace vexa;
using namespace vexa::report;

namespace {

std::string TimeOf(std::int64_t ms) {
    char text[40];
    std::snprintf(text, sizeof text, "2024/03/%02d %02d:%02d:%02d.%03d", int(1 + ms / 86'400'000),
                  int(ms / 3'600'000 % 24), int(ms / 60'000 % 60), int(ms / 1000 % 60), int(ms % 1000));
    return text;
}

struct Recording {
    std::vector<analysis::Sample> samples;
    ReportRequest Request(bool capture) const {
        ReportRequest r;
        r.fileName = QStringLiteral("/data/試験/VEXA01.CSV");
        r.facts = {
            {QStringLiteral("Source"), capture ? QStringLiteral("capture") : QStringLiteral("download")},
            {QStringLiteral("Logger ID"), QStringLiteral("01")}};
        r.samples = samples;
        const std::vector<analysis::Sample>* s = &samples;
        r.timeText = [s](std::size_t i) { return TimeOf((*s)[i].timeMs); };
        r.capture = capture;
        return r;
    }
};

// 72,000 records a second apart on resting gravity, with seven single-sample shocks of 3..9 g.
Recording Download72k() {
    Recording r;
    for (int i = 0; i < 72000; ++i) {
        analysis::Sample s;
        s.timeMs = std::int64_t(i) * 1000;
        s.x = (i * 7) % 3 - 1;
        s.z = 10;
        s.temperature = 20 + (i / 3000) % 10 * 0.5;
        if (i % 10000 == 5000) s.x = 30 + i / 10000 * 10;
        r.samples.push_back(s);
    }
    return r;
}

// 60 s at 200 Hz: a 20-Hz sine of 1 g on X over gravity on Z.
Recording Capture60s() {
    Recording r;
    for (int i = 0; i < 12000; ++i) {
        analysis::Sample s;
        s.timeMs = std::int64_t(i) * 5;
        s.x = int(std::lround(50 * std::sin(2 * std::numbers::pi * 20 * i / 200.0)));
        s.z = 50;
        s.temperature = 23.5;
        r.samples.push_back(s);
    }
    return r;
}

QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("(%1 failed)").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int Pages(const QString& pdf) {
    for (const QString& line : RunTool(QStringLiteral("pdfinfo"), {pdf}).split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
    return -1;
}

} // namespace

TEST(Report, DownloadOf72000SamplesOnTwoPagesWithItsTextSearchable) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const Recording r = Download72k();
    ReportRequest request = r.Request(false);
    request.title = QStringLiteral("輸送試験 2024");
    const ReportOutcome outcome = WriteReportFile(request, pdf);
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_EQ(outcome.pages, 2);
    EXPECT_EQ(Pages(pdf), 2);
    EXPECT_DOUBLE_EQ(outcome.threshold, 3.0);
    EXPECT_EQ(outcome.events, 7u);

    const QString text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const char* expected : {"輸送試験 2024", "/data/試験/VEXA01.CSV", "Logger ID", "72,000",
                                 "2024/03/01 00:00:00.000", // start
                                 "2024/03/01 19:59:59.000", // end
                                 "Time span", "19 h 59 min 59.0 s",
                                 "9.055",                   // the largest shock: sqrt(90² + 10²) / 10
                                 "2024/03/01 18:03:20.000", // ... and its time
                                 "7 events", "Threshold 3.00 g"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    }
    // Graphs are vector paths: the file holds no picture.
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("/Subtype /Image"));
}

TEST(Report, CaptureStatesGrmsResolutionAndTheLimit) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("capture.pdf"));
    const Recording r = Capture60s();
    ReportRequest request = r.Request(true);
    request.countsPerG = 50;
    const ReportOutcome outcome = WriteReportFile(request, pdf);
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_EQ(Pages(pdf), 2);
    const QString text = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    for (const char* expected :
         {"Shock and vibration report", "Resolution 0.78125 Hz", "100 Hz", "Grms: overall 0.70", "X 0.70",
          "No sample reached the threshold", "Crest factor"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    }
}

TEST(Report, RefusedInputsAndUnwritablePlacesLeaveNoFile) {
    QTemporaryDir dir;
    const Recording r = Capture60s();
    ReportRequest request = r.Request(false);
    struct Case {
        const char* name;
        QString path;
        std::optional<double> threshold;
    } cases[] = {
        {"no such folder", dir.filePath(QStringLiteral("missing/report.pdf")), std::nullopt},
        {"zero threshold", dir.filePath(QStringLiteral("zero.pdf")), 0.0},
        {"NaN threshold", dir.filePath(QStringLiteral("nan.pdf")), std::nan("")},
    };
    for (const Case& c : cases) {
        request.threshold = c.threshold;
        const ReportOutcome outcome = WriteReportFile(request, c.path);
        EXPECT_FALSE(outcome.ok) << c.name;
        EXPECT_FALSE(outcome.error.isEmpty()) << c.name;
        EXPECT_FALSE(QFile::exists(c.path)) << c.name;
    }
    // An empty recording still gives a one-page report saying so.
    ReportRequest empty;
    const QString pdf = dir.filePath(QStringLiteral("empty.pdf"));
    ASSERT_TRUE(WriteReportFile(empty, pdf).ok);
    EXPECT_EQ(Pages(pdf), 1);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
