// Dispatch: reads the arguments, answers --help and --version, runs the subcommand and maps its failure
// to an exit code and one line on standard error.
#include "cli/Main.h"

#include "cli/Failure.h"
#include "version/Version.h"

#include <exception>

namespace vexa::cli {

namespace {

constexpr std::string_view kExitCodes =
    "Exit codes:\n"
    "  0  done\n"
    "  1  any other failure (interrupted before a capture started, say)\n"
    "  2  usage error, or a file that cannot be read or written\n"
    "  3  no logger found, its port cannot be opened (the message says why), or another program\n"
    "     holds it (the V-EXAVIEW window or another vexa)\n"
    "  4  the logger stopped answering or was unplugged; download and capture then write every\n"
    "     record that arrived whole to FILE.partial.csv\n";

std::string OptionLine(const OptionForm& o) {
    std::string left = "  ";
    left += o.shortName ? std::string("-") + o.shortName + ", " : std::string("    ");
    left += "--" + std::string(o.name);
    if (!o.valueName.empty()) left += " " + std::string(o.valueName);
    if (left.size() < 24)
        left.resize(24, ' ');
    else
        left += "  ";
    return left + std::string(o.help) + "\n";
}

std::string TryHelp() {
    return "Try 'vexa --help' for more information.";
}

int UsageError(Streams& streams, const std::string& message) {
    Say(streams, message);
    std::fprintf(streams.err, "%s\n", TryHelp().c_str());
    return kExitUsage;
}

} // namespace

void Say(Streams& streams, std::string_view message) {
    std::string line = "vexa: ";
    for (char c : message)
        line += (c == '\n' || c == '\r') ? ' ' : c;
    std::fprintf(streams.err, "%s\n", line.c_str());
    std::fflush(streams.err);
}

std::string OverviewHelp() {
    std::string text =
        "Usage: vexa [--port PORT] [--wait SECONDS] [--json] COMMAND [OPTIONS]\n"
        "\n"
        "The VEXA acceleration and temperature logger from the command line: the same exchanges as the\n"
        "V-EXAVIEW window, without a window (over ssh, in scripts and CI).\n"
        "\n"
        "Commands:\n";
    for (const Subcommand& s : Subcommands()) {
        std::string name = "  " + std::string(s.name);
        name.resize(14, ' ');
        text += name + std::string(s.summary) + "\n";
    }
    text += "\nOptions:\n";
    for (const OptionForm& o : AllOptions())
        if (IsGlobalOption(o.name)) text += OptionLine(o);
    text += "\n";
    text += kExitCodes;
    text +=
        "\n"
        "Environment:\n"
        "  VEXA_REGISTRY  a registry file naming the ports (the simulated logger writes one); the logger\n"
        "                 is then looked for there instead of in the system's port list\n"
        "\n"
        "'vexa help COMMAND' or 'vexa COMMAND --help' describes one command. Messages go to standard\n"
        "error; results (and with --json one JSON object) to standard output.\n";
    return text;
}

std::string SubcommandHelp(const Subcommand& s) {
    std::string text = "Usage: vexa [--port PORT] [--wait SECONDS] " + std::string(s.synopsis) + "\n\n";
    text += std::string(s.summary) + ".\n";
    if (!s.details.empty()) text += "\n" + std::string(s.details) + "\n";
    text += "\nOptions:\n";
    for (std::string_view name : s.options)
        if (const OptionForm* o = FindOption(name)) text += OptionLine(*o);
    for (const OptionForm& o : AllOptions())
        if (IsGlobalOption(o.name)) text += OptionLine(o);
    text += "\n";
    text += kExitCodes;
    return text;
}

int Main(const std::vector<std::string>& words, Streams& streams) {
    Invocation inv;
    try {
        inv = ParseArguments(words, AllOptions());
    } catch (const UsageFailure& f) {
        return UsageError(streams, f.what());
    }
    if (inv.Has("version")) {
        std::fprintf(streams.out, "vexa %s\n", VexaVersion());
        return kExitDone;
    }
    if (inv.command == "help") {
        if (inv.operands.empty()) {
            std::fputs(OverviewHelp().c_str(), streams.out);
            return kExitDone;
        }
        inv.command = inv.operands.front();
        inv.options["help"];
    }
    const Subcommand* sub = inv.command.empty() ? nullptr : FindSubcommand(inv.command);
    if (inv.Has("help")) {
        if (!inv.command.empty() && !sub) return UsageError(streams, "unknown command '" + inv.command + "'");
        std::fputs(sub ? SubcommandHelp(*sub).c_str() : OverviewHelp().c_str(), streams.out);
        return kExitDone;
    }
    if (inv.command.empty()) return UsageError(streams, "no command given");
    if (!sub) return UsageError(streams, "unknown command '" + inv.command + "'");
    for (const auto& [name, value] : inv.options) {
        if (IsGlobalOption(name)) continue;
        bool taken = false;
        for (std::string_view own : sub->options)
            taken = taken || own == name;
        if (!taken)
            return UsageError(streams, "option --" + name + " does not apply to '" + inv.command + "'");
    }
    if (int(inv.operands.size()) > sub->maxOperands)
        return UsageError(streams, "unexpected argument '" + inv.operands[size_t(sub->maxOperands)] + "'");

    try {
        return sub->run(inv, streams);
    } catch (const UsageFailure& f) {
        return UsageError(streams, f.what());
    } catch (const Failure& f) {
        Say(streams, f.what());
        return f.Code();
    } catch (const std::exception& e) {
        Say(streams, e.what());
        return kExitOther;
    }
}

} // namespace vexa::cli
