// The table of subcommands and options. A new subcommand is a file with its Run function, its
// declaration in Subcommands.h and one entry below.
#include "cli/Subcommands.h"

#include <array>

namespace vexa::cli {

namespace {

constexpr std::array<OptionForm, 14> kOptions{{
    // Global.
    {"port", 0, "PORT", "use this port (COM3, /dev/ttyUSB0) instead of looking for the logger"},
    {"wait", 0, "SECONDS", "look for the logger (or the named port) this long before giving up; default 5"},
    {"adapter", 0, "", "when no logger is found, use a generic USB-serial adapter (0403:6001) instead"},
    {"json", 0, "", "print one JSON object on standard output instead of the summary"},
    {"help", 'h', "", "show this help (or a subcommand's) and exit"},
    {"version", 0, "", "print the version and exit"},
    // Subcommands.
    {"output", 'o', "FILE", "the file to write (the CSV file, or the report's PDF)"},
    {"seconds", 0, "N", "length of the capture, 5 to 360 seconds"},
    {"from", 0, "TIME", "first time of the range: \"2024/03/01 12:00:00\", \"12:00\" or \"+SECONDS\""},
    {"to", 0, "TIME", "last time of the range, written as for --from"},
    {"threshold", 0, "G", "a shock is |a| at or above this many g; default the median |a| plus 2 g"},
    {"min-gap-ms", 0, "MS", "runs over the threshold closer than this are one event; default 1000"},
    {"fail-above", 0, "G", "exit with 1 when an event peaks above this many g"},
    {"title", 0, "TEXT", "the report's title; default \"Shock and vibration report\""},
}};

constexpr std::array<std::string_view, 1> kDownloadOptions{"output"};
constexpr std::array<std::string_view, 2> kCaptureOptions{"seconds", "output"};
constexpr std::array<std::string_view, 2> kStatsOptions{"from", "to"};
constexpr std::array<std::string_view, 3> kEventsOptions{"threshold", "min-gap-ms", "fail-above"};
constexpr std::array<std::string_view, 4> kReportOptions{"output", "threshold", "min-gap-ms", "title"};

constexpr std::array<Subcommand, 8> kSubcommands{{
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
    {"stats", "stats FILE.csv [--from TIME --to TIME] [--json]", "statistics in g of a data file",
     "Reads a data file (a download, a 5-ms capture or any file the window saves) and prints, in g, the\n"
     "maximum, minimum, mean, RMS and peak-to-peak of each axis, the largest vector magnitude\n"
     "|a| = sqrt(x² + y² + z²) and when it happened, and the temperature's maximum, minimum and mean in °C.\n"
     "g is counts divided by the counts per G of the file's start line (10 when it names none). --from\n"
     "and --to pick the samples from the first at or after one time to the last at or before the other.",
     kStatsOptions, 1, RunStats},
    {"events", "events FILE.csv [--threshold G] [--min-gap-ms MS] [--json] [--fail-above G]",
     "the shock events of a data file",
     "Lists the shocks in a data file: runs of samples whose vector magnitude |a| reaches the threshold,\n"
     "runs less than --min-gap-ms apart counted as one event. Per event its first and last sample over the\n"
     "threshold, its peak |a| and when, the largest value on each axis, and its number of samples over.\n"
     "With --fail-above the exit code is 1 when an event peaks above that many g, and 0 otherwise.",
     kEventsOptions, 1, RunEvents},
    {"report", "report FILE.csv -o REPORT.pdf [--threshold G] [--title TEXT]",
     "write the PDF report of a data file",
     "Writes an A4 PDF report of a data file: its facts, the statistics, the largest shock events, an\n"
     "overview graph of the whole recording with the threshold, and for a 5-ms capture the vibration\n"
     "spectrum. No display is needed. The file appears only once it is complete.",
     kReportOptions, 1, RunReport},
}};

} // namespace

std::span<const OptionForm> AllOptions() {
    return kOptions;
}

bool IsGlobalOption(std::string_view name) {
    return name == "port" || name == "wait" || name == "adapter" || name == "json" || name == "help" ||
           name == "version";
}

const OptionForm* FindOption(std::string_view name) {
    for (const OptionForm& o : kOptions)
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
