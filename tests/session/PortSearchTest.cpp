// The discovery tick's search rules on registry snapshots: which port the window connects to.
#include "session/PortSearch.h"

#include <gtest/gtest.h>

namespace {

using namespace vexa::session;
using Outcome = PortSearch::Outcome;

TEST(FriendlyName, PortNameBetweenTheParentheses) {
    struct Case {
        const char* text;
        FriendlyPortName::Kind kind;
        const char* name;
    } cases[] = {
        {"USB Serial Port (COM3)", FriendlyPortName::Found, "COM3"},
        {"USB Serial Port (COM12)", FriendlyPortName::Found, "COM12"},
        {"USB Serial Port (COM123)", FriendlyPortName::Found, "COM123"}, // six characters fit
        {"USB Serial Port (COM1234)", FriendlyPortName::TooLong, ""},    // seven do not
        {"USB Serial Port (COM3", FriendlyPortName::Missing, ""},        // no ")"
        {"USB Serial Port COM3", FriendlyPortName::Missing, ""},         // no "("
        {"()", FriendlyPortName::Found, ""},
    };
    for (const auto& c : cases) {
        const auto r = PortNameFromFriendlyName(c.text);
        EXPECT_EQ(r.kind, c.kind) << c.text;
        EXPECT_EQ(r.name, c.name) << c.text;
    }
}

TEST(PortNumber, ReadLikeAtolAfterThreeCharacters) {
    struct Case {
        const char* text;
        int number;
    } cases[] = {{"COM7", 7},  {"COM12", 12}, {"No Port", 0}, {"1", 0},     {"COM 4", 4},
                 {"COM4x", 4}, {"COMx", 0},   {"", 0},        {"COM-3", 0}, {"COM99999999999999999", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(PortNumberOfText(c.text), c.number) << c.text;
}

TEST(VcpPosition, CaseSensitiveOneBased) {
    EXPECT_EQ(VcpPosition("\\Device\\VCP0"), 9);
    EXPECT_EQ(VcpPosition("\\Device\\vcp0"), 0);
    EXPECT_EQ(VcpPosition("\\Device\\Serial0"), 0);
}

RegistrySnapshot Snapshot(std::vector<std::pair<std::string, std::string>> ports,
                          std::optional<std::string> friendly = std::nullopt,
                          std::optional<std::string> adapter = std::nullopt) {
    RegistrySnapshot s;
    s.serialComm = std::move(ports);
    s.loggerFriendlyName = std::move(friendly);
    s.adapterPortName = std::move(adapter);
    return s;
}

TEST(SearchPorts, DecisionOnOneSnapshot) {
    const std::pair<std::string, std::string> serial1{"\\Device\\Serial0", "COM1"};
    const std::pair<std::string, std::string> vcp3{"\\Device\\VCP0", "COM3"};
    const std::pair<std::string, std::string> vcp4{"\\Device\\VCP1", "COM4"};
    struct Case {
        const char* name;
        RegistrySnapshot snapshot;
        bool adapterAllowed;
        const char* chosenBefore;
        Outcome outcome;
        const char* chosenAfter;
        const char* lastSearch;
        bool adapterSearched;
    } cases[] = {
        {"no port at all", Snapshot({}), true, "COM3", Outcome::Absent, "No Port", "", false},
        {"only built-in ports", Snapshot({serial1}, "USB Serial Port (COM1)"), true, "1", Outcome::Absent,
         "No Port", "", false},
        {"lower-case vcp is not the driver's", Snapshot({{"\\Device\\vcp0", "COM3"}}), false, "1",
         Outcome::Absent, "No Port", "", false},
        {"the logger's entry names a listed port", Snapshot({serial1, vcp3}, "USB Serial Port (COM3)"), false,
         "1", Outcome::LoggerPort, "COM3", "VEXA", false},
        {"the logger's port is not in the list", Snapshot({serial1, vcp4}, "USB Serial Port (COM3)"), false,
         "1", Outcome::NotFound, "1", "VEXA", false},
        {"no logger entry, adapter not allowed", Snapshot({vcp3}, std::nullopt, "COM3"), false, "1",
         Outcome::NotFound, "1", "", false},
        {"seven characters in parentheses", Snapshot({vcp3}, "USB Serial Port (COM1234)", "COM3"), true, "1",
         Outcome::NameTooLong, "1", "", false},
        {"no parenthesis is a failed search", Snapshot({vcp3}, "USB Serial Port COM3"), false, "1",
         Outcome::NotFound, "1", "", false},
        // The adapter's search compares the list with the port chosen so far, not with the adapter's
        // own port: at start-up ("1") it finds nothing even with the adapter on a listed port...
        {"adapter while nothing was chosen", Snapshot({vcp3}, std::nullopt, "COM3"), true, "1",
         Outcome::NotFound, "1", "FTDI", true},
        // ...and once the connect text names a listed port, the adapter's port replaces it.
        {"adapter after a listed port was chosen", Snapshot({vcp3, vcp4}, std::nullopt, "COM7"), true, "COM4",
         Outcome::AdapterPort, "COM7", "FTDI", true},
        {"adapter search without an adapter entry", Snapshot({vcp3}), true, "COM3", Outcome::NotFound, "COM3",
         "", true},
        {"the logger wins over the adapter", Snapshot({vcp3, vcp4}, "USB Serial Port (COM3)", "COM4"), true,
         "COM4", Outcome::LoggerPort, "COM3", "VEXA", false},
    };
    for (const auto& c : cases) {
        const PortSearch r = SearchPorts(c.snapshot, c.adapterAllowed, c.chosenBefore);
        EXPECT_EQ(r.outcome, c.outcome) << c.name;
        EXPECT_EQ(r.chosenPort, c.chosenAfter) << c.name;
        EXPECT_EQ(r.lastSearch, c.lastSearch) << c.name;
        EXPECT_EQ(r.adapterSearched, c.adapterSearched) << c.name;
    }
}

// A crowded port list (multi-port cards, a test rig): the logger's entry is found wherever it stands,
// and the lists the window shows say how many entries they leave out.
TEST(SearchPorts, EveryEntryIsLookedAtAndTheListsSayWhatTheyLeaveOut) {
    std::vector<std::pair<std::string, std::string>> ports;
    for (int i = 0; i < 20000; ++i) {
        if (i % 20 == 1)
            ports.emplace_back("\\Device\\VCP" + std::to_string(i), "COM" + std::to_string(100 + i / 20));
        else
            ports.emplace_back("\\Device\\Serial" + std::to_string(i), "COM" + std::to_string(2000 + i));
    }
    ports.emplace_back("\\Device\\VCP99999", "COM7"); // the logger, last of all
    const PortSearch r = SearchPorts(Snapshot(ports, "USB Serial Port (COM7)"), false, "1");
    EXPECT_EQ(r.outcome, Outcome::LoggerPort);
    EXPECT_EQ(r.chosenPort, "COM7");
    ASSERT_EQ(r.valueNames.size(), kListedNames);
    EXPECT_EQ(r.valueNames.front(), "\\Device\\Serial0");
    EXPECT_EQ(r.valueNamesNotListed, 20001 - kListedNames);
    EXPECT_EQ(r.vcpPortCount, 1001u);
    ASSERT_EQ(r.vcpPorts.size(), kListedNames);
    EXPECT_EQ(r.vcpPorts.front(), "COM100");
    EXPECT_EQ(r.vcpPortsNotListed, 1001 - kListedNames);
    EXPECT_EQ(r.lastPortRead, "COM7");

    // The adapter's search, too, runs over every port of the driver.
    const PortSearch adapter = SearchPorts(Snapshot(ports, std::nullopt, "COM8"), true, "COM7");
    EXPECT_EQ(adapter.outcome, Outcome::AdapterPort);
    EXPECT_EQ(adapter.chosenPort, "COM8");

    // A short list is shown whole.
    const PortSearch few =
        SearchPorts(Snapshot({{"\\Device\\VCP0", "COM3"}}, "USB Serial Port (COM3)"), false, "1");
    EXPECT_EQ(few.valueNamesNotListed, 0u);
    EXPECT_EQ(few.vcpPortsNotListed, 0u);
}

} // namespace
