// Firmware update against the simulated logger answering at once: the whole update of the stand-in image
// (7,526 lines, "qs", "m") through the serial layer, and the round trip of one line (sent to acknowledged).
//   bench: firmware.update_ms <v> ms      bench: firmware.line_rtt_p50_ms <v> ms
//   bench: firmware.line_rtt_p99_ms <v> ms
#include "protocol/StandInImage.h"
#include "serial/QueueMailbox.h"
#include "serial/TApdComPort.h"
#include "session/FirmwareExchange.h"
#include "sim/Simulator.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using vexa::session::Clock;

// The window's part of the update, reduced to what the exchange needs: the port and the clock.
struct Driver : vexa::session::FirmwareObserver {
    TApdComPort* port = nullptr;
    Clock::time_point lineSentAt{};
    bool lineOut = false;
    std::vector<double> rttMs;
    std::optional<vexa::session::FirmwareResult> result;

    void FirmwareSend(std::string_view bytes) override {
        port->PutString(std::string(bytes));
        lineSentAt = Clock::now();
        lineOut = true;
    }
    void FirmwareProgressStart(int) override {}
    void FirmwareLine(int, const std::string&) override {}
    void FirmwareSendingDone() override {}
    void FirmwareRestoreTimer(int) override {}
    void FirmwareStatus(const std::string&) override {}
    void FirmwareEnded(const vexa::session::FirmwareResult& r) override { result = r; }
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
    port.SetOpen(true);

    Driver driver;
    driver.port = &port;
    vexa::session::FirmwareExchange exchange(driver);
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t) {
        const auto now = Clock::now();
        std::string block;
        while (cp.CharReady())
            block += cp.GetChar();
        // A notification whose bytes an earlier one already took brings nothing: no acknowledgement.
        if (block.empty()) return;
        if (driver.lineOut && exchange.updateActive() == 1) {
            driver.rttMs.push_back(
                std::chrono::duration<double, std::milli>(now - driver.lineSentAt).count());
            driver.lineOut = false;
        }
        exchange.OnBytes(block, now);
    };

    // "Start": the entry sequence, then the update itself.
    port.PutString("\x03\x06\x03\x06\x03");
    for (int i = 0; i < 5000 && !sim.inBootLoader(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto start = Clock::now();
    exchange.Begin(vexa::StandInImageLines(), 1000, start);
    const bool done = mailbox->PumpUntil(
        [&] {
            exchange.OnTick(Clock::now());
            return driver.result.has_value();
        },
        std::chrono::minutes(2));
    const double totalMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    port.SetOpen(false);
    sim.stop();
    if (!done || driver.result->failed() || driver.rttMs.size() < 7000) {
        std::fprintf(stderr, "bench_firmware: update did not complete (%s)\n",
                     driver.result ? driver.result->message.c_str() : "no result");
        return 1;
    }
    std::printf("bench: firmware.update_ms %.1f ms\n", totalMs);
    std::printf("bench: firmware.line_rtt_p50_ms %.3f ms\n", Percentile(driver.rttMs, 0.50));
    std::printf("bench: firmware.line_rtt_p99_ms %.3f ms\n", Percentile(driver.rttMs, 0.99));
    return 0;
}
