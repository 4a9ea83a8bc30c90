// Port registry built from Linux sysfs: each serial tty with the USB ids of the device behind it.
#pragma once

#include "platform/PortRegistry.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// COM numbers follow the tty's own name, never the order of discovery, so a port keeps its number
// while others come and go (the tick matches the logger's port name against the list every second):
//
//   ttyS0, ttyS1      -> COM1, COM2       (the machine's own ports, numbered as Windows does)
//   ttyUSB0..ttyUSB96 -> COM3..COM99      (USB-serial converters, the logger among them)
//   ttyACM0..ttyACM99 -> COM100..COM199   (USB modem-class devices)
//   ttyS2..ttyS801    -> COM200..COM999
//
// Other ttys, and ttys past these ranges, have no COM number and are not listed: the port name must
// fit the six characters the tick cuts out of a friendly name.
std::optional<unsigned> ComNumberForTty(std::string_view ttyName);
// The inverse: COM3 -> "ttyUSB0"; nothing for numbers outside the ranges above.
std::optional<std::string> TtyForComNumber(unsigned comNumber);

class SysfsPortRegistry : public PortRegistry {
  public:
    // Both roots are parameters so that tests can build a fake tree in a temporary folder.
    explicit SysfsPortRegistry(std::filesystem::path sysRoot = "/sys",
                               std::filesystem::path devRoot = "/dev");

    // Value names copy the Windows driver names: "\Device\VCP<k>" for the logger's USB-serial
    // family (vendor 0FE3 or 0403, or the ftdi_sio driver), "\Device\Serial<k>" for every other
    // port; k counts each kind from 0 in COM order. The data is the port name "COMn".
    std::vector<std::pair<std::string, std::string>> SerialCommValues() override;
    // "USB Serial Port (COMn)" for the first port (in COM order) of a device 0FE3:6002.
    std::optional<std::string> LoggerFriendlyName() override;
    // "COMn" for the first port of a device 0403:6001.
    std::optional<std::string> AdapterPortName() override;
    // <devRoot>/ttyXXX, only while that tty is present.
    std::optional<std::string> DevicePath(unsigned comNumber) override;
    std::vector<SerialPortInfo> Describe() override;
    // One walk of sysfs for the whole tick.
    vexa::session::RegistrySnapshot Snapshot() override;

  private:
    std::filesystem::path sysRoot_;
    std::filesystem::path devRoot_;
};
