// End to end: records downloaded from the simulated logger over a pseudo-terminal, handed to the graph
// by "グラフ", drawn, and walked at the day scale from one end of the recording to the other.
#ifdef VEXA_HAVE_SIM
#include "graph/TForm2.h"
#include "graph/TForm4.h"
#include "graph/TForm7.h"
#include "sim/Motion.h"
#include "support/SimHarness.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace {

int CountColour(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// Pictures for a person to look at, when VEXA_SCREENSHOT_DIR names a directory.
void Keep(QWidget& window, const char* name) {
    const QByteArray dir = qgetenv("VEXA_SCREENSHOT_DIR");
    if (!dir.isEmpty()) window.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name));
}

} // namespace

TEST(GraphEndToEnd, DownloadedRecordsWithAnIrregularOneAreDrawnToTheEnd) {
    vexa::sim::SimConfig config;
    config.recordCount = 5000;
    config.start = "2024/06/01 08:00:00";
    config.irregular = {1234};
    config.settings.intervalCode = 'a';
    SimHarness h(config);
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle(5000));
    f.Timer1->SetInterval(0);
    TForm2 graph;
    f.SetGraphWindow(&graph);

    f.Button30Click();
    ASSERT_TRUE(PumpUntil([&] { return !h.Downloading() && !f.ApdComPort1.Open(); }, 20000));
    ASSERT_EQ(f.Memo1->Count(), 5003); // header, column line, the irregular mark, 5,000 records
    Keep(f, "work-area-download.png");
    h.ui.Clear();

    f.Button12->click();
    ASSERT_TRUE(graph.isVisible());
    // Every record but the first and the last three is a sample; the comment line is not in the way.
    EXPECT_EQ(graph.Parsed.LastSample(), 4998);
    EXPECT_TRUE(graph.Parsed.error.empty()) << graph.Parsed.error;
    EXPECT_TRUE(h.ui.Texts("error").isEmpty());
    EXPECT_EQ(graph.Label1->text(), "0"); // the irregular record repeats a time; none goes back

    const QImage first = graph.RenderGraph();
    EXPECT_GT(CountColour(first, qRgb(0xFF, 0, 0)), 300); // temperature
    EXPECT_TRUE(graph.windowTitle().startsWith("start= "));
    Keep(graph, "graph-middle.png");

    graph.ComboBox1->setCurrentText("日");
    graph.ComboBox1Change();
    for (int end : {graph.ScrollBar1->minimum(), graph.ScrollBar1->maximum()}) {
        graph.ScrollBar1->setValue(end);
        const QImage picture = graph.RenderGraph();
        // 83 minutes of 1-s records take two pixels at a day per division: both walks reach the ends.
        const bool atStart = end == 3;
        EXPECT_EQ(graph.windowTitle(), "start= 3end=4998");
        EXPECT_GT(CountColour(picture, qRgb(0xFF, 0, 0)), 0);
        EXPECT_EQ(graph.Label4->text().toStdString(), std::string(graph.Data.labels[size_t(end)].View()));
        Keep(graph, atStart ? "graph-day-start.png" : "graph-day-end.png");
    }
}

// A parcel's download (the simulator's shocks) through "グラフ" and the right-click menu: the event list
// holds every run of records at or above 3 g that the graph draws, worked out here from the simulator's
// own motion, choosing the largest centres the graph on it, and the report of the data shown says so.
TEST(GraphEndToEnd, AParcelsShocksListedCentredAndReported) {
    vexa::sim::SimConfig config;
    config.motion = config.stream.motion = vexa::sim::Motion::Shocks;
    config.recordCount = 6000;
    config.start = "2024/06/01 08:00:00";
    SimHarness h(config);
    TForm1& f = h.Open();
    ASSERT_TRUE(h.WaitLinkedAndIdle(5000));
    f.Timer1->SetInterval(0);
    TForm2 graph;
    TForm4 stats;
    graph.SetInteraction(&h.ui);
    graph.SetStatisticsWindow(&stats);
    stats.SetGraphWindow(&graph);
    f.SetGraphWindow(&graph);
    f.Button30Click();
    ASSERT_TRUE(PumpUntil([&] { return !h.Downloading() && !f.ApdComPort1.Open(); }, 20000));
    f.Button12->click();
    ASSERT_TRUE(graph.isVisible());
    ASSERT_EQ(graph.Parsed.LastSample(), 6000 - 2); // records 1 .. 5996 on graph lines 3 .. 5998

    // The oracle: runs of drawn records whose magnitude reaches 3 g (the median of about 1 g plus 2 g);
    // the shocks are 577 records apart, so no two runs join. Per run its first sample of largest size.
    struct Run {
        long peakAt;
        double peak;
    };
    std::vector<Run> runs;
    bool inRun = false;
    for (long i = 1; i <= 5996; ++i) {
        const vexa::sim::MotionValues v = vexa::sim::ShockRecord(i);
        const double g = std::sqrt(double(v.x * v.x + v.y * v.y + v.z * v.z)) / 10;
        if (g < 3.0) {
            inRun = false;
            continue;
        }
        if (!inRun) runs.push_back({i, g});
        inRun = true;
        if (g > runs.back().peak) runs.back() = {i, g};
    }
    ASSERT_GE(runs.size(), 7u);
    ASSERT_LE(runs.size(), 20u); // the report lists them all

    const auto openMenu = [&](const char* item) {
        const QPoint at(400, 300);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, graph.mapToGlobal(at));
        QCoreApplication::sendEvent(&graph, &event);
        auto* menu = graph.findChild<QMenu*>(QStringLiteral("PopupMenu1"));
        auto* action = menu->findChild<QAction*>(QString::fromUtf8(item));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    };
    openMenu("MenuItem1");
    TForm7* list = graph.Form7;
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->ListView1->rowCount(), int(runs.size()));
    std::size_t largest = 0;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const vexa::analysis::ShockEvent* e = list->EventOfRow(int(k));
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(graph.Data.labels[std::size_t(runs[k].peakAt + 2)].View(),
                  list->ListView1->item(int(k), TForm7::kPeakAt)->text().mid(5).toStdString());
        EXPECT_NEAR(e->peak, runs[k].peak, 1e-9) << k;
        if (runs[k].peak > runs[largest].peak) largest = k;
    }
    const QRect row =
        list->ListView1->visualRect(list->ListView1->model()->index(int(largest), TForm7::kStart));
    QTest::mouseClick(list->ListView1->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(graph.ScrollBar1->value(), runs[largest].peakAt + 2);
    // A selection from the peak on, as a person makes one to read the figures off: the nearest press
    // that takes at least five records, at ten minutes a division.
    graph.ComboBox1->setCurrentText("10分");
    graph.ComboBox1Change();
    graph.RenderGraph();
    for (int dx = 2; dx < graph.width() - graph.CenterX; dx += 2) {
        QTest::mousePress(&graph, Qt::LeftButton, {}, QPoint(graph.CenterX + dx, 300));
        graph.RenderGraph();
        if (graph.SelectionEnd - graph.SelectionStart >= 5) break;
    }
    ASSERT_GE(graph.SelectionEnd - graph.SelectionStart, 5);
    stats.Timer1Timer();
    EXPECT_NEAR(graph.SelectionFigures.vectorMax, runs[largest].peak, 1e-9);
    Keep(graph, "parcel-graph-on-largest-shock.png");
    Keep(*list, "parcel-event-list.png");
    Keep(stats, "parcel-statistics.png");

    QTemporaryDir dir;
    const QByteArray keep = qgetenv("VEXA_SCREENSHOT_DIR");
    const QString pdf =
        QDir(keep.isEmpty() ? dir.path() : QString::fromLocal8Bit(keep)).filePath("parcel-report.pdf");
    h.ui.saveAnswers.push_back(pdf);
    openMenu("MenuItem2");
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    text.waitForFinished(60000);
    const QString report = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(report.contains(QStringLiteral("%1 events, all listed").arg(runs.size())))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("samples 2 to 5997 of 6000, as graphed")))
        << report.toStdString();
    // The list open with its default threshold: the report names it the default, not a given one.
    EXPECT_TRUE(report.contains(QStringLiteral("Threshold 3.00 g: the median"))) << report.toStdString();
}
#endif
