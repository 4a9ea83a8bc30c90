// The settings dialogs against a stand-in main window: number forms, key filters, the reservation
// time's warnings and day check; and the range list applied locally by the main window.
#include "app/TForm1.h"
#include "dialogs/MainWindowLink.h"
#include "dialogs/TForm3.h"
#include "dialogs/TForm5.h"
#include "dialogs/TForm6.h"
#include "platform/ScriptedInteraction.h"
#include "protocol/IntegerConversion.h"
#include "support/Pump.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// The main window as the dialogs see it: what they ask for is recorded; the reservation state answers
// as the session keeps it (0 none, 1 confirmed, 2 asked for by the start-mode list).
struct FakeLink : MainWindowLink {
    bool enabled = true, portOpen = false;
    std::vector<std::string> sent;
    bool timerStopped = false;
    std::string pending;
    std::string reservation = "05/12 14:07";
    int state = 0;
    int shownReservation = 0, startModeRuns = 0;
    ScriptedInteraction ui;

    bool LinkCommandsEnabled() const override { return enabled; }
    bool LinkPortOpen() const override { return portOpen; }
    bool LinkSendCommand(const std::string& bytes, const std::string& followUp) override {
        sent.push_back(bytes);
        pending = followUp;
        timerStopped = true;
        return true;
    }
    std::string LinkReservationTimeText() const override { return reservation; }
    int LinkReservationState() const override { return state; }
    bool LinkConfirmReservationTime(const std::string& t) override {
        reservation = t;
        const bool asked = state == 2;
        state = 1;
        return asked;
    }
    void LinkDropReservationRequest() override {
        if (state == 2) state = 0;
    }
    void LinkShowReservationTime() override { ++shownReservation; }
    void LinkStartModeChange() override { ++startModeRuns; }
    Interaction& LinkInteraction() override { return ui; }
};

TEST(DeviceIdDialog, TakesTheIdCaptionAndFiltersKeys) {
    FakeLink link;
    TForm3 form(link, "00");
    EXPECT_EQ(form.Edit1->text(), "00");
    form.Edit1->clear();
    QTest::keyClicks(form.Edit1, "1a-2 3");
    EXPECT_EQ(form.Edit1->text(), "123");
    QTest::keyClick(form.Edit1, Qt::Key_Backspace);
    EXPECT_EQ(form.Edit1->text(), "12");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(PumpUntil([&] { return form.Edit1->hasFocus(); }, 1000));
}

TEST(DeviceIdDialog, SendsAndQueuesTheStatusThenHides) {
    FakeLink link;
    TForm3 form(link, "00");
    form.show();
    form.Edit1->setText("42");
    form.Button1Click();
    EXPECT_EQ(link.sent, std::vector<std::string>{"Y042"});
    EXPECT_TRUE(link.timerStopped);
    EXPECT_EQ(link.pending, "p");
    EXPECT_TRUE(form.isHidden());
}

TEST(DeviceIdDialog, PastedTextThatIsNoNumberSendsNothing) {
    FakeLink link;
    TForm3 form(link, "00");
    form.show();
    form.Edit1->setText("4x");
    EXPECT_THROW(form.Button1Click(), vexa::EConvertError);
    EXPECT_TRUE(link.sent.empty());
    EXPECT_TRUE(link.pending.empty());
    EXPECT_TRUE(form.isVisible());
}

TEST(WaitDialog, StartsWithFiveAndSendsTwoDigits) {
    FakeLink link;
    TForm6 form(link);
    EXPECT_EQ(form.Edit1->text(), "5");
    form.Button1Click();
    EXPECT_EQ(link.sent, std::vector<std::string>{"w05"});
    EXPECT_EQ(form.Edit1->text(), "05");
}

struct Reservation : ::testing::Test {
    FakeLink link;
    TForm5 form{link};
    void Open(const std::string& text) {
        link.reservation = text;
        form.show();
    }
    void Set(const char* m, const char* d, const char* h, const char* mi) {
        form.ComboBox1->setEditText(m);
        form.ComboBox2->setEditText(d);
        form.ComboBox3->setEditText(h);
        form.ComboBox4->setEditText(mi);
    }
};

TEST_F(Reservation, OpensWithTheReservationTimeInBothHourForms) {
    Open("05/12 14:07");
    EXPECT_EQ(form.ComboBox1->currentText(), "05");
    EXPECT_EQ(form.ComboBox2->currentText(), "12");
    EXPECT_EQ(form.ComboBox3->currentText(), "14");
    EXPECT_EQ(form.ComboBox4->currentText(), "07");
    EXPECT_EQ(form.ReservationBase, 5121407);
    form.hide();
    Open("05/12 9:07");
    EXPECT_EQ(form.ComboBox3->currentText(), "09");
    EXPECT_EQ(form.ComboBox4->currentText(), "07");
    EXPECT_EQ(form.ReservationBase, 5120907);
}

TEST_F(Reservation, WarnsWithoutBlocking) {
    struct Case {
        const char *day, *hour, *minute;
        QStringList boxes;
        const char* stored;
    };
    const QString nextYear = "来年の話ですけど、よいですか？", farAhead = "ずいぶんさきですけど、よいですか？";
    for (const Case& c : {Case{"12", "14", "00", {nextYear}, "05/12 14:00"},
                          Case{"28", "14", "07", {farAhead}, "05/28 14:07"},
                          Case{"27", "14", "07", {}, "05/27 14:07"},
                          Case{"12", "9", "5", {nextYear}, "05/12 09:05"}}) {
        SCOPED_TRACE(c.stored);
        link.ui.Clear();
        Open("05/12 14:07");
        Set("05", c.day, c.hour, c.minute);
        form.Button1Click();
        EXPECT_EQ(link.ui.Texts("box"), c.boxes);
        EXPECT_EQ(link.reservation, c.stored);
        EXPECT_EQ(link.state, 1);
        EXPECT_TRUE(form.isHidden());
    }
    EXPECT_EQ(link.startModeRuns, 0);  // opened from the label: nothing is sent
    EXPECT_EQ(link.shownReservation, 4);
}

TEST_F(Reservation, OkFromTheStartModeListRunsItOnceWithStateConfirmed) {
    link.state = 2;
    Open("05/12 14:07");
    form.Button1Click();
    EXPECT_EQ(link.startModeRuns, 1);
    EXPECT_EQ(link.state, 1);
}

TEST_F(Reservation, DayCheckCorrectsWithinASecond) {
    struct Case {
        const char *month, *day;
        QStringList messages;
        const char* shown;
    };
    const QString cannot = "その日は指定できません";
    bool timerSeen = false;
    for (const Case& c : {Case{"02", "30", {cannot}, "28"}, Case{"02", "29", {"うるう年ですか？"}, "29"},
                          Case{"04", "31", {cannot}, "30"}, Case{"12", "31", {}, "31"},
                          Case{"11", "31", {cannot}, "30"}}) {
        SCOPED_TRACE(std::string(c.month) + "/" + c.day);
        link.ui.Clear();
        Open("05/12 14:07");
        form.ComboBox1->setEditText(c.month);
        form.ComboBox2->setEditText(c.day);
        emit form.ComboBox2->textActivated(c.day);
        EXPECT_EQ(link.ui.Texts("message"), c.messages);
        // The first case waits for the dialog's own one-second timer; the others tick it by hand.
        if (!timerSeen) timerSeen = PumpUntil([&] { return form.ComboBox2->currentText() == c.shown; }, 1500);
        else form.Timer1Timer();
        EXPECT_EQ(form.ComboBox2->currentText(), c.shown);
        form.hide();
    }
    EXPECT_TRUE(timerSeen);
}

TEST_F(Reservation, ReopeningForgetsAnEarlierCorrection) {
    Open("02/12 14:07");
    form.ComboBox2->setEditText("30");
    emit form.ComboBox2->textActivated("30");
    form.Timer1Timer();
    ASSERT_EQ(form.ComboBox2->currentText(), "28");
    form.hide();
    Open("05/15 10:00");
    form.Timer1Timer();
    EXPECT_EQ(form.ComboBox2->currentText(), "15");
}

TEST_F(Reservation, KeyFilterTakesDigitsOnlyAndKeepsTwoCharacters) {
    Open("05/12 14:07");
    QLineEdit* edit = form.ComboBox3->lineEdit();
    form.ComboBox3->setCompleter(nullptr);
    edit->setText("");
    QTest::keyClick(edit, 'x');
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(form.ComboBox3->currentText(), "");
    QTest::keyClick(edit, '1');  // empty becomes "00", then the digit goes in
    EXPECT_EQ(form.ComboBox3->currentText(), "001");
    QTest::keyClick(edit, '2');  // cut to two first
    EXPECT_EQ(form.ComboBox3->currentText(), "002");
    edit->setText("14");
    edit->selectAll();
    QTest::keyClick(edit, '9');  // a selected two-digit text is replaced as typed
    QTest::keyClick(edit, '3');
    EXPECT_EQ(form.ComboBox3->currentText(), "93");
}

TEST_F(Reservation, ClosingDropsARequestFromTheList) {
    link.state = 2;
    Open("05/12 14:07");
    form.close();
    EXPECT_EQ(link.state, 0);
    EXPECT_EQ(link.startModeRuns, 0);
}

TEST(RangeList, AppliedLocallyWhileCommandsAreDisabled) {
    ScriptedInteraction ui;
    TForm1Deps deps;
    deps.interaction = &ui;
    deps.screenSize = QSize(1280, 1024);
    TForm1 form(deps);
    form.Timer1->SetInterval(0);
    ASSERT_EQ(form.State.CommandsEnabled, 0); // no logger
    for (const auto& [text, counts] : {std::pair{"02", 50}, std::pair{"20", 5}, std::pair{"00", 1}, std::pair{"7", 10}}) {
        SCOPED_TRACE(text);
        form.ComboBox5->setEditText(text);
        form.ComboBox5Change();
        EXPECT_EQ(form.State.CountsPerG, counts);
        EXPECT_FALSE(form.ApdComPort1.Open());
        EXPECT_TRUE(form.LoggerSession().QueuedFollowUps().empty());
    }
    form.ComboBox5->setEditText("x");
    EXPECT_THROW(form.ComboBox5Change(), vexa::EConvertError);
    EXPECT_EQ(form.State.CountsPerG, 10);
}

} // namespace
