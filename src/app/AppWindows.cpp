// The six windows of a run, created in their order and linked to each other.
#include "app/AppWindows.h"

#include "app/About.h"
#include "app/LanguageMenu.h"
#include "app/MainWindowLanguage.h"

AppWindows CreateAppWindows(TForm1Deps deps, LanguageSwitch& language, ToolSettings& settings) {
    Interaction& interaction = *deps.interaction;
    AppWindows w;
    w.Form1 = std::make_unique<TForm1>(std::move(deps));
    FollowLanguageChanges(*w.Form1);
    InstallLanguageMenu(*w.Form1, language, settings, interaction);
    InstallAboutMenu(*w.Form1, interaction);
    w.Form2 = std::make_unique<TForm2>();
    w.Form3 = std::make_unique<TForm3>(*w.Form1, w.Form1->Label18->text());
    w.Form4 = std::make_unique<TForm4>();
    w.Form5 = std::make_unique<TForm5>(*w.Form1);
    w.Form6 = std::make_unique<TForm6>(*w.Form1);
    w.Form1->SetDialogs(w.Form3.get(), w.Form5.get(), w.Form6.get());
    w.Form1->SetGraphWindow(w.Form2.get());
    w.Form2->SetStatisticsWindow(w.Form4.get());
    w.Form4->SetGraphWindow(w.Form2.get());
    return w;
}
