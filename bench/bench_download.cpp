// Download, save and load figures: a complete "取得" from the simulated logger through a pseudo-terminal
// (full speed and paced at the line rate), the same download by the command line `vexa` from its start
// to its exit, the work area's file save and load, and peak memory.
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "platform/RegistryFilePortRegistry.h"
#include "platform/ScriptedInteraction.h"
#include "sim/Simulator.h"
#include "sim/StatusReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Rig {
    QTemporaryDir dir;
    std::unique_ptr<vexa::sim::Simulator> sim;
    std::unique_ptr<RegistryFilePortRegistry> registry;
    ScriptedInteraction ui;
    std::unique_ptr<TForm1> form;

    explicit Rig(vexa::sim::SimConfig config) {
        const std::string reg = (dir.path() + "/registry.txt").toStdString();
        config.registryPath = reg;
        sim = std::make_unique<vexa::sim::Simulator>(config);
        sim->start();
        registry = std::make_unique<RegistryFilePortRegistry>(reg);
        TForm1Deps deps;
        deps.interaction = &ui;
        deps.registry = registry.get();
        deps.screenSize = QSize(1280, 1024);
        form = std::make_unique<TForm1>(deps);
        form->show();
        if (!Pump(
                [&] {
                    return form->State.LinkUp == 1 && !form->ApdComPort1.Open() &&
                           form->LoggerSession().QueuedFollowUps().empty();
                },
                10000)) {
            std::fprintf(stderr, "bench: the simulated logger did not link\n");
            std::exit(1);
        }
        form->Timer1->SetInterval(0);
    }
    ~Rig() {
        form.reset();
        sim->stop();
    }
    static bool Pump(const std::function<bool()>& done, int timeoutMs) {
        QElapsedTimer t;
        t.start();
        // As the program's own event loop runs: asleep until an event comes; a timer wakes it to look.
        QTimer wake;
        wake.start(5);
        while (!done()) {
            if (t.elapsed() > timeoutMs) return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return true;
    }
    // Click to lines shown: the download has ended and the work area's view shows every line.
    double Download(int timeoutMs) {
        QElapsedTimer t;
        t.start();
        form->Button30Click();
        if (!Pump(
                [&] {
                    return form->LoggerSession().CurrentPhase() != vexa::session::Phase::Download &&
                           !form->ApdComPort1.Open();
                },
                timeoutMs))
            return -1;
        form->Memo1->SyncView();
        return double(t.nsecsElapsed()) / 1e6;
    }
};

void Print(const char* key, double value, const char* unit) { std::printf("bench: %s %.2f %s\n", key, value, unit); }

// `vexa download` as a script runs it, from the program's start to its exit; -1 when it failed.
double CliDownload(const std::string& file) {
    std::vector<std::string> words{VEXA_PROGRAM, "download", "-o", file};
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer t;
    t.start();
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, VEXA_PROGRAM, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

// The peak resident memory of `vexa download`, in MB; -1 when it failed or could not be read. A
// spawned child's ru_maxrss counts the parent's memory it shared until its exec, so the program's own
// high-water mark is read from /proc as it stops on its way out (traced for that one stop).
double CliDownloadPeakMb(const std::string& file) {
    std::vector<std::string> words{VEXA_PROGRAM, "download", "-o", file};
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, 1);
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        execve(VEXA_PROGRAM, argv.data(), environ);
        _exit(127);
    }
    double peak = -1;
    int status = 0;
    bool optionsSet = false;
    while (waitpid(pid, &status, 0) == pid) {
        if (WIFEXITED(status) || WIFSIGNALED(status)) break;
        if (!WIFSTOPPED(status)) continue;
        int forward = 0;
        if (!optionsSet && WSTOPSIG(status) == SIGTRAP) {
            // Stopped at its exec: stop it again when it exits.
            ptrace(PTRACE_SETOPTIONS, pid, nullptr, reinterpret_cast<void*>(long(PTRACE_O_TRACEEXIT)));
            optionsSet = true;
        } else if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
            char line[256];
            while (f && std::fgets(line, sizeof line, f))
                if (long kb = 0; std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) peak = double(kb) / 1024.0;
            if (f) std::fclose(f);
        } else {
            forward = WSTOPSIG(status);
        }
        ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void*>(long(forward)));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? peak : -1;
}

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    const int records = 72000;

    {
        vexa::sim::SimConfig c;
        c.recordCount = records;
        Rig rig(c);
        std::vector<double> runs;
        for (int i = 0; i < 3; ++i) runs.push_back(rig.Download(60000));
        std::sort(runs.begin(), runs.end());
        if (rig.form->State.LineCount != records) std::fprintf(stderr, "bench: download got %d lines\n", rig.form->State.LineCount);
        Print("download.pty72k_ms", runs[1], "ms");

        // The command line against its own simulated logger of the same memory, found through its registry
        // file as the window finds it; the window's rig is idle meanwhile.
        {
            QTemporaryDir cliDir;
            vexa::sim::SimConfig cc;
            cc.recordCount = records;
            cc.registryPath = (cliDir.path() + "/registry.txt").toStdString();
            vexa::sim::Simulator cliSim(cc);
            cliSim.start();
            setenv("VEXA_REGISTRY", cc.registryPath.c_str(), 1);
            setenv("VEXA_LOCK_DIR", cliDir.path().toLocal8Bit().constData(), 1);
            const std::string cliFile = (cliDir.path() + "/cli.csv").toStdString();
            std::vector<double> cli, rss;
            for (int i = 0; i < 3; ++i) cli.push_back(CliDownload(cliFile));
            for (int i = 0; i < 3; ++i) rss.push_back(CliDownloadPeakMb(cliFile));
            cliSim.stop();
            unsetenv("VEXA_REGISTRY");
            std::sort(cli.begin(), cli.end());
            std::sort(rss.begin(), rss.end());
            if (cli.front() < 0 || rss.front() < 0) std::fprintf(stderr, "bench: vexa download failed\n");
            Print("cli.download72k_ms", cli[1], "ms");
            Print("cli.peak_rss_mb", rss[1], "MB");
        }

        // Save and load the 72,002-line work area.
        const QString path = rig.dir.path() + "/bench.csv";
        std::vector<double> save, load, loadView;
        for (int i = 0; i < 5; ++i) {
            rig.ui.saveAnswers.push_back(path);
            QElapsedTimer t;
            t.start();
            rig.form->Button6Click();
            save.push_back(double(t.nsecsElapsed()) / 1e6);
            rig.ui.openAnswers.push_back(path);
            t.restart();
            // Loaded: the work area holds every line and the view shows its first step of them.
            rig.form->Button11Click();
            QCoreApplication::processEvents();
            load.push_back(double(t.nsecsElapsed()) / 1e6);
            // The view then catches up between events; this is when it holds every line.
            rig.form->Memo1->SyncView();
            loadView.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::sort(save.begin(), save.end());
        std::sort(load.begin(), load.end());
        std::sort(loadView.begin(), loadView.end());
        Print("files.save72k_ms", save[2], "ms");
        Print("files.load72k_ms", load[2], "ms");
        Print("files.load72k_view_complete_ms", loadView[2], "ms");
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        Print("mem.peak_rss_mb", double(usage.ru_maxrss) / 1024.0, "MB");
    }

    {
        // Paced at 115200 baud; a full 72,000-record memory takes over two minutes of wire time, so
        // the default run paces 10,000 records (VEXA_BENCH_FULL=1 for all of them).
        const bool full = std::getenv("VEXA_BENCH_FULL") != nullptr;
        const int paced = full ? records : 10000;
        vexa::sim::SimConfig c;
        c.recordCount = paced;
        c.paced = true;
        Rig rig(c);
        // The event loop's responsiveness: the largest gap between ticks of a 5 ms timer.
        QElapsedTimer gapClock;
        qint64 last = -1, worst = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = gapClock.nsecsElapsed();
            if (last >= 0) worst = std::max(worst, now - last);
            last = now;
        });
        gapClock.start();
        probe.start(5);
        const double ms = rig.Download(paced * 30 + 60000);
        probe.stop();
        const double wireBytes = double(vexa::sim::CountLine(paced).size() + 2) + double(paced) * 22.0 + 1.0;
        const double wireMs = wireBytes / 11520.0 * 1000.0;
        Print("download.paced_stall_max_ms", double(worst) / 1e6 - 5.0 < 0 ? 0 : double(worst) / 1e6 - 5.0, "ms");
        Print("download.paced_overhead_pct", (ms - wireMs) / wireMs * 100.0, "%");
        Print("download.paced_records", paced, "records");
    }
    return 0;
}
