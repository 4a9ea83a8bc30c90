// Start-up of the main window: placement, size, lists, initial control texts and visibility.
#include "app/TForm1.h"
#include "platform/ScriptedInteraction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct FormFixture : ::testing::Test {
    ScriptedInteraction ui;
    std::unique_ptr<TForm1> form;
    void Make(QSize screen = {1920, 1080}) {
        TForm1Deps deps;
        deps.interaction = &ui;
        deps.screenSize = screen;
        form = std::make_unique<TForm1>(deps);
    }
    void SetUp() override { Make(); }
    template <class W>
    W* Find(const char* name) {
        return form->findChild<W*>(QString::fromLatin1(name));
    }
};

TEST(MainWindowPosition, FollowsScreenSize) {
    struct Case {
        int w, h, left, top;
    } cases[] = {{1023, 799, 63, 10}, {1920, 1080, 240, 135}, {1024, 768, 128, 10}, {800, 600, 50, 10},
                 {1280, 800, 160, 100}};
    for (const auto& c : cases) {
        const QPoint p = MainWindowPosition(c.w, c.h);
        EXPECT_EQ(p, QPoint(c.left, c.top)) << c.w << "x" << c.h;
    }
}

TEST(FormResource, CaptionAndSizeOfTheForm) {
    QWidget w;
    Ui_TForm1 ui;
    ui.setupUi(&w);
    EXPECT_EQ(w.windowTitle(), "VEXA-RealTime");
    EXPECT_EQ(ui.Edit3->text(), "1");
}

TEST_F(FormFixture, PlacedOnTheScreenItIsGiven) {
    Make({1023, 799});
    EXPECT_EQ(form->pos(), QPoint(63, 10));
    Make({1920, 1080});
    EXPECT_EQ(form->pos(), QPoint(240, 135));
}

TEST_F(FormFixture, FitsA1024x768ScreenWithRoomForTheLowerControls) {
    Make({1024, 768});
    // Width spans the work area with equal margins; height ends 67 pixels below the top of "FILE".
    EXPECT_EQ(form->width(), 2 * form->Memo1->x() + form->Memo1->width());
    EXPECT_EQ(form->height(), form->Button11->mapTo(form.get(), QPoint(0, 0)).y() + 67);
    EXPECT_LE(form->x() + form->width(), 1024);
    EXPECT_LE(form->y() + form->height(), 768);
}

TEST_F(FormFixture, ListsAndStateAfterFormCreate) {
    ASSERT_EQ(form->ComboBox1->count(), 99);
    EXPECT_EQ(form->ComboBox1->itemText(0), "00");
    EXPECT_EQ(form->ComboBox1->itemText(9), "09");
    EXPECT_EQ(form->ComboBox1->itemText(98), "98");
    EXPECT_EQ(form->ComboBox2->count(), 15);
    EXPECT_EQ(form->ComboBox2->itemText(0), "1sec");
    EXPECT_EQ(form->ComboBox2->itemText(14), "30min");
    EXPECT_EQ(form->ComboBox2->currentText(), "10min");
    const QStringList sampling{"1mTRC", "2mTRC", "5mTRC", "10mTRC", "20mTRC",
                               "1msec", "2msec", "5msec", "10msec", "20msec"};
    ASSERT_EQ(form->ComboBox3->count(), sampling.size());
    for (int i = 0; i < sampling.size(); ++i) EXPECT_EQ(form->ComboBox3->itemText(i), sampling[i]);
    EXPECT_EQ(form->ComboBox3->currentText(), "R");
    ASSERT_EQ(form->ComboBox4->count(), 3);
    EXPECT_EQ(form->ComboBox4->itemText(0), "今すぐ開始");
    EXPECT_EQ(form->ComboBox4->itemText(1), "Sleep");
    EXPECT_EQ(form->ComboBox4->itemText(2), "予約開始");
    const QStringList ranges{"10", "20", "50", "00", "02", "01"};
    ASSERT_EQ(form->ComboBox5->count(), ranges.size());
    for (int i = 0; i < ranges.size(); ++i) EXPECT_EQ(form->ComboBox5->itemText(i), ranges[i]);
    EXPECT_FALSE(form->ComboBox5->isEnabled());

    EXPECT_FALSE(form->LoggerSession().TickSequencePending());
    EXPECT_EQ(form->State.CountsPerG, 10);
    EXPECT_EQ(std::string(form->State.IntervalCodes.begin(), form->State.IntervalCodes.end()), "ABCDEJOT^abcdef");
    EXPECT_EQ(form->State.IntervalIndex, 0);
    EXPECT_EQ(form->WindowTitleText, " UPdater20003.0De26");
    EXPECT_TRUE(form->LoggerSession().QueuedFollowUps().empty());
    EXPECT_FALSE(form->LoggerSession().ClockGreetingPending());
    EXPECT_TRUE(form->LoggerSession().MonitorCommand().empty());
    EXPECT_EQ(form->DataFileName, "");
    EXPECT_EQ(form->State.DownloadLines.size(), size_t(vexa::session::kTableEntries));
    EXPECT_EQ(form->Memo1->Count(), 0);
    // Start-up ran one discovery pass: without a port it reports the logger absent.
    EXPECT_EQ(form->Edit3->text(), "No Port");
    EXPECT_EQ(form->windowTitle(), "Can't find a VEXA UPdater20003.0De26");
    EXPECT_EQ(form->UpDown1->maximum(), 100);
    EXPECT_EQ(form->UpDown1->value(), 0);
    EXPECT_EQ(form->Timer1->Interval(), 2000);
    EXPECT_EQ(form->StartHeight, form->height());
}

// Every control the handlers use exists under its own name, with its caption and initial visibility.
TEST_F(FormFixture, ControlsHaveTheirNamesCaptionsAndVisibility) {
    struct Control {
        const char* name;
        const char* text;  // nullptr: not checked
        bool visible;
    };
    const Control buttons[] = {
        {"Button1", "e", true},        {"Button2", "新規開始", true},   {"Button3", "V3", true},
        {"Button4", "接<->続", true},  {"Button5", "T", false},         {"Button6", "保存", true},
        {"Button7", "ON", true},       {"Button8", "VER", true},        {"Button9", "検出値", true},
        {"Button10", "モニタ", true},  {"Button11", "FILE", true},      {"Button12", "グラフ", true},
        {"Button13", "DeviceManager", true}, {"Button14", "StandBy", true}, {"Button15", "情報", true},
        {"Button16", "時間表示", true}, {"Button17", "10min", true},    {"Button18", "ハザード", false},
        {"Button19", "Gravity", false}, {"Button20", "エンドレス", true}, {"Button21", "100hz", true},
        {"Button22", "やりなおし", false}, {"Button23", "表示", false}, {"Button24", "DF", true},
        {"Button25", "LCD1", true},    {"Button26", "Button26", true},  {"Button27", "SAV", true},
        {"Button28", "*", true},       {"Button29", "GET", true},       {"Button30", "取得", true},
        {"Button31", "SETBLE", false}, {"Button32", "RSTBLE", false},   {"Button33", "DR50", true},
        {"Button34", "DR10", true},    {"Button35", "N", true},         {"Button36", "L", true},
        {"Button37", "Start", false},  {"Button38", "Hello", true},     {"Button39", "Update", false},
        {"Button40", "5ms", true},     {"Button41", "Z", true},         {"Button42", "close", true},
        {"Button43", "320", true},     {"Button44", "OLD", true},       {"Button45", "S", false},
        {"Button46", "m", true},       {"Button47", "ENQ", true},       {"Button48", "L", true},
        {"Button49", "W", true},       {"Button50", "Rec", true},       {"Button51", "Y2", true},
        {"Button52", "Z2", true},      {"Button53", "X2", true},        {"Button54", "id", true},
        {"Button55", "Wid", true},     {"Button56", "GPS", true},
    };
    for (const auto& c : buttons) {
        auto* b = Find<QPushButton>(c.name);
        ASSERT_NE(b, nullptr) << c.name;
        EXPECT_EQ(b->text(), QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(!b->isHidden(), c.visible) << c.name;
    }
    const Control labels[] = {
        {"Label1", "Xaxis", false}, {"Label2", "Yaxis", false},  {"Label3", "Zaxis", false},
        {"Label11", "000", true},   {"Label13", "0000", false},  {"Label15", "20XX", false},
        {"Label16", "Year=", false}, {"Label17", "My ID", true}, {"Label18", "00", true},
        {"Label19", "BZ-ON", true}, {"Label20", "↓", true},      {"Label22", "  RUN", true},
        {"Label23", "00", true},    {"Label24", "Label24", true}, {"Label25", "00/00 00:00", true},
        {"Label26", "予約日時", true}, {"Label27", "000", true},  {"Label30", "開始設定", false},
        {"Label32", "000", true},   {"Label33", "-----", true},  {"Label36", "調整用->", true},
        {"Label37", "/", false},    {"Label39", "32000", false}, {"Label41", "--------", true},
        {"Image4", nullptr, true},  {"Image5", nullptr, false},  {"Label6", nullptr, true},
        {"Label31", nullptr, true}, {"Image1", nullptr, true},   {"Image2", nullptr, true},
        {"Image3", nullptr, true},
    };
    for (const auto& c : labels) {
        auto* l = Find<QLabel>(c.name);
        ASSERT_NE(l, nullptr) << c.name;
        if (c.text) {
            EXPECT_EQ(l->text(), QString::fromUtf8(c.text)) << c.name;
        }
        EXPECT_EQ(!l->isHidden(), c.visible) << c.name;
    }
    const Control edits[] = {
        {"Edit1", nullptr, true},  {"Edit2", nullptr, true},  {"Edit3", "No Port", true},     {"Edit4", "COMn", true},
        {"Edit5", nullptr, true},  {"Edit6", nullptr, true},  {"Edit7", nullptr, true}, {"Edit8", nullptr, true},
        {"Edit9", nullptr, true},  {"Edit10", nullptr, false}, {"Edit11", nullptr, true},
        {"Edit12", "Edit12", true}, {"Edit13", "COMn", true}, {"Edit14", nullptr, true},
        {"Edit15", nullptr, true}, {"Edit16", nullptr, true}, {"Edit17", nullptr, true},
        {"Edit19", nullptr, true}, {"Edit20", nullptr, true}, {"Edit21", nullptr, true},
    };
    for (const auto& c : edits) {
        auto* e = Find<QLineEdit>(c.name);
        ASSERT_NE(e, nullptr) << c.name;
        if (c.text) {
            EXPECT_EQ(e->text(), QString::fromUtf8(c.text)) << c.name;
        }
        EXPECT_EQ(!e->isHidden(), c.visible) << c.name;
    }
    for (const char* name : {"ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4"}) {
        auto* c = Find<QComboBox>(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_TRUE(c->isHidden()) << name;
    }
    ASSERT_NE(Find<QComboBox>("ComboBox5"), nullptr);
    EXPECT_FALSE(Find<QComboBox>("ComboBox5")->isHidden());
    for (const char* name : {"TrackBar1", "TrackBar2", "TrackBar3"}) {
        auto* t = Find<QSlider>(name);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->minimum(), 0);
        EXPECT_EQ(t->maximum(), 40);
        EXPECT_EQ(t->value(), 20);
        EXPECT_TRUE(t->isHidden());
    }
    auto* ftdi = Find<QCheckBox>("CheckBox1");
    ASSERT_NE(ftdi, nullptr);
    EXPECT_EQ(ftdi->text(), "FTDI");
    EXPECT_FALSE(ftdi->isChecked());
    ASSERT_NE(Find<QCheckBox>("CheckBox2"), nullptr);
    ASSERT_NE(Find<QListWidget>("ListBox1"), nullptr);
    ASSERT_NE(Find<QListWidget>("ListBox2"), nullptr);
    auto* progress = Find<QProgressBar>("ProgressBar1");
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isHidden());
    EXPECT_EQ(progress->maximum(), 100);
    ASSERT_NE(form->findChild<QObject*>("Memo1"), nullptr);
    ASSERT_NE(form->findChild<QObject*>("Memo2"), nullptr);
    ASSERT_NE(form->findChild<QObject*>("Timer1"), nullptr);
}

// The maintenance and axis-adjustment controls lie below the visible area; "↓" reveals them and
// "↑" hides them again.
TEST_F(FormFixture, ArrowLabelTogglesTheLowerControls) {
    form->show();
    const int start = form->height();
    auto bottomOf = [&](QWidget* w) { return w->mapTo(form.get(), QPoint(0, w->height())).y(); };
    auto topOf = [&](QWidget* w) { return w->mapTo(form.get(), QPoint(0, 0)).y(); };
    for (QWidget* w : std::initializer_list<QWidget*>{form->Button25, form->Button20, form->Button54})
        EXPECT_GE(topOf(w), start) << w->objectName().toStdString();

    form->Label20Click();
    EXPECT_EQ(form->height(), start + 160);
    EXPECT_EQ(form->Label20->text(), "↑");
    for (QWidget* w : std::initializer_list<QWidget*>{form->Button25, form->Button20, form->Button54,
                                                      form->Button50, form->Button55})
        EXPECT_LE(bottomOf(w), form->height()) << w->objectName().toStdString();

    form->Label20Click();
    EXPECT_EQ(form->height(), start);
    EXPECT_EQ(form->Label20->text(), "↓");
}

// No two visible controls of the start-up panel overlap (a tidy panel, not a pile).
TEST_F(FormFixture, VisibleControlsDoNotOverlap) {
    form->show();
    QList<QWidget*> leaves;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_") || !w->isVisibleTo(form.get()))
            continue;
        if (w->inherits("QGroupBox") || w->parentWidget() == nullptr) continue;
        // Only controls placed on the form or in a group box, not the parts inside a control.
        QWidget* p = w->parentWidget();
        if (p != form.get() && !p->inherits("QGroupBox")) continue;
        leaves << w;
    }
    ASSERT_GT(leaves.size(), 60);
    for (int i = 0; i < leaves.size(); ++i)
        for (int j = i + 1; j < leaves.size(); ++j) {
            const QRect a(leaves[i]->mapTo(form.get(), QPoint(0, 0)), leaves[i]->size());
            const QRect b(leaves[j]->mapTo(form.get(), QPoint(0, 0)), leaves[j]->size());
            EXPECT_FALSE(a.intersects(b)) << leaves[i]->objectName().toStdString() << " overlaps "
                                          << leaves[j]->objectName().toStdString();
        }
}

} // namespace
