// The rules syntax udev accepts: comma-separated KEY{attr}OP"value" pairs, one rule per line; each
// key either matches (==, !=), assigns (=, +=, -=, :=) or both, and some keys need an attribute.
#include "install/UdevRuleCheck.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

namespace {

enum Use { Match = 1, Assign = 2, Both = 3 };
enum Attr { NoAttr, NeedsAttr, MayAttr };

struct KeyInfo {
    Use use;
    Attr attr;
};

const std::map<std::string, KeyInfo>& Keys() {
    static const std::map<std::string, KeyInfo> keys{
        {"ACTION", {Match, NoAttr}},  {"DEVPATH", {Match, NoAttr}},   {"KERNEL", {Match, NoAttr}},
        {"KERNELS", {Match, NoAttr}}, {"SUBSYSTEM", {Match, NoAttr}}, {"SUBSYSTEMS", {Match, NoAttr}},
        {"DRIVER", {Match, NoAttr}},  {"DRIVERS", {Match, NoAttr}},   {"ATTRS", {Match, NeedsAttr}},
        {"TAGS", {Match, NoAttr}},    {"TEST", {Match, MayAttr}},     {"PROGRAM", {Match, NoAttr}},
        {"RESULT", {Match, NoAttr}},  {"CONST", {Match, NeedsAttr}},  {"NAME", {Both, NoAttr}},
        {"SYMLINK", {Both, NoAttr}},  {"TAG", {Both, NoAttr}},        {"ENV", {Both, NeedsAttr}},
        {"ATTR", {Both, NeedsAttr}},  {"SYSCTL", {Both, NeedsAttr}},  {"OWNER", {Assign, NoAttr}},
        {"GROUP", {Assign, NoAttr}},  {"MODE", {Assign, NoAttr}},     {"SECLABEL", {Assign, NeedsAttr}},
        {"RUN", {Assign, MayAttr}},   {"IMPORT", {Both, NeedsAttr}},  {"OPTIONS", {Assign, NoAttr}},
        {"LABEL", {Assign, NoAttr}},  {"GOTO", {Assign, NoAttr}},
    };
    return keys;
}

bool IsMatchOp(const std::string& op) {
    return op == "==" || op == "!=";
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Reads one rule line into pairs; an error text when it is not one.
std::string ParseLine(const std::string& line, UdevRule& rule) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
    };
    while (true) {
        skipBlanks();
        UdevPair pair;
        while (i < line.size() && (std::isupper(static_cast<unsigned char>(line[i])) || line[i] == '_'))
            pair.key += line[i++];
        if (pair.key.empty()) return "expected a key at column " + std::to_string(i + 1);
        const auto known = Keys().find(pair.key);
        if (known == Keys().end()) return "unknown key " + pair.key;
        if (i < line.size() && line[i] == '{') {
            const auto close = line.find('}', i);
            if (close == std::string::npos) return "unclosed { after " + pair.key;
            pair.attr = line.substr(i + 1, close - i - 1);
            if (pair.attr.empty()) return "empty {} after " + pair.key;
            i = close + 1;
        }
        if (known->second.attr == NeedsAttr && pair.attr.empty()) return pair.key + " needs {attribute}";
        if (known->second.attr == NoAttr && !pair.attr.empty()) return pair.key + " takes no {attribute}";
        for (const char* op : {"==", "!=", "+=", "-=", ":=", "="}) {
            if (line.compare(i, std::string(op).size(), op) == 0) {
                pair.op = op;
                i += pair.op.size();
                break;
            }
        }
        if (pair.op.empty()) return "expected an operator after " + pair.key;
        if (IsMatchOp(pair.op) && !(known->second.use & Match)) return pair.key + " cannot be matched";
        if (!IsMatchOp(pair.op) && !(known->second.use & Assign)) return pair.key + " cannot be assigned";
        if ((pair.key == "LABEL" || pair.key == "GOTO") && pair.op != "=") return pair.key + " takes only =";
        if (i >= line.size() || line[i] != '"') return "value of " + pair.key + " is not quoted";
        ++i;
        bool closed = false;
        for (; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                pair.value += line[++i];
            } else if (line[i] == '"') {
                closed = true;
                ++i;
                break;
            } else {
                pair.value += line[i];
            }
        }
        if (!closed) return "unterminated value of " + pair.key;
        rule.pairs.push_back(pair);
        skipBlanks();
        if (i >= line.size()) return {};
        if (line[i] != ',') return "expected , after the value of " + pair.key;
        ++i;
    }
}

} // namespace

UdevRulesFile ParseUdevRules(const std::string& text) {
    UdevRulesFile file;
    std::istringstream in(text);
    std::string raw;
    std::vector<std::pair<int, std::string>> gotos;
    std::map<std::string, int> labels; // label -> its line
    for (int number = 1; std::getline(in, raw); ++number) {
        const std::string line = Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        if (line.back() == '\\') {
            file.errors.push_back("line " + std::to_string(number) + ": continued lines are not used here");
            continue;
        }
        UdevRule rule;
        rule.line = number;
        const std::string error = ParseLine(line, rule);
        if (!error.empty()) {
            file.errors.push_back("line " + std::to_string(number) + ": " + error);
            continue;
        }
        for (const UdevPair& pair : rule.pairs) {
            if (pair.key == "LABEL") labels.emplace(pair.value, number);
            if (pair.key == "GOTO") gotos.emplace_back(number, pair.value);
        }
        file.rules.push_back(std::move(rule));
    }
    // udev only jumps forward: a label above the GOTO is never reached.
    for (const auto& [number, label] : gotos) {
        const auto found = labels.find(label);
        if (found == labels.end() || found->second < number)
            file.errors.push_back("line " + std::to_string(number) + ": GOTO \"" + label +
                                  "\" has no LABEL below it");
    }
    return file;
}
