// The graph window offscreen: its controls, the hand-over from the main window's work area, parse
// errors, the time-scale list, and a download from the simulated logger drawn end to end.
#include "app/TForm1.h"
#include "graph/TForm2.h"
#include "platform/ScriptedInteraction.h"
#include "support/FakeRegistry.h"
#include "support/HandOver.h"
#include "support/Pump.h"
#ifdef VEXA_HAVE_SIM
#include "support/SimHarness.h"
#endif

#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

std::string DataLine(int day, int h, int m, int s, int ms, int x, int y, int z) {
    char line[96];
    std::snprintf(line, sizeof line, "2024/03/%02d %02d:%02d:%02d.%03d,%3d,%3d,%3d, 21.5", day, h, m, s, ms,
                  x, y, z);
    return line;
}

// The window fed from a line table of its own, as the main window's shared state feeds it.
struct GraphWindow : ::testing::Test {
    std::vector<std::string> lines;
    vexa::GraphHandover handover;
    int countsPerG = 10;
    std::string name = "SAMPLE.CSV";
    ScriptedInteraction ui;
    TForm2 form;

    void SetUp() override {
        form.SetSource({&handover, &countsPerG, &name});
        form.SetInteraction(&ui);
    }
    void Load(std::vector<std::string> data) {
        lines = {"Start Year=2024 @1G=10", "date time,x(G),y(G),z(G),temperature(C)", "x"};
        lines.insert(lines.end(), data.begin(), data.end());
        lines.insert(lines.end(), {"a", "b", "c"});
        handover = HandOver(lines);
        form.close();
        form.resize(800, 550);
        form.show();
    }
};

} // namespace

TEST_F(GraphWindow, ControlsAtTheirPlaces) {
    EXPECT_EQ(form.windowTitle(), "VEXA GRAPH");
    ASSERT_EQ(form.ComboBox1->count(), 17);
    EXPECT_EQ(form.ComboBox1->currentText(), "分");
    EXPECT_EQ(form.ComboBox1->itemText(16), " ");
    EXPECT_EQ(form.ComboBox2->currentText(), "X");
    EXPECT_EQ(form.Button2->text(), "印刷");
    EXPECT_EQ(form.Button2->pos(), QPoint(736, 15));
    EXPECT_EQ(form.ScrollBar1->minimum(), 3);
    EXPECT_EQ(form.ScrollBar1->geometry(), QRect(40, 500, 697, 9));
    EXPECT_EQ(form.Label1->pos(), QPoint(744, 454));
    const QRect visible(0, 0, 800, 550);
    for (QWidget* hidden : {static_cast<QWidget*>(form.Edit8), static_cast<QWidget*>(form.Edit1),
                            static_cast<QWidget*>(form.Button4), static_cast<QWidget*>(form.Memo1)})
        EXPECT_FALSE(visible.intersects(hidden->geometry())) << hidden->objectName().toStdString();
    EXPECT_EQ(form.Edit1->text(), "VOID");
    EXPECT_TRUE(form.CheckBox1->isChecked() && form.CheckBox2->isChecked() && form.CheckBox3->isChecked());
}

TEST_F(GraphWindow, ShowParsesAndPaintsTheCaption) {
    std::vector<std::string> data;
    for (int k = 0; k < 300; ++k)
        data.push_back(DataLine(1, 10, k / 60, k % 60, 0, k % 9, 1, 2));
    data[100] = DataLine(1, 9, 0, 0, 0, 1, 1, 1); // a step back in time
    Load(data);
    EXPECT_EQ(form.ScrollBar1->maximum(), 302);
    EXPECT_EQ(form.ScrollBar1->value(), 151); // (306 lines - 3) / 2
    EXPECT_EQ(form.Label1->text(), "1");
    EXPECT_EQ(form.Label2->text(), "03/01 10:00:00");
    EXPECT_EQ(form.Label3->text(), "03/01 10:04:59");
    EXPECT_EQ(form.Label4->text(), "03/01 10:02:28.000");

    form.ScrollBar1->setValue(28);
    form.RenderGraph();
    EXPECT_EQ(form.windowTitle(), "start= 3end=152");
    EXPECT_EQ(form.Label5->text(), "SAMPLE.CSV");
    EXPECT_EQ(form.CenterX, 388);
    EXPECT_EQ(form.CheckBox2->pos(), QPoint(68, 50));
    EXPECT_TRUE(ui.shown.empty());
}

// The scroll bar picks the centre sample; time runs to the right. Keys go to the scroll bar as a user's
// would once it has the focus.
TEST_F(GraphWindow, ScrollBarKeysAndWheelMoveThroughTimeTheNaturalWay) {
    std::vector<std::string> data;
    for (int k = 0; k < 300; ++k)
        data.push_back(DataLine(1, 10, k / 60, k % 60, 0, 1, 1, 1));
    Load(data);
    QScrollBar& bar = *form.ScrollBar1;
    const auto label = [&](int i) {
        return QString::fromStdString(std::string(form.Data.labels[size_t(i)].View()));
    };
    const struct {
        Qt::Key key;
        int from, to;
    } cases[] = {
        {Qt::Key_Right, 100, 101}, {Qt::Key_Left, 100, 99},      {Qt::Key_Right, 302, 302},
        {Qt::Key_Left, 3, 3},      {Qt::Key_PageDown, 100, 101}, {Qt::Key_PageUp, 100, 99},
        {Qt::Key_End, 100, 302},   {Qt::Key_Home, 100, 3},
    };
    for (const auto& c : cases) {
        bar.setValue(c.from);
        QTest::keyClick(&bar, c.key);
        EXPECT_EQ(bar.value(), c.to) << QKeySequence(c.key).toString().toStdString() << " from " << c.from;
        EXPECT_EQ(form.Label4->text(), label(c.to));
    }
    // The wheel turned towards the user moves later, away from the user earlier.
    for (const int delta : {-120, 120}) {
        bar.setValue(100);
        QWheelEvent wheel(QPointF(10, 4), bar.mapToGlobal(QPointF(10, 4)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&bar, &wheel);
        if (delta < 0) {
            EXPECT_GT(bar.value(), 100);
        } else {
            EXPECT_LT(bar.value(), 100);
        }
    }
}

TEST_F(GraphWindow, TooFewLinesAndBadTimeStamps) {
    Load({});
    EXPECT_FALSE(form.Parsed.HasSamples());
    EXPECT_TRUE(ui.shown.empty()); // no range error: the picture says there is nothing to draw
    form.RenderGraph();

    Load({DataLine(1, 0, 0, 0, 0, 1, 1, 1), DataLine(1, 0, 0, 1, 0, 1, 1, 1), "2024/03/01 00:0?:02.000,  1",
          DataLine(1, 0, 0, 3, 0, 1, 1, 1)});
    ASSERT_EQ(ui.Texts("error").size(), 1);
    EXPECT_TRUE(ui.Texts("error")[0].contains("line 6")) << ui.Texts("error")[0].toStdString();
    EXPECT_EQ(form.ScrollBar1->maximum(), 4);
    EXPECT_EQ(form.Label3->text(), "03/01 00:00:01");
}

TEST_F(GraphWindow, TimeScaleListAndDivisorBox) {
    std::vector<std::string> data;
    for (int k = 0; k < 50; ++k)
        data.push_back(DataLine(1, 0, k, 0, 0, 1, 1, 1));
    Load(data);
    EXPECT_EQ(form.Scale, (vexa::TimeScale{1, 1, 300}));
    form.ComboBox1->setCurrentText("0.1秒");
    form.ComboBox1Change();
    EXPECT_EQ(form.Scale, (vexa::TimeScale{100, 10, 25}));
    EXPECT_EQ(form.Edit8->text(), "25");

    form.ComboBox1->setCurrentText(" ");
    form.Edit8->setText("0");
    form.ComboBox1Change();
    EXPECT_EQ(form.Scale, (vexa::TimeScale{100, 10, 25}));
    EXPECT_EQ(ui.Texts("error").size(), 1);
    form.Edit8->setText("500");
    form.ComboBox1Change();
    EXPECT_EQ(form.Scale, (vexa::TimeScale{100, 10, 500}));

    form.ComboBox2->setCurrentText("Z");
    form.ComboBox2Change();
    EXPECT_EQ(form.SelectedAxis, 2);
}

TEST(GraphHandoverWindow, GraphButtonHandsTheWorkAreaOver) {
    QTemporaryDir dir;
    ScriptedInteraction ui;
    FakeRegistry registry;
    TForm1Deps deps;
    deps.interaction = &ui;
    deps.registry = &registry;
    deps.screenSize = QSize(1280, 1024);
    TForm1 main(deps);
    main.Timer1->SetInterval(0);
    TForm2 graph;
    main.SetGraphWindow(&graph);

    std::vector<std::string> work = {"Start Year=2024 @1G=100", "date time,x(G),y(G),z(G),temperature(C)"};
    for (int k = 0; k < 40; ++k)
        work.push_back(DataLine(2, 1, 0, k, 0, 50, 0, -50));
    work.insert(work.begin() + 10, "//\x81\xab"
                                   "Irregular Record //");
    main.Memo1->SetLines(work);
    main.Button12->click();
    EXPECT_TRUE(graph.isVisible());
    EXPECT_EQ(graph.size(), QSize(800, 550));
    EXPECT_EQ(main.State.CountsPerG, 100);
    EXPECT_EQ(main.GraphLines.LineCount(), 42u); // the comment line is left out
    EXPECT_EQ(graph.Parsed.LastSample(), 38);
    EXPECT_TRUE(ui.shown.empty());

    // A work area that does not start with "Start" leaves everything as it was.
    main.Memo1->SetLines({"nonsense", "x"});
    main.Button12Click();
    EXPECT_EQ(main.GraphLines.LineCount(), 42u);
}
