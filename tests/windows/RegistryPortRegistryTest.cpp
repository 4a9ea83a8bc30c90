// The Windows port registry against the real registry: each case writes the keys with the
// system's reg.exe (as an installer or a driver would) and reads them back through the backend.
#include "platform/WindowsRegistryPortRegistry.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // the keys and values used here are ASCII
}

// Runs reg.exe with the arguments and answers its exit code (-1 when it did not start).
int Reg(const std::string& arguments) {
    std::wstring command = L"reg.exe " + Wide(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

void AddString(std::string_view key, std::string_view name, std::string_view data) {
    ASSERT_EQ(Reg("add " + Quoted("HKLM\\" + std::string(key)) + " /v " + Quoted(name) + " /t REG_SZ /d " +
                  Quoted(data) + " /f"),
              0)
        << key << "\\" << name;
}

const std::string kFtdiRoots[] = {"SYSTEM\\ControlSet001\\Enum\\FTDIBUS\\VID_0FE3+PID_6002+00000001A",
                                  "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+FTDI0001A"};

class RegistryPortRegistryTest : public ::testing::Test {
  protected:
    // Every case starts from a machine with none of the keys (deleting a missing key fails harmlessly).
    // HKLM\HARDWARE is volatile and takes volatile keys only, which reg.exe cannot create: the port
    // list keeps its key (made here if the system has none) and loses its values.
    void SetUp() override {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(std::string(kSerialCommKey)).c_str(), 0, nullptr,
                                  REG_OPTION_VOLATILE, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        Reg("delete " + Quoted("HKLM\\" + std::string(kSerialCommKey)) + " /va /f");
        for (const auto& root : kFtdiRoots)
            Reg("delete " + Quoted("HKLM\\" + root) + " /f");
    }
    void TearDown() override { SetUp(); }
    WindowsRegistryPortRegistry registry;
};

TEST_F(RegistryPortRegistryTest, TheLoggerIsFoundThroughTheSerialListAndItsFriendlyName) {
    AddString(kSerialCommKey, "\\Device\\Serial0", "COM1");
    AddString(kSerialCommKey, "\\Device\\VCP0", "COM12");
    AddString(kLoggerDeviceKey, kLoggerFriendlyNameValue, "USB Serial Port (COM12)");

    const auto values = registry.SerialCommValues();
    ASSERT_EQ(values.size(), 2u);
    std::vector<std::pair<std::string, std::string>> expected = {{"\\Device\\Serial0", "COM1"},
                                                                 {"\\Device\\VCP0", "COM12"}};
    // The registry keeps its own order of values; both must be there with their data.
    for (const auto& pair : expected)
        EXPECT_NE(std::find(values.begin(), values.end(), pair), values.end()) << pair.first;
    EXPECT_EQ(registry.LoggerFriendlyName(), "USB Serial Port (COM12)");
    EXPECT_EQ(registry.AdapterPortName(), std::nullopt);
    EXPECT_EQ(registry.DevicePath(12), "\\\\.\\COM12");

    const auto ports = registry.Describe();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].comName, "COM1");
    EXPECT_EQ(ports[0].vendorId, "");
    EXPECT_EQ(ports[1].comName, "COM12");
    EXPECT_EQ(ports[1].vendorId, "0FE3");
    EXPECT_EQ(ports[1].productId, "6002");
    EXPECT_EQ(ports[1].driver, "\\Device\\VCP0");
}

TEST_F(RegistryPortRegistryTest, TheAdapterIsFoundThroughItsPortName) {
    AddString(kSerialCommKey, "\\Device\\VCP0", "COM4");
    AddString(kAdapterDeviceKey, kAdapterPortNameValue, "COM4");
    EXPECT_EQ(registry.AdapterPortName(), "COM4");
    EXPECT_EQ(registry.LoggerFriendlyName(), std::nullopt);
    const auto ports = registry.Describe();
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].vendorId, "0403");
}

TEST_F(RegistryPortRegistryTest, MissingKeysReadAsNothingPluggedIn) {
    EXPECT_TRUE(registry.SerialCommValues().empty());
    EXPECT_EQ(registry.LoggerFriendlyName(), std::nullopt);
    EXPECT_EQ(registry.AdapterPortName(), std::nullopt);
    EXPECT_TRUE(registry.Describe().empty());
    // A key that exists without the value is the same as a missing one.
    AddString(kLoggerDeviceKey, "DeviceDesc", "USB Serial Port");
    EXPECT_EQ(registry.LoggerFriendlyName(), std::nullopt);
}

TEST_F(RegistryPortRegistryTest, AFriendlyNameWithoutAPortIsReadAsWrittenAndGivesNoUsbPort) {
    AddString(kSerialCommKey, "\\Device\\VCP0", "COM3");
    AddString(kLoggerDeviceKey, kLoggerFriendlyNameValue, "USB Serial Port");
    // Cutting the port name out is the caller's business; the registry hands the text over as it is.
    EXPECT_EQ(registry.LoggerFriendlyName(), "USB Serial Port");
    const auto ports = registry.Describe();
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].vendorId, "");
}

TEST_F(RegistryPortRegistryTest, ValuesThatAreNotTextAreLeftOut) {
    AddString(kSerialCommKey, "\\Device\\VCP0", "COM3");
    ASSERT_EQ(Reg("add " + Quoted("HKLM\\" + std::string(kSerialCommKey)) + " /v Count /t REG_DWORD /d 7 /f"),
              0);
    const auto values = registry.SerialCommValues();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].second, "COM3");
}

} // namespace
