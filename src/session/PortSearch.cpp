// Finding the logger's port: the search rules of the discovery tick, without the registry or the window.
#include "session/PortSearch.h"

#include "protocol/IntegerConversion.h"

#include <algorithm>

namespace vexa::session {

FriendlyPortName PortNameFromFriendlyName(std::string_view friendlyName) {
    const size_t open = friendlyName.find('(');
    if (open == std::string_view::npos) return {};
    std::string copied;
    for (size_t i = open + 1; i < friendlyName.size(); ++i) {
        const char c = friendlyName[i];
        if (c == ')') return {FriendlyPortName::Found, copied};
        if (copied.size() == 6) return {FriendlyPortName::TooLong, {}};
        copied += c;
    }
    return {}; // no closing parenthesis
}

int PortNumberOfText(std::string_view text) {
    text = text.substr(0, std::min<size_t>(text.size(), 15));
    if (text.size() <= 3) return 0;
    const int value = vexa::LenientToInt(text.substr(3));
    // A negative number or one beyond the port numbers' range names no port.
    return value < 0 || value > 65535 ? 0 : value;
}

PortSearch SearchPorts(const RegistrySnapshot& snapshot, bool adapterAllowed, std::string_view chosenPort) {
    PortSearch r;
    r.chosenPort = chosenPort;
    // One pass over the whole list: the names to show, and every port of the driver, in list order.
    std::vector<std::string_view> driverPorts;
    for (const auto& [valueName, portName] : snapshot.serialComm) {
        if (r.valueNames.size() < kListedNames)
            r.valueNames.push_back(valueName);
        else
            ++r.valueNamesNotListed;
        if (VcpPosition(valueName) > 0) driverPorts.push_back(portName);
    }
    if (driverPorts.empty()) {
        r.outcome = PortSearch::Outcome::Absent;
        r.chosenPort = "No Port";
        return r;
    }

    r.vcpPortCount = driverPorts.size();
    const size_t listed = std::min(driverPorts.size(), kListedNames);
    r.vcpPorts.assign(driverPorts.begin(), driverPorts.begin() + std::ptrdiff_t(listed));
    r.vcpPortsNotListed = driverPorts.size() - listed;
    r.lastPortRead = driverPorts.back();

    bool found = false;
    if (snapshot.loggerFriendlyName) {
        const FriendlyPortName port = PortNameFromFriendlyName(*snapshot.loggerFriendlyName);
        if (port.kind == FriendlyPortName::TooLong) {
            r.outcome = PortSearch::Outcome::NameTooLong;
            return r;
        }
        if (port.kind == FriendlyPortName::Found) {
            r.loggerPort = port.name;
            found = std::find(driverPorts.begin(), driverPorts.end(), port.name) != driverPorts.end();
            if (found) r.chosenPort = port.name;
            r.lastSearch = "VEXA";
        }
    }
    if (found) {
        r.outcome = PortSearch::Outcome::LoggerPort;
        return r;
    }

    if (adapterAllowed) {
        r.adapterSearched = true;
        if (snapshot.adapterPortName) {
            // Each entry is compared with the choice as it stands at that moment, which the first
            // match has already replaced by the adapter's port.
            for (const std::string_view p : driverPorts) {
                if (p == r.chosenPort) {
                    found = true;
                    r.chosenPort = *snapshot.adapterPortName;
                }
            }
            r.lastSearch = "FTDI";
        }
    }
    r.outcome = found ? PortSearch::Outcome::AdapterPort : PortSearch::Outcome::NotFound;
    return r;
}

} // namespace vexa::session
