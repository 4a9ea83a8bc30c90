// Reads a udev rules file the way udev does, for machines whose udevadm cannot verify one.
#pragma once

#include <string>
#include <vector>

struct UdevPair {
    std::string key;   // "ATTRS"
    std::string attr;  // "idVendor"; "" for keys without one
    std::string op;    // "==", "!=", "=", "+=", "-=", ":="
    std::string value; // without the quotes
};

struct UdevRule {
    int line = 0;
    std::vector<UdevPair> pairs;
};

struct UdevRulesFile {
    std::vector<UdevRule> rules;
    std::vector<std::string> errors; // "line N: what is wrong"; empty when udev would take every line
};

UdevRulesFile ParseUdevRules(const std::string& text);
