// End to end: records downloaded from the simulated logger over a pseudo-terminal, handed to the graph
// by "グラフ", drawn, and walked at the day scale from one end of the recording to the other.
#ifdef VEXA_HAVE_SIM
#include "graph/TForm2.h"
#include "support/SimHarness.h"

#include <QDir>
#include <gtest/gtest.h>

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
    ASSERT_TRUE(PumpUntil([&] { return f.State.DownloadActive == 0 && !f.ApdComPort1.Open(); }, 20000));
    ASSERT_EQ(f.Memo1->Count(), 5003); // header, column line, the irregular mark, 5,000 records
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
#endif
