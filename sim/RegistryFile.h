// Writes the registry file through which the tool discovers the simulated logger's port.
#pragma once

#include <string>

namespace vexa::sim {

// The serial-port list, the logger's USB-serial entry and the COMn -> device map for one port.
std::string RegistryFileText(int com, const std::string& devicePath);
// Written to a temporary name and renamed, so a reader never sees half a file. False on failure.
bool WriteRegistryFile(const std::string& path, int com, const std::string& devicePath);
void RemoveRegistryFile(const std::string& path);

} // namespace vexa::sim
