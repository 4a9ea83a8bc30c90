// The port registry: where the main window's tick reads the serial-port list and the logger's port name.
#pragma once

#include "session/PortSearch.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Registry keys of the Windows layout, all under HKEY_LOCAL_MACHINE. The registry file uses them as
// section names (with an "HKLM\" prefix) and a Windows implementation would open them directly.
inline constexpr std::string_view kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
inline constexpr std::string_view kLoggerDeviceKey =
    "SYSTEM\\ControlSet001\\Enum\\FTDIBUS\\VID_0FE3+PID_6002+00000001A\\0000";
inline constexpr std::string_view kAdapterDeviceKey =
    "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+FTDI0001A\\0000\\Device Parameters";
inline constexpr std::string_view kLoggerFriendlyNameValue = "FriendlyName";
inline constexpr std::string_view kAdapterPortNameValue = "PortName";

// USB ids of the logger and of the generic adapter, upper-case hex as Windows writes them.
inline constexpr std::string_view kLoggerVendorId = "0FE3";
inline constexpr std::string_view kLoggerProductId = "6002";
inline constexpr std::string_view kAdapterVendorId = "0403";
inline constexpr std::string_view kAdapterProductId = "6001";

// One line of the "serial ports" window: what the platform knows about a port.
struct SerialPortInfo {
    std::string comName;    // "COM3"
    std::string devicePath; // "/dev/ttyUSB0"; empty when unknown
    std::string vendorId;   // USB vendor id, upper-case hex ("0FE3"); empty for non-USB ports
    std::string productId;  // USB product id, upper-case hex ("6002"); empty for non-USB ports
    std::string driver;     // kernel driver ("ftdi_sio", "cdc_acm", "serial8250"); empty when unknown
    std::string product;    // the device's own product text; empty when unknown
};

// Every call reads its source again: the tick asks once a second, and a port that vanished in
// between (the logger unplugged, the registry file deleted) must show up as gone at once.
// A source that cannot be read gives an empty list or nothing; no call throws.
class PortRegistry {
  public:
    virtual ~PortRegistry() = default;

    // The system's serial-port list: (value name, port name) pairs in list order, such as
    // ("\Device\VCP0", "COM3"). Names are returned as written; matching "VCP" is the caller's job.
    virtual std::vector<std::pair<std::string, std::string>> SerialCommValues() = 0;

    // The logger's friendly name, "USB Serial Port (COM3)", or nothing when its device entry is missing.
    virtual std::optional<std::string> LoggerFriendlyName() = 0;

    // The generic adapter's port name, "COM4", or nothing when its device entry is missing.
    virtual std::optional<std::string> AdapterPortName() = 0;

    // The device the serial layer opens for port number n (COMn), or nothing when there is none.
    virtual std::optional<std::string> DevicePath(unsigned comNumber) = 0;

    // All ports with what is known about them, ordered by COM number.
    virtual std::vector<SerialPortInfo> Describe() = 0;

    // What one discovery tick needs, read in one pass where the source allows it. The default asks
    // the calls above one by one.
    virtual vexa::session::RegistrySnapshot Snapshot();
};

// The registry file named by VEXA_REGISTRY when that variable is set and not empty (the file need not
// exist yet: a missing file reads as "nothing plugged in"), otherwise the Linux sysfs reader.
std::unique_ptr<PortRegistry> MakePortRegistry();

// "COM12" -> 12; nothing unless the text is "COM" (any case) and a number from 1 to 999.
std::optional<unsigned> ParseComName(std::string_view name);
