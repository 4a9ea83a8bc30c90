// The language entries of the main window's right-click menu.
#include "app/LanguageMenu.h"

#include "app/Language.h"
#include "platform/Interaction.h"
#include "platform/ToolSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QWidget>

void InstallLanguageMenu(QWidget& window, LanguageSwitch& language, ToolSettings& settings,
                         Interaction& interaction) {
    auto* menu = new QMenu(&window);
    auto* group = new QActionGroup(menu);
    const auto add = [&](const QString& name, const char* objectName, UiLanguage choice) {
        QAction* action = menu->addAction(name);
        action->setObjectName(QString::fromLatin1(objectName));
        action->setCheckable(true);
        action->setChecked(language.Current() == choice);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, &window, [&language, &settings, &interaction, choice] {
            language.Apply(choice);
            if (!settings.SetLanguage(CodeOfLanguage(choice)))
                interaction.MessageBox(
                    QCoreApplication::translate(
                        "LanguageMenu",
                        "この言語は今回だけ使われます。設定ファイル %1 に保存できませんでした。")
                        .arg(QDir::toNativeSeparators(settings.Path())),
                    QStringLiteral("V-EXAVIEW"), Interaction::Icon::Warning);
        });
    };
    add(QStringLiteral("日本語"), "ActionJapanese", UiLanguage::Japanese);
    add(QStringLiteral("English"), "ActionEnglish", UiLanguage::English);

    auto* entry = new QAction(QStringLiteral("言語 / Language"), &window);
    entry->setObjectName(QStringLiteral("ActionLanguage"));
    entry->setMenu(menu);
    window.addAction(entry);
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
}
