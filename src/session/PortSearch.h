// Finding the logger's port: a pure decision on one snapshot of the port registry.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexa::session {

// Everything one discovery tick reads from the port registry, read in one pass.
struct RegistrySnapshot {
    // The system's serial-port list: (value name, port name), such as ("\Device\VCP0", "COM3").
    std::vector<std::pair<std::string, std::string>> serialComm;
    // The logger's friendly name, "USB Serial Port (COM3)"; nothing when its device entry is missing.
    std::optional<std::string> loggerFriendlyName;
    // The generic adapter's port name, "COM4"; nothing when its entry is missing.
    std::optional<std::string> adapterPortName;
    // Device path of each port number, for the opens that follow (the driver's ports at least).
    std::map<unsigned, std::string> devicePaths;
    // The source was larger than its reader takes; what it names beyond that is not in the list.
    bool cut = false;
};

// Result of cutting the port name out of a friendly name such as "USB Serial Port (COM3)".
struct FriendlyPortName {
    enum Kind { Found, TooLong, Missing } kind = Missing;
    std::string name; // for Found: at most six characters
};

// The characters between the first "(" and the first ")" after it. Seven or more characters there
// give TooLong; no "(" or no ")" gives Missing (a failed search).
FriendlyPortName PortNameFromFriendlyName(std::string_view friendlyName);

// Port number of a connect text "COMn": the first three characters are dropped and the rest read the
// way atol does (blanks skipped, digits up to the first non-digit, 0 if none). At most 15 characters
// of the text are considered.
int PortNumberOfText(std::string_view text);

// Position of "VCP" in a registry value name, 1-based, 0 when absent (case-sensitive). Inline: the port
// registries, below the session, tell the driver's ports by it too.
inline int VcpPosition(std::string_view valueName) {
    const size_t p = valueName.find("VCP");
    return p == std::string_view::npos ? 0 : int(p) + 1;
}

// The lists the window shows (the registry's value names, the driver's ports) hold at most this many
// entries; the search itself looks at every entry, and the window says how many it does not list.
inline constexpr size_t kListedNames = 64;

// What a tick found and what its controls show afterwards.
struct PortSearch {
    enum class Outcome {
        Absent,      // no port of the virtual COM driver at all
        NameTooLong, // the logger's friendly name holds seven or more characters in parentheses
        NotFound,    // ports exist, but none is the logger's (or the allowed adapter's)
        LoggerPort,  // the logger's own entry names a port of the list
        AdapterPort, // the generic adapter's search matched
    } outcome = Outcome::Absent;
    std::vector<std::string> valueNames;   // the port list's first value names (at most kListedNames)
    size_t valueNamesNotListed = 0;        // value names after those
    std::vector<std::string> vcpPorts;     // the first port names of the virtual COM driver (not for Absent)
    size_t vcpPortsNotListed = 0;          // the driver's ports after those
    size_t vcpPortCount = 0;               // all of the driver's ports
    std::string lastPortRead;              // the last of the driver's ports (empty when there is none)
    std::optional<std::string> loggerPort; // the name cut out of the friendly name
    bool adapterSearched = false;          // the second search ran
    std::string chosenPort;                // the connect text afterwards
    std::string lastSearch;                // "VEXA" or "FTDI" for the search that ran last, or ""
    bool Found() const { return outcome == Outcome::LoggerPort || outcome == Outcome::AdapterPort; }
};

// The tick's search. chosenPort is the connect text as it stands (the last tick's choice, or what the
// user typed); the adapter's search compares the port list with it, not with the adapter's port, so
// the adapter is taken only while the port chosen so far is one of the driver's ports.
// Every entry of the port list is looked at, however long the list: the work grows with the list, and
// nothing beyond some count is dropped.
PortSearch SearchPorts(const RegistrySnapshot& snapshot, bool adapterAllowed, std::string_view chosenPort);

} // namespace vexa::session
