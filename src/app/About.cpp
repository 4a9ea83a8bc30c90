// The About box. It lives in the main window's right-click menu so that no control of the window
// changes place or meaning for it.
#include "app/About.h"

#include "app/Language.h"
#include "platform/Interaction.h"
#include "version/Version.h"

#include <QAction>
#include <QCoreApplication>
#include <QWidget>
#include <QtGlobal>

QString AboutText() {
    QString text = QStringLiteral("V-EXAVIEW\nVersion %1\n").arg(QString::fromLatin1(VexaVersion()));
    if (*VexaCommit() != '\0') text += QStringLiteral("Commit %1\n").arg(QString::fromLatin1(VexaCommit()));
    text += QStringLiteral("Qt %1\n\n").arg(QString::fromLatin1(qVersion()));
    text += QCoreApplication::translate(
        "About", "VEXA 加速度・温度データロガーの設定、リアルタイム表示、記録データの取得と CSV 保存。\n"
                 "Settings, live readings and recorded data of the VEXA acceleration and "
                 "temperature logger.");
    return text;
}

void InstallAboutMenu(QWidget& window, Interaction& interaction) {
    const auto title = [] { return QCoreApplication::translate("About", "About V-EXAVIEW"); };
    auto* about = new QAction(title(), &window);
    about->setObjectName(QStringLiteral("ActionAbout"));
    QObject::connect(about, &QAction::triggered, &window, [&interaction, title] {
        interaction.MessageBox(AboutText(), title(), Interaction::Icon::Information);
    });
    OnLanguageChange(window, [about, title] { about->setText(title()); });
    window.addAction(about);
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
}
