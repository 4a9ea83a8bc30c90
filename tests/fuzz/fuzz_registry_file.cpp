// Fuzz target: the registry file (the simulator's stand-in for the system's port registry), parsed
// directly and read through the port registry the tick uses.
#include "platform/PortRegistry.h"
#include "platform/PortRegistryText.h"
#include "platform/RegistryFilePortRegistry.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void CheckParsed(const RegistryFileData& data, std::string_view section) {
    const auto values = data.SectionValues(section);
    FUZZ_CHECK(data.HasSection(section) || values.empty());
    for (const auto& [name, value] : values) {
        // Names are trimmed, never empty and never hold the separator; each name is held once,
        // so looking it up gives back its own data.
        FUZZ_CHECK(!name.empty() && name == TrimBlanks(name) && name.find('=') == std::string::npos);
        FUZZ_CHECK(value == TrimBlanks(value));
        const auto found = data.Value(section, name);
        FUZZ_CHECK(found && *found == value);
        if (const auto n = ParseComName(value)) FUZZ_CHECK(*n >= 1 && *n <= 999);
    }
}

// The file the registry reads: an anonymous in-memory file, rewritten for every input.
const std::string& MemoryFilePath() {
    static const std::string path = [] {
        const int fd = memfd_create("registry", 0);
        FUZZ_CHECK(fd >= 0);
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void CheckThroughRegistry(std::string_view text) {
    const std::string& path = MemoryFilePath();
    const int fd = std::stoi(path.substr(path.rfind('/') + 1));
    FUZZ_CHECK(ftruncate(fd, 0) == 0);
    FUZZ_CHECK(pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()));

    RegistryFilePortRegistry registry(path);
    const auto values = registry.SerialCommValues();
    const auto ports = registry.Describe();
    FUZZ_CHECK(ports.size() == values.size());
    // Ports with a COM number come first, in ascending order.
    unsigned last = 0;
    bool unnumberedSeen = false;
    for (const auto& port : ports) {
        const auto n = ParseComName(port.comName);
        if (!n) {
            unnumberedSeen = true;
            continue;
        }
        FUZZ_CHECK(!unnumberedSeen && *n >= last);
        last = *n;
        if (const auto device = registry.DevicePath(*n)) FUZZ_CHECK(!device->empty());
    }
    // The tick's one-read snapshot agrees with the single reads it stands for.
    const auto snapshot = registry.Snapshot();
    FUZZ_CHECK(snapshot.serialComm == values);
    FUZZ_CHECK(snapshot.loggerFriendlyName == registry.LoggerFriendlyName());
    FUZZ_CHECK(snapshot.adapterPortName == registry.AdapterPortName());
    // The driver's ports, the ones a tick may open, come with the path a single read gives.
    for (const auto& [valueName, comName] : snapshot.serialComm)
        if (const auto n = ParseComName(comName); n && vexa::session::VcpPosition(valueName) > 0) {
            const auto at = snapshot.devicePaths.find(*n);
            const auto single = registry.DevicePath(*n);
            FUZZ_CHECK(at == snapshot.devicePaths.end() ? !single : single && *single == at->second);
        }
    registry.DevicePath(0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const RegistryFileData parsed = RegistryFileData::Parse(text);
    for (std::string_view section :
         {kSerialCommKey, kLoggerDeviceKey, kAdapterDeviceKey, RegistryFilePortRegistry::kPortsSection})
        CheckParsed(parsed, section);
    CheckThroughRegistry(text);
    return 0;
}
