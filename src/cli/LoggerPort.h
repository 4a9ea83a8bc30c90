// Where the logger is: the port named with --port, or the one discovery finds by the window's rules,
// looked for up to --wait seconds; and opening it without fighting another program over it.
#pragma once

#include "platform/PortRegistry.h"
#include "serial/TApdComPort.h"
#include "session/PortSearch.h"

#include <optional>
#include <string>

namespace vexa::cli {

struct LoggerPort {
    std::string name;       // "COM3"; a device path named with --port stands as it was given
    std::string devicePath; // what is opened
    unsigned comNumber = 1; // the number the serial component opens (a named path is mapped to it)
};

// The discovery tick's decision on one snapshot, its connect text starting as the window's does.
// adapter: as the window with its "FTDI" box checked, the generic USB-serial adapter stands for the
// logger when no logger is found (its port taken once it is one of the driver's ports).
vexa::session::PortSearch SearchLoggerPort(const vexa::session::RegistrySnapshot& snapshot, bool adapter);

// Looks for the logger until it is found or waitSeconds have passed (an interrupt ends the wait).
// named: the text of --port. Fails with kExitNoLogger saying what was found instead.
LoggerPort FindLoggerPort(PortRegistry& registry, const std::optional<std::string>& named, bool adapter,
                          double waitSeconds);

// Fails with kExitNoLogger when the V-EXAVIEW window runs and this is the logger it finds: the window
// opens the port at every tick, so both would talk at once.
void CheckWindowAway(PortRegistry& registry, const LoggerPort& port);

// Sets the port up as the window does (115200 baud, 8N1, DTR on, RTS off, 512-byte output buffer) and
// opens it. The open takes the device exclusively, so another vexa, or the window in the middle of an
// exchange, is refused. Fails with kExitNoLogger naming the cause (held, no permission and the udev
// rule, gone).
void OpenLoggerPort(TApdComPort& com, const LoggerPort& port);

} // namespace vexa::cli
