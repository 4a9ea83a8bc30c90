// The interface language: Japanese with no choice made, whatever the locale; English with --lang en or
// from the window's menu, at once and remembered; every text of the six windows in the chosen language,
// the forms' own texts exactly as written or as translated, and English captions that fit their controls.
#include "app/AppWindows.h"
#include "app/CommandLine.h"
#include "app/Language.h"
#include "app/MainWindowLanguage.h"
#include "platform/ScriptedInteraction.h"
#include "platform/ToolSettings.h"
#include "protocol/RecordDecoder.h"
#include "protocol/StatusReply.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <vector>

namespace {

// Kana, kanji, CJK punctuation and full-width forms: what an English reader cannot read.
bool HasJapanese(const QString& text) {
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) ||
            (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF) || (u >= 0x31F0 && u <= 0x31FF))
            return true;
    }
    return false;
}

// One text a person sees: where, and the control that shows it (for its size).
struct Shown {
    QString text;
    QWidget* widget = nullptr;
    enum Kind { Caption, Item, ToolTip, Title, Menu } kind = Caption;
};
using ShownTexts = std::map<QString, Shown>; // "TForm1/Button4.text" -> ...

void AddActions(ShownTexts& out, const QString& where, const QList<QAction*>& actions) {
    for (QAction* a : actions) {
        const QString key = where + "/" + (a->objectName().isEmpty() ? a->text() : a->objectName());
        if (!a->text().isEmpty()) out[key + ".text"] = {a->text(), nullptr, Shown::Menu};
        if (a->menu()) AddActions(out, key, a->menu()->actions());
    }
}

// Every text of a window that a person reads: captions, list items, tool tips, titles, header cells and
// menu entries, shown now or in some state of the window (hidden controls included). What a person
// types or the logger sends (edit fields, the work area, the port lists) is data and not collected.
ShownTexts TextsOf(QWidget& window) {
    ShownTexts out;
    const QString w = window.metaObject()->className();
    out[w + ".windowTitle"] = {window.windowTitle(), &window, Shown::Title};
    AddActions(out, w, window.actions());
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* c : widgets) {
        if (c->objectName().isEmpty() || c->objectName().startsWith("qt_")) continue;
        const QString key = w + "/" + c->objectName();
        if (!c->toolTip().isEmpty()) out[key + ".toolTip"] = {c->toolTip(), c, Shown::ToolTip};
        if (auto* b = qobject_cast<QAbstractButton*>(c)) out[key + ".text"] = {b->text(), b, Shown::Caption};
        if (auto* l = qobject_cast<QLabel*>(c)) out[key + ".text"] = {l->text(), l, Shown::Caption};
        if (auto* g = qobject_cast<QGroupBox*>(c)) out[key + ".title"] = {g->title(), g, Shown::Caption};
        if (auto* m = qobject_cast<QMenu*>(c)) AddActions(out, key, m->actions());
        if (auto* box = qobject_cast<QComboBox*>(c))
            for (int i = 0; i < box->count(); ++i)
                out[key + ".item" + QString::number(i)] = {box->itemText(i), box, Shown::Item};
        if (auto* t = qobject_cast<QTableWidget*>(c))
            for (int i = 0; i < t->columnCount(); ++i)
                if (t->horizontalHeaderItem(i))
                    out[key + ".header" + QString::number(i)] = {t->horizontalHeaderItem(i)->text(), t,
                                                                 Shown::Caption};
    }
    return out;
}

// The language entry names itself in both languages and each language in its own.
bool NamesALanguage(const QString& key) {
    return key.contains("/ActionLanguage");
}

// A translatable string of a form file: the control, the property (or list item) and the text.
struct FormText {
    QString window, control, property, text, disambiguation;
    int item = -1;
};

// The forms' strings as written, leaving out those marked not to be translated (data and state).
std::vector<FormText> TranslatableFormTexts() {
    const char* files[] = {"src/app/TForm1.ui",   "src/graph/TForm2.ui",   "src/dialogs/TForm3.ui",
                           "src/graph/TForm4.ui", "src/dialogs/TForm5.ui", "src/dialogs/TForm6.ui"};
    std::vector<FormText> out;
    for (const char* name : files) {
        QFile file(QStringLiteral(VEXA_SOURCE_DIR "/") + name);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QXmlStreamReader xml(&file);
        QString window;
        std::vector<QString> controls; // the <widget> elements open around the reader
        std::vector<int> items;        // item count per open widget
        QString property;
        bool inItem = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                const auto n = xml.name();
                if (n == u"class" && window.isEmpty())
                    window = xml.readElementText();
                else if (n == u"widget") {
                    controls.push_back(xml.attributes().value("name").toString());
                    items.push_back(0);
                } else if (n == u"item") {
                    inItem = true;
                } else if (n == u"property") {
                    property = xml.attributes().value("name").toString();
                } else if (n == u"string" && !controls.empty()) {
                    const bool notr = xml.attributes().value("notr") == u"true";
                    const QString comment = xml.attributes().value("comment").toString();
                    const QString text = xml.readElementText();
                    if (!notr && !text.isEmpty())
                        out.push_back({window, controls.back(), inItem ? "item" : property, text, comment,
                                       inItem ? items.back() : -1});
                }
            } else if (xml.isEndElement()) {
                if (xml.name() == u"widget") {
                    controls.pop_back();
                    items.pop_back();
                } else if (xml.name() == u"item") {
                    inItem = false;
                    ++items.back();
                }
            }
        }
        EXPECT_FALSE(xml.hasError()) << name << ": " << xml.errorString().toStdString();
    }
    return out;
}

QWidget* WindowOf(AppWindows& w, const QString& name) {
    for (QWidget* window : std::initializer_list<QWidget*>{w.Form1.get(), w.Form2.get(), w.Form3.get(),
                                                           w.Form4.get(), w.Form5.get(), w.Form6.get()})
        if (window->metaObject()->className() == name) return window;
    return nullptr;
}

// What a form text's control shows now.
QString ShownFormText(AppWindows& w, const FormText& t) {
    QWidget* window = WindowOf(w, t.window);
    if (!window) return "<no window " + t.window + ">";
    QWidget* c = t.control == t.window ? window : window->findChild<QWidget*>(t.control);
    if (!c) return "<no control " + t.control + ">";
    if (t.property == "item") return qobject_cast<QComboBox*>(c)->itemText(t.item);
    if (t.property == "toolTip") return c->toolTip();
    if (t.property == "windowTitle") return c->windowTitle();
    if (t.property == "title") return qobject_cast<QGroupBox*>(c)->title();
    if (auto* b = qobject_cast<QAbstractButton*>(c)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(c)) return l->text();
    return "<no text of " + t.control + ">";
}

struct Started {
    QTemporaryDir dir;
    ScriptedInteraction ui;
    std::unique_ptr<ToolSettings> settings;
    std::unique_ptr<LanguageSwitch> language;
    AppWindows windows;

    // A start as the program makes it: the command line, the settings file, then the windows.
    explicit Started(const QStringList& arguments, const QString& settingsPath = {}) {
        settings = std::make_unique<ToolSettings>(settingsPath.isEmpty() ? dir.filePath("vexaview.ini")
                                                                         : settingsPath);
        const CommandLineAnswer commandLine = ReadCommandLine(QStringList{"vexaview"} + arguments);
        EXPECT_FALSE(commandLine.exit);
        language = std::make_unique<LanguageSwitch>();
        language->Apply(StartupLanguage(commandLine.language, settings->Language()));
        TForm1Deps deps;
        deps.interaction = &ui;
        deps.screenSize = {1920, 1080};
        windows = CreateAppWindows(std::move(deps), *language, *settings);
        ShowEveryWindow();
    }
    ~Started() {
        // The windows go before the language they were made in, the main window last.
        windows.Form6.reset();
        windows.Form5.reset();
        windows.Form4.reset();
        windows.Form3.reset();
        windows.Form2.reset();
        windows.Form1.reset();
        language.reset();
    }

    // The main window, the graph of a small data set, a selection (the statistics window) and the dialogs.
    void ShowEveryWindow() {
        TForm1& f = *windows.Form1;
        // No ticks: the clock and the port search would change texts between two looks.
        f.Timer1->SetInterval(0);
        f.show();
        std::vector<std::string> lines = {"Start Year=2024 @1G=100",
                                          "date time,x(G),y(G),z(G),temperature(C)"};
        for (int k = 0; k < 300; ++k) {
            char line[96];
            std::snprintf(line, sizeof line, "2024/05/01 10:%02d:%02d.000,%3d,  1,%3d, 22.0", k / 60, k % 60,
                          k % 7 - 3, k % 5);
            lines.push_back(line);
        }
        f.Memo1->SetLines(lines);
        f.Button12Click();
        TForm2& graph = *windows.Form2;
        graph.ScreenHeight = 1080;
        graph.RenderGraph();
        QTest::mousePress(&graph, Qt::LeftButton, {}, QPoint(graph.CenterX + 40, 300));
        graph.RenderGraph();
        windows.Form4->Timer1Timer();
        windows.Form3->show();
        windows.Form5->show();
        windows.Form6->show();
        QApplication::processEvents();
    }

    ShownTexts Texts() {
        ShownTexts all;
        for (QWidget* w :
             std::initializer_list<QWidget*>{windows.Form1.get(), windows.Form2.get(), windows.Form3.get(),
                                             windows.Form4.get(), windows.Form5.get(), windows.Form6.get()})
            all.merge(TextsOf(*w));
        return all;
    }

    QAction* MenuEntry(const char* name) { return windows.Form1->findChild<QAction*>(name); }
};

// The places in a set of texts that an English reader cannot read.
QStringList JapaneseIn(const ShownTexts& texts) {
    QStringList found;
    for (const auto& [key, shown] : texts)
        if (HasJapanese(shown.text) && !NamesALanguage(key)) found << key + " = " + shown.text;
    return found;
}

QString EnglishOf(const FormText& t) {
    const QString english = EnglishTranslation().translate(
        t.window.toUtf8(), t.text.toUtf8(),
        t.disambiguation.isEmpty() ? nullptr : t.disambiguation.toUtf8().constData());
    return english.isEmpty() ? t.text : english;
}

TEST(Language, CommandLineAndSettingsChooseTheStartLanguage) {
    struct Case {
        QStringList arguments;
        QString remembered;
        UiLanguage start;
    } cases[] = {
        {{}, "", UiLanguage::Japanese},
        {{}, "en", UiLanguage::English},
        {{}, "ja", UiLanguage::Japanese},
        {{}, "fr", UiLanguage::Japanese}, // a remembered text that names no language is no choice
        {{"--lang", "en"}, "", UiLanguage::English},
        {{"--lang=en"}, "ja", UiLanguage::English},
        {{"--lang", "ja"}, "en", UiLanguage::Japanese},
    };
    for (const Case& c : cases) {
        const CommandLineAnswer answer = ReadCommandLine(QStringList{"vexaview"} + c.arguments);
        ASSERT_FALSE(answer.exit) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(StartupLanguage(answer.language, c.remembered), c.start)
            << c.arguments.join(' ').toStdString() << " / " << c.remembered.toStdString();
    }
    for (const QStringList& bad :
         {QStringList{"--lang", "fr"}, QStringList{"--lang"}, QStringList{"--lang", "EN"}}) {
        const CommandLineAnswer answer = ReadCommandLine(QStringList{"vexaview"} + bad);
        EXPECT_TRUE(answer.exit) << bad.join(' ').toStdString();
        EXPECT_EQ(answer.exitCode, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(answer.err.contains("lang")) << answer.err.toStdString();
    }
    EXPECT_TRUE(ReadCommandLine({"vexaview", "--help"}).out.contains("--lang <ja|en>"));
}

TEST(Language, WithNoChoiceEveryFormTextIsTheJapaneseOneWhateverTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Started run({});
    QLocale::setDefault(before);
    EXPECT_EQ(run.language->Current(), UiLanguage::Japanese);
    const std::vector<FormText> texts = TranslatableFormTexts();
    ASSERT_GT(texts.size(), 50u);
    for (const FormText& t : texts)
        EXPECT_EQ(ShownFormText(run.windows, t), t.text)
            << (t.window + "/" + t.control + "." + t.property).toStdString();
    // Texts the windows set themselves, in the language they are written in.
    EXPECT_TRUE(run.windows.Form4->Label1->text().startsWith("開始:"));
    EXPECT_TRUE(run.windows.Form4->Label5->text().startsWith("●データ数  : "));
    EXPECT_EQ(run.windows.Form2->ComboBox1->currentText(), "分");
    EXPECT_EQ(run.windows.Form2->MenuItem2->text(), "レポート (PDF)...");
}

TEST(Language, WithLangEnNoTextOfAnyWindowIsJapanese) {
    Started run({"--lang", "en"});
    EXPECT_EQ(run.language->Current(), UiLanguage::English);
    EXPECT_TRUE(JapaneseIn(run.Texts()).isEmpty()) << JapaneseIn(run.Texts()).join('\n').toStdString();
    // Every text of the forms is its translation, so a text left out of the translation file is caught
    // even where it happens to be readable.
    for (const FormText& t : TranslatableFormTexts())
        EXPECT_EQ(ShownFormText(run.windows, t), EnglishOf(t)) << (t.window + "/" + t.control).toStdString();
    EXPECT_TRUE(run.windows.Form4->Label1->text().startsWith("Start:"));
    EXPECT_TRUE(run.windows.Form4->Label3->text().startsWith("●Max  : "));
    EXPECT_EQ(run.windows.Form4->Label5->text(),
              "●Samples  : " + QString::number(run.windows.Form2->Stats.count));
    if (qEnvironmentVariableIsSet("VEXA_SCREENSHOT_DIR")) {
        const QString dir = qEnvironmentVariable("VEXA_SCREENSHOT_DIR");
        run.windows.Form1->grab().save(dir + "/main-en.png");
        run.windows.Form2->grab().save(dir + "/graph-en.png");
        run.windows.Form4->grab().save(dir + "/statistics-en.png");
        run.windows.Form5->grab().save(dir + "/reservation-en.png");
        run.windows.Form3->grab().save(dir + "/id-en.png");
        run.windows.Form1->Label20Click(); // the adjustment and maintenance controls below
        run.windows.Form1->grab().save(dir + "/main-below-en.png");
    }
}

// The room a control gives its text, in pixels; -1 where its size does not bound the text.
int RoomFor(const Shown& shown) {
    QWidget* w = shown.widget;
    if (!w || shown.kind == Shown::ToolTip || shown.kind == Shown::Title || shown.kind == Shown::Menu)
        return -1;
    if (auto* box = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox o;
        o.initFrom(box);
        o.editable = box->isEditable();
        return box->style()
            ->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, box)
            .width();
    }
    if (auto* check = qobject_cast<QCheckBox*>(w)) {
        QStyleOptionButton o;
        o.initFrom(check);
        o.text = shown.text;
        return check->style()->subElementRect(QStyle::SE_CheckBoxContents, &o, check).width();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton o;
        o.initFrom(button);
        const int frame = button->style()->pixelMetric(QStyle::PM_ButtonMargin, &o, button);
        return button->width() - frame;
    }
    if (auto* group = qobject_cast<QGroupBox*>(w)) return group->width() - 16;
    if (auto* label = qobject_cast<QLabel*>(w)) return label->wordWrap() ? -1 : label->contentsRect().width();
    return -1;
}

// Texts the layers below the windows define and the window shows: each has its English, so a text
// changed there without its translation is caught.
TEST(Language, TheLowerLayersMessagesAndTheStartModesAreTranslated) {
    LanguageSwitch language;
    language.Apply(UiLanguage::English);
    for (const std::string_view message : {vexa::BadCountMessage, vexa::IrregularTimeMessage})
        EXPECT_FALSE(HasJapanese(MessageText(message))) << message;
    for (const QString& item : StartModeItems())
        EXPECT_FALSE(HasJapanese(item)) << item.toStdString();
    // A report shown in English is acted on as the Japanese it stands for; a hand-typed text is kept.
    for (const char* reported : {"開始", "Sleep"})
        EXPECT_EQ(StartModeSource(ShownStartMode(QString::fromUtf8(reported))), QString::fromUtf8(reported));
    EXPECT_EQ(StartModeSource("今すぐ開始"), "今すぐ開始");
    EXPECT_EQ(StartModeSource("Start now"), "今すぐ開始");
    EXPECT_EQ(StartModeSource("Later"), "Later");
}

TEST(Language, EnglishCaptionsFitWhereTheJapaneseDid) {
    ShownTexts japanese, english;
    {
        Started run({"--lang", "ja"});
        japanese = run.Texts();
    }
    Started run({"--lang", "en"});
    english = run.Texts();
    QStringList cut;
    for (const auto& [key, shown] : english) {
        const int room = RoomFor(shown);
        if (room < 0 || shown.text.isEmpty()) continue;
        const QFontMetrics metrics(shown.widget->font());
        const int width = metrics.horizontalAdvance(shown.text);
        // Where the Japanese already overran its control, the English may take as much, not more.
        const auto ja = japanese.find(key);
        const int allowed =
            std::max(room, ja == japanese.end() ? 0 : metrics.horizontalAdvance(ja->second.text));
        if (width > allowed)
            cut << QStringLiteral("%1 \"%2\": %3 px in %4").arg(key, shown.text).arg(width).arg(room);
    }
    EXPECT_TRUE(cut.isEmpty()) << cut.join('\n').toStdString();
}

TEST(Language, TheMenuSwitchesTheOpenWindowsAtOnceKeepsTheirStateAndRemembersTheChoice) {
    QTemporaryDir dir;
    const QString path = dir.filePath("config/vexaview.ini");
    ShownTexts japanese;
    {
        Started run({}, path);
        TForm1& f = *run.windows.Form1;
        // State the windows show: the logger's ID, a port number, the connect caption while connecting.
        f.Label18->setText("42");
        f.Edit3->setText("3");
        f.Button4->setText("|=|");
        japanese = run.Texts();

        ASSERT_NE(run.MenuEntry("ActionEnglish"), nullptr);
        EXPECT_TRUE(run.MenuEntry("ActionJapanese")->isChecked());
        run.MenuEntry("ActionEnglish")->trigger();
        QCoreApplication::sendPostedEvents(); // the windows' language change
        const ShownTexts switched = run.Texts();
        EXPECT_TRUE(JapaneseIn(switched).isEmpty()) << JapaneseIn(switched).join('\n').toStdString();
        EXPECT_EQ(switched.at("TForm1/Label18.text").text, "42");
        EXPECT_EQ(f.Edit3->text(), "3");
        EXPECT_EQ(switched.at("TForm1/Button4.text").text, "|=|");
        EXPECT_EQ(switched.at("TForm1/ActionAbout.text").text, "About V-EXAVIEW");
        EXPECT_TRUE(run.MenuEntry("ActionEnglish")->isChecked());
        // Every text the translation changes reads as in a start in English.
        {
            ShownTexts freshJapanese;
            {
                Started fresh({"--lang", "ja"});
                freshJapanese = fresh.Texts();
            }
            Started fresh({"--lang", "en"});
            for (const auto& [key, shown] : fresh.Texts()) {
                if (freshJapanese.count(key) && HasJapanese(freshJapanese.at(key).text) &&
                    key != "TForm1/Button4.text") {
                    EXPECT_EQ(switched.at(key).text, shown.text) << key.toStdString();
                }
            }
        }
        EXPECT_EQ(ToolSettings(path).Language(), "en");

        run.MenuEntry("ActionJapanese")->trigger();
        QCoreApplication::sendPostedEvents(); // the windows' language change
        const ShownTexts back = run.Texts();
        for (const auto& [key, shown] : japanese) {
            ASSERT_TRUE(back.count(key)) << key.toStdString();
            EXPECT_EQ(back.at(key).text, shown.text) << key.toStdString();
        }
        EXPECT_EQ(ToolSettings(path).Language(), "ja");
        run.MenuEntry("ActionEnglish")->trigger();
        QCoreApplication::sendPostedEvents(); // the windows' language change
    }
    // The next start without --lang comes up in the remembered language; --lang ja overrides it for one
    // run without changing what is remembered.
    {
        Started next({}, path);
        EXPECT_EQ(next.language->Current(), UiLanguage::English);
        EXPECT_TRUE(JapaneseIn(next.Texts()).isEmpty()) << JapaneseIn(next.Texts()).join('\n').toStdString();
    }
    {
        Started once({"--lang", "ja"}, path);
        EXPECT_EQ(once.language->Current(), UiLanguage::Japanese);
        EXPECT_EQ(once.windows.Form1->Button30->text(), "取得");
    }
    EXPECT_EQ(ToolSettings(path).Language(), "en");
}

TEST(Language, AChoiceThatCannotBeRememberedStillAppliesAndSaysSo) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // The settings file's folder would have to be where a plain file is.
    Started run({}, dir.filePath("file/vexaview.ini"));
    run.MenuEntry("ActionEnglish")->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(run.language->Current(), UiLanguage::English);
    EXPECT_EQ(run.windows.Form1->Button30->text(), "Download");
    ASSERT_EQ(run.ui.shown.size(), 1u);
    EXPECT_EQ(run.ui.shown[0].kind, "box");
    EXPECT_TRUE(run.ui.shown[0].text.startsWith("This language is used for this run only"))
        << run.ui.shown[0].text.toStdString();
    EXPECT_TRUE(run.ui.shown[0].text.contains("vexaview.ini"));
}

} // namespace
