// A main window linked to a test-played logger on a pseudo-terminal (offscreen, timer stopped).
#pragma once

#include "app/TForm1.h"
#include "platform/ScriptedInteraction.h"
#include "support/FakeRegistry.h"
#include "support/PtyPeer.h"
#include "support/Pump.h"

#include <memory>

struct LinkedForm {
    PtyPeer peer;
    FakeRegistry registry;
    ScriptedInteraction ui;
    std::unique_ptr<TForm1> form;
    QDateTime clock = QDateTime(QDate(2024, 5, 1), QTime(9, 3, 7));
    int linkedInterval = -1;  // Timer1's interval when linking ended

    LinkedForm() {
        TForm1Deps deps;
        deps.interaction = &ui;
        deps.registry = &registry;
        deps.screenSize = QSize(1280, 1024);
        deps.clock = [this] { return clock; };
        form = std::make_unique<TForm1>(deps);
        form->Timer1->SetInterval(0);
    }
    ~LinkedForm() { form.reset(); }

    // Plugs the logger on COM5, ticks once (connect, "m"), answers first contact and the two greeting
    // status requests. Leaves the window linked and the port closed; the timer is stopped afterwards so
    // that no tick runs in the middle of a test (linkedInterval holds what the parser set).
    bool Link(unsigned com = 5) {
        registry.PlugLogger(com, peer.SlavePath());
        form->Timer1Timer();
        if (!peer.WaitForSent("m")) return false;
        peer.Clear();
        peer.Write("VEXA\r\n#");
        if (!peer.WaitForSent("m")) return false;  // first contact answers "m"
        peer.Clear();
        peer.Write("VEXA\r\n#");
        if (!peer.WaitForSent("pp")) return false;  // both "#" send the queued greeting "p"s
        peer.Clear();
        peer.Write("#");
        if (!PumpUntil([&] { return !form->ApdComPort1.Open(); })) return false;
        linkedInterval = form->Timer1->Interval();
        form->Timer1->SetInterval(0);
        return true;
    }
    // Sends the logger's answer and waits until the exchange has ended (the parser closed the port).
    bool AnswerAndClose(const std::string& answer) {
        peer.Write(answer);
        return PumpUntil([&] { return !form->ApdComPort1.Open(); });
    }
};
