// The table of subcommands and options. A new subcommand is a file with its Run function, its
// declaration in Subcommands.h and one entry below.
#include "cli/Subcommands.h"

#include <array>

namespace vexa::cli {

namespace {

constexpr std::array<OptionSpec, 8> kOptions{{
    // Global.
    {"port", 0, "PORT", "use this port (COM3, /dev/ttyUSB0) instead of looking for the logger"},
    {"wait", 0, "SECONDS", "look for the logger (or the named port) this long before giving up; default 5"},
    {"adapter", 0, "", "when no logger is found, use a generic USB-serial adapter (0403:6001) instead"},
    {"json", 0, "", "print one JSON object on standard output instead of the summary"},
    {"help", 'h', "", "show this help (or a subcommand's) and exit"},
    {"version", 0, "", "print the version and exit"},
    // Subcommands.
    {"output", 'o', "FILE", "the CSV file to write"},
    {"seconds", 0, "N", "length of the capture, 5 to 360 seconds"},
}};

constexpr std::array<std::string_view, 1> kDownloadOptions{"output"};
constexpr std::array<std::string_view, 2> kCaptureOptions{"seconds", "output"};

constexpr std::array<Subcommand, 5> kSubcommands{{
    {"status",
     "status [--json]",
     "greet the logger and print its settings",
     "Greets the logger as the window does when it finds one and prints the settings the logger reports:\n"
     "firmware, ID, buzzer, recording interval, sampling, start mode, range, threshold, the year of the\n"
     "first record, counts per G and the number of records.",
     {},
     0,
     RunStatus},
    {"download", "download -o FILE.csv [--json]", "download the recorded data into a CSV file",
     "Downloads the logger's memory as the window's \"取得\" does and writes the file its \"保存\" would\n"
     "write (header, column line, one line per record, CR LF). The file appears only once it is complete.\n"
     "If the logger stops answering or is unplugged, every record that arrived whole goes to\n"
     "FILE.partial.csv instead and the exit code is 4.",
     kDownloadOptions, 0, RunDownload},
    {"capture", "capture --seconds N -o FILE.csv [--json]",
     "capture 5-ms samples for N seconds into a CSV file",
     "Streams 200 samples a second for N seconds (5 to 360), as the window's \"5ms\" does, and writes\n"
     "the lines it would save. Ctrl+C ends the capture early and keeps what has arrived. A logger that\n"
     "stops sending or is unplugged ends it too; what arrived then goes to FILE.partial.csv (exit 4).",
     kCaptureOptions, 0, RunCapture},
    {"set-clock",
     "set-clock [--json]",
     "set the logger's clock to this computer's time",
     "Sets the logger's clock to this computer's local time, as the window's \"e\" button does, and\n"
     "prints the time the logger reports afterwards. Like the button, it greets the logger again 12 s\n"
     "later, once the logger has taken the new clock, so it takes about that long.",
     {},
     0,
     RunSetClock},
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
    return name == "port" || name == "wait" || name == "adapter" || name == "json" || name == "help" ||
           name == "version";
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
