// Port registry read from the Windows registry: the system's serial-port list and the USB-serial
// bus entries of the logger and of the generic adapter.
#pragma once

#include "platform/PortRegistry.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

class WindowsRegistryPortRegistry : public PortRegistry {
  public:
    // Value names and their data under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, in the registry's order.
    std::vector<std::pair<std::string, std::string>> SerialCommValues() override;
    // "FriendlyName" of the logger's FTDIBUS entry.
    std::optional<std::string> LoggerFriendlyName() override;
    // "PortName" of the adapter's "Device Parameters" key.
    std::optional<std::string> AdapterPortName() override;
    // "\\.\COMn": Windows opens port numbers itself, whether or not the port exists now.
    std::optional<std::string> DevicePath(unsigned comNumber) override;
    // The SERIALCOMM ports, ordered by COM number; the logger's and the adapter's carry their USB ids.
    std::vector<SerialPortInfo> Describe() override;
};

// Reads one string value (REG_SZ or REG_EXPAND_SZ, unexpanded) under HKEY_LOCAL_MACHINE, as UTF-8.
std::optional<std::string> ReadMachineString(std::string_view key, std::string_view value);
