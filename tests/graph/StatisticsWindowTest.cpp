// The selection by mouse press, the statistics window's placement and texts, and printing the graph to a
// PDF file through the print dialog's seam.
#include "graph/TForm2.h"
#include "graph/TForm4.h"
#include "platform/ScriptedInteraction.h"
#include "support/HandOver.h"
#include "support/HostTool.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The print dialog answered by printing to a PDF file.
struct PdfInteraction : ScriptedInteraction {
    QString path;
    bool PrintDialog(QPrinter& printer) override {
        ScriptedInteraction::PrintDialog(printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        // The user's choice in the dialog: landscape, so the 8.3-inch-wide window fits on A4.
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    }
};

struct Statistics : ::testing::Test {
    std::vector<std::string> lines;
    vexa::GraphHandover handover;
    int countsPerG = 100;
    std::string name = "DATA";
    PdfInteraction ui;
    TForm2 graph;
    TForm4 stats;

    // 1-s samples from 10:00:00 with X = 12, -5, 30 repeating; the window at (100, 300).
    void SetUp() override {
        lines = {"Start Year=2024 @1G=100", "cols", "x"};
        const int x[] = {12, -5, 30};
        for (int k = 0; k < 300; ++k) {
            char line[96];
            std::snprintf(line, sizeof line, "2024/05/01 10:%02d:%02d.000,%3d,  1,%3d, 22.0", k / 60, k % 60,
                          x[k % 3], 3 * x[k % 3]);
            lines.push_back(line);
        }
        lines.insert(lines.end(), {"a", "b", "c"});
        handover = HandOver(lines, countsPerG);
        graph.SetSource({&handover, &countsPerG, &name});
        graph.SetInteraction(&ui);
        graph.SetStatisticsWindow(&stats);
        stats.SetGraphWindow(&graph);
        graph.resize(800, 550);
        graph.move(100, 300);
        graph.show();
        graph.ScreenHeight = 768;
        graph.RenderGraph(); // finds the centre line
    }
    // A press `dx` pixels right of the centre line, then the paint that finds the selection.
    void Press(int dx) {
        QTest::mousePress(&graph, Qt::LeftButton, {}, QPoint(graph.CenterX + dx, 300));
        graph.RenderGraph();
        stats.Timer1Timer();
    }
};

} // namespace

TEST_F(Statistics, APressRightOfTheCentreShowsTheValuesAndALeftOneHidesThem) {
    EXPECT_EQ(stats.windowTitle(), "計算結果");
    EXPECT_EQ(stats.size(), QSize(263, 201)); // two lines more than the six
    EXPECT_TRUE(stats.Timer1->isActive());
    EXPECT_EQ(stats.Timer1->interval(), 500);

    // The centre sample is 151 (X = -5 at 10:02:28); 1 s is 3.33 px, so a press 11 px right takes
    // samples 151..153 (X = -5, 30, 12) and ends at 154, whose successor lies beyond the press.
    Press(11);
    ASSERT_TRUE(stats.isVisible());
    EXPECT_EQ(stats.pos(), QPoint(100 + 800 / 3, 300 - 201 + 20));
    EXPECT_EQ(graph.SelectionStart, 151);
    EXPECT_EQ(graph.SelectionEnd, 154);
    EXPECT_EQ(stats.Label1->text(), "開始:05/01 10:02:28.000");
    EXPECT_EQ(stats.Label2->text(), "終了:05/01 10:02:31.000");
    EXPECT_EQ(stats.Label3->text(), "●最大値  :   0.300g    (30)dgt");
    EXPECT_EQ(stats.Label4->text(), "●最小値  : - 0.050g    (-5)dgt");
    EXPECT_EQ(stats.Label7->text(), "●平均値  :   0.120g    (12)dgt");
    EXPECT_EQ(stats.Label5->text(), "●データ数  : 3個");
    // Below them, in g of 100 counts: the RMS of X -5, 30, 12 is sqrt(1069 / 3) / 100, of Y 1, 1, 1 is
    // 0.01, of Z -15, 90, 36 is sqrt(9621 / 3) / 100; the peak |a| is sqrt(30² + 1² + 90²) / 100 at 10:02:29.
    EXPECT_EQ(stats.Label8->text(), "●RMS    : X 0.189 Y 0.010 Z 0.566 g");
    EXPECT_EQ(stats.Label9->text(), "●|a|最大 :  0.949g  (10:02:29.000)");
    if (qEnvironmentVariableIsSet("VEXA_SCREENSHOT_DIR"))
        stats.grab().save(qEnvironmentVariable("VEXA_SCREENSHOT_DIR") + "/statistics.png");

    // The axis list recomputes from Z at the next paint.
    graph.ComboBox2->setCurrentText("Z");
    graph.ComboBox2Change();
    graph.RenderGraph();
    EXPECT_EQ(graph.Stats.max, 90);
    EXPECT_EQ(graph.Stats.min, -15);

    // The eight lines go to the clipboard as plain text, top to bottom.
    stats.Timer1Timer();
    stats.CopyToClipboard();
    const QStringList copied = QApplication::clipboard()->text().split('\n');
    ASSERT_EQ(copied.size(), 8);
    EXPECT_EQ(copied[0], stats.Label1->text());
    EXPECT_EQ(copied[2], stats.Label7->text());
    EXPECT_EQ(copied[5], stats.Label5->text());
    EXPECT_EQ(copied[6], stats.Label8->text());
    EXPECT_EQ(copied[7], "●|a|最大 :  0.949g  (10:02:29.000)");

    Press(0);
    EXPECT_FALSE(stats.isVisible());
    EXPECT_EQ(graph.SelectionWidth, 0);
}

TEST_F(Statistics, PlacementOnASmallScreenScrollingAndClose) {
    graph.ScreenHeight = 600;
    Press(11);
    EXPECT_EQ(stats.pos(), QPoint(100 + 800 / 6, 300 + 10));

    // Scrolling keeps the press's start text and measures from the new centre sample.
    graph.ScrollBar1->setValue(152);
    graph.RenderGraph();
    stats.Timer1Timer();
    EXPECT_EQ(stats.Label1->text(), "開始:05/01 10:02:28.000");
    EXPECT_EQ(graph.SelectionStart, 152);
    EXPECT_EQ(stats.Label7->text(), "●平均値  :   0.120g    (12)dgt");

    // A baseline in the hidden box replaces the mean; a double click puts "VOID" back.
    graph.Edit1->setText("5");
    graph.RenderGraph();
    EXPECT_EQ(graph.Stats.mean, 5);
    QTest::mouseDClick(graph.Edit1, Qt::LeftButton);
    EXPECT_EQ(graph.Edit1->text(), "VOID");

    graph.close();
    EXPECT_FALSE(stats.isVisible());
}

TEST_F(Statistics, PrintingGivesOnePageWithTheWindowAtItsSizeInInches) {
    QTemporaryDir dir;
    ui.path = dir.filePath("graph.pdf");
    graph.Button2Click();
    EXPECT_TRUE(graph.Button2->isVisible());
    ASSERT_EQ(ui.Texts("print").size(), 1);

    const HostToolRun info = RunHostTool("pdfinfo", {ui.path});
    ASSERT_TRUE(info.finished);
    EXPECT_TRUE(QString::fromUtf8(info.output).contains(QRegularExpression("Pages:\\s+1\\n")));

    // At 96 dots per inch the window's pixels are the page's: the zero line is 800 dots long, the
    // doubled axis 550 dots high, and the print button is not on the paper.
    ASSERT_TRUE(
        RunHostTool("pdftoppm", {"-r", "96", "-png", "-singlefile", ui.path, dir.filePath("page")}).finished);
    QImage page(dir.filePath("page.png"));
    ASSERT_FALSE(page.isNull());
    page = page.convertToFormat(QImage::Format_RGB32);
    page.save(qEnvironmentVariable("VEXA_SCREENSHOT_DIR", dir.path()) + "/printed-page.png");
    auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
    // The doubled vertical axis is the darkest column near the left edge, the zero line the darkest row.
    auto darkest = [&](int count, int length, auto at) {
        int best = 0, bestCount = -1;
        for (int k = 0; k < count; ++k) {
            int n = 0;
            for (int j = 0; j < length; ++j)
                n += at(k, j);
            if (n > bestCount) best = k, bestCount = n;
        }
        return best;
    };
    const int axisX = darkest(120, page.height(), [&](int x, int y) { return dark(x, y); });
    const int zeroY = darkest(page.height(), page.width(), [&](int y, int x) { return dark(x, y); });
    auto extent = [&](int length, auto at) {
        int first = -1, last = -1;
        for (int j = 0; j < length; ++j)
            if (at(j)) last = j, first = first < 0 ? j : first;
        return last - first + 1;
    };
    EXPECT_NEAR(extent(page.height(), [&](int y) { return dark(axisX, y); }), 550, 2);
    EXPECT_NEAR(extent(page.width(), [&](int x) { return dark(x, zeroY); }), 800, 2);
    int axisTop = 0;
    while (!dark(axisX, axisTop))
        ++axisTop;
    const int left = axisX - 28;
    int buttonInk = 0;
    for (int y = axisTop + 15; y < axisTop + 37; ++y)
        for (int x = left + 736; x < left + 786; ++x)
            buttonInk += qGray(page.pixel(x, y)) < 200;
    EXPECT_EQ(buttonInk, 0);
}

TEST_F(Statistics, ACancelledPrintDialogPrintsNothing) {
    ScriptedInteraction cancel;
    graph.SetInteraction(&cancel);
    graph.Button2Click();
    EXPECT_EQ(cancel.Texts("print").size(), 1);
    EXPECT_TRUE(graph.Button2->isVisible());
}
