// End to end: the window finds the simulated logger through the registry file, connects by itself and
// shows the logger's settings; removing the registry file is unplugging.
#include "sim/StatusReport.h"
#include "support/SimHarness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

vexa::sim::SimConfig Configured() {
    vexa::sim::SimConfig c;
    c.recordCount = 1234;
    c.start = "2023/03/04 05:06:07";
    auto& s = c.settings;
    s.modelLine = "KTZ-770 Ver=20231226";
    s.intervalCode = 'c';
    s.samplingCode = 'A';
    s.threshold = "42";
    s.buzzerDigit = 1;
    s.deviceId = 7;
    s.countsCode = "02";
    s.thresholdDetect = true;
    s.idText = "ABC12";
    s.hazard = -12;
    s.gravity = 1;
    s.endless = 0;
    s.hz100 = 1;
    s.display = 3;
    s.df = -4;
    s.fx = 5;
    s.fy = -6;
    s.fz = 7;
    s.level = 3;
    s.rec = 2500;
    s.wait = 9;
    s.recording = true;
    return c;
}

TEST(LinkEndToEnd, ConnectsByItselfAndShowsTheLoggersSettings) {
    SimHarness h(Configured());
    TForm1& f = h.Open();
    // Start-up ran the first discovery pass: the logger is found and greeted without a click.
    ASSERT_TRUE(h.WaitLinkedAndIdle(5000)) << "log: " << ::testing::PrintToString(h.Log());
    EXPECT_EQ(f.Button4->text(), "接続");
    EXPECT_EQ(f.Edit3->text(), "COM3");
    EXPECT_EQ(f.windowTitle(), " UPdater20003.0De26");
    EXPECT_EQ(f.State.CommandsEnabled, 1);
    ASSERT_GE(h.Log().size(), 3u);
    EXPECT_EQ(h.Log()[0], "m");

    // Every control of the status table holds the value the simulator was given.
    EXPECT_EQ(f.Label41->text(), "20231226");
    EXPECT_FALSE(f.Button37->isHidden());
    EXPECT_EQ(f.Edit1->text(), "-12");         // hazard value
    EXPECT_EQ(f.Edit2->text(), "ON");          // gravity switch 01
    EXPECT_EQ(f.Edit6->text(), "OFF");         // endless switch 00
    EXPECT_EQ(f.Edit7->text(), "ON");          // 100 Hz switch 01
    EXPECT_EQ(f.Edit8->text(), " 03");         // display value
    EXPECT_EQ(f.Edit11->text(), "-04");        // DF value
    EXPECT_EQ(f.Edit20->text(), " 05");
    EXPECT_EQ(f.Edit16->text(), "-06");
    EXPECT_EQ(f.Edit17->text(), " 07");
    EXPECT_EQ(f.Label19->text(), "BZ-OFF");    // buzzer digit 1
    EXPECT_EQ(f.Label13->text(), "1234");
    EXPECT_EQ(f.Label39->text(), QString::number(vexa::sim::kRecordCapacity));
    EXPECT_EQ(f.ComboBox1->currentText(), "42");
    EXPECT_EQ(f.ComboBox3->currentText(), "5msec");
    EXPECT_EQ(f.State.ExtraDigitMode, 1);
    EXPECT_EQ(f.Edit21->text(), "ABC12");
    EXPECT_EQ(f.Edit14->text(), "3");
    EXPECT_EQ(f.Label18->text(), "007");
    EXPECT_EQ(f.ComboBox2->currentText(), "10sec");
    EXPECT_EQ(f.State.IntervalIndex, 11);
    EXPECT_EQ(f.Edit15->text(), "2500");
    EXPECT_EQ(f.ComboBox4->currentText(), "開始");
    EXPECT_EQ(f.ComboBox5->currentText(), "02");
    EXPECT_EQ(f.State.CountsPerG, 50);
    EXPECT_TRUE(f.CheckBox2->isChecked());
    EXPECT_EQ(f.State.ThresholdDetectOn, 1);
    EXPECT_EQ(f.Label31->text(), "09");
    EXPECT_EQ(f.Label15->text(), "2023");
    EXPECT_EQ(f.Timer1->Interval(), 1000);

    // Unplugging: the registry file disappears, the next tick reports the logger absent.
    QFile::remove(QString::fromStdString(h.registryPath));
    f.Timer1Timer();
    EXPECT_EQ(f.windowTitle(), "Can't find a VEXA UPdater20003.0De26");
    EXPECT_EQ(f.Edit3->text(), "No Port");
    EXPECT_EQ(f.State.CommandsEnabled, 0);
    EXPECT_FALSE(f.ApdComPort1.Open());
}

TEST(LinkEndToEnd, ConnectsWithinFiveSecondsOfTheFirstTimerTick) {
    // The logger appears only after start-up: the timer's own ticks find it.
    vexa::sim::SimConfig c;
    SimHarness h(c);
    const std::string path = h.registryPath;
    const std::string saved = [&] {
        QFile file(QString::fromStdString(path));
        file.open(QIODevice::ReadOnly);
        return file.readAll().toStdString();
    }();
    // An empty registry lists no port. (Deleting the file would be pulling the cable: the simulator
    // would go away before the file is back.)
    {
        QFile empty(QString::fromStdString(path));
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }
    TForm1& f = h.Open();
    EXPECT_EQ(f.Edit3->text(), "No Port");
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(saved.data(), qint64(saved.size()));
    file.close();
    ASSERT_TRUE(h.WaitLinkedAndIdle(2000 + 5000))
        << "port " << f.Edit3->text().toStdString() << " linked " << f.State.LinkUp << " open "
        << f.ApdComPort1.Open() << " phase " << vexa::session::PhaseName(f.LoggerSession().CurrentPhase())
        << " timer " << f.Timer1->Interval() << " logger heard " << h.Log().size() << " shown "
        << (h.ui.shown.empty() ? std::string() : h.ui.shown.back().text.toStdString());
    EXPECT_EQ(f.Button4->text(), "接続");
}

} // namespace
