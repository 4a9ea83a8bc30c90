// Port registry built from Linux sysfs: each serial tty with the USB ids of the device behind it.
#include "platform/SysfsPortRegistry.h"

#include "platform/PortRegistryText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

struct TtyRange {
    std::string_view prefix;
    unsigned firstIndex;
    unsigned lastIndex;
    unsigned firstCom;
};

// Disjoint ranges, so that the mapping is one-to-one in both directions.
constexpr std::array<TtyRange, 4> kTtyRanges{{
    {"ttyS", 0, 1, 1},
    {"ttyUSB", 0, 96, 3},
    {"ttyACM", 0, 99, 100},
    {"ttyS", 2, 801, 200},
}};

// The tty's index: decimal digits without leading zeros, so "ttyUSB01" cannot alias "ttyUSB1".
std::optional<unsigned> ParseIndex(std::string_view digits) {
    if (digits.empty() || digits.size() > 4 || (digits.size() > 1 && digits.front() == '0'))
        return std::nullopt;
    unsigned index = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        index = index * 10 + static_cast<unsigned>(c - '0');
    }
    return index;
}

// First line of a small sysfs attribute, trimmed; empty when it cannot be read.
std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::array<char, 256> buffer{};
    in.read(buffer.data(), buffer.size());
    std::string_view text(buffer.data(), static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return std::string(TrimBlanks(text.substr(0, text.find('\n'))));
}

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Name of the driver bound to a device directory ("ftdi_sio"), empty when none is bound.
std::string DriverOf(const fs::path& device) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(device / "driver", ec);
    return ec ? std::string() : target.filename().string();
}

bool IsLoggerFamily(const SerialPortInfo& port) {
    return port.vendorId == kLoggerVendorId || port.vendorId == kAdapterVendorId || port.driver == "ftdi_sio";
}

// Reads one tty; nothing when it has no device behind it (virtual consoles) or, for ttyS, when the
// kernel reserved the name without finding a UART there (port type 0).
std::optional<SerialPortInfo> ReadTty(const fs::path& sysRoot, const fs::path& ttyDir,
                                      const std::string& name) {
    std::error_code ec;
    const fs::path device = fs::canonical(ttyDir / "device", ec);
    if (ec || !fs::is_directory(device, ec)) return std::nullopt;
    if (name.starts_with("ttyS") && ReadAttribute(ttyDir / "type") == "0") return std::nullopt;

    SerialPortInfo info;
    info.driver = DriverOf(device);

    // The USB device is the nearest ancestor with idVendor and idProduct; the one below it on the
    // way up is the interface, whose driver names the port when the tty device itself has none.
    const fs::path root = fs::canonical(sysRoot, ec);
    fs::path below = device;
    for (fs::path dir = device; !ec && dir != root && dir.has_relative_path(); dir = dir.parent_path()) {
        std::error_code exists;
        if (fs::exists(dir / "idVendor", exists) && fs::exists(dir / "idProduct", exists)) {
            info.vendorId = UpperCase(ReadAttribute(dir / "idVendor"));
            info.productId = UpperCase(ReadAttribute(dir / "idProduct"));
            info.product = ReadAttribute(dir / "product");
            if (info.driver.empty() && below != dir) info.driver = DriverOf(below);
            break;
        }
        below = dir;
    }
    return info;
}

} // namespace

std::optional<unsigned> ComNumberForTty(std::string_view ttyName) {
    for (const TtyRange& range : kTtyRanges) {
        if (!ttyName.starts_with(range.prefix)) continue;
        const auto index = ParseIndex(ttyName.substr(range.prefix.size()));
        if (index && *index >= range.firstIndex && *index <= range.lastIndex)
            return range.firstCom + (*index - range.firstIndex);
    }
    return std::nullopt;
}

std::optional<std::string> TtyForComNumber(unsigned comNumber) {
    for (const TtyRange& range : kTtyRanges) {
        const unsigned lastCom = range.firstCom + (range.lastIndex - range.firstIndex);
        if (comNumber >= range.firstCom && comNumber <= lastCom)
            return std::string(range.prefix) +
                   std::to_string(range.firstIndex + (comNumber - range.firstCom));
    }
    return std::nullopt;
}

SysfsPortRegistry::SysfsPortRegistry(fs::path sysRoot, fs::path devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {}

std::vector<SerialPortInfo> SysfsPortRegistry::Describe() {
    std::vector<std::pair<unsigned, SerialPortInfo>> found;
    // Devices come and go while we look; every filesystem call reports errors instead of throwing.
    std::error_code ec;
    const fs::path classDir = sysRoot_ / "class" / "tty";
    for (fs::directory_iterator it(classDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto com = ComNumberForTty(name);
        if (!com) continue;
        auto info = ReadTty(sysRoot_, it->path(), name);
        if (!info) continue;
        info->comName = "COM" + std::to_string(*com);
        info->devicePath = (devRoot_ / name).string();
        found.emplace_back(*com, std::move(*info));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    std::vector<SerialPortInfo> ports;
    ports.reserve(found.size());
    for (auto& entry : found)
        ports.push_back(std::move(entry.second));
    return ports;
}

namespace {
std::vector<std::pair<std::string, std::string>> SerialCommOf(const std::vector<SerialPortInfo>& ports) {
    std::vector<std::pair<std::string, std::string>> values;
    unsigned vcpCount = 0;
    unsigned serialCount = 0;
    for (const SerialPortInfo& port : ports) {
        const std::string name = IsLoggerFamily(port) ? "\\Device\\VCP" + std::to_string(vcpCount++)
                                                      : "\\Device\\Serial" + std::to_string(serialCount++);
        values.emplace_back(name, port.comName);
    }
    return values;
}

std::optional<std::string> LoggerFriendlyNameOf(const std::vector<SerialPortInfo>& ports) {
    for (const SerialPortInfo& port : ports)
        if (port.vendorId == kLoggerVendorId && port.productId == kLoggerProductId)
            return "USB Serial Port (" + port.comName + ")";
    return std::nullopt;
}

std::optional<std::string> AdapterPortNameOf(const std::vector<SerialPortInfo>& ports) {
    for (const SerialPortInfo& port : ports)
        if (port.vendorId == kAdapterVendorId && port.productId == kAdapterProductId) return port.comName;
    return std::nullopt;
}
} // namespace

std::vector<std::pair<std::string, std::string>> SysfsPortRegistry::SerialCommValues() {
    return SerialCommOf(Describe());
}

std::optional<std::string> SysfsPortRegistry::LoggerFriendlyName() { return LoggerFriendlyNameOf(Describe()); }

std::optional<std::string> SysfsPortRegistry::AdapterPortName() { return AdapterPortNameOf(Describe()); }

vexa::session::RegistrySnapshot SysfsPortRegistry::Snapshot() {
    const std::vector<SerialPortInfo> ports = Describe();
    vexa::session::RegistrySnapshot snapshot;
    snapshot.serialComm = SerialCommOf(ports);
    snapshot.loggerFriendlyName = LoggerFriendlyNameOf(ports);
    snapshot.adapterPortName = AdapterPortNameOf(ports);
    for (const SerialPortInfo& port : ports) {
        if (const auto n = ParseComName(port.comName)) snapshot.devicePaths.emplace(*n, port.devicePath);
    }
    return snapshot;
}

std::optional<std::string> SysfsPortRegistry::DevicePath(unsigned comNumber) {
    const std::string comName = "COM" + std::to_string(comNumber);
    for (const SerialPortInfo& port : Describe())
        if (port.comName == comName) return port.devicePath;
    return std::nullopt;
}
