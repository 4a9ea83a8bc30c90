// Finding, checking and opening the logger's port for the command line.
#include "cli/LoggerPort.h"

#include "cli/Failure.h"
#include "platform/Console.h"
#include "platform/SingleInstance.h"
#include "session/PortSearch.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace vexa::cli {

namespace {

using Clock = std::chrono::steady_clock;
using vexa::session::PortSearch;

// How often the registry (or the named device) is looked at while waiting: as often as a person
// would notice, far less often than it costs anything.
constexpr auto kPollInterval = std::chrono::milliseconds(200);

std::string Looked(double waitSeconds) {
    if (waitSeconds <= 0) return "";
    char text[48];
    std::snprintf(text, sizeof text, " (looked for %g s)", waitSeconds);
    return text;
}

std::optional<LoggerPort> Discovered(const vexa::session::RegistrySnapshot& snapshot,
                                     const PortSearch& search) {
    if (!search.Found()) return std::nullopt;
    const unsigned number = unsigned(vexa::session::PortNumberOfText(search.chosenPort));
    const auto path = snapshot.devicePaths.find(number);
    if (number == 0 || path == snapshot.devicePaths.end()) return std::nullopt;
    return LoggerPort{search.chosenPort, path->second, number};
}

std::string NotFoundReason(const vexa::session::RegistrySnapshot& snapshot, const PortSearch& search) {
    switch (search.outcome) {
    case PortSearch::Outcome::Absent:
        return "no serial port of the logger's USB driver is present";
    case PortSearch::Outcome::NotFound:
        return "serial ports are present, but none belongs to a logger (USB " + std::string(kLoggerVendorId) +
               ":" + std::string(kLoggerProductId) + ")";
    case PortSearch::Outcome::NameTooLong:
        return "the logger's port name in \"" + snapshot.loggerFriendlyName.value_or("") + "\" is too long";
    default:
        return "the logger's port " + search.chosenPort + " has no device to open";
    }
}

std::optional<LoggerPort> Named(PortRegistry& registry, const std::string& named) {
    if (const auto number = ParseComName(named)) {
        if (auto path = registry.DevicePath(*number)) return LoggerPort{named, *path, *number};
        return std::nullopt;
    }
    std::error_code ec;
    if (!std::filesystem::exists(named, ec)) return std::nullopt;
    return LoggerPort{named, named, 1};
}

// The system's texts can end in blanks or a full stop; the message line goes on after them.
std::string TrimmedMessage(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '.' || text.back() == '\n'))
        text.pop_back();
    return text;
}

} // namespace

PortSearch SearchLoggerPort(const vexa::session::RegistrySnapshot& snapshot, bool adapter) {
    // The window's adapter search compares the port list with the port it chose before; the command
    // line has chosen none, so it stands on the adapter's own port.
    const std::string chosen = adapter ? snapshot.adapterPortName.value_or("1") : "1";
    return vexa::session::SearchPorts(snapshot, adapter, chosen);
}

LoggerPort FindLoggerPort(PortRegistry& registry, const std::optional<std::string>& named, bool adapter,
                          double waitSeconds) {
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(waitSeconds));
    while (true) {
        std::string reason;
        if (named) {
            if (auto port = Named(registry, *named)) return *port;
            reason =
                ParseComName(*named) ? "there is no port " + *named : "\"" + *named + "\" does not exist";
        } else {
            const auto snapshot = registry.Snapshot();
            const PortSearch search = SearchLoggerPort(snapshot, adapter);
            if (auto port = Discovered(snapshot, search)) return *port;
            reason = "no logger found: " + NotFoundReason(snapshot, search);
        }
        if (Clock::now() >= deadline || InterruptRequested())
            throw Failure(kExitNoLogger, reason + Looked(waitSeconds));
        std::this_thread::sleep_for(std::min<Clock::duration>(kPollInterval, deadline - Clock::now()));
    }
}

void CheckWindowAway(PortRegistry& registry, const LoggerPort& port) {
    SingleInstanceGuard window(kWindowGuardName);
    if (!window.HeldElsewhere()) return;
    // The window talks to the logger its discovery finds; a logger on another port is left alone by it.
    // Links (the udev rule's /dev/vexa-<serial>) are followed to the device itself.
    const auto device = [](const std::string& path) {
        std::error_code ec;
        const auto real = std::filesystem::canonical(path, ec);
        return ec ? path : real.string();
    };
    const auto snapshot = registry.Snapshot();
    const auto windows = Discovered(snapshot, SearchLoggerPort(snapshot, false));
    if (windows && device(windows->devicePath) != device(port.devicePath)) return;
    throw Failure(kExitNoLogger, "the logger on " + port.name +
                                     " is in use by the V-EXAVIEW window, which talks to it every second; "
                                     "close the window and try again");
}

void OpenLoggerPort(TApdComPort& com, const LoggerPort& port) {
    com.SetPromptForPort(false);
    com.SetBaud(115200);
    com.SetOutSize(512);
    com.SetRTS(false);
    const std::string path = port.devicePath;
    const unsigned number = port.comNumber;
    com.SetDevicePathResolver([path, number](unsigned n) -> std::optional<std::string> {
        if (n == number) return path;
        return std::nullopt;
    });
    com.SetComNumber(std::uint16_t(number));
    const std::string where = port.name == path ? path : port.name + " (" + path + ")";
    try {
        com.SetOpen(true);
    } catch (const EAPDException& e) {
        switch (e.ErrorCode()) {
        case ecAlreadyOpen:
            throw Failure(kExitNoLogger, where +
                                             " is held by another program (the V-EXAVIEW window or another "
                                             "vexa); try again when it is done");
        case ecBadId: {
            // A path named with --port that is there but is no terminal (a file, /dev/null).
            std::error_code ec;
            if (port.name == path && std::filesystem::exists(path, ec))
                throw Failure(kExitNoLogger, path + " is not a serial port");
            throw Failure(kExitNoLogger, where + " does not exist (the logger was unplugged?)");
        }
        case ecAccessDenied:
            // The serial layer's text names the udev rule and the group, as the window shows it.
            throw Failure(kExitNoLogger, e.what());
        default:
            throw Failure(kExitNoLogger, "cannot open " + where + ": " + e.what());
        }
    } catch (const EInOutError& e) {
        // The system's own refusal (a folder, a device that is no serial port): the port cannot be had.
        throw Failure(kExitNoLogger, "cannot open " + where + ": " + TrimmedMessage(e.what()));
    }
}

} // namespace vexa::cli
