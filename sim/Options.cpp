// Command-line options of the vexa-sim program.
#include "sim/Options.h"

#include "sim/CivilTime.h"
#include "sim/RecordEncoder.h"

#include <charconv>
#include <sstream>

namespace vexa::sim {

namespace {
bool ToLong(const std::string& s, long lo, long hi, long& out) {
    long v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool ToIndexSet(const std::string& s, std::set<int>& out) {
    std::stringstream in(s);
    std::string item;
    while (std::getline(in, item, ',')) {
        long v = 0;
        if (!ToLong(item, 0, 10000000, v)) return false;
        out.insert(static_cast<int>(v));
    }
    return !out.empty();
}
} // namespace

std::string UsageText() {
    return "Usage: vexa-sim [options]\n"
           "Plays the data logger on a pseudo-terminal until interrupted.\n"
           "  --registry FILE      write the registry file naming the port (removed at exit; deleting it unplugs)\n"
           "  --com N              COM number announced in the registry file (default 3)\n"
           "  --other-ports N      list N other serial ports before the logger's in the registry file\n"
           "  --log FILE           append every command received, one per line with a timestamp\n"
           "  --records N          records in memory, 0..72000 (default 100)\n"
           "  --start DATETIME     first record, \"yyyy/mm/dd hh:mm:ss\" (default 2024/01/02 12:34:56)\n"
           "  --interval CODE      recording interval code letter (A B C D E J O T ^ a b c d e f; default A)\n"
           "  --sampling CODE      sampling code 0-9 or A-F; A-F are millisecond modes with a thousandths digit\n"
           "  --counts-code CODE   range code reported by \"@T\" (10 20 50 00 02 01; default 10)\n"
           "  --model LINE         model line sent in the status report and greeting\n"
           "  --firmware-version N firmware version in the default model line (default 20231226)\n"
           "  --irregular I,J      records (0-based) whose time does not advance\n"
           "  --year-rollover      put a December -> January change in the middle of the records\n"
           "  --record-len N       record line length 16, 18, 20 or 21 (default 20, 21 in millisecond modes)\n"
           "  --motion KIND        what records and stream carry: pattern (default; checkable values) or\n"
           "                       shocks (1 G at rest, vibration, half-sine shocks of 3-8 G; 10 counts per G)\n"
           "  --latency MS         delay before each answer\n"
           "  --latency-on CMD     delay only the answers to command CMD (with --latency)\n"
           "  --paced              send at the real line rate (115200 baud, ~11520 bytes/s); default: at once\n"
           "  --unplug-after MS    unplug the logger after MS milliseconds\n"
           "Faults:\n"
           "  --no-hash[=CMD]      leave out the closing \"#\" (of every answer, or only of command CMD)\n"
           "  --garbage            stray bytes in the middle of the first line of each answer\n"
           "  --long-line          a 200-character line after the first line of each answer\n"
           "  --extra-count N      \"@C\" announces N more records than are sent\n"
           "  --enq                ENQ (0x05) in the middle of the first line of each answer\n"
           "  --bang-lines I,J     answer these firmware lines (0-based) with \"!\"\n"
           "  --bang-repeat N      \"!\" bytes in each of those answers (default 1)\n"
           "  --boot-silent-at I   the boot loader answers no firmware line from line I on\n"
           "  --boot-hangup-at I   hang up (unplug) when firmware line I arrives\n"
           "  --boot-m-then-more   answer \"qs\" with \"M\" and more bytes in one burst, the lone \"M\" 200 ms later\n"
           "  --hangup-after N     hang up (unplug) after N bytes have been sent\n"
           "  --version            print the program's version and exit\n"
           "Sample stream (after \"x\"):\n"
           "  --stream-lead C      lead character of each sample (default S)\n"
           "  --stream-pause-after N  pause after N samples (for good unless --stream-pause-ms is given)\n"
           "  --stream-pause-ms MS length of that pause\n"
           "  --stream-hangup-after N  unplug after N samples\n"
           "  --stream-bursts SEED deliver the stream in pieces of random size (1..96 bytes), seeded\n"
           "  --stream-period-us US one sample every US microseconds (default 5000; less plays a long capture fast)\n"
           "  --stream-malformed-every N  garble every N-th sample\n"
           "  --stream-malformed-kinds K  how, in turn: n NUL bytes, x non-hex, s too short, l too long (default nxsl)\n"
           "  --stream-in-flight N send N more samples after the \"#\" that answers the stop (still on their way)\n"
           "  --stream-in-flight-ms MS  how long after the \"#\" they come (default 50)\n"
           "  --help               this text\n";
}

OptionsResult ParseOptions(const std::vector<std::string>& args) {
    OptionsResult r;
    SimConfig& c = r.config;
    std::string version;
    bool modelGiven = false;
    for (std::size_t i = 0; i < args.size() && r.error.empty(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                r.error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto number = [&](long lo, long hi, long& out) {
            std::string v;
            if (!value(v)) return false;
            if (!ToLong(v, lo, hi, out)) {
                r.error = a + ": not a number in " + std::to_string(lo) + ".." + std::to_string(hi) + ": " + v;
                return false;
            }
            return true;
        };
        long n = 0;
        std::string v;
        if (a == "--help" || a == "-h") r.help = true;
        else if (a == "--registry") value(c.registryPath);
        else if (a == "--log") value(c.logPath);
        else if (a == "--com") { if (number(1, 255, n)) c.com = static_cast<int>(n); }
        else if (a == "--other-ports") { if (number(0, 100000, n)) c.otherPorts = static_cast<int>(n); }
        else if (a == "--records") { if (number(0, 72000, n)) c.recordCount = static_cast<int>(n); }
        else if (a == "--start") {
            if (value(v) && !ParseDateTime(v)) r.error = "--start: not \"yyyy/mm/dd hh:mm:ss\": " + v;
            c.start = v;
        } else if (a == "--interval") {
            if (value(v) && (v.size() != 1 || !IntervalSeconds(v[0]))) r.error = "--interval: unknown code " + v;
            else c.settings.intervalCode = v[0];
        } else if (a == "--sampling") {
            if (value(v) && (v.size() != 1 || !IsSamplingCode(v[0]))) r.error = "--sampling: unknown code " + v;
            else c.settings.samplingCode = v[0];
        } else if (a == "--counts-code") {
            if (value(v) && v != "10" && v != "20" && v != "50" && v != "00" && v != "02" && v != "01")
                r.error = "--counts-code: unknown code " + v;
            else c.settings.countsCode = v;
        } else if (a == "--model") { modelGiven = value(c.settings.modelLine); }
        else if (a == "--firmware-version") { if (number(0, 99999999, n)) version = std::to_string(n); }
        else if (a == "--version") r.showVersion = true;
        else if (a == "--irregular") {
            if (value(v) && !ToIndexSet(v, c.irregular)) r.error = "--irregular: expected I,J,...: " + v;
        } else if (a == "--year-rollover") c.yearRollover = true;
        else if (a == "--record-len") {
            if (number(16, 21, n) && n != 16 && n != 18 && n != 20 && n != 21) r.error = "--record-len: 16, 18, 20 or 21";
            c.recordLength = static_cast<int>(n);
        } else if (a == "--latency") { if (number(0, 60000, n)) c.faults.latencyMs = static_cast<int>(n); }
        else if (a == "--latency-on") value(c.faults.latencyOn);
        else if (a == "--paced") c.paced = true;
        else if (a == "--unplug-after") { if (number(0, 86400000, n)) c.faults.unplugAfterMs = static_cast<int>(n); }
        else if (a == "--no-hash") c.faults.noHash = true;
        else if (a.rfind("--no-hash=", 0) == 0) {
            c.faults.noHash = true;
            c.faults.noHashOn = a.substr(10);
        } else if (a == "--garbage") c.faults.garbage = true;
        else if (a == "--long-line") c.faults.longLine = true;
        else if (a == "--extra-count") { if (number(1, 100000, n)) c.faults.extraCount = static_cast<int>(n); }
        else if (a == "--enq") c.faults.enqInLine = true;
        else if (a == "--bang-lines") {
            if (value(v) && !ToIndexSet(v, c.faults.bangLines)) r.error = "--bang-lines: expected I,J,...: " + v;
        } else if (a == "--bang-repeat") { if (number(1, 100, n)) c.faults.bangRepeat = static_cast<int>(n); }
        else if (a == "--boot-silent-at") { if (number(0, 10000000, n)) c.faults.bootSilentAt = static_cast<int>(n); }
        else if (a == "--boot-hangup-at") { if (number(0, 10000000, n)) c.faults.bootHangupAt = static_cast<int>(n); }
        else if (a == "--boot-m-then-more") c.faults.bootMThenMore = true;
        else if (a == "--hangup-after") { if (number(0, 1L << 40, n)) c.faults.hangupAfterBytes = n; }
        else if (a == "--motion") {
            if (value(v) && v != "pattern" && v != "shocks") r.error = "--motion: pattern or shocks";
            c.motion = c.stream.motion = v == "shocks" ? Motion::Shocks : Motion::Pattern;
        } else if (a == "--stream-lead") {
            if (value(v) && (v.size() != 1 || v[0] == '\r' || v[0] == '#')) r.error = "--stream-lead: one character";
            else c.stream.lead = v[0];
        } else if (a == "--stream-pause-after") { if (number(0, 1L << 40, n)) c.stream.pauseAfter = n; }
        else if (a == "--stream-pause-ms") { if (number(0, 86400000, n)) c.stream.pauseMs = static_cast<int>(n); }
        else if (a == "--stream-hangup-after") { if (number(0, 1L << 40, n)) c.stream.hangupAfter = n; }
        else if (a == "--stream-bursts") {
            if (number(1, 0xFFFFFFFFL, n)) c.stream.burstSeed = static_cast<std::uint32_t>(n);
        } else if (a == "--stream-period-us") {
            if (number(10, 1000000, n)) c.stream.periodUs = static_cast<int>(n);
        } else if (a == "--stream-malformed-every") {
            if (number(1, 1L << 40, n)) c.stream.malformedEvery = n;
        } else if (a == "--stream-malformed-kinds") {
            if (value(v) && (v.empty() || v.find_first_not_of("nxsl") != std::string::npos))
                r.error = "--stream-malformed-kinds: letters of n, x, s, l";
            else
                c.stream.malformedKinds = v;
        } else if (a == "--stream-in-flight") {
            if (number(1, 100000, n)) c.stream.inFlightAfterStop = static_cast<int>(n);
        } else if (a == "--stream-in-flight-ms") {
            if (number(0, 60000, n)) c.stream.inFlightDelayMs = static_cast<int>(n);
        } else r.error = "unknown option " + a;
    }
    if (!version.empty()) {
        if (modelGiven) r.error = "--model and --firmware-version exclude each other";
        else c.settings.modelLine = "KTZ-770 Ver=" + version;
    }
    return r;
}

} // namespace vexa::sim
