// The command line program: arguments in, a subcommand run, an exit code out.
#pragma once

#include "cli/Subcommands.h"

#include <string>
#include <string_view>
#include <vector>

namespace vexa::cli {

// words: the arguments after the program's name. Returns the exit code.
int Main(const std::vector<std::string>& words, Streams& streams);

// A message on standard error: "vexa: " and the text on one line.
void Say(Streams& streams, std::string_view message);

// The help texts: the overview, and one subcommand's.
std::string OverviewHelp();
std::string SubcommandHelp(const Subcommand& subcommand);

} // namespace vexa::cli
