// The work area's view: a view of a recording's lines, which stay bytes; shown decoded, selected and copied.
#include "app/TMemo.h"
#include "platform/TextCodec.h"
#include "protocol/RecordDecoder.h"
#include "support/Pump.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct WorkAreaView : ::testing::Test {
    TMemo memo;
    void SetUp() override {
        memo.resize(400, 200);
        memo.show();
    }
    int Rows() const { return memo.viewport()->height() / memo.fontMetrics().lineSpacing(); }
    QPoint AtLine(int i) const {
        return QPoint(10, (i - memo.FirstShownLine()) * memo.fontMetrics().lineSpacing() + 2);
    }
};

TEST_F(WorkAreaView, TensOfThousandsOfLinesAreShownAtOnceAndStayBytes) {
    std::vector<std::string> lines;
    for (int i = 0; i < 72000; ++i)
        lines.push_back("line " + std::to_string(i));
    memo.SetLines(lines);
    // No catching up between events: the whole range is there at once, the view at the top.
    EXPECT_EQ(memo.Count(), 72000);
    EXPECT_EQ(memo.FirstShownLine(), 0);
    EXPECT_EQ(memo.verticalScrollBar()->maximum(), 72000 - Rows());
    memo.verticalScrollBar()->setValue(memo.verticalScrollBar()->maximum());
    EXPECT_EQ(memo.LastShownLine(), 71999);
    EXPECT_EQ(memo.ShownLine(71999), "line 71999");
    EXPECT_EQ(memo.Lines(), lines);
}

TEST_F(WorkAreaView, ShiftJisIsShownDecodedAndTheMarkSurvives) {
    const std::string katakana = "\x83\x65\x83\x58\x83\x67"; // テスト
    const std::string marked = std::string("\x81") + "024/01/02";
    memo.Add(katakana);
    memo.Add(marked);
    EXPECT_EQ(memo.ShownLine(0), "テスト");
    EXPECT_TRUE(memo.ShownLine(1).endsWith("024/01/02"));
    EXPECT_EQ(memo.Line(1), marked);
    // The comment before a marked record is kept as its Shift-JIS bytes and shown with its arrow.
    memo.Add(std::string(vexa::IrregularRecordComment));
    EXPECT_EQ(memo.ShownLine(2), "//↓Irregular Record //");
    EXPECT_EQ(Utf8ToAnsi("//↓Irregular Record //"), vexa::IrregularRecordComment);
    EXPECT_EQ(memo.toPlainText(), "テスト\n" + memo.ShownLine(1) + "\n//↓Irregular Record //");
}

TEST_F(WorkAreaView, AddedLinesFollowTheEndOnlyWhileItIsShown) {
    for (int i = 0; i < 100; ++i)
        memo.Add("a" + std::to_string(i));
    EXPECT_EQ(memo.LastShownLine(), 99); // a log: the newest line stays in view
    memo.verticalScrollBar()->setValue(10);
    memo.Add("later");
    EXPECT_EQ(memo.FirstShownLine(), 10); // read further up: the place is kept
    // Filled while hidden (as a download fills it), it is laid out for every line once shown, at the top.
    memo.hide();
    memo.Clear();
    for (int i = 0; i < 500; ++i)
        memo.Add("b");
    memo.show();
    EXPECT_EQ(memo.verticalScrollBar()->maximum(), 500 - Rows());
    EXPECT_EQ(memo.FirstShownLine(), 0);
}

TEST_F(WorkAreaView, LinesAreSelectedByPressAndCopiedAsText) {
    memo.SetLines({"Start Year=2024 @1G=10", "\x83\x65\x83\x58\x83\x67", "two", "three", "four"});
    QTest::mouseClick(memo.viewport(), Qt::LeftButton, Qt::NoModifier, AtLine(1));
    QTest::mouseClick(memo.viewport(), Qt::LeftButton, Qt::ShiftModifier, AtLine(3));
    EXPECT_EQ(memo.SelectionFirst(), 1);
    EXPECT_EQ(memo.SelectionLast(), 3);
    QTest::keyClick(&memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "テスト\ntwo\nthree");
    // The selected rows are painted in the highlight colour.
    const QImage picture = memo.viewport()->grab().toImage();
    const QColor highlight = memo.palette().color(QPalette::Highlight);
    EXPECT_EQ(picture.pixelColor(memo.viewport()->width() - 2, AtLine(2).y()), highlight);
    EXPECT_NE(picture.pixelColor(memo.viewport()->width() - 2, AtLine(4).y()), highlight);

    QTest::keyClick(&memo, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(memo.SelectedText().count('\n'), 4);
    // New content drops the selection.
    memo.SetLines({"other"});
    EXPECT_EQ(memo.SelectionFirst(), -1);
}

TEST_F(WorkAreaView, ASnapshotStaysAsItWasWhileTheWorkAreaChanges) {
    memo.SetLines({"Start Year=2024 @1G=10", "date time,x(G),y(G),z(G),temperature(C)",
                   "2024/01/02 12:34:56.750,  0, -1, 10, 25.5"});
    ASSERT_EQ(memo.Recording().Samples().size(), 1u);
    const auto snapshot = memo.Snapshot();
    memo.Add("a reply");
    memo.AppendRecording(vexa::Recording(*snapshot));
    EXPECT_EQ(snapshot->LineCount(), 3u);
    EXPECT_EQ(memo.Count(), 7);
    EXPECT_EQ(memo.Recording().Samples().size(), 2u);
    memo.Clear();
    EXPECT_EQ(snapshot->Samples().size(), 1u);
    EXPECT_EQ(snapshot->Line(2), "2024/01/02 12:34:56.750,  0, -1, 10, 25.5");
}

} // namespace
