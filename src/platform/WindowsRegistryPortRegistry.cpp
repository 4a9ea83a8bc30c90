// Port registry read from the Windows registry (read-only, opened afresh on every call).
#include "platform/WindowsRegistryPortRegistry.h"

#include "platform/WideTextWin32.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

using vexa::win::Utf8FromWide;
using vexa::win::WideFromUtf8;

// Registry strings need not end in a terminator and may carry several; the text ends at the first.
std::wstring StringData(const std::vector<BYTE>& data, DWORD size) {
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

class Key {
  public:
    explicit Key(std::string_view path) {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(path).c_str(), 0, KEY_READ, &key_) !=
            ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return key_ != nullptr; }

    std::optional<std::string> String(std::string_view name) const {
        DWORD type = 0, size = 0;
        const std::wstring wname = WideFromUtf8(name);
        if (RegQueryValueExW(key_, wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        // The value may grow between the two calls; ask again with the size then reported.
        std::vector<BYTE> data;
        LSTATUS rc;
        do {
            data.resize(size + sizeof(wchar_t));
            size = static_cast<DWORD>(data.size());
            rc = RegQueryValueExW(key_, wname.c_str(), nullptr, &type, data.data(), &size);
        } while (rc == ERROR_MORE_DATA);
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
        return Utf8FromWide(StringData(data, size));
    }

    std::vector<std::pair<std::string, std::string>> StringValues() const {
        std::vector<std::pair<std::string, std::string>> values;
        DWORD count = 0, maxName = 0, maxData = 0;
        if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName,
                             &maxData, nullptr, nullptr) != ERROR_SUCCESS)
            return values;
        std::vector<wchar_t> name(maxName + 2);
        std::vector<BYTE> data(maxData + sizeof(wchar_t));
        for (DWORD i = 0;; ++i) {
            DWORD nameSize = static_cast<DWORD>(name.size());
            DWORD dataSize = static_cast<DWORD>(data.size());
            DWORD type = 0;
            const LSTATUS rc =
                RegEnumValueW(key_, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc == ERROR_MORE_DATA) {
                // A value added while listing: make room and read the same index again.
                name.resize(name.size() * 2 + 256);
                data.resize(data.size() * 2 + 256);
                --i;
                continue;
            }
            if (rc != ERROR_SUCCESS) break;
            if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
            values.emplace_back(Utf8FromWide(std::wstring_view(name.data(), nameSize)),
                                Utf8FromWide(StringData(data, dataSize)));
        }
        return values;
    }

  private:
    HKEY key_ = nullptr;
};

} // namespace

std::optional<std::string> ReadMachineString(std::string_view key, std::string_view value) {
    const Key k(key);
    if (!k) return std::nullopt;
    return k.String(value);
}

std::vector<std::pair<std::string, std::string>> WindowsRegistryPortRegistry::SerialCommValues() {
    const Key key(kSerialCommKey);
    if (!key) return {};
    return key.StringValues();
}

std::optional<std::string> WindowsRegistryPortRegistry::LoggerFriendlyName() {
    return ReadMachineString(kLoggerDeviceKey, kLoggerFriendlyNameValue);
}

std::optional<std::string> WindowsRegistryPortRegistry::AdapterPortName() {
    return ReadMachineString(kAdapterDeviceKey, kAdapterPortNameValue);
}

std::optional<std::string> WindowsRegistryPortRegistry::DevicePath(unsigned comNumber) {
    if (comNumber == 0) return std::nullopt;
    return "\\\\.\\COM" + std::to_string(comNumber);
}

std::vector<SerialPortInfo> WindowsRegistryPortRegistry::Describe() {
    std::optional<unsigned> loggerPort, adapterPort;
    if (const auto friendly = LoggerFriendlyName()) {
        const auto open = friendly->find('('),
                   close = friendly->find(')', open == std::string::npos ? 0 : open);
        if (open != std::string::npos && close != std::string::npos)
            loggerPort = ParseComName(std::string_view(*friendly).substr(open + 1, close - open - 1));
    }
    if (const auto name = AdapterPortName()) adapterPort = ParseComName(*name);

    std::vector<SerialPortInfo> ports;
    for (const auto& [device, port] : SerialCommValues()) {
        const auto number = ParseComName(port);
        if (!number) continue;
        SerialPortInfo info;
        info.comName = port;
        info.devicePath = *DevicePath(*number);
        info.driver = device; // "\Device\VCP0": the driver's own name for the port
        if (number == loggerPort) {
            info.vendorId = std::string(kLoggerVendorId);
            info.productId = std::string(kLoggerProductId);
        } else if (number == adapterPort) {
            info.vendorId = std::string(kAdapterVendorId);
            info.productId = std::string(kAdapterProductId);
        }
        ports.push_back(std::move(info));
    }
    std::stable_sort(ports.begin(), ports.end(), [](const SerialPortInfo& a, const SerialPortInfo& b) {
        return ParseComName(a.comName) < ParseComName(b.comName);
    });
    return ports;
}

std::unique_ptr<PortRegistry> MakeSystemPortRegistry() {
    return std::make_unique<WindowsRegistryPortRegistry>();
}
