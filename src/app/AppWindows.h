// The six windows of a run, created in their order and linked to each other, with the main window's
// right-click menu.
#pragma once

#include "app/TForm1.h"
#include "dialogs/TForm3.h"
#include "dialogs/TForm5.h"
#include "dialogs/TForm6.h"
#include "graph/TForm2.h"
#include "graph/TForm4.h"

#include <memory>

class LanguageSwitch;
class ToolSettings;

struct AppWindows {
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TForm2> Form2;
    std::unique_ptr<TForm3> Form3;
    std::unique_ptr<TForm4> Form4;
    std::unique_ptr<TForm5> Form5;
    std::unique_ptr<TForm6> Form6;
};

// Creates the windows hidden; the caller shows the main window. deps.interaction is the one the
// menus and the dialogs report through.
AppWindows CreateAppWindows(TForm1Deps deps, LanguageSwitch& language, ToolSettings& settings);
