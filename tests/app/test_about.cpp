// The About box in the main window's right-click menu: it shows the same version as --version.
#include "app/About.h"
#include "app/TForm1.h"
#include "platform/ScriptedInteraction.h"
#include "version/Version.h"

#include <QAction>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(About, RightClickMenuOfTheMainWindowShowsTheVersionAndLeavesTheControlsAlone) {
    ScriptedInteraction ui;
    TForm1Deps deps;
    deps.interaction = &ui;
    auto form = std::make_unique<TForm1>(deps);
    const auto buttonsBefore = form->findChildren<QPushButton*>().size();
    const auto actionsBefore = form->actions().size();
    const QString titleBefore = form->windowTitle();

    InstallAboutMenu(*form, ui);
    EXPECT_EQ(form->contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_EQ(form->actions().size(), actionsBefore + 1);
    QAction* about = form->actions().back();
    EXPECT_EQ(about->text(), "About V-EXAVIEW");
    EXPECT_EQ(form->findChildren<QPushButton*>().size(), buttonsBefore);
    EXPECT_EQ(form->windowTitle(), titleBefore);

    ui.Clear();
    about->trigger();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, "box");
    EXPECT_EQ(ui.shown[0].caption, "About V-EXAVIEW");
    const QString text = ui.shown[0].text;
    EXPECT_TRUE(text.startsWith("V-EXAVIEW\nVersion " + QString::fromLatin1(VexaVersion()) + "\n"))
        << text.toStdString();
    if (*VexaCommit() != '\0') {
        EXPECT_TRUE(text.contains("Commit " + QString::fromLatin1(VexaCommit()))) << text.toStdString();
        EXPECT_TRUE(QString::fromLatin1(VexaVersion()).endsWith("+g" + QString::fromLatin1(VexaCommit())));
    }
}

} // namespace
