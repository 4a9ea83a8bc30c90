// Chooses the port registry for this run and holds the helpers both readers share.
#include "platform/PortRegistry.h"

#include "platform/PortRegistryText.h"
#include "platform/RegistryFilePortRegistry.h"

#include <algorithm>
#include <cstdlib>

std::string_view TrimBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n\f\v";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

std::optional<unsigned> ParseComName(std::string_view name) {
    if (name.size() < 4 || !EqualsIgnoreCase(name.substr(0, 3), "COM")) return std::nullopt;
    const std::string_view digits = name.substr(3);
    // Port numbers have at most three digits (COM999); longer texts are not port names.
    if (digits.size() > 3) return std::nullopt;
    unsigned number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number == 0) return std::nullopt; // there is no COM0
    return number;
}

vexa::session::RegistrySnapshot PortRegistry::Snapshot() {
    vexa::session::RegistrySnapshot snapshot;
    snapshot.serialComm = SerialCommValues();
    snapshot.loggerFriendlyName = LoggerFriendlyName();
    snapshot.adapterPortName = AdapterPortName();
    // Only a port of the driver can be opened as the logger's (or the adapter's); resolving the others
    // of a crowded list would cost a read per entry at every tick.
    for (const auto& entry : snapshot.serialComm) {
        if (vexa::session::VcpPosition(entry.first) == 0) continue;
        if (const auto n = ParseComName(entry.second)) {
            if (auto path = DevicePath(*n)) snapshot.devicePaths.emplace(*n, std::move(*path));
        }
    }
    return snapshot;
}

std::unique_ptr<PortRegistry> MakePortRegistry() {
    const char* file = std::getenv("VEXA_REGISTRY");
    if (file != nullptr && *file != '\0') return std::make_unique<RegistryFilePortRegistry>(file);
    return MakeSystemPortRegistry();
}
