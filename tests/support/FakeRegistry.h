// An in-memory port registry for tests: the port list, the logger's and adapter's entries, device paths.
#pragma once

#include "platform/PortRegistry.h"

#include <map>

class FakeRegistry : public PortRegistry {
public:
    std::vector<std::pair<std::string, std::string>> values;
    std::optional<std::string> friendlyName;
    std::optional<std::string> adapterPort;
    std::map<unsigned, std::string> devices;

    // A logger on COMn served by the given device.
    void PlugLogger(unsigned com, const std::string& device) {
        values = {{"\\Device\\Serial0", "COM1"}, {"\\Device\\VCP0", "COM" + std::to_string(com)}};
        friendlyName = "USB Serial Port (COM" + std::to_string(com) + ")";
        devices[com] = device;
    }
    void Unplug() {
        values.clear();
        friendlyName.reset();
        devices.clear();
    }

    std::vector<std::pair<std::string, std::string>> SerialCommValues() override { return values; }
    std::optional<std::string> LoggerFriendlyName() override { return friendlyName; }
    std::optional<std::string> AdapterPortName() override { return adapterPort; }
    std::optional<std::string> DevicePath(unsigned comNumber) override {
        auto it = devices.find(comNumber);
        if (it == devices.end()) return std::nullopt;
        return it->second;
    }
    std::vector<SerialPortInfo> Describe() override {
        std::vector<SerialPortInfo> out;
        for (const auto& [n, path] : devices) out.push_back({"COM" + std::to_string(n), path, "0FE3", "6002", "", ""});
        return out;
    }
};
