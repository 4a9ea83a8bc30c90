// Firmware update against the simulated logger answering at once: the whole update of the stand-in image
// (7,526 lines, "qs", "m") through the serial layer, and the round trip of one line (sent to acknowledged).
//   bench: firmware.update_ms <v> ms      bench: firmware.line_rtt_p50_ms <v> ms
//   bench: firmware.line_rtt_p99_ms <v> ms
#include "protocol/StandInImage.h"
#include "serial/QueueMailbox.h"
#include "serial/TApdComPort.h"
#include "session/ComPortLink.h"
#include "session/FirmwareExchange.h"
#include "session/Session.h"
#include "sim/Simulator.h"
#include "support/SessionRecorder.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using vexa::session::Clock;

// The serial component under the session, with the moment each write went out, for the round trip.
struct TimedPort final : vexa::session::LinkPort {
    explicit TimedPort(TApdCustomComPort& port) : inner(port) {}
    vexa::session::ComPortLink inner;
    Clock::time_point lastSentAt{};
    bool lineOut = false;

    void Select(unsigned n) override { inner.Select(n); }
    unsigned Selected() const override { return inner.Selected(); }
    bool IsOpen() const override { return inner.IsOpen(); }
    void Open() override { inner.Open(); }
    void Close() override { inner.Close(); }
    void Drain() override { inner.Drain(); }
    void Send(std::string_view bytes) override {
        inner.Send(bytes);
        lastSentAt = Clock::now();
        lineOut = true;
    }
    std::string ReadAvailable() override { return inner.ReadAvailable(); }
    bool DeviceLost() override { return inner.DeviceLost(); }
};

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

} // namespace

int main() {
    vexa::sim::Simulator sim(vexa::sim::SimConfig{});
    sim.start();
    auto mailbox = std::make_shared<QueueMailbox>();
    TApdComPort port;
    port.SetUiMailbox(mailbox);
    port.SetDevicePathResolver([path = sim.slavePath()](unsigned) { return std::optional(path); });
    port.SetComNumber(1);
    port.SetBaud(115200);
    port.SetRTS(false);

    TimedPort link(port);
    vexa::testing::SessionRecorder rec;
    vexa::session::Session session(link, rec);
    std::vector<double> rttMs;
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t) {
        const auto now = Clock::now();
        // A notification whose bytes an earlier one already took brings nothing: no acknowledgement.
        if (!cp.CharReady()) return;
        if (link.lineOut && session.Firmware().updateActive() == 1) {
            rttMs.push_back(std::chrono::duration<double, std::milli>(now - link.lastSentAt).count());
            link.lineOut = false;
        }
        session.OnDataAvailable(now);
    };

    // "Start": the entry sequence, then the update itself.
    session.RequestHello(Clock::now()); // the logger is there: commands are enabled
    session.RequestBootLoaderEntry(Clock::now());
    for (int i = 0; i < 5000 && !sim.inBootLoader(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto start = Clock::now();
    session.StartFirmwareUpdate(vexa::StandInImageLines(), start);
    const bool done = mailbox->PumpUntil(
        [&] {
            session.Tick(Clock::now());
            return !rec.firmwareResults.empty();
        },
        std::chrono::minutes(2));
    const double totalMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    port.OnTriggerAvail = nullptr;
    sim.stop();
    if (!done || rec.firmwareResults[0].failed() || rttMs.size() < 7000) {
        std::fprintf(stderr, "bench_firmware: update did not complete (%s)\n",
                     done ? rec.firmwareResults[0].message.c_str() : "no result");
        return 1;
    }
    std::printf("bench: firmware.update_ms %.1f ms\n", totalMs);
    std::printf("bench: firmware.line_rtt_p50_ms %.3f ms\n", Percentile(rttMs, 0.50));
    std::printf("bench: firmware.line_rtt_p99_ms %.3f ms\n", Percentile(rttMs, 0.99));
    return 0;
}
