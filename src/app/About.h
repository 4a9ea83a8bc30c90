// The About box: program name, version and commit, reached by a right-click on the main window.
#pragma once

#include <QString>

class QWidget;
class Interaction;

// The About box's text: title, version (with the commit), Qt version, what the tool is for.
QString AboutText();

// Adds "About V-EXAVIEW" to the window's right-click menu; the box is shown through interaction.
// Controls with a menu of their own (edits, the work area) keep it.
void InstallAboutMenu(QWidget& window, Interaction& interaction);
