// Console facts and Ctrl+C on POSIX systems.
#include "platform/Console.h"

#include <atomic>
#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vexa {

namespace {
std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int signal) {
    if (interrupted.exchange(true)) {
        // Asked twice: the orderly end is not wanted any more.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}
} // namespace

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

int TerminalColumns(std::FILE* stream) {
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

bool InterruptRequested() {
    return interrupted.load();
}

void ClearInterrupt() {
    interrupted.store(false);
}

} // namespace vexa
