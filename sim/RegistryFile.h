// Writes the registry file through which the tool discovers the simulated logger's port.
#pragma once

#include <string>

namespace vexa::sim {

// The serial-port list, the logger's USB-serial entry and the COMn -> device map for one port.
// otherPorts values of other ports (a multi-port card, a test rig; every fourth of them a port of the
// logger's driver family) stand in the list before the logger's own.
std::string RegistryFileText(int com, const std::string& devicePath, int otherPorts = 0);
// Written to a temporary name and renamed, so a reader never sees half a file. False on failure.
bool WriteRegistryFile(const std::string& path, int com, const std::string& devicePath, int otherPorts = 0);
void RemoveRegistryFile(const std::string& path);

} // namespace vexa::sim
