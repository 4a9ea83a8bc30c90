// The receive parser against a logger played by the test over a pseudo-terminal.
#include "support/LinkedForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <gtest/gtest.h>

namespace {

struct Parser : LinkedForm, ::testing::Test {
    void SetUp() override { ASSERT_TRUE(Link()); }
    // Opens an exchange the way a command handler does, then lets the logger answer.
    bool Exchange(const std::string& answer) {
        form->Memo1->Clear();
        form->ApdComPort1.SetOpen(true);
        form->Timer1->SetInterval(0);
        return AnswerAndClose(answer);
    }
};

TEST_F(Parser, GreetingQueuesTwoStatusRequestsThenCloses) {
    // Link() has checked the wire: "m", first contact "m", then "p" on each of the first two "#".
    EXPECT_EQ(form->State.LinkUp, 1);
    EXPECT_EQ(form->State.CommandsEnabled, 1);
    EXPECT_EQ(form->Button4->text(), "接続");
    EXPECT_TRUE(form->Image4->isHidden());
    EXPECT_FALSE(form->Image5->isHidden());
    EXPECT_FALSE(form->Button45->isHidden());
    EXPECT_EQ(form->State.ReservationTimeText, "05/01 09:03");
    EXPECT_EQ(form->Label25->text(), "05/01 09:03");
    EXPECT_FALSE(form->ApdComPort1.Open());
    EXPECT_EQ(linkedInterval, 1000);
}

TEST_F(Parser, StatusRepliesFillTheirControls) {
    ASSERT_TRUE(Exchange("@C= 1234 32000\n@R=c\n@I=A\n@T=abc01\n@M=N0042\n@B=1230\n@Y=2023\n"
                         "@A hx xx00, ab00, ab01,\n@F ab zz00,-xx03, yy12,\n@w=00ab\n@r=x250\n"
                         "@L=  0-7\n@K ID-TEXT\n@G= CAPTION TEXT\n@s=abc 1\n@d=42\n#"));
    EXPECT_EQ(form->Label13->text(), "1234");
    EXPECT_EQ(form->Label39->text(), "32000");
    EXPECT_EQ(form->State.RecordCount, 1234);
    EXPECT_EQ(form->ProgressBar1->maximum(), 1234);
    EXPECT_EQ(form->State.IntervalIndex, 11);
    EXPECT_EQ(form->ComboBox2->currentText(), "10sec");
    EXPECT_EQ(form->ComboBox3->currentText(), "5msec");
    EXPECT_EQ(form->State.ExtraDigitMode, 1);
    EXPECT_EQ(form->State.CountsPerG, 100);
    EXPECT_EQ(form->ComboBox5->currentText(), "01");
    EXPECT_EQ(form->Label18->text(), "042");
    EXPECT_EQ(form->Label19->text(), "BZ-ON");
    EXPECT_EQ(form->Label15->text(), "2023");
    EXPECT_EQ(form->Label31->text(), "0ab");
    EXPECT_EQ(form->Edit15->text(), "250");
    EXPECT_EQ(form->Edit14->text(), "-7");
    EXPECT_EQ(form->Edit21->text(), "ID-TEXT");
    EXPECT_EQ(form->Label33->text(), "CAPTION TEXT");
    EXPECT_EQ(form->ComboBox4->currentText(), "開始");
    EXPECT_EQ(form->ComboBox1->currentText(), "42");
    EXPECT_EQ(form->Edit1->text(), " 00");
    EXPECT_EQ(form->Edit2->text(), "OFF");
    EXPECT_EQ(form->Edit6->text(), "ON");
    EXPECT_EQ(form->Edit20->text(), " 00");
    EXPECT_EQ(form->Edit16->text(), "-03");
    EXPECT_EQ(form->Edit17->text(), " 12");
    // Reply lines of two or more characters stand in the work area.
    EXPECT_EQ(form->Memo1->Count(), 16);
}

TEST_F(Parser, CodeTablesDriveTheControls) {
    struct Case {
        const char* answer;
        const char* interval;
        int index;
    } intervals[] = {{"@R=c\n#", "10sec", 11}, {"@R=^\n#", "30min", 8}, {"@R=A\n#", "1min", 0}};
    for (const auto& c : intervals) {
        ASSERT_TRUE(Exchange(c.answer));
        EXPECT_EQ(form->ComboBox2->currentText(), c.interval);
        EXPECT_EQ(form->State.IntervalIndex, c.index);
    }
    ASSERT_TRUE(Exchange("@I=A\n#"));
    EXPECT_EQ(form->ComboBox3->currentText(), "5msec");
    EXPECT_EQ(form->State.ExtraDigitMode, 1);
    ASSERT_TRUE(Exchange("@I=3\n#"));
    EXPECT_EQ(form->ComboBox3->currentText(), "16Hz");
    EXPECT_EQ(form->State.ExtraDigitMode, 0);
    struct Range {
        const char* answer;
        int countsPerG;
        const char* text;
    } ranges[] = {{"@T=abc01\n#", 100, "01"}, {"@T=abc5x\n#", 2, "50"}, {"@T=abc7x\n#", 10, "10"},
                  {"@T=abc00\n#", 1, "00"},   {"@T=abc02\n#", 50, "02"}, {"@T=abc2x\n#", 5, "20"}};
    for (const auto& c : ranges) {
        ASSERT_TRUE(Exchange(c.answer));
        EXPECT_EQ(form->State.CountsPerG, c.countsPerG) << c.answer << " sent: " << peer.Take();
        EXPECT_EQ(form->ComboBox5->currentText(), c.text) << c.answer;
    }
    ASSERT_TRUE(Exchange("@T=abc09\n#"));  // "0" and another digit: unchanged
    EXPECT_EQ(form->State.CountsPerG, 5);
}

TEST_F(Parser, NegativeCountIsReportedAndMadePositive) {
    ASSERT_TRUE(Exchange("@C= -5 32000\n#"));
    EXPECT_EQ(ui.Texts("message"), QStringList{"データ数不具合"});
    EXPECT_EQ(form->State.RecordCount, 5);
    EXPECT_EQ(form->ProgressBar1->maximum(), 5);
}

TEST_F(Parser, EnqInsideALineIsAnsweredAndLeftOut) {
    peer.Clear();
    ASSERT_TRUE(Exchange("@Y=20\x05" "24\n#"));
    EXPECT_EQ(peer.Take(), "\x06");
    EXPECT_EQ(form->Label15->text(), "2024");
}

TEST_F(Parser, ThreeQueuedCommandsGoOutOnThreeHashesAndTheFourthCloses) {
    peer.Clear();
    form->LoggerSession().RequestCommand({"o", {"l05/01 12:30", "f", "t"}}, vexa::session::Clock::now());
    form->Timer1->SetInterval(0);
    ASSERT_TRUE(peer.WaitForSent("o"));
    peer.Clear();
    const char* expected[] = {"l05/01 12:30", "f", "t"};
    for (const char* e : expected) {
        peer.Write("ok\n#");
        ASSERT_TRUE(peer.WaitForSent(e)) << e;
        peer.Clear();
        EXPECT_TRUE(form->ApdComPort1.Open());
    }
    ASSERT_TRUE(AnswerAndClose("ok\n#"));
    EXPECT_EQ(form->Timer1->Interval(), 1000);
}

TEST_F(Parser, ModelLineShowsTheVersionOrRejectsTheLogger) {
    ASSERT_TRUE(Exchange("KTZ-770 Ver=20231226\n#"));
    EXPECT_FALSE(form->Button37->isHidden());
    EXPECT_EQ(form->Label41->text(), "20231226");
    EXPECT_EQ(form->State.FirmwareVersion, 20231226);
    ASSERT_TRUE(Exchange("KTZ-990 Ver=1\n#"));
    EXPECT_TRUE(form->Button37->isHidden());
    EXPECT_EQ(ui.Texts("message"), QStringList{"This is not a KTZ-770"});
}

TEST_F(Parser, MonitorLinesMoveTheBars) {
    form->Button10Click(); // the monitor on: lines are scanned, not kept
    ASSERT_TRUE(Exchange("X:  -12\nY:   35 Z:    3 p 23.5\n#"));
    EXPECT_EQ(form->Label11->text(), "  -12");
    EXPECT_EQ(form->TrackBar1->value(), 8);
    EXPECT_EQ(form->Label27->text(), "   35");
    EXPECT_EQ(form->TrackBar2->value(), 40);
    EXPECT_EQ(form->TrackBar3->value(), 23);
    EXPECT_EQ(form->Edit10->text(), "23.5C");
    EXPECT_EQ(form->Label23->text(), "3.5");
    EXPECT_FALSE(form->LoggerSession().MonitorPollPending());
}

TEST_F(Parser, LastPartialLineShowsInLabel24) {
    ASSERT_TRUE(Exchange("line one\ntail#"));
    EXPECT_EQ(form->Label24->text(), "tail");
}

// Input the logger should never send must not make the parser read or write past its buffer.
TEST_F(Parser, OverlongAndMalformedLinesAreBoundedOrIgnored) {
    const std::string longLine(300, 'A');
    ASSERT_TRUE(Exchange("@" + longLine + "\n@R\n@C\n@T=\n@A\n@M=\n@Y\nK\n@\n@R=c\n#"));
    EXPECT_EQ(form->ComboBox2->currentText(), "10sec");  // the good line after the bad ones still counts
    const auto& lines = form->Memo1->Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().size(), 127u);
}

TEST_F(Parser, SilentLoggerEndsTheExchangeAfterTheTimeout) {
    form->LoggerSession().SetExchangeTimeout(std::chrono::milliseconds(200));
    form->LoggerSession().RequestCommand({"o", {"p"}}, vexa::session::Clock::now());
    form->Timer1->SetInterval(0);
    peer.Write("partial answer without an end");
    ASSERT_TRUE(PumpUntil([&] { return !form->ApdComPort1.Open(); }, 3000));
    EXPECT_EQ(form->Timer1->Interval(), 1000);
    EXPECT_TRUE(form->LoggerSession().QueuedFollowUps().empty());
    EXPECT_TRUE(form->Label33->text().contains("No answer"));
}

} // namespace
