// Command-line options of the vexa-sim program.
#pragma once

#include "sim/SimTypes.h"

#include <string>
#include <vector>

namespace vexa::sim {

struct OptionsResult {
    SimConfig config;
    bool help = false;
    bool showVersion = false; // --version: print the program's version and exit
    std::string error; // non-empty when the options were not accepted
};

OptionsResult ParseOptions(const std::vector<std::string>& args);
std::string UsageText();

} // namespace vexa::sim
