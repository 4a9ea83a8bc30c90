// Reading the command line's words.
#include "cli/Arguments.h"

#include "cli/Failure.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace vexa::cli {

namespace {

UsageFailure Usage(const std::string& message) {
    return UsageFailure(message);
}

const OptionForm* FindLong(std::span<const OptionForm> options, std::string_view name) {
    for (const OptionForm& o : options)
        if (o.name == name) return &o;
    return nullptr;
}

const OptionForm* FindShort(std::span<const OptionForm> options, char name) {
    for (const OptionForm& o : options)
        if (o.shortName != 0 && o.shortName == name) return &o;
    return nullptr;
}

} // namespace

std::optional<std::string> Invocation::Value(std::string_view name) const {
    const auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

Invocation ParseArguments(const std::vector<std::string>& words, std::span<const OptionForm> options) {
    Invocation inv;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const OptionForm* form = nullptr;
        std::optional<std::string> attached;
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && word.size() > 2 && word.compare(0, 2, "--") == 0) {
            const std::size_t eq = word.find('=');
            const std::string name = word.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
            form = FindLong(options, name);
            if (!form) throw Usage("unknown option --" + name);
            if (eq != std::string::npos) attached = word.substr(eq + 1);
        } else if (!optionsEnded && word.size() > 1 && word[0] == '-' && word != "-") {
            form = FindShort(options, word[1]);
            if (!form) throw Usage("unknown option " + word.substr(0, 2));
            if (word.size() > 2) attached = word.substr(2);
        } else {
            if (inv.command.empty() && !optionsEnded)
                inv.command = word;
            else
                inv.operands.push_back(word);
            continue;
        }
        const std::string shown = "--" + std::string(form->name);
        std::string value;
        if (form->valueName.empty()) {
            if (attached) throw Usage("option " + shown + " takes no value");
        } else if (attached) {
            value = *attached;
        } else {
            if (i + 1 >= words.size())
                throw Usage("option " + shown + " needs a value (" + std::string(form->valueName) + ")");
            value = words[++i];
        }
        if (inv.options.count(form->name) && !form->valueName.empty() &&
            inv.options.at(std::string(form->name)) != value)
            throw Usage("option " + shown + " is given twice with different values");
        inv.options[std::string(form->name)] = value;
    }
    return inv;
}

int IntegerOption(const Invocation& inv, std::string_view name, int low, int high, int fallback) {
    const auto text = inv.Value(name);
    if (!text) return fallback;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text->c_str(), &end, 10);
    const std::string range = std::to_string(low) + ".." + std::to_string(high);
    if (text->empty() || *end != '\0' || errno != 0)
        throw Usage("--" + std::string(name) + " wants a whole number (" + range + "), not \"" + *text +
                    "\"");
    if (value < low || value > high)
        throw Usage("--" + std::string(name) + " must lie in " + range + ", not " + *text);
    return int(value);
}

double SecondsOption(const Invocation& inv, std::string_view name, double fallback) {
    const auto text = inv.Value(name);
    if (!text) return fallback;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text->c_str(), &end);
    // A day is far beyond any wait this tool needs; larger values are taken for a typing error.
    if (text->empty() || *end != '\0' || errno != 0 || !std::isfinite(value) || value < 0 || value > 86400)
        throw Usage("--" + std::string(name) + " wants a number of seconds (0 to 86400), not \"" + *text +
                    "\"");
    return value;
}

} // namespace vexa::cli
