// While a firmware update or a 5-ms capture runs, nothing but its own bytes reaches the logger: every
// other control that would send, open, close or drain the port is refused (and says why), and the work
// area stays the update's or the capture's.
#include "app/CaptureView.h"
#include "protocol/CaptureFormat.h"
#include "sim/SampleStream.h"
#include "sim/StatusReport.h"
#include "support/CaptureOracle.h"
#include "support/SimHarness.h"
#include "support/SmallHexImage.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Entries = std::vector<std::string>;

struct Click {
    const char* name;
    std::function<void()> click;
};

// Every control that talks to the logger or replaces the work area, clicked by the user.
std::vector<Click> OtherControls(SimHarness& h, TForm1& f) {
    return {
        {"情報", [&] { f.Button15Click(); }},
        {"VER", [&] { f.Button8Click(); }},
        {"5ms",
         [&] {
             h.ui.inputAnswers.push_back(QStringLiteral("5"));
             f.Button40Click();
         }},
        {"取得", [&] { f.Button30Click(); }},
        {"ENQ", [&] { f.Button47Click(); }},
        {"接続", [&] { f.Button4Click(); }},
        {"モニタ", [&] { f.Button10Click(); }},
        {"Start", [&] { f.Button37Click(); }},
        {"Hello", [&] { f.Button38Click(); }},
        {"FILE",
         [&] {
             h.ui.openAnswers.push_back(h.dir.path() + "/other.csv");
             f.Button11Click();
         }},
        {"close", [&] { f.Button42Click(); }},
    };
}

void WriteOtherCsv(SimHarness& h) {
    QFile file(h.dir.path() + "/other.csv");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Start Year=2020 @1G=10\r\nother\r\n");
}

// Clicks every other control; each must be refused with the reason in the status line, leave the work
// area and the window as they were, and send nothing.
void ClickEverythingElse(SimHarness& h, TForm1& f, const QString& reason) {
    for (const Click& c : OtherControls(h, f)) {
        SCOPED_TRACE(c.name);
        const auto lines = f.Memo1->Lines();
        const int height = f.height();
        const bool memoHidden = f.Memo1->isHidden();
        f.Label33->setText("-----");
        c.click();
        EXPECT_TRUE(f.Label33->text().startsWith(reason)) << f.Label33->text().toStdString();
        EXPECT_EQ(f.Memo1->Lines(), lines);
        EXPECT_EQ(f.height(), height);
        EXPECT_EQ(f.Memo1->isHidden(), memoHidden);
    }
    // No dialog was opened for a refused request.
    EXPECT_FALSE(h.ui.inputAnswers.empty());
    EXPECT_FALSE(h.ui.openAnswers.empty());
    h.ui.inputAnswers.clear();
    h.ui.openAnswers.clear();
}

TEST(NothingElseReachesTheLogger, DuringAFirmwareUpdate) {
    SimHarness h;
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    f.Timer1->SetInterval(1000);
    WriteOtherCsv(h);
    const QString image = h.dir.path() + "/small.hex";
    {
        QFile file(image);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(SmallImageFile(400)));
    }
    h.ui.openAnswers.push_back(image);
    f.Button57Click();
    const std::vector<std::string> lines = f.Memo2->Lines();
    ASSERT_EQ(lines.size(), 403u);
    f.Button37Click();
    ASSERT_TRUE(PumpUntil([&] { return h.sim->inBootLoader(); }, 5000));
    f.Button39Click();
    ASSERT_TRUE(f.Firmware->Active());
    const QString reason = QStringLiteral("A firmware update is running");
    // While the boot loader's ready prompt is awaited, and again in the middle of the lines.
    ClickEverythingElse(h, f, reason);
    ASSERT_TRUE(PumpUntil([&] { return f.Firmware->updateLineIndex() >= 150; }, 30000));
    ClickEverythingElse(h, f, reason);
    EXPECT_EQ(f.Timer1->Interval(), 0); // no tick of discovery closes the port under the update
    ASSERT_TRUE(PumpUntil([&] { return !f.Firmware->Active(); }, 60000));

    // The update's own result, and it is true: the boot loader received the image lines and nothing else.
    ASSERT_EQ(h.ui.Texts("box"), QStringList{"Update completed: 402 lines sent."});
    Entries wire;
    ASSERT_TRUE(PumpUntil(
        [&] {
            const Entries log = h.Log();
            wire.assign(std::find(log.begin(), log.end(), "boot e"), log.end());
            return wire.size() >= 1 + 402 + 2;
        },
        5000));
    Entries expected{"boot e"};
    for (size_t i = 0; i < 402; ++i)
        expected.push_back("boot line " + std::to_string(i) + ": " + lines[i]);
    expected.push_back("boot qs");
    expected.push_back("m");
    EXPECT_EQ(wire, expected);
    EXPECT_EQ(f.Timer1->Interval(), 1000);
    // Afterwards the controls work again.
    ASSERT_TRUE(h.WaitIdle());
    const size_t before = h.Log().size();
    f.Button44Click();
    EXPECT_TRUE(PumpUntil([&] { return h.Log().size() > before && h.Log().back() == "vp"; }, 5000));
}

TEST(NothingElseReachesTheLogger, DuringAFiveMillisecondCapture) {
    vexa::sim::SimConfig config;
    SimHarness h(config);
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle());
    f.Timer1->SetInterval(1000);
    WriteOtherCsv(h);
    h.ui.inputAnswers.push_back(QStringLiteral("60"));
    f.Button40Click();
    ASSERT_TRUE(PumpUntil([&] { return f.Capture().Exchange().Received() >= 50; }, 10000));
    const QString reason = QStringLiteral("A 5ms capture is running");
    ClickEverythingElse(h, f, reason);
    EXPECT_EQ(f.Timer1->Interval(), 0);
    // Ended by Escape: while its lines are written the capture still owns the link and the work area.
    f.Capture().Escape();
    ASSERT_TRUE(f.Capture().Busy());
    ASSERT_FALSE(f.Capture().Exchange().Streaming());
    ClickEverythingElse(h, f, reason);
    ASSERT_TRUE(PumpUntil([&] { return !f.Capture().Busy(); }, 20000));

    // Every sample that arrived is in the work area, between its start line and its end line.
    const int received = f.Capture().Exchange().Received();
    const auto& lines = f.Memo1->Lines();
    ASSERT_EQ(lines.size(), size_t(received) + 3);
    const std::string start = f.Capture().Exchange().StartText();
    EXPECT_EQ(lines[0], "Start Time=" + start + " @1G=10");
    const std::string monitor = vexa::sim::MonitorLine(h.sim->settings());
    EXPECT_EQ(lines[1], monitor);
    const vexa::CaptureTimeStamps stamps(start, received);
    const std::string temperature = vexa::CaptureTemperatureField(monitor);
    for (int i = 1; i <= received; ++i) {
        ASSERT_EQ(lines[size_t(i) + 1], oracle::CaptureLine(stamps, i, temperature)) << i;
    }
    EXPECT_EQ(lines.back(), "End=>" + f.Capture().Exchange().EndText());
    EXPECT_EQ(f.Timer1->Interval(), 1000);
    // The logger heard "n", "x" and the stop byte, and nothing else in between (the simulator logs
    // what it reads on its own time: wait for the stop byte first).
    Entries log;
    ASSERT_TRUE(PumpUntil(
        [&] {
            log = h.Log();
            return std::find(std::find(log.begin(), log.end(), "x"), log.end(), " ") != log.end();
        },
        5000));
    const auto x = std::find(log.begin(), log.end(), "x");
    ASSERT_NE(x, log.end());
    ASSERT_NE(x, log.begin());
    EXPECT_EQ(*(x - 1), "n");
    EXPECT_EQ(Entries(x, log.end()), (Entries{"x", " "}));
}

} // namespace
