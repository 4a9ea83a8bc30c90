// End to end: the "5ms" capture against the simulated logger's sample stream over a pseudo-terminal.
#include "app/CaptureView.h"
#include "protocol/CaptureFormat.h"
#include "sim/SampleStream.h"
#include "sim/StatusReport.h"
#include "support/CaptureOracle.h"
#include "support/SimHarness.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using oracle::CaptureLine;

bool Ended(TForm1& f) {
    const int n = f.Memo1->Count();
    return !f.Capture().Busy() && n > 0 && f.Memo1->Line(n - 1).starts_with("End=>");
}

// Checks the capture's lines: start line, the monitor answer, n sample lines of the pattern, the end line.
void ExpectCaptureLines(SimHarness& h, int n) {
    const auto& lines = h.form->Memo1->Lines();
    ASSERT_EQ(lines.size(), std::size_t(n) + 3);
    const std::string start = h.form->Capture().Exchange().StartText();
    EXPECT_EQ(lines[0], "Start Time=" + start + " @1G=10");
    const std::string monitor = vexa::sim::MonitorLine(h.sim->settings());
    EXPECT_EQ(lines[1], monitor);
    const vexa::CaptureTimeStamps stamps(start, n);
    const std::string temperature = vexa::CaptureTemperatureField(monitor);
    EXPECT_EQ(temperature, " 23.5");
    for (int i = 1; i <= n; ++i)
        ASSERT_EQ(lines[std::size_t(i) + 1], CaptureLine(stamps, i, temperature)) << i;
    EXPECT_EQ(lines.back(), "End=>" + h.form->Capture().Exchange().EndText());
}

TEST(CaptureEndToEnd, FiveSecondsInRandomBurstsThenSaved) {
    vexa::sim::SimConfig c;
    c.stream.burstSeed = 1234;
    SimHarness h(c);
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    const int interval = f.Timer1->Interval();
    h.ui.inputAnswers.push_back(QStringLiteral("3"));
    f.Button40Click();
    ASSERT_EQ(h.ui.shown.size(), 1u);
    EXPECT_EQ(h.ui.shown[0].kind, "input");
    EXPECT_EQ(h.ui.shown[0].caption, "5msec");
    EXPECT_EQ(h.ui.shown[0].text, "オンラインデータ取得します。秒数を指定してください");
    EXPECT_TRUE(PumpUntil([&] { return f.Capture().Exchange().Streaming(); }, 5000));
    // The timer stays stopped while the samples come in.
    EXPECT_EQ(f.Timer1->Interval(), 0);
    ASSERT_TRUE(PumpUntil([&] { return Ended(f); }, 30000));
    ExpectCaptureLines(h, 999);
    EXPECT_EQ(f.Timer1->Interval(), interval);
    EXPECT_FALSE(f.ProgressBar1->isVisible());
    EXPECT_TRUE(f.Memo1->isVisibleTo(&f));
    // "n" before the stream, "x" to start it, " " to stop it.
    EXPECT_TRUE(PumpUntil([&] {
        const auto log = h.Log();
        const auto x = std::find(log.begin(), log.end(), "x");
        return x != log.end() && std::find(log.begin(), x, "n") != x &&
               std::find(x, log.end(), " ") != log.end();
    }));

    // "保存" writes exactly these lines.
    const QString path = h.dir.path() + "/capture.csv";
    h.ui.saveAnswers.push_back(path);
    f.Button6Click();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::string expected;
    for (const auto& line : f.Memo1->Lines())
        expected += line + "\r\n";
    EXPECT_EQ(file.readAll().toStdString(), expected);
}

TEST(CaptureEndToEnd, StreamThatStopsEndsByItself) {
    vexa::sim::SimConfig c;
    c.stream.pauseAfter = 240; // 1.2 s of samples, then nothing
    SimHarness h(c);
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    const int interval = f.Timer1->Interval();
    h.ui.inputAnswers.push_back(QStringLiteral("10"));
    f.Button40Click();
    ASSERT_TRUE(PumpUntil([&] { return Ended(f); }, 20000));
    ExpectCaptureLines(h, 240);
    EXPECT_EQ(
        f.Label33->text(),
        QStringLiteral("5ms取得は途中で終わりました: 240 / 2000 サンプル（ロガーの送信が止まりました）"));
    EXPECT_EQ(f.Timer1->Interval(), interval);
}

TEST(CaptureEndToEnd, UnplugDuringCaptureThenTheLoggerReturns) {
    SimHarness h;
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    h.ui.inputAnswers.push_back(QStringLiteral("30"));
    f.Button40Click();
    ASSERT_TRUE(PumpUntil([&] { return f.Capture().Exchange().Received() >= 100; }, 10000));
    h.sim->unplug();
    ASSERT_TRUE(PumpUntil([&] { return Ended(f); }, 20000));
    EXPECT_TRUE(f.Label33->text().endsWith(QStringLiteral(" / 6000 サンプル（ロガーとの接続が切れました）")))
        << f.Label33->text().toStdString();
    for (const auto& s : h.ui.shown)
        if (s.kind != "input") ADD_FAILURE() << s.kind.toStdString() << ": " << s.text.toStdString();
    // Discovery runs again and finds the logger gone...
    ASSERT_TRUE(PumpUntil([&] { return f.Edit3->text() == "No Port"; }, 10000));
    // ...and connects once it is back.
    h.sim = std::make_unique<vexa::sim::Simulator>([&] {
        vexa::sim::SimConfig c;
        c.registryPath = h.registryPath;
        return c;
    }());
    h.sim->start();
    EXPECT_TRUE(PumpUntil([&] { return f.State.LinkUp == 1 && !f.ApdComPort1.Open(); }, 15000));
}

TEST(CaptureEndToEnd, EscapeEndsTheCaptureOnRequest) {
    SimHarness h;
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    h.ui.inputAnswers.push_back(QStringLiteral("60"));
    f.Button40Click();
    ASSERT_TRUE(PumpUntil([&] { return f.Capture().Exchange().Received() >= 50; }, 10000));
    QTest::keyClick(&f, Qt::Key_Escape);
    ASSERT_TRUE(PumpUntil([&] { return Ended(f); }, 10000));
    const int received = f.Capture().Exchange().Received();
    EXPECT_GE(received, 50);
    ExpectCaptureLines(h, received);
    EXPECT_EQ(f.Label33->text().toStdString(),
              "5ms取得は途中で終わりました: " + std::to_string(received) + " / 12000 サンプル");
    // The logger heard the stop byte.
    EXPECT_TRUE(PumpUntil(
        [&] {
            const auto l = h.Log();
            return !l.empty() && l.back() == " ";
        },
        5000));
}

// Neither Cancel in the duration dialog nor Escape before the stream starts sends "x" or touches the work
// area: an unsaved download in it stays whole.
TEST(CaptureEndToEnd, StoppedBeforeTheStreamKeepsTheWorkArea) {
    struct Row {
        const char* name;
        std::optional<QString> seconds; // the dialog's answer; none = Cancel
        bool escape;                    // Escape while the answer to "n" is still on its way
        std::string status;             // the status line afterwards ("" = not looked at)
    };
    const Row rows[] = {
        {"Cancel", std::nullopt, false, ""},
        {"Escape", QStringLiteral("5"), true,
         "5ms capture cancelled before it started: nothing was recorded"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        vexa::sim::SimConfig c;
        c.faults.latencyMs = 300; // the answer to "n" has not come when the dialog is done
        SimHarness h(c);
        TForm1& f = h.Open();
        ASSERT_TRUE(h.WaitLinkedAndIdle(10000));
        f.Button30Click();
        ASSERT_TRUE(PumpUntil([&] { return !h.Downloading() && h.WaitIdle(0); }, 20000));
        const std::vector<std::string> download = f.Memo1->Lines();
        ASSERT_GT(download.size(), 100u);
        const int height = f.height();

        h.ui.inputAnswers.push_back(row.seconds);
        f.Button40Click();
        if (row.escape) {
            ASSERT_TRUE(f.Capture().Busy());
            QTest::keyClick(&f, Qt::Key_Escape);
        }
        EXPECT_FALSE(f.Capture().Busy());
        ASSERT_TRUE(h.WaitIdle()); // the answer to "n" has ended
        EXPECT_FALSE(f.Capture().Exchange().Active());
        EXPECT_EQ(f.Memo1->Lines(), download);
        EXPECT_FALSE(f.Memo1->isHidden());
        EXPECT_EQ(f.height(), height);
        if (!row.status.empty()) {
            EXPECT_EQ(f.Label33->text().toStdString(), row.status);
        }
        const auto log = h.Log();
        EXPECT_EQ(log.back(), "n");
        EXPECT_EQ(std::find(log.begin(), log.end(), "x"), log.end());
    }
}

} // namespace
