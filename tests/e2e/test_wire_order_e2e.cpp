// The exact bytes the simulated logger receives for every flow of the tool, in order: the greeting,
// each command of the command set and its dialogs, the reservation sequence, the monitor with its
// polls, the downloads, the 5-ms capture and the firmware update.
#include "app/CaptureView.h"
#include "dialogs/TForm3.h"
#include "dialogs/TForm5.h"
#include "dialogs/TForm6.h"
#include "sim/CommandParser.h"
#include "support/SimHarness.h"
#include "support/SmallHexImage.h"

#include <QFile>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The PC clock of every flow, and the date-time argument it gives.
const QDateTime kClock(QDate(2024, 5, 1), QTime(9, 3, 7));
const std::string kNow = "2024/05/01 09:03:07";

struct Row {
    const char* name;
    std::function<void()> action;
    std::string wire;
};

struct WireOrder : ::testing::Test {
    SimHarness h;
    TForm1* f = nullptr;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TForm5> form5;
    std::unique_ptr<TForm6> form6;

    void SetUp() override {
        h.realClock = false;
        h.clock = kClock;
        f = &h.Open();
        ASSERT_TRUE(h.WaitLinkedAndIdle());
        // Ticks come only where a flow has them.
        f->Timer1->SetInterval(0);
        form3 = std::make_unique<TForm3>(*f, f->Label18->text());
        form5 = std::make_unique<TForm5>(*f);
        form6 = std::make_unique<TForm6>(*f);
        f->SetDialogs(form3.get(), form5.get(), form6.get());
    }
    void TearDown() override {
        form3.reset();
        form5.reset();
        form6.reset();
    }

    std::string Received() const { return h.sim->receivedBytes(); }

    // Runs a flow and returns the bytes the logger received for it. Once the flow's exchanges are over
    // and at least `expected` bytes have arrived,
    // "情報" sends its "m" as a fence: every byte of the flow must have arrived before it, and nothing
    // may follow it.
    std::string Flow(const std::function<void()>& action, size_t expected) {
        const size_t before = Received().size();
        action();
        f->Timer1->SetInterval(0);
        // Bytes written just before a close may still be on their way.
        EXPECT_TRUE(PumpUntil([&] { return Received().size() >= before + expected && h.WaitIdle(0); }, 10000))
            << "the flow's exchange did not end";
        const size_t fenceAt = Received().size();
        f->Button15Click();
        EXPECT_TRUE(PumpUntil([&] { return Received().size() > fenceAt && h.WaitIdle(0); }, 5000))
            << "the fence did not arrive";
        f->Timer1->SetInterval(0);
        const std::string all = Received();
        EXPECT_EQ(all.substr(fenceAt), "m")
            << "bytes after the fence: " << vexa::sim::EscapeBytes(all.substr(fenceAt));
        return all.substr(before, fenceAt - before);
    }

    void Check(const std::vector<Row>& rows) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            const std::string wire = Flow(row.action, row.wire.size());
            EXPECT_EQ(vexa::sim::EscapeBytes(wire), vexa::sim::EscapeBytes(row.wire));
        }
    }

    // One tick of Timer1, as its timer would run it.
    void Tick() {
        f->Timer1Timer();
        f->Timer1->SetInterval(0);
    }
};

TEST_F(WireOrder, GreetingAtFirstContact) {
    // Start-up found the logger: "m", first contact answered with "m", then one "p" at each of the
    // first two prompts.
    EXPECT_EQ(vexa::sim::EscapeBytes(Received()), "mmpp");
    // "接<->続" greets again the same way.
    Check({{"connect button", [&] { f->Button4Click(); }, "mmpp"}});
}

TEST_F(WireOrder, StatusInformationAndMaintenance) {
    Check({
        {"VER", [&] { f->Button8Click(); }, "p"},
        {"情報", [&] { f->Button15Click(); }, "m"},
        {"m", [&] { f->Button46Click(); }, "m"},
        {"OLD", [&] { f->Button44Click(); }, "vp"},
        {"GET", [&] { f->Button29Click(); }, "n"},
        {"T", [&] { f->Button5Click(); }, "#"},
        {"GPS", [&] { f->Button56Click(); }, "E"},
        {"Z", [&] { f->Button41Click(); }, "Z"},
        {"調整用->", [&] { f->Label36Click(); }, "e"},
        {"S", [&] { f->Button45Click(); }, "ep"},
        {"時間表示", [&] { f->Button16Click(); }, "t"},
        {"予約日時", [&] { f->Label26DblClick(); }, "t"},
        {"ON", [&] { f->Button7Click(); }, "o"},
        {"StandBy", [&] { f->Button14Click(); }, "f"},
        {"LCD1", [&] { f->Button25Click(); }, "q7"},
        {"DR50", [&] { f->Button33Click(); }, "q5p"},
        {"DR10", [&] { f->Button34Click(); }, "q1p"},
        {"SETBLE", [&] { f->Button31Click(); }, "q8"},
        {"RSTBLE", [&] { f->Button32Click(); }, "q9"},
        {"N", [&] { f->Button35Click(); }, "b0p"},
        {"L", [&] { f->Button36Click(); }, "b1p"},
        {"320", [&] { f->Button43Click(); }, "b0"},
        {"Button26 and the tick's sequence",
         [&] {
             f->Button26Click();
             ASSERT_TRUE(h.WaitIdle());
             Tick();
         },
         "N01p"},
        {"W", [&] { f->Button49Click(); }, "W"},
        {"id", [&] { f->Button54Click(); }, "Kr"},
        {"Wid",
         [&] {
             f->Edit21->setText("AB12 ");
             f->Button55Click();
         },
         "KwAB12\r"},
        {"Hello while linked", [&] { f->Button38Click(); }, "n"},
    });
}

TEST_F(WireOrder, ClockCommandsAndTheTimedGreeting) {
    Check({
        {"新規開始", [&] { f->Button2Click(); }, "s" + kNow + "t"},
        {"e, then the tick's timed m",
         [&] {
             f->Button1Click();
             ASSERT_TRUE(h.WaitIdle());
             Tick(); // not yet due
             ASSERT_TRUE(h.WaitIdle());
             h.clock = kClock.addSecs(12);
             Tick();
         },
         "s" + kNow + "te" + "m"},
    });
}

TEST_F(WireOrder, StartModesAndTheReservationSequence) {
    h.clock = kClock;
    Tick();
    Check({
        {"今すぐ開始",
         [&] {
             f->ComboBox4->setEditText("今すぐ開始");
             f->ComboBox4Change();
         },
         "s" + kNow + "t"},
        {"Sleep",
         [&] {
             f->ComboBox4->setEditText("Sleep");
             f->ComboBox4Change();
         },
         "fp"},
        {"開始",
         [&] {
             f->ComboBox4->setEditText("開始");
             f->ComboBox4Change();
         },
         "op"},
        {"予約開始 asks for the time first, then sends clock, reservation, wait and time request",
         [&] {
             f->ComboBox4->setEditText("予約開始");
             f->ComboBox4Change();
             ASSERT_TRUE(form5->isVisible());
             form5->ComboBox3->setEditText("15");
             form5->Button1Click();
         },
         "s" + kNow + "l05/01 15:03" + "f" + "t"},
        {"予約開始 with the time confirmed", [&] { f->ComboBox4Change(); },
         "s" + kNow + "l05/01 15:03" + "f" + "t"},
    });
}

TEST_F(WireOrder, MeasurementSettingsAxisAdjustmentAndDialogs) {
    Check({
        {"threshold list",
         [&] {
             f->ComboBox1->setEditText("25");
             f->ComboBox1Change();
         },
         "d25p"},
        {"検出値", [&] { f->Button9Click(); }, "d25"},
        {"interval list",
         [&] {
             f->ComboBox2->setEditText("5sec");
             f->ComboBox2Change();
         },
         "jbp"},
        {"10min steps on from the reported interval", [&] { f->Button17Click(); }, "jc"},
        {"sampling list",
         [&] {
             f->ComboBox3->setEditText("5msec");
             f->ComboBox3Change();
         },
         "iAp"},
        {"range list",
         [&] {
             f->ComboBox5->setEditText("02");
             f->ComboBox5Change();
         },
         "02p"},
        {"threshold detection on", [&] { f->CheckBox2->click(); }, "k1p"},
        {"threshold detection off", [&] { f->CheckBox2->click(); }, "k0p"},
        {"buzzer",
         [&] {
             f->Label19->setText("BZ-ON");
             f->Label19DblClick();
         },
         "z1p"},
        {"ハザード",
         [&] {
             f->Edit1->setText("-7");
             f->Button18Click();
         },
         "Ox-07p"},
        {"Gravity",
         [&] {
             f->Edit2->setText("OFF");
             f->Button19Click();
         },
         "Oy01p"},
        {"エンドレス",
         [&] {
             f->Edit6->setText("ON");
             f->Button20Click();
         },
         "Oz00p"},
        {"100hz",
         [&] {
             f->Edit7->setText("OFF");
             f->Button21Click();
         },
         "OX01p"},
        {"表示",
         [&] {
             f->Edit8->setText(" 12 ");
             f->Button23Click();
         },
         "OY12p"},
        {"DF",
         [&] {
             f->Edit11->setText("5");
             f->Button24Click();
         },
         "OZ05p"},
        {"X2",
         [&] {
             f->Edit20->setText("-12  ");
             f->Button53Click();
         },
         "FX-12p"},
        {"Y2",
         [&] {
             f->Edit16->setText("34");
             f->Button51Click();
         },
         "FY34p"},
        {"Z2",
         [&] {
             f->Edit17->setText("7");
             f->Button52Click();
         },
         "FZ7p"},
        {"L",
         [&] {
             f->Edit14->setText("-3");
             f->Button48Click();
         },
         "L-03p"},
        {"Rec",
         [&] {
             f->Edit15->setText("3500");
             f->Button50Click();
         },
         "r35p"},
        {"device-ID dialog",
         [&] {
             form3->show();
             form3->Edit1->setText("7");
             form3->Button1Click();
         },
         "Y007p"},
        {"wait dialog",
         [&] {
             form6->show();
             form6->Edit1->setText("5");
             form6->Button1Click();
         },
         "w05p"},
    });
}

TEST_F(WireOrder, MonitorPollsCommandAndStatusRefresh) {
    auto pollAnswered = [&] { ASSERT_TRUE(h.WaitIdle()); };
    Check({{"monitor on, polls, やりなおし, monitor off",
            [&] {
                f->Button10Click();
                f->Timer1->SetInterval(0);
                Tick();
                pollAnswered();
                Tick();
                pollAnswered();
                f->Button22Click(); // its command replaces the next poll
                Tick();
                pollAnswered();
                Tick();
                pollAnswered();
                f->Button10Click();
                f->Timer1->SetInterval(0);
                Tick(); // the status refresh after monitoring
            },
            "nnhAAAnp"}});
}

TEST_F(WireOrder, Downloads) {
    Check({
        {"取得", [&] { f->Button30Click(); }, "D"},
        {"ENQ", [&] { f->Button47Click(); }, "C"},
        {"V3", [&] { f->Button3Click(); }, "G"},
        {"*", [&] { f->Button28Click(); }, "G"},
    });
}

TEST_F(WireOrder, FiveMillisecondCapture) {
    Check({{"5ms, ended by Escape",
            [&] {
                h.ui.inputAnswers.push_back(QStringLiteral("5"));
                f->Button40Click();
                ASSERT_TRUE(PumpUntil([&] { return f->Capture().Exchange().Received() >= 50; }, 10000));
                QTest::keyClick(f, Qt::Key_Escape);
                ASSERT_TRUE(PumpUntil([&] { return !f->Capture().Busy(); }, 20000));
                // The answer to the stop byte may come after the capture's lines: the tick closes the port.
                Tick();
            },
            std::string("n") + "x" + " "}});
}

TEST_F(WireOrder, FirmwareUpdate) {
    const QString path = h.dir.path() + "/small.hex";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(SmallImageFile(3)));
    }
    h.ui.openAnswers.push_back(path);
    f->Button57Click();
    const std::vector<std::string> image = f->Memo2->Lines();
    ASSERT_EQ(image.size(), 6u); // three records, the end record, the comment, the empty last line
    std::string lines;
    for (size_t i = 0; i + 1 < image.size(); ++i)
        lines += image[i];
    Check({{"Start, then Update",
            [&] {
                f->Button37Click();
                ASSERT_TRUE(PumpUntil([&] { return h.sim->inBootLoader(); }, 5000));
                f->Button39Click();
                ASSERT_TRUE(PumpUntil([&] { return !f->Firmware->Active(); }, 30000));
            },
            std::string("\x03\x06\x03\x06\x03", 5) + "e" + lines + "qs" + "m"}});
}

} // namespace
