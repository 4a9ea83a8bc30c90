// Serial layer over a pseudo-terminal: latency from a byte written by the far end to OnTriggerAvail
// on the UI thread (10,000 round trips), and a 1 MiB stream read through the handler.
//   bench: serial.latency.p50_ms <v> ms      bench: serial.latency.p99_ms <v> ms
//   bench: serial.stream.mb_per_s <v> MB/s   bench: serial.stream.lost_bytes <n> bytes
//   bench: serial.close_idle_ms <v> ms       (closing an open port whose workers all wait, median of 50)
//   bench: serial.handler_wait_ms <v> ms     (a handler that waits for a byte sent meanwhile gets it once
//                                             the dispatcher stops waiting for it: its 3 s send time-out)
#include "serial/QueueMailbox.h"
#include "serial/TApdComPort.h"

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The far end: the test holds the master side, the port opens the slave.
struct Pty {
    int master = -1;
    std::string slavePath;
    Pty() {
        int slave = -1;
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
        slavePath = name;
        ::close(slave);
    }
    ~Pty() { ::close(master); }
    void Write(const char* data, std::size_t n) const {
        while (n > 0) {
            const ssize_t w = ::write(master, data, n);
            if (w < 0) throw std::runtime_error("pty write failed");
            data += w;
            n -= static_cast<std::size_t>(w);
        }
    }
};

struct Port {
    std::shared_ptr<QueueMailbox> mailbox = std::make_shared<QueueMailbox>();
    TApdComPort port;
    explicit Port(const Pty& pty) {
        port.SetUiMailbox(mailbox);
        port.SetDevicePathResolver([path = pty.slavePath](unsigned) { return std::optional(path); });
        port.SetComNumber(1);
        port.SetBaud(115200);
        port.SetOutSize(512);
        port.SetRTS(false);
        port.SetOpen(true);
    }
};

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

bool MeasureLatency() {
    constexpr int kWarmUp = 200, kRoundTrips = 10000;
    Pty pty;
    Port p(pty);
    std::mutex m;
    std::condition_variable cv;
    int delivered = 0;
    Clock::time_point sentAt;
    std::vector<double> ms;
    ms.reserve(kRoundTrips);

    p.port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t) {
        const auto now = Clock::now();
        while (cp.CharReady())
            cp.GetChar();
        std::lock_guard lock(m);
        if (delivered >= kWarmUp)
            ms.push_back(std::chrono::duration<double, std::milli>(now - sentAt).count());
        ++delivered;
        cv.notify_one();
    };
    // The far end sends one byte, waits until the UI side has seen it, and sends the next.
    std::thread farEnd([&] {
        for (int i = 0; i < kWarmUp + kRoundTrips; ++i) {
            {
                std::lock_guard lock(m);
                sentAt = Clock::now();
            }
            pty.Write("x", 1);
            std::unique_lock lock(m);
            if (!cv.wait_for(lock, std::chrono::seconds(10), [&] { return delivered > i; })) return;
        }
    });
    const bool complete = p.mailbox->PumpUntil(
        [&] {
            std::lock_guard lock(m);
            return delivered == kWarmUp + kRoundTrips;
        },
        std::chrono::minutes(2));
    farEnd.join();
    if (!complete) {
        std::fprintf(stderr, "bench_serial: latency run stopped after %d of %d bytes\n", delivered,
                     kWarmUp + kRoundTrips);
        return false;
    }
    std::printf("bench: serial.latency.p50_ms %.3f ms\n", Percentile(ms, 0.50));
    std::printf("bench: serial.latency.p99_ms %.3f ms\n", Percentile(ms, 0.99));
    return true;
}

bool MeasureStream() {
    constexpr std::size_t kBytes = 1 << 20;
    std::string data(kBytes, '\0');
    for (std::size_t i = 0; i < kBytes; ++i)
        data[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    Pty pty;
    Port p(pty);
    std::size_t received = 0, wrong = 0;
    p.port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t) {
        while (cp.CharReady()) {
            const char c = cp.GetChar();
            if (received < kBytes && c != data[received]) ++wrong;
            ++received;
        }
    };
    const auto start = Clock::now();
    std::thread farEnd([&] {
        for (std::size_t at = 0; at < kBytes; at += 4096)
            pty.Write(data.data() + at, std::min<std::size_t>(4096, kBytes - at));
    });
    // Nothing may be lost: a stall of 2 s with bytes missing ends the run and counts them lost.
    std::size_t seen = 0;
    while (received < kBytes) {
        seen = received;
        p.mailbox->PumpUntil([&] { return received >= kBytes || received > seen; }, std::chrono::seconds(2));
        if (received == seen) break;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    farEnd.join();
    std::printf("bench: serial.stream.mb_per_s %.2f MB/s\n", static_cast<double>(received) / 1e6 / seconds);
    std::printf("bench: serial.stream.lost_bytes %zu bytes\n", kBytes - std::min(received, kBytes));
    if (wrong != 0) std::fprintf(stderr, "bench_serial: %zu bytes arrived changed or out of order\n", wrong);
    return received == kBytes && wrong == 0;
}

// A close must wake the workers that wait for the device, not sit out a time-out of theirs.
bool MeasureClose() {
    Pty pty;
    Port p(pty);
    std::vector<double> ms;
    for (int i = 0; i < 50; ++i) {
        p.port.SetOpen(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(5)); // let the workers settle into their waits
        const auto start = Clock::now();
        p.port.SetOpen(false);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::printf("bench: serial.close_idle_ms %.3f ms\n", Percentile(ms, 0.50));
    return true;
}

// A handler that waits for a byte the far end sends while it runs: the byte comes in only after the
// dispatcher gives up waiting for the handler, which it should after its send time-out (3,000 ms).
bool MeasureHandlerWait() {
    Pty pty;
    Port p(pty);
    double waitedMs = -1;
    bool first = true;
    p.port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t) {
        cp.GetChar();
        if (!first) return;
        first = false;
        pty.Write("B", 1);
        const auto start = Clock::now();
        while (!cp.CharReady() && Clock::now() - start < std::chrono::seconds(30))
            std::this_thread::yield();
        waitedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (cp.CharReady()) cp.GetChar();
    };
    pty.Write("A", 1);
    p.mailbox->PumpUntil([&] { return waitedMs >= 0; }, std::chrono::seconds(60));
    p.port.OnTriggerAvail = nullptr;
    p.mailbox->PumpUntil([&] { return p.mailbox->Queued() == 0; }, std::chrono::seconds(5));
    if (waitedMs < 0) {
        std::fprintf(stderr, "bench_serial: the handler never ran\n");
        return false;
    }
    std::printf("bench: serial.handler_wait_ms %.1f ms\n", waitedMs);
    return true;
}

} // namespace

int main() {
    bool ok = true;
    try {
        ok = MeasureLatency() && ok;
        ok = MeasureStream() && ok;
        ok = MeasureClose() && ok;
        ok = MeasureHandlerWait() && ok;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_serial: %s\n", e.what());
        return 1;
    }
    return ok ? 0 : 1;
}
