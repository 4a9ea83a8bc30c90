// Entry point: single-instance guard, application, the six windows, message loop.
#include "app/About.h"
#include "app/CommandLine.h"
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "dialogs/TForm3.h"
#include "dialogs/TForm5.h"
#include "dialogs/TForm6.h"
#include "graph/TForm2.h"
#include "graph/TForm4.h"
#include "platform/PortRegistry.h"
#include "platform/QtInteraction.h"
#include "platform/SingleInstance.h"

#include <memory>

int main(int argc, char** argv) {
    // --help and --version need no display and must answer even while a copy runs.
    if (const auto exitCode = AnswerCommandLine(argc, argv)) return *exitCode;

    // A second copy ends at once, before any window exists; the running copy is not disturbed.
    SingleInstanceGuard guard(kWindowGuardName);
    if (!guard.Acquire()) return 1;

    int status = 0;
    {
        TApplication app(argc, argv);
        QtInteraction interaction;
        app.SetInteraction(&interaction);
        // The port list comes from sysfs, or from the file VEXA_REGISTRY names (the simulated logger).
        const std::unique_ptr<PortRegistry> registry = MakePortRegistry();
        try {
            TForm1Deps deps;
            deps.interaction = &interaction;
            deps.registry = registry.get();
            auto Form1 = std::make_unique<TForm1>(std::move(deps));
            interaction.SetParent(Form1.get());
            InstallAboutMenu(*Form1, interaction);
            auto Form2 = std::make_unique<TForm2>();
            auto Form3 = std::make_unique<TForm3>(*Form1, Form1->Label18->text());
            auto Form4 = std::make_unique<TForm4>();
            auto Form5 = std::make_unique<TForm5>(*Form1);
            auto Form6 = std::make_unique<TForm6>(*Form1);
            Form1->SetDialogs(Form3.get(), Form5.get(), Form6.get());
            Form1->SetGraphWindow(Form2.get());
            Form2->SetStatisticsWindow(Form4.get());
            Form4->SetGraphWindow(Form2.get());
            Form1->show();
            status = app.exec();
        } catch (...) {
            app.ShowException(std::current_exception());
        }
    }
    guard.Release();
    return status;
}
