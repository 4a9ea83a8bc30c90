// The logger unplugged in the middle of a 72,000-record download: time from the hang-up until the window
// is idle again with the records that arrived in its work area; and how long the simulator takes to stop.
#include "app/TApplication.h"
#include "support/SimHarness.h"

#include <QLabel>
#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    using Clock = std::chrono::steady_clock;

    vexa::sim::SimConfig config;
    config.recordCount = 72000;
    SimHarness h(config);
    TForm1& f = h.Open();
    if (!h.WaitLinkedAndIdle(10000)) {
        std::fprintf(stderr, "bench_hangup: the simulated logger did not link\n");
        return 1;
    }
    f.Timer1->SetInterval(0);
    auto faults = h.sim->faults();
    faults.hangupAfterBytes = h.sim->bytesSent() + 36000L * 22; // half the records
    h.sim->setFaults(faults);
    f.Button30Click();

    if (!PumpUntil([&] { return h.sim->unplugged(); }, 60000)) {
        std::fprintf(stderr, "bench_hangup: no hang-up\n");
        return 1;
    }
    const auto hangUp = Clock::now();
    const bool idle = PumpUntil(
        [&] {
            return f.LoggerSession().CurrentPhase() != vexa::session::Phase::Download &&
                   !f.ApdComPort1.Open() && !f.Memo1->isHidden();
        },
        60000);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - hangUp).count();
    if (!idle) {
        std::fprintf(stderr, "bench_hangup: the download did not end\n");
        return 1;
    }
    std::printf("bench: link.hangup_to_idle_ms %.1f ms\n", ms);
    std::printf("bench: link.hangup_records_kept %d records\n", f.State.LineCount);

    // The simulator's own stop: the thread ends, the pseudo-terminal closes and the registry file goes.
    vexa::sim::SimConfig quiet;
    quiet.registryPath = h.registryPath;
    vexa::sim::Simulator sim(quiet);
    sim.start();
    const auto stopAt = Clock::now();
    sim.stop();
    std::printf("bench: sim.stop_ms %.2f ms\n",
                std::chrono::duration<double, std::milli>(Clock::now() - stopAt).count());
    return 0;
}
