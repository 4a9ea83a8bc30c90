// End-to-end harness: the simulated logger on a pseudo-terminal and the main window (offscreen),
// wired through the registry file exactly as the program finds a real logger.
#pragma once

#include "app/TForm1.h"
#include "platform/RegistryFilePortRegistry.h"
#include "platform/ScriptedInteraction.h"
#include "sim/Simulator.h"
#include "support/Pump.h"

#include <QTemporaryDir>
#include <memory>

struct SimHarness {
    QTemporaryDir dir;
    std::string registryPath;
    std::unique_ptr<vexa::sim::Simulator> sim;
    std::unique_ptr<RegistryFilePortRegistry> registry;
    ScriptedInteraction ui;
    std::unique_ptr<TForm1> form;
    QDateTime clock = QDateTime(QDate(2024, 5, 1), QTime(9, 3, 7));
    bool realClock = true;

    explicit SimHarness(vexa::sim::SimConfig config = {}) {
        registryPath = (dir.path() + "/registry.txt").toStdString();
        config.registryPath = registryPath;
        sim = std::make_unique<vexa::sim::Simulator>(config);
        sim->start();
        registry = std::make_unique<RegistryFilePortRegistry>(registryPath);
    }
    ~SimHarness() {
        form.reset();
        if (sim) sim->stop();
    }

    // Creates the main window; its start-up runs the first discovery pass at once.
    TForm1& Open(bool startTimer = true) {
        TForm1Deps deps;
        deps.interaction = &ui;
        deps.registry = registry.get();
        deps.screenSize = QSize(1280, 1024);
        deps.clock = [this] { return realClock ? QDateTime::currentDateTime() : clock; };
        form = std::make_unique<TForm1>(deps);
        if (!startTimer) form->Timer1->SetInterval(0);
        return *form;
    }

    // Waits until the logger answered first contact and the greeting's status reports are through.
    bool WaitLinkedAndIdle(int timeoutMs = 5000) {
        return PumpUntil([&] { return form->State.LinkUp == 1 && !form->ApdComPort1.Open() && IdleQueue(); },
                         timeoutMs);
    }
    // Waits until the running exchange has ended (the parser closed the port).
    bool WaitIdle(int timeoutMs = 5000) {
        return PumpUntil([&] { return !form->ApdComPort1.Open() && IdleQueue(); }, timeoutMs);
    }
    // Nothing is left to go out at the logger's next prompt.
    bool IdleQueue() const { return form->LoggerSession().QueuedFollowUps().empty(); }
    // A download is running.
    bool Downloading() const {
        return form->LoggerSession().CurrentPhase() == vexa::session::Phase::Download;
    }
    std::vector<std::string> Log() const { return sim->commandLog(); }
};
