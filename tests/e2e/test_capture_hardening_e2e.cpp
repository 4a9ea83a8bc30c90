// End to end: 5-ms captures that stay whole against the simulated logger over a pseudo-terminal: long
// captures whose time stamps stay times, and the duration dialog's rule said in the status line.
#include "app/CaptureView.h"
#include "graph/TForm2.h"
#include "sim/SampleStream.h"
#include "support/SimHarness.h"

#include <gtest/gtest.h>

namespace {

bool Ended(TForm1& f) {
    const auto& lines = f.Memo1->Lines();
    return !f.Capture().Busy() && !lines.empty() && lines.back().rfind("End=>", 0) == 0;
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

} // namespace
