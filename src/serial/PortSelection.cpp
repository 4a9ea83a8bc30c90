// Which device a port number means: the resolver, and the choice of a port when none is set.
#include "serial/ErrorText.h"
#include "serial/SerialDevice.h"
#include "serial/TApdComPort.h"

#include <mutex>

namespace {

std::mutex defaultResolverLock;
DevicePathResolver defaultResolver;

// The selection list probes these numbers, as the port-selection dialog always has.
constexpr unsigned kFirstProbedPort = 1;
constexpr unsigned kLastProbedPort = 50;

} // namespace

void SetDefaultDevicePathResolver(DevicePathResolver resolver) {
    std::lock_guard lock(defaultResolverLock);
    defaultResolver = std::move(resolver);
}

std::optional<std::string> TApdCustomComPort::ResolveDevicePath(unsigned comNumber) const {
    if (resolver_) return resolver_(comNumber);
    DevicePathResolver resolver;
    {
        std::lock_guard lock(defaultResolverLock);
        resolver = defaultResolver;
    }
    // Without any resolver no port number names a device.
    return resolver ? resolver(comNumber) : std::nullopt;
}

std::vector<std::string> TApdCustomComPort::AvailablePortNames() const {
    std::vector<std::string> names;
    for (unsigned n = kFirstProbedPort; n <= kLastProbedPort; ++n) {
        const auto path = ResolveDevicePath(n);
        // Ports in use by another program are listed too: the user may be about to free them.
        if (path && vexa::serial::ProbeSerialDevice(*path) != vexa::serial::PortProbe::Absent)
            names.push_back("COM" + std::to_string(n));
    }
    return names;
}

void TApdCustomComPort::ValidateComport() {
    if (comNumber_ != 0) return;
    if (!promptForPort_ || !portSelectionHook_) vexa::serial::ThrowForCode(ecNoPortSelected);
    const std::optional<unsigned> choice = portSelectionHook_(AvailablePortNames());
    if (!choice || *choice == 0 || *choice > 0xFFFF) vexa::serial::ThrowForCode(ecNoPortSelected);
    comNumber_ = static_cast<std::uint16_t>(*choice);
}
