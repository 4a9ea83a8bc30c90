// The graph's right-click menu, clicked through by its objects' names: the event list of the data shown
// (choosing an event centres the graph on its peak), the PDF report of the data shown through the save
// dialog, and the list following the graph when the graph is shown with new data.
#include "graph/TForm2.h"
#include "graph/TForm7.h"
#include "platform/ScriptedInteraction.h"
#include "protocol/CsvLine.h"
#include "protocol/RecordDecoder.h"
#include "support/HandOver.h"
#include "support/HostTool.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// 1-s samples from 2024/05/01 09:00:00 at rest (counts per G 10), with single-sample shocks on X of the
// given sizes (counts) at the given samples.
std::vector<std::string> Lines(int count, const std::vector<std::pair<int, int>>& shocks) {
    std::vector<std::string> lines = {"Start Year=2024 @1G=10", "date time,x(G),y(G),z(G),temperature(C)"};
    for (int k = 0; k < count; ++k) {
        vexa::Sample s;
        s.SetStamp({2024, 5, 1, 9 + k / 3600, k / 60 % 60, k % 60, 0, 0});
        s.z = 10;
        for (auto [at, x] : shocks)
            if (k == at) s.x = x;
        s.temperature = vexa::Temperature::FromRecord(21, false, '5');
        lines.push_back(vexa::FormatCsvLine(s));
    }
    return lines;
}

struct GraphMenu : ::testing::Test {
    vexa::GraphHandover handover;
    int countsPerG = 10;
    std::string name = "/data/TRIP.CSV";
    ScriptedInteraction ui;
    TForm2 graph;

    void SetUp() override {
        graph.SetSource({&handover, &countsPerG, &name});
        graph.SetInteraction(&ui);
    }
    // As the graph button does: a new data set closes the window and shows it again.
    void Show(std::vector<std::string> data) {
        handover = HandOver(std::move(data));
        graph.close();
        graph.resize(800, 550);
        graph.show();
    }
    // A right click at the centre of the graph, then a click on the named item of the menu it opens.
    void Choose(const char* item) {
        const QPoint at(400, 300);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, graph.mapToGlobal(at));
        QCoreApplication::sendEvent(&graph, &event);
        auto* menu = graph.findChild<QMenu*>(QStringLiteral("PopupMenu1"));
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(menu->isVisible());
        auto* action = menu->findChild<QAction*>(QString::fromUtf8(item));
        ASSERT_NE(action, nullptr) << item;
        ASSERT_TRUE(action->isEnabled()) << item;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        EXPECT_FALSE(menu->isVisible());
    }
    TForm7* List() { return graph.findChild<TForm7*>(QStringLiteral("TForm7")); }
};

QString PdfText(const QString& pdf) {
    return QString::fromUtf8(RunHostTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).output);
}

} // namespace

TEST_F(GraphMenu, EventListOfTheDataShownCentresTheGraphOnAChosenPeak) {
    // Shocks of 4, 9 and 6 g at samples 50, 400 and 700 (graph lines 52, 402, 702); one of 8 g on the
    // first data line and one of 7 g on the last, which the graph does not draw, are not listed. An
    // irregular record's comment before sample 300 is not handed over: from there graph line i is the
    // recording's line i + 1, and the list still centres on graph lines.
    std::vector<std::string> data = Lines(1000, {{0, 80}, {50, 40}, {400, 90}, {700, 60}, {999, 70}});
    data.insert(data.begin() + 2 + 300, std::string(vexa::IrregularRecordComment));
    Show(std::move(data));
    Choose("MenuItem1");
    TForm7* list = List();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->Edit1->text(), QStringLiteral("3.0"));
    ASSERT_EQ(list->ListView1->rowCount(), 3);
    EXPECT_EQ(list->ListView1->item(1, TForm7::kPeakAt)->text(), QStringLiteral("2024/05/01 09:06:40.000"));
    EXPECT_EQ(list->ListView1->item(1, TForm7::kPeak)->text(), QStringLiteral("9.055"));

    // The largest first by the peak column, then the second row: the 6-g shock at graph line 702.
    QHeaderView* header = list->ListView1->horizontalHeader();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    clickHeader(TForm7::kPeak);
    if (header->sortIndicatorOrder() == Qt::AscendingOrder) clickHeader(TForm7::kPeak);
    const QRect row = list->ListView1->visualRect(list->ListView1->model()->index(1, TForm7::kStart));
    QTest::mouseClick(list->ListView1->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(graph.ScrollBar1->value(), 702);
    EXPECT_EQ(graph.Label4->text(), QStringLiteral("05/01 09:11:40.000"));

    // A new data set closes the list with the graph; opened again, it lists the new data, and a parse
    // again with the list open lists afresh (the list never reads the data that went).
    Show(Lines(300, {{100, 50}}));
    EXPECT_FALSE(list->isVisible());
    graph.MenuItem1Click();
    ASSERT_EQ(list->ListView1->rowCount(), 1);
    EXPECT_EQ(list->ListView1->item(0, TForm7::kPeakAt)->text(), QStringLiteral("2024/05/01 09:01:40.000"));
    graph.Button4Click(); // the parse again, as the enlarged window's button does, the list open
    ASSERT_EQ(list->ListView1->rowCount(), 1);
    EXPECT_EQ(list->ListView1->item(0, TForm7::kPeak)->text(), QStringLiteral("5.099"));
}

TEST_F(GraphMenu, ReportOfTheDataShownWithTheListsThresholdOrAMessageWhenItCannotBeWritten) {
    Show(Lines(2000, {{50, 40}, {400, 90}, {700, 60}}));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("trip report.pdf"));

    // The list's threshold, edited to 5 g, is the report's.
    Choose("MenuItem1");
    List()->Edit1->setText(QStringLiteral("5"));
    List()->Button1->click();
    ui.saveAnswers.push_back(pdf);
    Choose("MenuItem2");
    ASSERT_EQ(ui.Texts(QStringLiteral("save")), QStringList{QStringLiteral("/data/TRIP.pdf")});
    EXPECT_EQ(ui.shown.back().file.defaultSuffix, QStringLiteral("pdf"));
    EXPECT_TRUE(ui.shown.back().file.overwritePrompt);
    ASSERT_TRUE(QFile::exists(pdf)) << ui.Texts(QStringLiteral("box")).join(' ').toStdString();
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("/data/TRIP.CSV"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Threshold 5.00 g (given)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("2 events, all listed"))) << text.toStdString();
    // The graph draws lines 3 .. 1998: the recording's samples 2 to 1997 of 2000.
    EXPECT_TRUE(text.contains(QStringLiteral("samples 2 to 1997 of 2000, as graphed"))) << text.toStdString();

    // A place that cannot be written: a message, and no file.
    ui.Clear();
    const QString nowhere = dir.filePath(QStringLiteral("missing/report.pdf"));
    ui.saveAnswers.push_back(nowhere);
    Choose("MenuItem2");
    const QStringList boxes = ui.Texts(QStringLiteral("box"));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("レポートを書けませんでした。")))
        << boxes[0].toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));

    // A cancelled dialog writes nothing and says nothing.
    ui.Clear();
    Choose("MenuItem2");
    EXPECT_EQ(ui.Texts(QStringLiteral("save")).size(), 1);
    EXPECT_TRUE(ui.Texts(QStringLiteral("box")).isEmpty());
}
