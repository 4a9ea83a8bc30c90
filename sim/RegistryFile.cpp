// Writes the registry file through which the tool discovers the simulated logger's port.
#include "sim/RegistryFile.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace vexa::sim {

std::string RegistryFileText(int com, const std::string& devicePath, int otherPorts) {
    const std::string port = "COM" + std::to_string(com);
    std::string text;
    text += "[HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n";
    for (int k = 0, number = 10; k < otherPorts; ++k, ++number) {
        if (number == com) ++number;
        const std::string name =
            k % 4 == 0 ? "\\Device\\VCP" + std::to_string(k + 1) : "\\Device\\Serial" + std::to_string(k);
        text += name + "=COM" + std::to_string(number) + "\n";
    }
    text += "\\Device\\VCP0=" + port + "\n";
    text += "[HKLM\\SYSTEM\\ControlSet001\\Enum\\FTDIBUS\\VID_0FE3+PID_6002+00000001A\\0000]\n";
    text += "FriendlyName=USB Serial Port (" + port + ")\n";
    text += "[ports]\n";
    text += port + "=" + devicePath + "\n";
    return text;
}

bool WriteRegistryFile(const std::string& path, int com, const std::string& devicePath, int otherPorts) {
    const std::string tmp = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << RegistryFileText(com, devicePath, otherPorts);
        if (!out.flush()) return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

void RemoveRegistryFile(const std::string& path) {
    if (!path.empty()) std::remove(path.c_str());
}

} // namespace vexa::sim
