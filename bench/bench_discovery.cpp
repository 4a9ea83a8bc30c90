// Port discovery on a crowded system: one tick of the main window against a registry file of 20,000
// serial-port values (1,000 of them the virtual COM driver's) with 1,000 device entries.
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "platform/RegistryFilePortRegistry.h"
#include "platform/ScriptedInteraction.h"

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <pty.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kValues = 20000;
constexpr int kVcpPorts = 1000;

void WriteRegistry(const std::string& path, const std::string& loggerDevice) {
    std::ofstream out(path, std::ios::binary);
    out << "[HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n";
    // The driver's ports are spread through the list; the logger's (COM999) is among the last.
    for (int i = 0; i < kValues; ++i) {
        if (i % (kValues / kVcpPorts) == 0) {
            const int n = 1 + (i / (kValues / kVcpPorts)) % 999;
            out << "\\Device\\VCP" << i << "=COM" << n << "\n";
        } else {
            out << "\\Device\\Serial" << i << "=COM" << (1000 + i) << "\n";
        }
    }
    out << "[HKLM\\SYSTEM\\ControlSet001\\Enum\\FTDIBUS\\VID_0FE3+PID_6002+00000001A\\0000]\n";
    out << "FriendlyName=USB Serial Port (COM999)\n";
    out << "[ports]\n";
    for (int n = 1; n < kVcpPorts; ++n) out << "COM" << n << "=/dev/null\n";
    out << "COM999=" << loggerDevice << "\n";
}

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return 1;

    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/registry.txt";
    WriteRegistry(path, name);
    RegistryFilePortRegistry registry(path);
    ScriptedInteraction ui;
    TForm1Deps deps;
    deps.interaction = &ui;
    deps.registry = &registry;
    deps.screenSize = QSize(1280, 1024);
    TForm1 form(deps);
    form.Timer1->SetInterval(0);

    form.Timer1Timer(); // finds the logger and connects once; the ticks measured below only look
    std::vector<double> ms;
    for (int i = 0; i < 100; ++i) {
        const auto t0 = Clock::now();
        form.Timer1Timer();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("bench: discovery.tick_ms %.3f ms\n", ms[ms.size() / 2]);
    std::printf("bench: discovery.tick_max_ms %.3f ms\n", ms.back());
    ::close(master);
    ::close(slave);
    return 0;
}
