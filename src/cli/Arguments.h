// The command line's words read into a subcommand, its options and operands.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::cli {

// An option as it may be written: --name, --name=VALUE, --name VALUE, -x, -xVALUE, -x VALUE.
struct OptionForm {
    std::string_view name;      // without the dashes
    char shortName = 0;         // 0: none
    std::string_view valueName; // empty: a flag without a value
    std::string_view help;      // one line for --help
};

struct Invocation {
    std::string command;                                     // empty when no subcommand was named
    std::map<std::string, std::string, std::less<>> options; // long name -> value ("" for a flag)
    std::vector<std::string> operands;

    bool Has(std::string_view name) const { return options.find(name) != options.end(); }
    std::optional<std::string> Value(std::string_view name) const;
};

// Reads the words after the program's name. Options may stand before or after the subcommand; "--"
// ends them. Throws UsageFailure for an unknown option or a missing value.
Invocation ParseArguments(const std::vector<std::string>& words, std::span<const OptionForm> options);

// Option values: a whole number within [low, high], or a number of seconds >= 0 (decimals allowed).
// Throw UsageFailure naming the option.
int IntegerOption(const Invocation& invocation, std::string_view name, int low, int high, int fallback);
double SecondsOption(const Invocation& invocation, std::string_view name, double fallback);

} // namespace vexa::cli
