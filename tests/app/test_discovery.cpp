// Port discovery: finding the logger's port in the registry, connecting once, deferred tick items.
#include "support/LinkedForm.h"

#include <QListWidget>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

struct Discovery : LinkedForm, ::testing::Test {
    // What the tool sent in the tick just run: a known byte sent after it marks the end, so that
    // "nothing" needs no waiting.
    std::string SentBeforeMark() {
        if (!form->ApdComPort1.Open()) form->ApdComPort1.SetOpen(true);
        form->ApdComPort1.PutString("!");
        if (!peer.WaitFor([](const std::string& all) { return !all.empty() && all.back() == '!'; }))
            return "<no mark>";
        std::string sent = peer.Received();
        sent.pop_back();
        peer.Clear();
        return sent;
    }
};

TEST_F(Discovery, NoPortAtAll) {
    form->ListBox2->addItem("COM9");  // left from an earlier tick
    form->Timer1->SetInterval(2000);
    form->Timer1Timer();
    EXPECT_EQ(form->windowTitle(), "Can't find a VEXA UPdater20003.0De26");
    EXPECT_EQ(form->Edit3->text(), "No Port");
    EXPECT_EQ(form->Button4->text(), "接<->続");
    EXPECT_EQ(form->ListBox2->count(), 1);  // keeps its previous entries
    EXPECT_EQ(form->Timer1->Interval(), 2000);
    EXPECT_EQ(form->Edit9->text(), "2000");
    EXPECT_EQ(form->State.CommandsEnabled, 0);
    EXPECT_FALSE(form->Image4->isHidden());
    EXPECT_TRUE(form->Image5->isHidden());
}

TEST_F(Discovery, PortsWithoutVcpAreNoLogger) {
    registry.values = {{"\\Device\\Serial0", "COM1"}, {"\\Device\\Serial1", "COM2"}};
    form->Timer1Timer();
    EXPECT_EQ(form->windowTitle(), "Can't find a VEXA UPdater20003.0De26");
    EXPECT_EQ(form->ListBox1->count(), 2);
    EXPECT_EQ(form->Edit3->text(), "No Port");
}

TEST_F(Discovery, VcpPortWithoutTheLoggerKeyConnectsNothing) {
    registry.values = {{"\\Device\\VCP0", "COM4"}};
    form->Timer1->SetInterval(1000);
    form->Timer1Timer();
    EXPECT_EQ(form->windowTitle(), "Serching V-EXA UPdater20003.0De26");
    EXPECT_EQ(form->Edit5->text(), "");
    EXPECT_EQ(form->ListBox2->count(), 1);
    EXPECT_EQ(form->ListBox2->item(0)->text(), "COM4");
    EXPECT_EQ(form->UpDown1->maximum(), 0);
    EXPECT_FALSE(form->ApdComPort1.Open());
    EXPECT_EQ(form->Timer1->Interval(), 1000);
    EXPECT_TRUE(peer.Received().empty());
}

TEST_F(Discovery, FriendlyNameOnCom12ConnectsToPort12) {
    registry.PlugLogger(12, peer.SlavePath());
    form->Timer1Timer();
    ASSERT_TRUE(peer.WaitForSent("m"));
    EXPECT_EQ(form->Edit3->text(), "COM12");
    EXPECT_EQ(form->Edit19->text(), "COM12");
    EXPECT_EQ(form->Edit5->text(), "VEXA");
    EXPECT_EQ(form->windowTitle(), " UPdater20003.0De26");
    EXPECT_EQ(form->ApdComPort1.ComNumber(), 12);
    EXPECT_EQ(form->Button4->text(), "|=|");
    EXPECT_EQ(form->State.AutoConnectDone, 1);
    EXPECT_EQ(form->LoggerSession().QueuedFollowUps(), (std::vector<std::string>{"p", "p"}));
    EXPECT_EQ(form->Timer1->Interval(), 0);  // not linked yet: the reply restarts the timer
}

TEST_F(Discovery, SevenCharactersInTheParenthesesEndTheTickWithTheTimerStopped) {
    registry.values = {{"\\Device\\VCP0", "COM1234"}};
    registry.friendlyName = "USB Serial Port (COM1234)";
    form->Timer1->SetInterval(1000);
    form->Timer1Timer();
    EXPECT_EQ(form->Timer1->Interval(), 0);
    EXPECT_FALSE(form->ApdComPort1.Open());
}

TEST_F(Discovery, FoundTwiceConnectsOnceAndReplugConnectsAgain) {
    ASSERT_TRUE(Link());
    EXPECT_EQ(form->Button4->text(), "接続");
    EXPECT_EQ(linkedInterval, 1000);
    peer.Clear();
    form->Timer1Timer();  // found again: no second connect
    EXPECT_EQ(SentBeforeMark(), "");
    EXPECT_EQ(form->State.AutoConnectDone, 1);

    registry.Unplug();
    form->Timer1Timer();
    EXPECT_EQ(form->State.AutoConnectDone, 0);
    EXPECT_EQ(form->State.CommandsEnabled, 0);

    registry.PlugLogger(5, peer.SlavePath());
    form->Timer1Timer();
    EXPECT_TRUE(peer.WaitForSent("m"));
    EXPECT_EQ(form->State.LinkUp, 0);
}

TEST_F(Discovery, TickSequenceSendsOneCharacterPerTickAtMostFive) {
    ASSERT_TRUE(Link());
    struct Case {
        const char* sequence;
        const char* sent;
    } cases[] = {{"abc", "abc"}, {"abcdefg", "abcde"}};
    for (const auto& c : cases) {
        form->LoggerSession().QueueTickSequence(c.sequence);
        peer.Clear();
        std::string sent;
        for (int tick = 0; tick < 8; ++tick) {
            form->Timer1Timer();
            peer.WaitFor([&](const std::string& all) { return all.size() > sent.size(); }, 300);
            sent = peer.Received();
        }
        EXPECT_EQ(sent, c.sent) << c.sequence;
        EXPECT_FALSE(form->LoggerSession().TickSequencePending());
    }
}

TEST_F(Discovery, StatusRefreshAfterTheMonitorGoesOutOnce) {
    ASSERT_TRUE(Link());
    form->Button10Click(); // monitor on
    form->Button10Click(); // and off: the next tick refreshes the settings
    form->Timer1->SetInterval(0);
    peer.Clear();
    form->Timer1Timer();
    EXPECT_TRUE(peer.WaitForSent("p"));
    EXPECT_FALSE(form->LoggerSession().StatusRefreshPending());
}

TEST_F(Discovery, TimedGreetingGoesOutWhenTheDeadlinePasses) {
    ASSERT_TRUE(Link());
    form->Timer1Timer(); // the tick whose clock the deadline counts from
    peer.Clear();
    form->Button1Click(); // the clock, "te" at its answer's end, and "m" 12 s after that tick
    ASSERT_TRUE(peer.WaitForSent("s2024/05/01 09:03:07"));
    peer.Clear();
    peer.Write("#");
    ASSERT_TRUE(peer.WaitForSent("te"));
    ASSERT_TRUE(AnswerAndClose("#"));
    peer.Clear();
    form->Timer1->SetInterval(1000);
    form->Timer1Timer();  // not yet due
    EXPECT_EQ(SentBeforeMark(), "");
    EXPECT_TRUE(form->LoggerSession().ClockGreetingPending());
    clock = clock.addSecs(12);
    form->Timer1Timer();
    EXPECT_TRUE(peer.WaitForSent("m"));
    EXPECT_FALSE(form->LoggerSession().ClockGreetingPending());
    EXPECT_EQ(form->Timer1->Interval(), 0);  // the reply restarts it
    EXPECT_EQ(form->State.NowText, "2024/05/01 09:03:19");
}

TEST_F(Discovery, CloseButtonLeavesThePortClosedOnNumber3) {
    ASSERT_TRUE(Link());
    form->Button42Click();
    EXPECT_FALSE(form->ApdComPort1.Open());
    EXPECT_EQ(form->ApdComPort1.ComNumber(), 3);
}

// Another program holds the logger's port: the error is shown once, discovery keeps running, and the
// tool connects as soon as the port is free.
TEST_F(Discovery, PortHeldByAnotherProgramIsReportedOnceAndRetried) {
    const int holder = ::open(peer.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    registry.PlugLogger(5, peer.SlavePath());
    form->Timer1->SetInterval(1000);
    try {
        form->Timer1Timer();
        FAIL() << "no error for a held port";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "ie_Open - device already open");
    }
    EXPECT_EQ(form->Timer1->Interval(), 1000);
    EXPECT_NO_THROW(form->Timer1Timer());  // the same fault again: not shown again
    EXPECT_EQ(form->Timer1->Interval(), 1000);
    EXPECT_EQ(form->State.AutoConnectDone, 0);
    ::close(holder);
    form->Timer1Timer();
    EXPECT_TRUE(peer.WaitForSent("m"));
    EXPECT_EQ(form->State.AutoConnectDone, 1);
}

TEST_F(Discovery, SerialPortsWindowListsThePorts) {
    registry.PlugLogger(5, peer.SlavePath());
    form->Button13Click();
    auto* table = form->findChild<QTableWidget*>("SerialPortsTable");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), "COM5");
    EXPECT_EQ(table->item(0, 1)->text(), QString::fromStdString(peer.SlavePath()));
}

} // namespace
