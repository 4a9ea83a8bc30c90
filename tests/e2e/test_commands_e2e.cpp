// The command set against the simulated logger: exact bytes on the wire, follow-ups, guards, and the
// controls showing the logger's new settings once the exchange is over.
#include "app/Language.h"
#include "app/TApplication.h"
#include "dialogs/TForm3.h"
#include "dialogs/TForm5.h"
#include "dialogs/TForm6.h"
#include "protocol/IntegerConversion.h"
#include "support/SessionProbe.h"
#include "support/SimHarness.h"

#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Entries = std::vector<std::string>;
using vexa::sim::SimSettings;

struct Commands : ::testing::Test {
    SimHarness h;
    TForm1* f = nullptr;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TForm5> form5;
    std::unique_ptr<TForm6> form6;

    void SetUp() override {
        f = &h.Open();
        ASSERT_TRUE(h.WaitLinkedAndIdle());
        // Ticks are driven by hand where a test needs one.
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

    // Runs an action and returns the commands the logger received for it, once it has received `count`
    // of them and the exchange is over.
    Entries Run(const std::function<void()>& action, size_t count) {
        const size_t before = h.Log().size();
        action();
        const bool done = PumpUntil([&] { return h.Log().size() >= before + count && h.WaitIdle(0); }, 3000);
        EXPECT_TRUE(done) << "exchange did not end";
        f->Timer1->SetInterval(0);
        const Entries log = h.Log();
        return Entries(log.begin() + long(before), log.end());
    }
    // Proves that nothing was sent by the action: a known command sent afterwards is the only entry.
    void ExpectNothingSent(const std::function<void()>& action) {
        const size_t before = h.Log().size();
        action();
        const bool portWasOpen = f->ApdComPort1.Open();
        f->ApdComPort1.SetOpen(false);
        const int enabled = f->State.CommandsEnabled;
        vexa::session::SessionProbe::State(f->LoggerSession()).CommandsEnabled = 1;
        f->Button15Click();  // "m"
        vexa::session::SessionProbe::State(f->LoggerSession()).CommandsEnabled = enabled;
        ASSERT_TRUE(PumpUntil([&] { return h.Log().size() > before && h.WaitIdle(0); }, 3000))
            << h.Log().size() - before << " open " << f->ApdComPort1.Open() << " queued "
            << f->LoggerSession().QueuedFollowUps().size();
        f->Timer1->SetInterval(0);
        const Entries log = h.Log();
        EXPECT_EQ(Entries(log.begin() + long(before), log.end()), Entries{"m"}) << "port open: " << portWasOpen;
    }
};

struct Row {
    const char* name;
    std::function<void(TForm1&)> setup;
    std::function<void(Commands&)> action;
    Entries sent;
    std::function<void(TForm1&, const SimSettings&)> check;
};

TEST_F(Commands, SettingCommandsSendTheirBytesQueueTheStatusAndShowTheNewValue) {
    const std::vector<Row> rows = {
        {"threshold", [](TForm1& f) { f.ComboBox1->setEditText("25"); }, [](Commands& c) { c.f->ComboBox1Change(); },
         {"d25", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.threshold, "25");
             EXPECT_EQ(f.ComboBox1->currentText(), "25");
         }},
        {"interval", [](TForm1& f) { f.ComboBox2->setEditText("5sec"); }, [](Commands& c) { c.f->ComboBox2Change(); },
         {"jb", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.intervalCode, 'b');
             EXPECT_EQ(f.ComboBox2->currentText(), "5sec");
             EXPECT_EQ(f.State.IntervalIndex, 10);
         }},
        {"sampling", [](TForm1& f) { f.ComboBox3->setEditText("5msec"); }, [](Commands& c) { c.f->ComboBox3Change(); },
         {"iA", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.samplingCode, 'A');
             EXPECT_EQ(f.ComboBox3->currentText(), "5msec");
             EXPECT_EQ(f.State.ExtraDigitMode, 1);
         }},
        {"start now by list", [](TForm1& f) { f.ComboBox4->setEditText("開始"); },
         [](Commands& c) { c.f->ComboBox4Change(); }, {"o", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_TRUE(s.recording);
             EXPECT_EQ(f.ComboBox4->currentText(), "開始");
         }},
        {"sleep by list", [](TForm1& f) { f.ComboBox4->setEditText("Sleep"); },
         [](Commands& c) { c.f->ComboBox4Change(); }, {"f", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_FALSE(s.recording);
             EXPECT_EQ(f.ComboBox4->currentText(), "Sleep");
         }},
        {"buzzer on->off", [](TForm1& f) { f.Label19->setText("BZ-ON"); }, [](Commands& c) { c.f->Label19DblClick(); },
         {"z1", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.buzzerDigit, 1);
             EXPECT_EQ(f.Label19->text(), "BZ-OFF");
         }},
        {"buzzer off->on", [](TForm1& f) { f.Label19->setText("BZ-OFF"); }, [](Commands& c) { c.f->Label19DblClick(); },
         {"z0", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.buzzerDigit, 0);
             EXPECT_EQ(f.Label19->text(), "BZ-ON");
         }},
        {"hazard", [](TForm1& f) { f.Edit1->setText("-7"); }, [](Commands& c) { c.f->Button18Click(); }, {"Ox-07", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.hazard, -7);
             EXPECT_EQ(f.Edit1->text(), "-07");
         }},
        {"gravity", [](TForm1& f) { f.Edit2->setText("OFF"); }, [](Commands& c) { c.f->Button19Click(); }, {"Oy01", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.gravity, 1);
             EXPECT_EQ(f.Edit2->text(), "ON");
         }},
        {"endless", [](TForm1& f) { f.Edit6->setText("ON"); }, [](Commands& c) { c.f->Button20Click(); }, {"Oz00", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.endless, 0);
             EXPECT_EQ(f.Edit6->text(), "OFF");
         }},
        {"100hz", [](TForm1& f) { f.Edit7->setText("OFF"); }, [](Commands& c) { c.f->Button21Click(); }, {"OX01", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.hz100, 1);
             EXPECT_EQ(f.Edit7->text(), "ON");
         }},
        {"display", [](TForm1& f) { f.Edit8->setText(" 12 "); }, [](Commands& c) { c.f->Button23Click(); },
         {"OY12", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.display, 12);
             EXPECT_EQ(f.Edit8->text(), " 12");
         }},
        {"df", [](TForm1& f) { f.Edit11->setText("5"); }, [](Commands& c) { c.f->Button24Click(); }, {"OZ05", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.df, 5);
             EXPECT_EQ(f.Edit11->text(), " 05");
         }},
        {"fine x", [](TForm1& f) { f.Edit20->setText("-12  "); }, [](Commands& c) { c.f->Button53Click(); },
         {"FX-12", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.fx, -12);
             EXPECT_EQ(f.Edit20->text(), "-12");
         }},
        {"fine y", [](TForm1& f) { f.Edit16->setText("34"); }, [](Commands& c) { c.f->Button51Click(); }, {"FY34", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.fy, 34);
             EXPECT_EQ(f.Edit16->text(), " 34");
         }},
        {"fine z", [](TForm1& f) { f.Edit17->setText("7"); }, [](Commands& c) { c.f->Button52Click(); }, {"FZ7", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.fz, 7);
             EXPECT_EQ(f.Edit17->text(), " 07");
         }},
        {"level", [](TForm1& f) { f.Edit14->setText("-3"); }, [](Commands& c) { c.f->Button48Click(); }, {"L-03", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.level, -3);
             EXPECT_EQ(f.Edit14->text(), "-3");
         }},
        {"rec", [](TForm1& f) { f.Edit15->setText("3500"); }, [](Commands& c) { c.f->Button50Click(); }, {"r35", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.rec, 3500);
             EXPECT_EQ(f.Edit15->text(), "3500");
         }},
        {"data rate 50", nullptr, [](Commands& c) { c.f->Button33Click(); }, {"q5", "p"},
         [](TForm1&, const SimSettings& s) { EXPECT_EQ(s.dataRate, 50); }},
        {"data rate 10", nullptr, [](Commands& c) { c.f->Button34Click(); }, {"q1", "p"},
         [](TForm1&, const SimSettings& s) { EXPECT_EQ(s.dataRate, 10); }},
        {"b mode 1", nullptr, [](Commands& c) { c.f->Button36Click(); }, {"b1", "p"},
         [](TForm1&, const SimSettings& s) { EXPECT_EQ(s.bMode, 1); }},
        {"b mode 0", nullptr, [](Commands& c) { c.f->Button35Click(); }, {"b0", "p"},
         [](TForm1&, const SimSettings& s) { EXPECT_EQ(s.bMode, 0); }},
        {"range while enabled", [](TForm1& f) { f.ComboBox5->setEditText("02"); },
         [](Commands& c) { c.f->ComboBox5Change(); }, {"02", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.countsCode, "02");
             EXPECT_EQ(f.ComboBox5->currentText(), "02");
             EXPECT_EQ(f.State.CountsPerG, 50);  // from the logger's report, not from the handler
         }},
        {"device id", [](TForm1&) {}, [](Commands& c) {
             c.form3->Edit1->setText("7");
             c.form3->Button1Click();
         },
         {"Y007", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.deviceId, 7);
             EXPECT_EQ(f.Label18->text(), "007");
         }},
        {"wait", [](TForm1&) {}, [](Commands& c) {
             c.form6->Edit1->setText("5");
             c.form6->Button1Click();
         },
         {"w05", "p"},
         [](TForm1& f, const SimSettings& s) {
             EXPECT_EQ(s.wait, 5);
             EXPECT_EQ(f.Label31->text(), "05");
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.setup) row.setup(*f);
        EXPECT_EQ(Run([&] { row.action(*this); }, row.sent.size()), row.sent);
        EXPECT_TRUE(f->LoggerSession().QueuedFollowUps().empty());
        row.check(*f, h.sim->settings());
    }
}

TEST_F(Commands, PlainCommandsSendExactlyTheirBytes) {
    const std::vector<std::pair<const char*, std::function<void()>>> rows = {
        {"m", [&] { f->Button15Click(); }},   {"m", [&] { f->Button46Click(); }},
        {"vp", [&] { f->Button44Click(); }},  {"n", [&] { f->Button29Click(); }},
        {"#", [&] { f->Button5Click(); }},    {"E", [&] { f->Button56Click(); }},
        {"Z", [&] { f->Button41Click(); }},   {"e", [&] { f->Label36Click(); }},
        {"t", [&] { f->Button16Click(); }},   {"t", [&] { f->Label26DblClick(); }},
        {"o", [&] { f->Button7Click(); }},    {"f", [&] { f->Button14Click(); }},
        {"q7", [&] { f->Button25Click(); }},  {"b0", [&] { f->Button43Click(); }},
        {"N01", [&] { f->Button26Click(); }}, {"W", [&] { f->Button49Click(); }},
        {"Kr", [&] { f->Button54Click(); }},  {"n", [&] { f->Button38Click(); }},
        {"q8", [&] { f->Button31Click(); }},  {"q9", [&] { f->Button32Click(); }},
    };
    for (const auto& [bytes, action] : rows) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(Run(action, 1), Entries{bytes});
    }
    EXPECT_EQ(h.sim->settings().lcd, 1);
    EXPECT_EQ(h.sim->settings().nField, 1);
}

TEST_F(Commands, AfterColumnSetsTimerVisibilityAndTickSequence) {
    f->Button31Click();
    EXPECT_EQ(f->Timer1->Interval(), 2000);
    EXPECT_TRUE(f->Button31->isHidden());
    EXPECT_TRUE(f->Button32->isHidden());
    ASSERT_TRUE(h.WaitIdle());
    f->Button32Click();
    EXPECT_EQ(f->Timer1->Interval(), 10000);
    EXPECT_FALSE(f->Button31->isHidden());
    ASSERT_TRUE(h.WaitIdle());
    f->Button49Click();
    EXPECT_EQ(f->Timer1->Interval(), 3000);
    ASSERT_TRUE(h.WaitIdle());
    f->Timer1->SetInterval(0);

    // Button26 leaves the status request to the next tick.
    const size_t before = h.Log().size();
    f->Button26Click();
    EXPECT_TRUE(f->LoggerSession().TickSequencePending());
    ASSERT_TRUE(h.WaitIdle());
    f->Timer1Timer();
    ASSERT_TRUE(PumpUntil([&] { return h.Log().size() >= before + 2 && h.WaitIdle(0); }));
    EXPECT_EQ(h.Log().back(), "p");
    EXPECT_FALSE(f->LoggerSession().TickSequencePending());

    // Button22 leaves its command to the monitor's tick.
    f->Button22Click();
    EXPECT_EQ(f->LoggerSession().MonitorCommand(), "hAAA");
}

TEST_F(Commands, StopTimerCommandsKeepTheTickOffUntilTheExchangeEnds) {
    f->Timer1->SetInterval(1000);
    f->Button54Click();
    EXPECT_EQ(f->Timer1->Interval(), 0);
    ASSERT_TRUE(h.WaitIdle());
    EXPECT_EQ(f->Edit21->text(), "SIM01");
    EXPECT_EQ(f->Timer1->Interval(), 1000);
}

TEST_F(Commands, WriteIdSendsTrimmedTextAndCarriageReturn) {
    f->Edit21->setText("AB12 ");
    EXPECT_EQ(Run([&] { f->Button55Click(); }, 1), Entries{"KwAB12\\x0D"});
    EXPECT_EQ(h.sim->settings().idText, "AB12");
}

TEST_F(Commands, ClockCommandsQueueTheTimeRequest) {
    f->Timer1Timer();  // fresh NowText
    f->Timer1->SetInterval(0);
    std::string clock = "s" + f->State.NowText;
    EXPECT_EQ(Run([&] { f->Button2Click(); }, 2), (Entries{clock, "t"}));

    clock = "s" + f->State.NowText;
    const QDateTime tick = f->NowValue;
    EXPECT_EQ(Run([&] { f->Button1Click(); }, 2), (Entries{clock, "te"}));
    EXPECT_TRUE(f->LoggerSession().ClockGreetingPending());
    EXPECT_EQ(f->LoggerSession().ClockGreetingDue(),
              vexa::session::WallClock::time_point(
                  std::chrono::milliseconds(tick.addSecs(12).toMSecsSinceEpoch())));

    f->ComboBox4->setEditText("今すぐ開始");
    clock = "s" + f->State.NowText;
    EXPECT_EQ(Run([&] { f->ComboBox4Change(); }, 2), (Entries{clock, "t"}));
}

// The start-mode list read in English: its entries and the logger's report are shown translated, and
// each sends the bytes the Japanese one does.
struct CommandsInEnglish : Commands {
    LanguageSwitch language;
    void SetUp() override {
        language.Apply(UiLanguage::English);
        Commands::SetUp();
    }
};

TEST_F(CommandsInEnglish, StartModesSendWhatTheJapaneseOnesSend) {
    ASSERT_EQ(f->ComboBox4->count(), 3);
    EXPECT_EQ(f->ComboBox4->itemText(0), "Start now");
    EXPECT_EQ(f->ComboBox4->itemText(2), "Reserved");

    f->Timer1Timer(); // fresh NowText
    f->Timer1->SetInterval(0);
    const std::string clock = "s" + f->State.NowText;
    f->ComboBox4->setEditText(f->ComboBox4->itemText(0));
    EXPECT_EQ(Run([&] { f->ComboBox4Change(); }, 2), (Entries{clock, "t"}));

    f->ComboBox4->setEditText("Start");
    EXPECT_EQ(Run([&] { f->ComboBox4Change(); }, 2), (Entries{"o", "p"}));
    EXPECT_TRUE(h.sim->settings().recording);
    EXPECT_EQ(f->ComboBox4->currentText(), "Start"); // the logger's "開始", in English

    f->ComboBox4->setEditText("Sleep");
    EXPECT_EQ(Run([&] { f->ComboBox4Change(); }, 2), (Entries{"f", "p"}));
    EXPECT_FALSE(h.sim->settings().recording);
    EXPECT_EQ(f->ComboBox4->currentText(), "Sleep");
}

TEST_F(Commands, IntervalButtonStepsAndWraps) {
    struct Step {
        int from;
        const char* sent;
        const char* shown;
    };
    for (const Step& s : {Step{8, "jA", "1min"}, Step{0, "jB", "2min"}, Step{12, "je", "20sec"},
                          Step{14, "jA", "1min"}}) {
        SCOPED_TRACE(s.from);
        vexa::session::SessionProbe::State(f->LoggerSession()).IntervalIndex = s.from;
        EXPECT_EQ(Run([&] { f->Button17Click(); }, 1), Entries{s.sent});
        EXPECT_EQ(f->ComboBox2->currentText(), s.shown);
        EXPECT_EQ(f->State.IntervalName, s.shown);
    }
}

TEST_F(Commands, UnknownIntervalNameSendsNothing) {
    f->ComboBox2->setEditText("7min");
    ExpectNothingSent([&] { f->ComboBox2Change(); });
    EXPECT_EQ(f->State.IntervalName, "7min");
    EXPECT_TRUE(f->LoggerSession().QueuedFollowUps().empty());
}

TEST_F(Commands, VersionButtonShowsResetOnlyForItsFirmware) {
    for (const auto& [version, shown] : {std::pair{20231226, true}, std::pair{20231227, false}}) {
        SCOPED_TRACE(version);
        f->Button32->hide();
        vexa::session::SessionProbe::State(f->LoggerSession()).FirmwareVersion = version;
        vexa::session::SessionProbe::State(f->LoggerSession()).CommandsEnabled = 0;
        vexa::session::SessionProbe::PollPending(f->LoggerSession()) = true;
        f->Button8Click();
        EXPECT_EQ(f->State.CommandsEnabled, 1);
        EXPECT_FALSE(f->LoggerSession().MonitorPollPending());
        EXPECT_EQ(f->Timer1->Interval(), 2000);
        EXPECT_TRUE(f->Button39->isHidden());
        EXPECT_EQ(!f->Button32->isHidden(), shown);
        ASSERT_TRUE(h.WaitIdle());
        f->Timer1->SetInterval(0);
    }
}

TEST_F(Commands, ThresholdDetectionToggles) {
    EXPECT_EQ(Run([&] { f->CheckBox2->click(); }, 2), (Entries{"k1", "p"}));
    EXPECT_TRUE(f->CheckBox2->isChecked());
    EXPECT_EQ(f->State.ThresholdDetectOn, 1);
    EXPECT_TRUE(h.sim->settings().thresholdDetect);
    EXPECT_EQ(Run([&] { f->CheckBox2->click(); }, 2), (Entries{"k0", "p"}));
    EXPECT_FALSE(f->CheckBox2->isChecked());
    EXPECT_EQ(f->State.ThresholdDetectOn, 0);
    EXPECT_FALSE(h.sim->settings().thresholdDetect);
}

TEST_F(Commands, ReportedDetectionStateIsSentBackOnce) {
    // The logger's report differs from the box: the parser changes the box, the handler sends the
    // reported state once and queues a status request; the refresh then agrees and sends nothing more.
    f->ComboBox1->setEditText("10");
    f->CheckBox2->blockSignals(true);
    f->CheckBox2->setChecked(false);
    f->CheckBox2->blockSignals(false);
    vexa::session::SessionProbe::State(f->LoggerSession()).ThresholdDetectOn = 0;
    // Switch the logger's detection on behind the window's back through a raw exchange.
    const size_t before = h.Log().size();
    f->LoggerSession().RequestCommand({"k1"}, vexa::session::Clock::now());
    ASSERT_TRUE(PumpUntil([&] { return h.Log().size() >= before + 1 && h.WaitIdle(0); }));
    Entries sent = Run([&] { f->Button8Click(); }, 3);
    EXPECT_EQ(sent, (Entries{"p", "k1", "p"}));
    EXPECT_TRUE(f->CheckBox2->isChecked());
    EXPECT_EQ(f->State.ThresholdDetectOn, 1);
    EXPECT_EQ(f->Edit12->text(), "1");
}

TEST_F(Commands, GuardsKeepDisabledOrBusyHandlersSilent) {
    const std::vector<std::pair<const char*, std::function<void()>>> enabledGuarded = {
        {"Button7", [&] { f->Button7Click(); }},       {"Button14", [&] { f->Button14Click(); }},
        {"Button18", [&] { f->Button18Click(); }},     {"Button33", [&] { f->Button33Click(); }},
        {"Button41", [&] { f->Button41Click(); }},     {"Button54", [&] { f->Button54Click(); }},
        {"Button55", [&] { f->Button55Click(); }},     {"Label26", [&] { f->Label26DblClick(); }},
        {"ComboBox1", [&] { f->ComboBox1Change(); }},  {"ComboBox3", [&] { f->ComboBox3Change(); }},
        {"ComboBox4", [&] { f->ComboBox4Change(); }},  {"CheckBox2", [&] { f->CheckBox2->click(); }},
        {"Form3", [&] { form3->Button1Click(); }},     {"Form6", [&] { form6->Button1Click(); }},
        {"Button29", [&] { f->Button29Click(); }},     {"Label19", [&] { f->Label19DblClick(); }},
    };
    f->Edit1->setText("3");
    f->ComboBox4->setEditText("Sleep");
    for (const auto& [name, action] : enabledGuarded) {
        SCOPED_TRACE(name);
        vexa::session::SessionProbe::State(f->LoggerSession()).CommandsEnabled = 0;
        ExpectNothingSent(action);
        EXPECT_TRUE(f->LoggerSession().QueuedFollowUps().empty());
    }
    EXPECT_FALSE(f->CheckBox2->isChecked());  // the mark follows what the logger was told
    EXPECT_EQ(f->State.ThresholdDetectOn, 0);

    const std::vector<std::pair<const char*, std::function<void()>>> idleGuarded = {
        {"Button2", [&] { f->Button2Click(); }},      {"Button16", [&] { f->Button16Click(); }},
        {"Button29", [&] { f->Button29Click(); }},    {"ComboBox2", [&] { f->ComboBox2Change(); }},
        {"Label19", [&] { f->Label19DblClick(); }},   {"Form3", [&] { form3->Button1Click(); }},
        {"Form6", [&] { form6->Button1Click(); }},
    };
    f->ComboBox2->setEditText("1min");
    form3->Edit1->setText("12");
    for (const auto& [name, action] : idleGuarded) {
        SCOPED_TRACE(name);
        f->ApdComPort1.SetOpen(true);  // an exchange is running
        ExpectNothingSent(action);
        EXPECT_TRUE(f->LoggerSession().QueuedFollowUps().empty());
    }
    EXPECT_EQ(form3->Edit1->text(), "12");  // not even the text changes
}

TEST_F(Commands, ConversionErrorSendsNothingAndLeavesQueueAndTimer) {
    f->Timer1->SetInterval(1000);
    f->Edit8->setText("");
    EXPECT_THROW(f->Button23Click(), vexa::EConvertError);
    f->Edit15->setText("1x");
    EXPECT_THROW(f->Button50Click(), vexa::EConvertError);
    form6->show();
    form6->Edit1->setText("5m");
    EXPECT_THROW(form6->Button1Click(), vexa::EConvertError);
    EXPECT_TRUE(form6->isVisible());
    EXPECT_EQ(form6->Edit1->text(), "5m");
    EXPECT_TRUE(f->LoggerSession().QueuedFollowUps().empty());
    EXPECT_EQ(f->Timer1->Interval(), 1000);
    f->Timer1->SetInterval(0);
    ExpectNothingSent([] {});
}

TEST_F(Commands, ConversionErrorFromAClickIsShownInTheErrorBox) {
    auto* app = static_cast<TApplication*>(QCoreApplication::instance());
    app->SetInteraction(&h.ui);
    f->show();
    f->Label20Click();  // the adjustment buttons lie below the first view
    f->Edit11->setText("");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    QTest::mouseClick(f->Button24, Qt::LeftButton);
    app->SetInteraction(nullptr);
    QString expected;
    try {
        vexa::StrictToInt("");
    } catch (const std::exception& e) {
        expected = QString::fromUtf8(e.what());
    }
    EXPECT_EQ(h.ui.Texts("error"), QStringList{expected});
    ExpectNothingSent([] {});
}

TEST_F(Commands, DialogsClampTheirNumbers) {
    struct Case {
        QWidget* dialog;
        QLineEdit* edit;
        std::function<void()> click;
        const char* typed;
        const char* shown;
        const char* sent;
    };
    const std::vector<Case> cases = {
        {form3.get(), form3->Edit1, [&] { form3->Button1Click(); }, "300", "000", "Y000"},
        {form3.get(), form3->Edit1, [&] { form3->Button1Click(); }, "255", "255", "Y255"},
        {form3.get(), form3->Edit1, [&] { form3->Button1Click(); }, "", "000", "Y000"},
        {form6.get(), form6->Edit1, [&] { form6->Button1Click(); }, "100", "00", "w00"},
        {form6.get(), form6->Edit1, [&] { form6->Button1Click(); }, "99", "99", "w99"},
        {form6.get(), form6->Edit1, [&] { form6->Button1Click(); }, "-3", "00", "w00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        c.dialog->show();
        c.edit->setText(c.typed);
        EXPECT_EQ(Run(c.click, 2), (Entries{c.sent, "p"}));
        EXPECT_EQ(c.edit->text(), c.shown);
        EXPECT_TRUE(c.dialog->isHidden());
    }
}

TEST_F(Commands, LabelsOpenTheirDialogs) {
    f->Label17DblClick();
    EXPECT_TRUE(form3->isVisible());
    f->Label25DblClick();
    EXPECT_TRUE(form5->isVisible());
    f->Label30Click();
    EXPECT_TRUE(form6->isVisible());
    f->Label22DblClick();
}

TEST_F(Commands, ReservationFromTheStartModeList) {
    vexa::session::SessionProbe::State(f->LoggerSession()).ReservationTimeText = "05/12 14:07";
    vexa::session::SessionProbe::State(f->LoggerSession()).ReservationState = 0;
    f->ComboBox4->setEditText("予約開始");
    ExpectNothingSent([&] { f->ComboBox4Change(); });
    EXPECT_TRUE(form5->isVisible());
    EXPECT_EQ(f->State.ReservationState, 2);
    EXPECT_TRUE(f->LoggerSession().QueuedFollowUps().empty()); // no stray command left for the next answer

    form5->ComboBox3->setEditText("15");
    f->Timer1Timer();
    f->Timer1->SetInterval(0);
    const std::string clock = "s" + f->State.NowText;
    EXPECT_EQ(Run([&] { form5->Button1Click(); }, 4), (Entries{clock, "l05/12 15:07", "f", "t"}));
    EXPECT_EQ(f->State.ReservationState, 1);
    EXPECT_EQ(f->Label25->text(), "05/12 15:07");
    EXPECT_EQ(h.sim->settings().reservation, "05/12 15:07");
    EXPECT_TRUE(form5->isHidden());

    // With a reservation confirmed the list sends at once.
    EXPECT_EQ(Run([&] { f->ComboBox4Change(); }, 4), (Entries{"s" + f->State.NowText, "l05/12 15:07", "f", "t"}));
}

TEST_F(Commands, ReservationFromTheLabelOnlyStoresTheTime) {
    vexa::session::SessionProbe::State(f->LoggerSession()).ReservationTimeText = "05/12 14:07";
    vexa::session::SessionProbe::State(f->LoggerSession()).ReservationState = 0;
    f->Label25DblClick();
    form5->ComboBox4->setEditText("30");
    ExpectNothingSent([&] { form5->Button1Click(); });
    EXPECT_EQ(f->State.ReservationTimeText, "05/12 14:30");
    EXPECT_EQ(f->Label25->text(), "05/12 14:30");
    EXPECT_EQ(f->State.ReservationState, 1);
}

TEST_F(Commands, ClosingTheReservationWindowDropsTheListRequest) {
    vexa::session::SessionProbe::State(f->LoggerSession()).ReservationState = 0;
    f->ComboBox4->setEditText("予約開始");
    f->ComboBox4Change();
    ASSERT_EQ(f->State.ReservationState, 2);
    form5->close();
    EXPECT_EQ(f->State.ReservationState, 0);
    ExpectNothingSent([&] { f->ComboBox4Change(); });
    EXPECT_TRUE(form5->isVisible());
}

TEST_F(Commands, ListsRunOnlyForTheUsersChanges) {
    f->show();
    f->ComboBox1->show();
    f->ComboBox1->setCompleter(nullptr);
    // The parser writing the box runs nothing.
    ExpectNothingSent([&] { f->ComboBox1->setEditText("33"); });
    // Choosing an item does.
    EXPECT_EQ(Run([&] {
                  f->ComboBox1->setCurrentIndex(44);
                  emit f->ComboBox1->textActivated("44");
              },
                  2),
              (Entries{"d44", "p"}));
    // So does typing.
    f->ComboBox1->lineEdit()->setText("4");
    f->ComboBox1->lineEdit()->end(false);
    EXPECT_EQ(Run([&] { QTest::keyClick(f->ComboBox1->lineEdit(), '5'); }, 2), (Entries{"d45", "p"}));
}

TEST_F(Commands, HelloForcesTheLinkedStateWithoutAnExchange) {
    vexa::session::SessionProbe::State(f->LoggerSession()).LinkUp = 0;
    vexa::session::SessionProbe::State(f->LoggerSession()).CommandsEnabled = 0;
    vexa::session::SessionProbe::State(f->LoggerSession()).NowText = "2024/06/07 08:09:10";
    ExpectNothingSent([&] { f->Button38Click(); });
    EXPECT_EQ(f->State.LinkUp, 1);
    EXPECT_EQ(f->State.CommandsEnabled, 1);
    EXPECT_EQ(f->Button4->text(), "接続");
    EXPECT_EQ(f->State.ReservationTimeText, "06/07 08:09");
    EXPECT_EQ(f->Label25->text(), "06/07 08:09");
}

TEST_F(Commands, StandbyButtonSendsTwoBytesAndClosesThePort) {
    f->Button45->show();
    const size_t before = h.Log().size();
    f->Button45Click();
    EXPECT_FALSE(f->ApdComPort1.Open());
    EXPECT_FALSE(f->LoggerSession().WatchdogArmed());
    EXPECT_TRUE(f->Button45->isHidden());
    EXPECT_FALSE(f->Button46->isHidden());
    ASSERT_TRUE(PumpUntil([&] { return h.Log().size() >= before + 2; }));
    const Entries log = h.Log();
    EXPECT_EQ(Entries(log.begin() + long(before), log.end()), (Entries{"e", "p"}));
}

} // namespace
