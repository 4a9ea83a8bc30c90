// The work area's view: lines stay bytes, the view shows them decoded and catches up in steps.
#include "app/TMemo.h"
#include "platform/TextCodec.h"
#include "protocol/RecordDecoder.h"
#include "support/Pump.h"

#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

int ViewLines(const TMemo& m) { return m.document()->toPlainText().isEmpty() ? 0 : m.document()->blockCount(); }

TEST(WorkAreaView, ManyLinesReachTheViewInStepsAndStayBytes) {
    TMemo memo;
    memo.show();
    std::vector<std::string> lines;
    for (int i = 0; i < 20000; ++i) lines.push_back("line " + std::to_string(i));
    memo.SetLines(lines);
    EXPECT_EQ(memo.Count(), 20000);  // held at once
    QCoreApplication::processEvents();
    const int afterOneStep = ViewLines(memo);
    EXPECT_GT(afterOneStep, 0);
    EXPECT_LT(afterOneStep, 20000);  // the rest follows between events
    ASSERT_TRUE(PumpUntil([&] { return ViewLines(memo) == 20000; }));
    EXPECT_EQ(memo.document()->lastBlock().text(), "line 19999");
    EXPECT_EQ(memo.Lines(), lines);
}

TEST(WorkAreaView, ClearingWhileTheViewCatchesUpEmptiesIt) {
    TMemo memo;
    memo.show();
    memo.SetLines(std::vector<std::string>(30000, "x"));
    QCoreApplication::processEvents();
    memo.Clear();
    memo.Add("only");
    memo.SyncView();
    EXPECT_EQ(memo.toPlainText(), "only");
    // A catch-up step still due from before the clearing would run among the events pending now.
    PumpPendingEvents();
    EXPECT_EQ(memo.toPlainText(), "only");
}

TEST(WorkAreaView, ShiftJisIsShownDecodedAndTheMarkSurvives) {
    TMemo memo;
    memo.show();
    const std::string katakana = "\x83\x65\x83\x58\x83\x67";  // テスト
    const std::string marked = std::string("\x81") + "024/01/02";
    memo.Add(katakana);
    memo.Add(marked);
    memo.SyncView();
    EXPECT_EQ(memo.document()->firstBlock().text(), "テスト");
    EXPECT_TRUE(memo.document()->lastBlock().text().endsWith("024/01/02"));
    EXPECT_EQ(memo.Line(1), marked);
    // The comment before a marked record is kept as its Shift-JIS bytes and shown with its arrow.
    memo.Add(std::string(vexa::IrregularRecordComment));
    memo.SyncView();
    EXPECT_EQ(memo.document()->lastBlock().text(), "//↓Irregular Record //");
    EXPECT_EQ(Utf8ToAnsi("//↓Irregular Record //"), vexa::IrregularRecordComment);
}

TEST(WorkAreaView, HiddenMemoDoesNoViewWorkUntilShown) {
    TMemo memo;
    memo.hide();
    for (int i = 0; i < 100; ++i) memo.Add("a");
    PumpPendingEvents();
    EXPECT_EQ(ViewLines(memo), 0);
    memo.show();
    memo.SyncView();
    EXPECT_EQ(ViewLines(memo), 100);
}

} // namespace
