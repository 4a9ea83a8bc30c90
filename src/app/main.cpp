// Entry point: single-instance guard, application, interface language, the six windows, message loop.
#include "app/AppWindows.h"
#include "app/CommandLine.h"
#include "app/Language.h"
#include "app/TApplication.h"
#include "platform/PortRegistry.h"
#include "platform/QtInteraction.h"
#include "platform/SingleInstance.h"
#include "platform/ToolSettings.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    // --help and --version need no display and must answer even while a copy runs.
    const CommandLineAnswer commandLine = AnswerCommandLine(argc, argv);
    if (commandLine.exit) return commandLine.exitCode;

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
        ToolSettings settings;
        const QString remembered = settings.Language();
        if (!settings.LastError().isEmpty())
            std::fprintf(stderr, "vexaview: settings file ignored: %s\n", qPrintable(settings.LastError()));
        // Before the windows exist, so that they are created in the language of this run.
        LanguageSwitch language;
        language.Apply(StartupLanguage(commandLine.language, remembered));
        try {
            TForm1Deps deps;
            deps.interaction = &interaction;
            deps.registry = registry.get();
            const AppWindows windows = CreateAppWindows(std::move(deps), language, settings);
            interaction.SetParent(windows.Form1.get());
            windows.Form1->show();
            status = app.exec();
        } catch (...) {
            app.ShowException(std::current_exception());
        }
    }
    guard.Release();
    return status;
}
