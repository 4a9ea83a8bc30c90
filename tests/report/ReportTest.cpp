// The PDF report read back as a reader sees it: pages, searchable text, vector graphs, and no file left
// behind when it cannot be written.
#include "protocol/CsvLine.h"
#include "recording/RecordingFile.h"
#include "report/RecordingReport.h"
#include "support/HostTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

using namespace vexa;
using namespace vexa::report;

namespace {

// A download's file: 72,000 records a second apart on resting gravity, with seven single-sample shocks of
// 3..9 g, the temperature stepping by half a degree.
std::string DownloadFile() {
    std::string text = "Start Year=2024 @1G=10\r\ndate time,x(G),y(G),z(G),temperature(C)\r\n";
    for (int i = 0; i < 72000; ++i) {
        Sample s;
        s.SetStamp({2024, 3, 1 + i / 86400, i / 3600 % 24, i / 60 % 60, i % 60, 0, 0});
        s.x = (i * 7) % 3 - 1;
        s.z = 10;
        s.temperature = Temperature::FromRecord(20 + (i / 3000) % 10 / 2, false, (i / 3000) % 2 ? '5' : '0');
        if (i % 10000 == 5000) s.x = 30 + i / 10000 * 10;
        text += FormatCsvLine(s) + "\r\n";
    }
    return text;
}

// A capture's file as the window writes it: 60 s at 200 Hz, a 20-Hz sine of 1 g on X over gravity on Z.
std::string CaptureFile() {
    std::string text = "Start Time=2024/03/01 10:00:00 @1G=50\r\n\r\n";
    for (int i = 1; i < 12000; ++i) {
        const int x = int(std::lround(50 * std::sin(2 * std::numbers::pi * 20 * i / 200.0)));
        char line[64];
        std::snprintf(line, sizeof line, "2024/03/01 10:00:%.2d.%.3d,%3d,%3d,%3d, 23.5\r\n", i * 5 / 1000,
                      i * 5 % 1000, x, 0, 50);
        text += line;
    }
    return text + "End=>2024/03/01 10:01:00\r\n";
}

QString RunTool(const QString& program, const QStringList& args) {
    const HostToolRun run = RunHostTool(program, args);
    if (!run.finished || run.exitCode != 0) return QStringLiteral("(%1 failed)").arg(program);
    return QString::fromUtf8(run.output);
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
    Recording recording = ReadRecording(DownloadFile());
    recording.header.source = RecordingSource::Download;
    recording.header.device.id = "01";
    recording.header.device.interval = "1秒";
    ReportRequest request = ReportRequestFor(recording, QStringLiteral("/data/試験/VEXA01.CSV"));
    request.title = QStringLiteral("輸送試験 2024");
    const ReportOutcome outcome = WriteReportFile(request, pdf);
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_EQ(outcome.pages, 2);
    EXPECT_EQ(Pages(pdf), 2);
    EXPECT_DOUBLE_EQ(outcome.threshold, 3.0);
    EXPECT_EQ(outcome.events, 7u);

    const QString text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const char* expected : {"輸送試験 2024", "/data/試験/VEXA01.CSV", "download from the logger",
                                 "Logger ID", "Interval", "1秒", "72,000",
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
    const Recording recording = ReadRecording(CaptureFile());
    ASSERT_EQ(recording.Samples().size(), 11999u);
    const ReportRequest request = ReportRequestFor(recording, QStringLiteral("capture.csv"));
    EXPECT_TRUE(request.capture);
    EXPECT_EQ(request.countsPerG, 50);
    const ReportOutcome outcome = WriteReportFile(request, pdf);
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_EQ(Pages(pdf), 2);
    const QString text = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    for (const char* expected :
         {"Shock and vibration report", "file (a 5-ms capture)", "2024/03/01 10:00:59.995",
          "Resolution 0.78125 Hz", "100 Hz", "Grms: overall 0.70", "X 0.70",
          "No sample reached the threshold", "Crest factor"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    }
}

TEST(Report, RefusedInputsAndUnwritablePlacesLeaveNoFile) {
    QTemporaryDir dir;
    const Recording recording = ReadRecording(CaptureFile());
    ReportRequest request = ReportRequestFor(recording, QStringLiteral("capture.csv"));
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
    // A file without data lines still gives a one-page report saying so; a graph's limit is stated.
    const Recording empty = ReadRecording("Start Year=2024\r\n");
    const QString pdf = dir.filePath(QStringLiteral("empty.pdf"));
    ASSERT_TRUE(WriteReportFile(ReportRequestFor(empty, QStringLiteral("empty.csv")), pdf).ok);
    EXPECT_EQ(Pages(pdf), 1);
    const QString text = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("(the header names none)"))) << text.toStdString();
    const ReportRequest part = ReportRequestFor(recording, QStringLiteral("capture.csv"), 100, 5100);
    EXPECT_EQ(part.samples.size(), 5000u);
    EXPECT_EQ(&part.samples.front(), &recording.Samples()[100]);
    EXPECT_EQ(part.timeText(0), "2024/03/01 10:00:00.505"); // the 101st sample's line
    EXPECT_EQ(part.facts.back().value, QStringLiteral("samples 101 to 5100 of 11999, as graphed"));
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
