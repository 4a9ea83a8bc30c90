// Port registry read from a text file laid out like the Windows registry (simulator and tests).
#pragma once

#include "platform/PortRegistry.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The parsed file: "[section]" headers followed by "name=value" lines.
//
// Section names compare case-insensitively, as registry keys do, and an "HKLM\" or
// "HKEY_LOCAL_MACHINE\" prefix is optional, so "[HKLM\HARDWARE\DEVICEMAP\SERIALCOMM]" and
// "[hardware\devicemap\serialcomm]" name the same key. Value lines split at the first "=", so a value
// name cannot hold "=" but its data can; blanks around name and data are dropped.
// Lines that fit neither form are skipped, and so are values under a broken header, so a file read
// while it is being rewritten yields what was complete instead of values under the wrong key.
class RegistryFileData {
  public:
    using Values = std::vector<std::pair<std::string, std::string>>;

    static RegistryFileData Parse(std::string_view text);

    // The values of a section in file order; empty when the section is absent.
    Values SectionValues(std::string_view section) const;
    // The same without copying; nullptr when the section is absent.
    const Values* FindValues(std::string_view section) const;
    bool HasSection(std::string_view section) const;
    // A value's data; value names compare case-insensitively, as the registry's do.
    std::optional<std::string> Value(std::string_view section, std::string_view valueName) const;

  private:
    struct Section {
        std::string name; // without the HKLM prefix
        Values values;
        // Lower-case value name -> position in values, so a file of thousands of values parses in
        // linear time rather than comparing every line with every earlier one.
        std::unordered_map<std::string, std::size_t> valueIndex;
    };
    const Section* Find(std::string_view section) const;
    Section& FindOrAdd(std::string_view section);

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_; // lower-case name -> position
};

class RegistryFilePortRegistry : public PortRegistry {
  public:
    // Larger files are read only up to this size (half a million ports); the snapshot says it was cut.
    static constexpr std::size_t kMaxFileBytes = 16 << 20;
    // Section of the file that maps "COMn" to the device path the serial layer opens.
    static constexpr std::string_view kPortsSection = "ports";

    explicit RegistryFilePortRegistry(std::string path);

    std::vector<std::pair<std::string, std::string>> SerialCommValues() override;
    std::optional<std::string> LoggerFriendlyName() override;
    std::optional<std::string> AdapterPortName() override;
    std::optional<std::string> DevicePath(unsigned comNumber) override;
    std::vector<SerialPortInfo> Describe() override;
    // One read of the file for the whole tick, the device paths matched through a map.
    vexa::session::RegistrySnapshot Snapshot() override;

  private:
    // Reads the file at every call, as the registry is read at every tick, but parses it again only
    // when its bytes changed: a crowded port list then costs one read and one comparison per call.
    std::shared_ptr<const RegistryFileData> Load();

    std::string path_;
    bool lastCut_ = false; // the file went on beyond kMaxFileBytes at the last read
    std::string lastText_;
    std::shared_ptr<const RegistryFileData> lastData_;
};
