// The language entries of the main window's right-click menu.
#pragma once

class Interaction;
class LanguageSwitch;
class QWidget;
class ToolSettings;

// Adds "言語 / Language" with "日本語" and "English" to the window's right-click menu; the entry names
// itself in both languages and each language in its own, so it is found whichever one is shown. A
// choice applies at once and is remembered in the settings file; if it cannot be remembered the user
// is told why.
void InstallLanguageMenu(QWidget& window, LanguageSwitch& language, ToolSettings& settings,
                         Interaction& interaction);
