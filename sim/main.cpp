// vexa-sim: plays the data logger on a pseudo-terminal beside the tool until interrupted or unplugged.
#include "sim/Options.h"
#include "sim/Simulator.h"
#include "version/Version.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <exception>

int main(int argc, char** argv) {
    using namespace vexa::sim;
    const OptionsResult options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options.showVersion && options.error.empty()) {
        std::printf("vexa-sim %s\n", VexaVersion());
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "vexa-sim: %s\n%s", options.error.c_str(), UsageText().c_str());
        return 2;
    }
    // Signals are taken synchronously below; the simulator thread inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    try {
        Simulator sim(options.config);
        sim.start();
        std::printf("vexa-sim: logger on %s as COM%d\n", sim.slavePath().c_str(), options.config.com);
        std::fflush(stdout);
        const timespec tick{0, 100 * 1000 * 1000};
        while (!sim.unplugged()) {
            if (sigtimedwait(&stopSignals, nullptr, &tick) > 0) break;
        }
        sim.stop();
        std::printf("vexa-sim: %s\n", sim.unplugged() ? "unplugged" : "stopped");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vexa-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}
