// The Win32 serial backend under Wine against the simulated logger (scripts/test-windows --bench):
// from a one-byte command handed to the port to the first byte of the answer in OnTriggerAvail on
// the pumping thread, 2,000 rounds. Both directions pass through Wine, so this bounds the
// byte-to-handler latency from above.
//   bench: win.serial.latency.p50_ms <v> ms   bench: win.serial.latency.p99_ms <v> ms
#include "serial/QueueMailbox.h"
#include "serial/TApdComPort.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

int main() {
    const char* com = std::getenv("VEXA_WIN_COM");
    if (com == nullptr || *com == '\0') {
        std::fprintf(stderr, "bench_win_serial: VEXA_WIN_COM names no port linked to the simulator\n");
        return 2;
    }
    auto mailbox = std::make_shared<QueueMailbox>();
    TApdComPort port;
    port.SetUiMailbox(mailbox);
    port.SetDevicePathResolver(
        [](unsigned n) -> std::optional<std::string> { return "\\\\.\\COM" + std::to_string(n); });
    port.SetBaud(115200);
    port.SetRTS(false);
    port.SetComNumber(static_cast<std::uint16_t>(std::atoi(com)));

    Clock::time_point sent, firstByte;
    bool gotFirst = false;
    std::string answer;
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t) {
        if (!gotFirst) {
            firstByte = Clock::now();
            gotFirst = true;
        }
        while (cp.CharReady())
            answer += static_cast<char>(cp.GetChar());
    };
    try {
        port.SetOpen(true);
        port.FlushInBuffer();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_win_serial: %s\n", e.what());
        return 1;
    }

    constexpr int kRounds = 2000;
    std::vector<double> ms;
    ms.reserve(kRounds);
    for (int i = 0; i < kRounds; ++i) {
        answer.clear();
        gotFirst = false;
        sent = Clock::now();
        port.PutString("n"); // the monitor poll: one line and "#"
        if (!mailbox->PumpUntil([&] { return !answer.empty() && answer.back() == '#'; }, 10s)) {
            std::fprintf(stderr, "bench_win_serial: no answer in round %d\n", i);
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(firstByte - sent).count());
    }
    port.SetOpen(false);
    std::sort(ms.begin(), ms.end());
    std::printf("bench: win.serial.latency.p50_ms %.3f ms\n", ms[ms.size() / 2]);
    std::printf("bench: win.serial.latency.p99_ms %.3f ms\n", ms[ms.size() * 99 / 100]);
    return 0;
}
