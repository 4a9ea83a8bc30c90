// The table of subcommands and options. A new subcommand is a file with its Run function, its
// declaration in Subcommands.h and one entry below.
#include "cli/Subcommands.h"

#include <array>

namespace vexa::cli {

namespace {

constexpr std::array<OptionSpec, 5> kOptions{{
    // Global.
    {"port", 0, "PORT", "use this port (COM3, /dev/ttyUSB0) instead of looking for the logger"},
    {"wait", 0, "SECONDS", "look for the logger (or the named port) this long before giving up; default 5"},
    {"json", 0, "", "print one JSON object on standard output instead of the summary"},
    {"help", 'h', "", "show this help (or a subcommand's) and exit"},
    {"version", 0, "", "print the version and exit"},
}};

constexpr std::array<Subcommand, 1> kSubcommands{{
    {"ports",
     "ports [--json]",
     "list the serial ports and mark the one vexa would use",
     "Lists the serial ports this computer has, with the USB ids where known, and marks the port vexa\n"
     "would use and why: the logger found by its USB id 0FE3:6002, or none.",
     {},
     0,
     RunPorts},
}};

} // namespace

std::span<const OptionSpec> AllOptions() {
    return kOptions;
}

bool IsGlobalOption(std::string_view name) {
    return name == "port" || name == "wait" || name == "json" || name == "help" || name == "version";
}

const OptionSpec* FindOption(std::string_view name) {
    for (const OptionSpec& o : kOptions)
        if (o.name == name) return &o;
    return nullptr;
}

std::span<const Subcommand> Subcommands() {
    return kSubcommands;
}

const Subcommand* FindSubcommand(std::string_view name) {
    for (const Subcommand& s : kSubcommands)
        if (s.name == name) return &s;
    return nullptr;
}

} // namespace vexa::cli
