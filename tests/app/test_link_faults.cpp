// Faults of the link seen from the window: a greeting whose "#" never came, a logger registered under a
// port name without a number, command buttons with no logger.
#include "support/LinkedForm.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

struct LinkFaults : LinkedForm, ::testing::Test {
    // First contact made, but the greeting's "#" has not come: an answer is still awaited.
    void LinkWithGreetingUnanswered() {
        registry.PlugLogger(5, peer.SlavePath());
        form->Timer1Timer();
        ASSERT_TRUE(peer.WaitForSent("m"));
        peer.Clear();
        peer.Write("KTZ-770 Ver=20231226\r\n");
        ASSERT_TRUE(peer.WaitForSent("m"));
        peer.Clear();
        ASSERT_TRUE(PumpUntil([&] { return form->State.CommandsEnabled == 1; }));
    }
};

TEST_F(LinkFaults, DownloadStartedWhileTheGreetingIsUnansweredGetsOnlyItsOwnAnswer) {
    ASSERT_NO_FATAL_FAILURE(LinkWithGreetingUnanswered());

    form->Button30Click();
    ASSERT_TRUE(peer.WaitForSent("D"));
    peer.Clear();
    peer.Write("@C= 2 72000\r\n104C8B8500FF0A194B00\r\n104C8B9500FF0A194B00\r\n#");
    // The download's "#" ends the download: it does not finish the old greeting with "p", "p".
    ASSERT_TRUE(PumpUntil([&] {
        return form->LoggerSession().CurrentPhase() != vexa::session::Phase::Download &&
               !form->ApdComPort1.Open();
    })) << "sent: "
        << peer.Received();
    EXPECT_EQ(form->State.LineCount, 2);
    EXPECT_EQ(form->Memo1->Count(), 4) << ::testing::PrintToString(form->Memo1->Lines());
    peer.Take();
    EXPECT_EQ(peer.Received(), "");
    // The greeting was cut short, so the next tick greets the logger again and reads its status.
    form->Timer1Timer();
    EXPECT_TRUE(peer.WaitForSent("m"));
}

TEST_F(LinkFaults, FirmwareStartWhileTheGreetingIsUnansweredSendsNoStrayCommand) {
    ASSERT_NO_FATAL_FAILURE(LinkWithGreetingUnanswered());

    form->Button37Click();
    ASSERT_TRUE(peer.WaitForSent(std::string("\x03\x06\x03\x06\x03", 5)));
    peer.Clear();
    // The old answer's "#" arrives after the boot loader's entry: the greeting's "p", "p" must not follow.
    // With nothing queued the "#" closes the port; a queued "p" would have been sent instead.
    peer.Write("#");
    EXPECT_TRUE(PumpUntil([&] { return !form->ApdComPort1.Open(); }));
    peer.Take();
    EXPECT_EQ(peer.Received(), "");
}

TEST_F(LinkFaults, PortNameWithoutANumberIsReportedOnceAndOpensNoDialog) {
    for (const std::string name : {"COM0", "COM-1", "COM"}) {
        SCOPED_TRACE(name);
        registry.values = {{"\\Device\\VCP0", name}};
        registry.friendlyName = "USB Serial Port (" + name + ")";
        form->Timer1->SetInterval(1000);
        EXPECT_NO_THROW(form->Timer1Timer());
        EXPECT_TRUE(form->Label33->text().contains(QString::fromStdString("\"" + name + "\"")))
            << form->Label33->text().toStdString();
        form->Label33->setText("-----");
        EXPECT_NO_THROW(form->Timer1Timer());
        EXPECT_EQ(form->Label33->text(), "-----"); // said once
        EXPECT_EQ(form->Timer1->Interval(), 1000); // discovery keeps running
        EXPECT_FALSE(form->ApdComPort1.Open());
        EXPECT_TRUE(ui.Texts("port").isEmpty());
    }
    // Once the logger shows up under a real port name it is connected as usual.
    registry.PlugLogger(5, peer.SlavePath());
    form->Timer1Timer();
    EXPECT_TRUE(peer.WaitForSent("m"));
}

TEST_F(LinkFaults, CommandButtonsWithoutALoggerSaySoAndSendNothing) {
    const std::pair<const char*, std::function<void()>> buttons[] = {
        {"取得", [&] { form->Button30Click(); }},
        {"ENQ", [&] { form->Button47Click(); }},
        {"time", [&] { form->Button16Click(); }},
        {"start", [&] { form->Button7Click(); }},
    };
    for (const auto& [name, click] : buttons) {
        form->Label33->setText("-----");
        click();
        EXPECT_TRUE(form->Label33->text().startsWith("No logger connected")) << name;
        EXPECT_FALSE(form->ApdComPort1.Open()) << name;
    }
}

// "Update" with an image in the work area but no logger: said at once, before either question is asked.
TEST_F(LinkFaults, UpdateWithoutALoggerSaysSoBeforeAnyQuestion) {
    form->Memo1->SetLines(form->Memo2->Lines());
    ui.yesNoAnswers = {true};
    form->Label33->setText("-----");
    EXPECT_NO_THROW(form->Button39Click());
    EXPECT_TRUE(form->Label33->text().startsWith("No logger connected"))
        << form->Label33->text().toStdString();
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text.toStdString();
    EXPECT_FALSE(form->Firmware->Active());
    EXPECT_FALSE(form->ApdComPort1.Open());
}

} // namespace
