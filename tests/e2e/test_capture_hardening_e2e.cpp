// End to end: 5-ms captures that stay whole against the simulated logger over a pseudo-terminal: long
// captures whose time stamps stay times, the duration dialog's rule said in the status line, captures
// that leave nothing of their stream to the next one, garbled records dropped and counted, and a late
// answer to "n" still used.
#include "app/CaptureView.h"
#include "graph/TForm2.h"
#include "protocol/CaptureFormat.h"
#include "sim/SampleStream.h"
#include "sim/StatusReport.h"
#include "support/SimHarness.h"

#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

bool Ended(TForm1& f) {
    const int n = f.Memo1->Count();
    return !f.Capture().Busy() && n > 0 && f.Memo1->Line(n - 1).starts_with("End=>");
}

// The logger's samples as the simulator sends them, written as the capture writes X, Y and Z.
std::string PatternValues(int i) {
    const auto v = vexa::sim::StreamPattern(i);
    const auto s8 = [](int x) { return int(static_cast<std::int8_t>(static_cast<std::uint8_t>(x & 0xFF))); };
    char text[32];
    std::snprintf(text, sizeof text, ",%3d,%3d,%3d,", s8(v.x), s8(v.y), s8(v.z));
    return text;
}

TEST(CaptureHardening, SixMinutesAcrossMidnightAreTimesTheGraphReadsToTheLastLine) {
    vexa::sim::SimConfig config;
    config.stream.periodUs = 40; // six minutes of samples in about three seconds
    SimHarness h(config);
    h.realClock = false;
    h.clock = QDateTime(QDate(2024, 12, 31), QTime(23, 58, 30));
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    TForm2 graph;
    f.SetGraphWindow(&graph);

    h.ui.inputAnswers.push_back(QStringLiteral("360"));
    f.Button40Click();
    ASSERT_TRUE(PumpUntil([&] { return Ended(f); }, 120000));
    const std::vector<std::string> lines = f.Memo1->Lines();
    ASSERT_EQ(lines.size(), 72002u);
    EXPECT_EQ(lines[0], "Start Time=2024/12/31 23:58:30 @1G=10");
    // Each stamp is the start minute plus 5 ms per sample, as the calendar has it: seconds carry into
    // minutes and hours, and the date turns at midnight (here into a new year).
    const QDateTime startMinute(QDate(2024, 12, 31), QTime(23, 58, 0));
    for (int i = 1; i <= 71999; ++i) {
        const std::string stamp = startMinute.addMSecs(qint64(i) * 5)
                                      .toString(QStringLiteral("yyyy/MM/dd hh:mm:ss.zzz"))
                                      .toStdString();
        ASSERT_EQ(lines[std::size_t(i) + 1], stamp + PatternValues(i) + " 23.5") << i;
    }
    EXPECT_EQ(lines[71000 + 1].substr(0, 23), "2025/01/01 00:03:55.000");

    // "グラフ" takes every line and reads every sample, in order, across the new day.
    f.Button12->click();
    ASSERT_TRUE(graph.isVisible());
    EXPECT_TRUE(graph.Parsed.error.empty()) << graph.Parsed.error;
    EXPECT_EQ(graph.Parsed.LastSample(), 72002 - 4);
    EXPECT_EQ(graph.Label1->text(), "0");
    for (int i = vexa::kFirstSample + 1; i <= graph.Parsed.LastSample(); ++i)
        ASSERT_EQ(graph.Data.timeMs[std::size_t(i)] - graph.Data.timeMs[std::size_t(i - 1)], 5) << i;
    EXPECT_TRUE(h.ui.Texts("error").isEmpty());
}

// The duration dialog keeps its 5..360 rule, and a value it replaced is named in the status line.
TEST(CaptureHardening, ReplacedDurationIsSaidAndUsed) {
    vexa::sim::SimConfig config;
    config.stream.periodUs = 100;
    SimHarness h(config);
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    const struct {
        const char* typed;
        std::size_t sampleLines;
        const char* status;
    } cases[] = {
        {"3", 999, "Capture: 3 s is outside 5..360 s; 5 s used"},
        {"ten", 1999, "Capture: the duration is not a number of seconds; 10 s used"},
        {"6", 1199, "-----"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        f.Label33->setText("-----");
        h.ui.inputAnswers.push_back(QString::fromLatin1(c.typed));
        f.Button40Click();
        ASSERT_TRUE(PumpUntil([&] { return Ended(f); }, 60000));
        EXPECT_EQ(f.Memo1->Count(), int(c.sampleLines) + 3);
        EXPECT_EQ(f.Label33->text().toStdString(), c.status);
        ASSERT_TRUE(h.WaitIdle());
    }
}

// The capture's lines: the start line, the monitor line that answered "n", sample i of the simulator's
// pattern for each i in `samples` (time stamp i x 5 ms, temperature " 23.5"), and the end line.
void ExpectPatternCapture(TForm1& f, const std::vector<int>& samples, int lastSample) {
    const auto& lines = f.Memo1->Lines();
    ASSERT_EQ(lines.size(), samples.size() + 3);
    EXPECT_EQ(lines[1], vexa::sim::MonitorLine(vexa::sim::SimSettings{}));
    const vexa::CaptureTimeStamps stamps(f.Capture().Exchange().StartText(), lastSample);
    for (std::size_t k = 0; k < samples.size(); ++k) {
        std::string expected;
        stamps.Append(expected, samples[k]);
        expected += PatternValues(samples[k]) + " 23.5";
        ASSERT_EQ(lines[k + 2], expected) << samples[k];
    }
    EXPECT_EQ(lines.back(), "End=>" + f.Capture().Exchange().EndText());
}

// "5ms" with the seconds typed in, until its lines are in and the link is given back.
bool CaptureOf(SimHarness& h, const char* seconds) {
    h.ui.inputAnswers.push_back(QString::fromLatin1(seconds));
    h.form->Button40Click();
    return PumpUntil([&] { return Ended(*h.form); }, 30000);
}

std::vector<int> OneTo(int n) {
    std::vector<int> v(std::size_t(n), 0);
    for (int i = 1; i <= n; ++i)
        v[std::size_t(i - 1)] = i;
    return v;
}

// Samples still on their way after the stop byte belong to the capture that stopped: seven captures in a
// row, each ended by Escape with samples in flight after the logger's "#", each begin with the logger's
// first sample and carry the temperature of the monitor line that answered their own "n".
TEST(CaptureHardening, CapturesEndedByEscapeLeaveNothingOfTheirStreamToTheNext) {
    vexa::sim::SimConfig config;
    config.stream.inFlightAfterStop = 4;
    config.stream.inFlightDelayMs = 30;
    SimHarness h(config);
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    for (int run = 1; run <= 7; ++run) {
        SCOPED_TRACE(run);
        h.ui.inputAnswers.push_back(QStringLiteral("60"));
        f.Button40Click();
        ASSERT_TRUE(PumpUntil(
            [&] {
                return f.Capture().Exchange().Streaming() && f.Capture().Exchange().Received() >= 10 + run;
            },
            10000));
        QTest::keyClick(&f, Qt::Key_Escape);
        ASSERT_TRUE(PumpUntil([&] { return Ended(f); }, 10000));
        const int received = f.Capture().Exchange().Received();
        ExpectPatternCapture(f, OneTo(received), received);
        EXPECT_EQ(f.Capture().Exchange().Dropped(), 0);
    }
    // Every capture asked for its own sample, started and stopped the stream.
    const auto log = h.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "x"), 7) << ::testing::PrintToString(log);
    EXPECT_EQ(std::count(log.begin(), log.end(), " "), 7);
}

// Garbled records (NUL bytes, other characters, too few or too many digits) are no samples: each is
// counted, takes its 5 ms and gives no line, and the capture ends once its count of records has come.
TEST(CaptureHardening, GarbledRecordsAreDroppedCountedAndTheCaptureEndsOnItsCount) {
    vexa::sim::SimConfig config;
    config.stream.periodUs = 500;
    config.stream.malformedEvery = 7; // NUL bytes, non-hex, short, long, in turn
    SimHarness h(config);
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    ASSERT_TRUE(CaptureOf(h, "5"));
    std::vector<int> good;
    for (int i = 1; i < 1000; ++i)
        if (i % 7 != 0) good.push_back(i);
    ExpectPatternCapture(f, good, 999);
    EXPECT_EQ(f.Capture().Exchange().Received(), 1000);
    EXPECT_EQ(f.Capture().Exchange().Dropped(), 142);
    EXPECT_EQ(f.Label33->text(), QStringLiteral("5ms取得: 不正なサンプル 142 件を除きました"));
    const auto log = h.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), " "), 1);
}

// The answer to "n" may come after the capture stopped waiting for it and sent "x": at the head of the
// stream it is still the capture's second line and temperature, and no sample.
TEST(CaptureHardening, LateAnswerToNIsStillTheTemperature) {
    vexa::sim::SimConfig config;
    config.faults.latencyMs = 2000;
    config.faults.latencyOn = "n";
    config.stream.periodUs = 1000;
    SimHarness h(config);
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    ASSERT_TRUE(CaptureOf(h, "5"));
    ExpectPatternCapture(f, OneTo(999), 999);
    EXPECT_EQ(f.Capture().Exchange().Dropped(), 0);
    EXPECT_EQ(f.Label33->text().indexOf(QStringLiteral("温度なし")), -1) << f.Label33->text().toStdString();
}

} // namespace
