// The main window's texts across a language switch.
#include "app/MainWindowLanguage.h"

#include "app/Language.h"
#include "app/TForm1.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <string>

namespace {

// The start modes: the list's entries and the logger's report of a started recording. The handler
// compares the Japanese, whatever language shows it.
const SourceText kStartNow{"TForm1", QT_TRANSLATE_NOOP("TForm1", "今すぐ開始")};
const SourceText kSleep{"TForm1", "Sleep"};
const SourceText kReserved{"TForm1", QT_TRANSLATE_NOOP("TForm1", "予約開始")};
const SourceText kStarted{"TForm1", QT_TRANSLATE_NOOP("TForm1", "開始")};

QString Translated(const SourceText& s) {
    return QCoreApplication::translate(s.context, s.text, s.disambiguation);
}

// The messages of the Qt-free layers that a message box shows; listed here so that the translation
// tools find them (the layers below the window know nothing of translation).
[[maybe_unused]] constexpr const char* kLayerMessages[] = {
    QT_TRANSLATE_NOOP("Messages", "データ数不具合"),
    QT_TRANSLATE_NOOP("Messages", "時間不整合"),
};

} // namespace

void FollowLanguageChanges(TForm1& form) {
    OnLanguageChange(form, [&form] {
        const QString connect = form.Button4->text();
        const QString monitor = form.Button10->text();
        const QString startMode = form.ComboBox4->currentText();
        // Texts that are data or state are not translatable in the form, so this leaves them alone.
        form.retranslateUi(&form);
        form.Button4->setText(Retranslated(
            connect, {{"TForm1", "接<->続"}, {"TForm1", "|=|"}, {"TForm1", "接続", "link state"}}));
        form.Button10->setText(Retranslated(monitor, {{"TForm1", "モニタ"}, {"TForm1", "もどる"}}));
        const QStringList items = StartModeItems();
        for (int i = 0; i < form.ComboBox4->count() && i < items.size(); ++i)
            form.ComboBox4->setItemText(i, items[i]);
        form.ComboBox4->setEditText(Retranslated(startMode, {kStartNow, kSleep, kReserved, kStarted}));
    });
}

QStringList StartModeItems() {
    return {Translated(kStartNow), Translated(kSleep), Translated(kReserved)};
}

QString ShownStartMode(const QString& reported) {
    return Retranslated(reported, {kStarted, kSleep});
}

QString StartModeSource(const QString& shown) {
    const std::optional<SourceText> s = SourceOf(shown, {kStartNow, kSleep, kReserved, kStarted});
    return s ? QString::fromUtf8(s->text) : shown;
}

QString MessageText(std::string_view message) {
    const std::string text(message);
    return QCoreApplication::translate("Messages", text.c_str());
}
