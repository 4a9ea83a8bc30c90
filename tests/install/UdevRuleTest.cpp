// The logger's udev rule: udev's syntax, and what it does to the devices it may meet.
#include "install/UdevRuleCheck.h"

#include <fnmatch.h>

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

std::string RulesText() {
    std::ifstream in(VEXA_RULES_FILE);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A device event as udev sees it: the device's own subsystem and the attributes of its USB parent.
struct Device {
    std::string action;
    std::string subsystem;
    std::map<std::string, std::string> usbAttrs; // empty: no USB parent
};

struct Outcome {
    std::vector<std::string> tags, symlinks;
    std::map<std::string, std::string> env;
};

bool Matches(const UdevPair& p, const Device& d) {
    std::string actual;
    bool present = true;
    if (p.key == "ACTION")
        actual = d.action;
    else if (p.key == "SUBSYSTEM")
        actual = d.subsystem;
    else if (p.key == "SUBSYSTEMS")
        present = !d.usbAttrs.empty(), actual = present ? "usb" : "";
    else if (p.key == "ATTRS") {
        const auto it = d.usbAttrs.find(p.attr);
        present = it != d.usbAttrs.end();
        actual = present ? it->second : "";
    } else
        ADD_FAILURE() << "the evaluator does not know " << p.key;
    const bool equal = present && fnmatch(p.value.c_str(), actual.c_str(), 0) == 0;
    return p.op == "==" ? equal : !equal;
}

// Runs the rules the way udev does for one event, for the keys this rule file uses.
Outcome Apply(const UdevRulesFile& file, const Device& d) {
    Outcome out;
    std::string skipTo;
    for (const UdevRule& rule : file.rules) {
        bool all = true;
        for (const UdevPair& p : rule.pairs)
            if (p.op == "==" || p.op == "!=") all = all && Matches(p, d);
        for (const UdevPair& p : rule.pairs) {
            if (p.key == "LABEL" && p.value == skipTo) skipTo.clear();
        }
        if (!skipTo.empty() || !all) continue;
        for (const UdevPair& p : rule.pairs) {
            std::string value = p.value;
            const std::string serial = "$attr{serial}";
            if (const auto at = value.find(serial); at != std::string::npos)
                value.replace(at, serial.size(), d.usbAttrs.count("serial") ? d.usbAttrs.at("serial") : "");
            if (p.key == "TAG") out.tags.push_back(value);
            if (p.key == "SYMLINK") out.symlinks.push_back(value);
            if (p.key == "ENV" && p.op != "==" && p.op != "!=") out.env[p.attr] = value;
            if (p.key == "GOTO") skipTo = value;
        }
    }
    return out;
}

TEST(UdevRule, ParsesAsUdevReadsIt) {
    const UdevRulesFile file = ParseUdevRules(RulesText());
    EXPECT_TRUE(file.errors.empty()) << file.errors.front();
    EXPECT_GE(file.rules.size(), 3u);
}

TEST(UdevRule, GrantsTheSeatUserTheLoggerAndAStableNameAndNothingElse) {
    const UdevRulesFile file = ParseUdevRules(RulesText());
    ASSERT_TRUE(file.errors.empty());
    const std::map<std::string, std::string> logger{
        {"idVendor", "0fe3"}, {"idProduct", "6002"}, {"serial", "A1B2C3"}};
    auto without = [&](const std::string& attr) {
        auto attrs = logger;
        attrs.erase(attr);
        return attrs;
    };
    struct Case {
        const char* what;
        Device device;
        std::vector<std::string> tags, symlinks;
    };
    const std::vector<Case> cases{
        {"logger's tty", {"add", "tty", logger}, {"uaccess"}, {"vexa-A1B2C3"}},
        {"logger's tty, change event", {"change", "tty", logger}, {"uaccess"}, {"vexa-A1B2C3"}},
        {"logger without a serial number", {"add", "tty", without("serial")}, {"uaccess"}, {}},
        {"logger's tty going away", {"remove", "tty", logger}, {}, {}},
        {"the logger's USB device node", {"add", "usb", logger}, {}, {}},
        {"generic adapter",
         {"add", "tty", {{"idVendor", "0403"}, {"idProduct", "6001"}, {"serial", "X"}}},
         {},
         {}},
        {"other product of the maker", {"add", "tty", {{"idVendor", "0fe3"}, {"idProduct", "6001"}}}, {}, {}},
        {"built-in serial port", {"add", "tty", {}}, {}, {}},
    };
    for (const Case& c : cases) {
        const Outcome out = Apply(file, c.device);
        EXPECT_EQ(out.tags, c.tags) << c.what;
        EXPECT_EQ(out.symlinks, c.symlinks) << c.what;
        // ModemManager must not probe the logger with modem commands.
        if (!c.tags.empty()) {
            EXPECT_EQ(out.env.count("ID_MM_DEVICE_IGNORE") ? out.env.at("ID_MM_DEVICE_IGNORE") : "", "1")
                << c.what;
        }
    }
    // logind turns the uaccess tag into an ACL in 73-seat-late.rules, so the tag must be set before it.
    EXPECT_LT(std::string("70-vexaview.rules"), std::string("73-seat-late.rules"));
}

TEST(UdevRule, CheckerRefusesWhatUdevRefuses) {
    struct Case {
        const char* text;
        bool good;
    };
    const std::vector<Case> cases{
        {"SUBSYSTEM==\"tty\", TAG+=\"uaccess\"\n", true},
        {"# comment only\n\n", true},
        {"KERNEL==\"ttyUSB*\", MODE=\"0660\", GROUP=\"dialout\"\n", true},
        {"SUBSYSTEM!=\"tty\", GOTO=\"end\"\nLABEL=\"end\"\n", true},
        {"SUBSYSTEM==\"tty\" TAG+=\"uaccess\"\n", false},               // no comma
        {"SUBSYSTEM==tty\n", false},                                    // unquoted
        {"SUBSYSTEM==\"tty, TAG+=\"uaccess\"\n", false},                // quote closes in the wrong place
        {"ATTRS==\"0fe3\"\n", false},                                   // ATTRS needs {attribute}
        {"SUBSYSTEM{x}==\"tty\"\n", false},                             // attribute where none is taken
        {"ATTRS{idVendor}=\"0fe3\"\n", false},                          // ATTRS only matches
        {"MODE==\"0660\"\n", false},                                    // MODE only assigns
        {"SUBSYSTEMZ==\"tty\"\n", false},                               // unknown key
        {"TAG~=\"uaccess\"\n", false},                                  // unknown operator
        {"GOTO=\"nowhere\"\n", false},                                  // no label
        {"LABEL=\"back\"\nSUBSYSTEM!=\"tty\", GOTO=\"back\"\n", false}, // label above the jump
        {"SUBSYSTEM==\"tty\", \\\n TAG+=\"uaccess\"\n", false},         // continued line
        {"SUBSYSTEM==\"tty\",\n", false},                               // dangling comma
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseUdevRules(c.text).errors.empty(), c.good) << c.text;
}

} // namespace
