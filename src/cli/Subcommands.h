// The subcommands of `vexa`: one file each, listed in one table that the dispatch and --help read.
#pragma once

#include "cli/Arguments.h"

#include <cstdio>
#include <span>
#include <string_view>

namespace vexa::cli {

// Where a subcommand writes: results on out, messages and the progress bar on err.
struct Streams {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    bool errIsTerminal = false; // the progress bar is drawn only then
    int columns = 80;           // width of that terminal
};

using RunFunction = int (*)(const Invocation& invocation, Streams& streams);

struct Subcommand {
    std::string_view name;
    std::string_view synopsis;                 // what follows "vexa " in the usage line
    std::string_view summary;                  // one line for the overview
    std::string_view details;                  // a paragraph for "vexa help NAME"; may be empty
    std::span<const std::string_view> options; // long names it takes beyond the global ones
    int maxOperands = 0;
    RunFunction run = nullptr;
};

// Every option any subcommand takes, global ones first; ParseArguments reads with it.
std::span<const OptionForm> AllOptions();
// The options every subcommand takes: --port, --wait, --json, --help, --version.
bool IsGlobalOption(std::string_view name);
const OptionForm* FindOption(std::string_view name);

std::span<const Subcommand> Subcommands();
const Subcommand* FindSubcommand(std::string_view name);

// The subcommands' entry points (one file each).
int RunPorts(const Invocation& invocation, Streams& streams);
int RunStatus(const Invocation& invocation, Streams& streams);
int RunDownload(const Invocation& invocation, Streams& streams);
int RunCapture(const Invocation& invocation, Streams& streams);
int RunSetClock(const Invocation& invocation, Streams& streams);
// The analysis of a data file (src/cli/analysis).
int RunStats(const Invocation& invocation, Streams& streams);
int RunEvents(const Invocation& invocation, Streams& streams);
int RunReport(const Invocation& invocation, Streams& streams);

} // namespace vexa::cli
