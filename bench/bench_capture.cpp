// 5-ms capture figures: writing a 360-s capture's 72,000 samples into the work area, and the longest
// stall of the event loop from the end of the stream until the work area's view shows every line.
#include "app/CaptureView.h"
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "platform/RegistryFilePortRegistry.h"
#include "platform/ScriptedInteraction.h"
#include "sim/Simulator.h"
#include "support/SessionProbe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {

bool Pump(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(100);
    }
    return true;
}

void Print(const char* key, double value, const char* unit) {
    std::printf("bench: %s %.2f %s\n", key, value, unit);
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "bench: capture: %s\n", what);
    std::exit(1);
}

// The stream of a whole 360-s capture (and a few samples more), as the logger sends it.
std::string WholeStream(int samples) {
    std::string bytes;
    bytes.reserve(std::size_t(samples) * 8);
    char sample[16];
    for (int k = 1; k <= samples; ++k) {
        std::snprintf(sample, sizeof sample, "S%02X%02X%02X\r", k & 0xFF, (k >> 8) & 0xFF, (k * 7) & 0xFF);
        bytes += sample;
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    QTemporaryDir dir;
    vexa::sim::SimConfig config;
    config.registryPath = (dir.path() + "/registry.txt").toStdString();
    vexa::sim::Simulator sim(config);
    sim.start();
    RegistryFilePortRegistry registry(config.registryPath);
    ScriptedInteraction ui;
    TForm1Deps deps;
    deps.interaction = &ui;
    deps.registry = &registry;
    deps.screenSize = QSize(1280, 1024);
    auto form = std::make_unique<TForm1>(deps);
    form->show();
    if (!Pump(
            [&] {
                return form->State.LinkUp == 1 && !form->ApdComPort1.Open() &&
                       form->LoggerSession().QueuedFollowUps().empty();
            },
            10000))
        Fail("the simulated logger did not link");

    const std::string stream = WholeStream(72010);
    std::vector<double> format, stall, stallWriting;
    for (int run = 0; run < 5; ++run) {
        ui.inputAnswers.push_back(QStringLiteral("360"));
        form->Button40Click();
        CaptureView& capture = form->Capture();
        if (!Pump([&] { return capture.Exchange().Streaming(); }, 10000)) Fail("the capture did not start");

        // The event loop's responsiveness: the largest gap between ticks of a 5 ms timer.
        QElapsedTimer clock;
        qint64 last = -1, worst = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (last >= 0) worst = std::max(worst, now - last);
            last = now;
        });
        clock.start();
        probe.start(5);
        // The samples arrive as one block, so the capture ends at once and only its writing is timed.
        const qint64 begin = clock.nsecsElapsed();
        vexa::session::SessionProbe::Capture(form->LoggerSession())
            .OnBytes(stream, vexa::session::Clock::now());
        if (!Pump([&] { return !capture.Exchange().Active(); }, 60000)) Fail("the lines were not written");
        const qint64 end = clock.nsecsElapsed();
        const qint64 worstWriting = worst;
        // The stall counts until the work area's view shows the lines: laid out and painted once.
        form->Memo1->SyncView();
        QCoreApplication::processEvents();
        probe.stop();
        if (form->Memo1->Count() != 71999 + 3) Fail("wrong number of lines");
        format.push_back(double(end - begin) / 1e6);
        stall.push_back(std::max(0.0, double(worst) / 1e6 - 5.0));
        stallWriting.push_back(std::max(0.0, double(worstWriting) / 1e6 - 5.0));
        // Let the logger's answer to the stop byte close the exchange before the next run.
        Pump([&] { return !form->ApdComPort1.Open(); }, 5000);
        form->Timer1->SetInterval(0);
    }
    std::sort(format.begin(), format.end());
    std::sort(stall.begin(), stall.end());
    std::sort(stallWriting.begin(), stallWriting.end());
    Print("capture.format72k_ms", format[2], "ms");
    Print("capture.stall_max_ms", stall[2], "ms");
    // The same until the lines are in the work area, before its view catches up with them.
    Print("capture.stall_writing_max_ms", stallWriting[2], "ms");
    form.reset();
    sim.stop();
    return 0;
}
