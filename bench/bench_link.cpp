// Exchange turnaround: from the logger's "#" to the first byte of the next queued command, through a
// pseudo-terminal, with the window's parser on the UI thread and the logger played on another thread.
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "platform/ScriptedInteraction.h"
#include "support/FakeRegistry.h"

#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Reads from the master until `want` bytes arrived or two seconds passed; returns the bytes.
std::string ReadSome(int master, size_t want) {
    std::string got;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (got.size() < want && Clock::now() < deadline) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buf[256];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n > 0) got.append(buf, size_t(n));
    }
    return got;
}

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return 1;
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);

    FakeRegistry registry;  // plugged only after start-up, so that no greeting goes out
    ScriptedInteraction ui;
    TForm1Deps deps;
    deps.interaction = &ui;
    deps.registry = &registry;
    deps.screenSize = QSize(1280, 1024);
    TForm1 form(deps);
    form.Timer1->SetInterval(0);
    registry.PlugLogger(5, name);
    // Linked without an exchange ("Hello"): answers go through the reply loop.
    form.Button38Click();
    form.ApdComPort1.SetComNumber(5);

    const int exchanges = 1000;
    std::vector<double> ms;
    ms.reserve(exchanges);
    bool failed = false;
    std::thread logger([&] {
        for (int i = 0; i < exchanges && !failed; ++i) {
            // A handler sends a command with a follow-up ("o", then "p" once its answer ends).
            QMetaObject::invokeMethod(
                &form,
                [&] {
                    form.LoggerSession().RequestCommand({"o", {"p"}}, Clock::now());
                },
                Qt::BlockingQueuedConnection);
            if (ReadSome(master, 1) != "o") {
                std::fprintf(stderr, "bench: exchange %d: no command\n", i);
                failed = true;
                break;
            }
            const auto t0 = Clock::now();
            if (::write(master, "#", 1) != 1) failed = true;
            const std::string got = ReadSome(master, 1);
            const auto t1 = Clock::now();
            if (got != "p") {
                std::fprintf(stderr, "bench: exchange %d got %zu bytes (%s)\n", i, got.size(), got.c_str());
                failed = true;
                break;
            }
            ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            // The answer to "p" ends the exchange: the parser closes the port.
            if (::write(master, "ok\r\n#", 5) != 5) failed = true;
            QMetaObject::invokeMethod(
                &form, [] {}, Qt::BlockingQueuedConnection);
            while (!failed) {
                bool open = true;
                QMetaObject::invokeMethod(
                    &form, [&] { open = form.ApdComPort1.Open(); }, Qt::BlockingQueuedConnection);
                if (!open) break;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    });
    app.exec();
    logger.join();
    ::close(master);
    ::close(slave);
    if (failed || ms.empty()) return 1;
    std::sort(ms.begin(), ms.end());
    const auto pct = [&](double p) { return ms[std::min(ms.size() - 1, size_t(p * double(ms.size())))]; };
    std::printf("bench: link.turnaround.p50_ms %.3f ms\n", pct(0.50));
    std::printf("bench: link.turnaround.p99_ms %.3f ms\n", pct(0.99));
    return 0;
}
