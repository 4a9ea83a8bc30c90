// Tests of the port registry readers: the registry file, fake sysfs trees and the COM numbering.
#include "platform/PortRegistry.h"
#include "platform/RegistryFilePortRegistry.h"
#include "platform/SysfsPortRegistry.h"

#include <gtest/gtest.h>

#include <map>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

const std::string kSampleFile =
    "[HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n"
    "\\Device\\VCP0=COM3\n"
    "\\Device\\Serial0=COM1\n"
    "[HKLM\\SYSTEM\\ControlSet001\\Enum\\FTDIBUS\\VID_0FE3+PID_6002+00000001A\\0000]\n"
    "FriendlyName=USB Serial Port (COM3)\n"
    "[ports]\n"
    "COM3=/dev/pts/7\n";

// A fresh folder per test, removed afterwards.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "vexa-ports-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

void WriteFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// ---- registry file ----

class RegistryFileTest : public ::testing::Test {
  protected:
    TempDir dir;
    fs::path file = dir.path() / "registry.txt";
    RegistryFilePortRegistry registry{file.string()};
};

TEST_F(RegistryFileTest, ReadsTheSampleLayout) {
    WriteFile(file, kSampleFile);
    EXPECT_EQ(registry.SerialCommValues(),
              (Values{{"\\Device\\VCP0", "COM3"}, {"\\Device\\Serial0", "COM1"}}));
    EXPECT_EQ(registry.LoggerFriendlyName(), "USB Serial Port (COM3)");
    EXPECT_EQ(registry.AdapterPortName(), std::nullopt);
    EXPECT_EQ(registry.DevicePath(3), "/dev/pts/7");
    EXPECT_EQ(registry.DevicePath(1), std::nullopt);

    const auto ports = registry.Describe();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].comName, "COM1");
    EXPECT_EQ(ports[0].vendorId, "");
    EXPECT_EQ(ports[1].comName, "COM3");
    EXPECT_EQ(ports[1].devicePath, "/dev/pts/7");
    EXPECT_EQ(ports[1].vendorId, "0FE3");
    EXPECT_EQ(ports[1].productId, "6002");
}

struct ParseCase {
    const char* what;
    std::string text;
    Values serialComm;
    std::optional<std::string> friendlyName;
};

TEST(RegistryFileParse, ToleratesLayoutVariations) {
    const std::string serialComm = "[HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n";
    const std::string logger =
        "[HKLM\\SYSTEM\\ControlSet001\\Enum\\FTDIBUS\\VID_0FE3+PID_6002+00000001A\\0000]\n";
    const Values sampleValues{{"\\Device\\VCP0", "COM3"}, {"\\Device\\Serial0", "COM1"}};
    const std::vector<ParseCase> cases = {
        {"CR LF line ends", WithCrLf(kSampleFile), sampleValues, "USB Serial Port (COM3)"},
        {"blank lines and unknown sections",
         "\n[HKLM\\SOFTWARE\\Other]\n\\Device\\VCP9=COM9\n\n" + serialComm + "\n\\Device\\VCP0=COM3\n\n" +
             logger + "\nFriendlyName=USB Serial Port (COM3)\n",
         {{"\\Device\\VCP0", "COM3"}},
         "USB Serial Port (COM3)"},
        {"blanks around = and the header",
         "  [ hklm\\hardware\\devicemap\\serialcomm ]  \n \\Device\\VCP0 =\tCOM3 \n",
         {{"\\Device\\VCP0", "COM3"}},
         std::nullopt},
        {"section names in any case, root prefix optional",
         "[HARDWARE\\DeviceMap\\SerialComm]\n\\Device\\VCP0=COM3\n"
         "[HKEY_LOCAL_MACHINE\\system\\controlset001\\enum\\ftdibus\\vid_0fe3+pid_6002+00000001a\\0000]\n"
         "friendlyname=USB Serial Port (COM5)\n",
         {{"\\Device\\VCP0", "COM3"}},
         "USB Serial Port (COM5)"},
        {"garbage lines are skipped",
         "no section yet=COM7\n" + serialComm + "garbage\n=COM8\n\\Device\\VCP0=COM3\n\x01\xff\n]\n",
         {{"\\Device\\VCP0", "COM3"}},
         std::nullopt},
        {"values under a broken header belong nowhere",
         serialComm +
             "\\Device\\VCP0=COM3\n[HKLM\\SYSTEM\\Contr\n\\Device\\VCP1=COM4\n[]\n\\Device\\VCP2=COM5\n",
         {{"\\Device\\VCP0", "COM3"}},
         std::nullopt},
        {"several VCP entries keep their order",
         serialComm + "\\Device\\VCP1=COM12\n\\Device\\Serial0=COM1\n\\Device\\VCP0=COM3\n",
         {{"\\Device\\VCP1", "COM12"}, {"\\Device\\Serial0", "COM1"}, {"\\Device\\VCP0", "COM3"}},
         std::nullopt},
        {"a repeated value replaces the earlier one in place",
         serialComm + "\\Device\\VCP0=COM3\n\\Device\\Serial0=COM1\n\\Device\\VCP0=COM4\n",
         {{"\\Device\\VCP0", "COM4"}, {"\\Device\\Serial0", "COM1"}},
         std::nullopt},
        {"a repeated section adds to the first",
         serialComm + "A=COM1\n[ports]\n" + serialComm + "B=COM2\n",
         {{"A", "COM1"}, {"B", "COM2"}},
         std::nullopt},
        {"data may hold = and keeps inner blanks",
         logger + "FriendlyName=USB = Serial  Port (COM3)\r\n",
         {},
         "USB = Serial  Port (COM3)"},
        {"byte order mark", "\xEF\xBB\xBF" + kSampleFile, sampleValues, "USB Serial Port (COM3)"},
        {"last line without line end",
         serialComm + "\\Device\\VCP0=COM3",
         {{"\\Device\\VCP0", "COM3"}},
         std::nullopt},
        {"empty file", "", {}, std::nullopt},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.what);
        const RegistryFileData data = RegistryFileData::Parse(c.text);
        EXPECT_EQ(data.SectionValues(kSerialCommKey), c.serialComm);
        EXPECT_EQ(data.Value(kLoggerDeviceKey, kLoggerFriendlyNameValue), c.friendlyName);
    }
}

TEST(RegistryFileParse, EveryTruncationOfTheFileYieldsOnlyCompleteOrCutValues) {
    // A file read while the simulator rewrites it ends anywhere, even inside a header.
    const RegistryFileData whole = RegistryFileData::Parse(kSampleFile);
    const Values all = whole.SectionValues(kSerialCommKey);
    for (std::size_t cut = 0; cut <= kSampleFile.size(); ++cut) {
        SCOPED_TRACE(cut);
        const RegistryFileData part = RegistryFileData::Parse(std::string_view(kSampleFile).substr(0, cut));
        const Values values = part.SectionValues(kSerialCommKey);
        ASSERT_LE(values.size(), all.size());
        for (std::size_t i = 0; i + 1 < values.size(); ++i)
            EXPECT_EQ(values[i], all[i]);
        if (const auto name = part.Value(kLoggerDeviceKey, kLoggerFriendlyNameValue)) {
            EXPECT_TRUE(std::string("USB Serial Port (COM3)").starts_with(*name)) << *name;
        }
        if (const auto path = part.Value(RegistryFilePortRegistry::kPortsSection, "COM3")) {
            EXPECT_TRUE(std::string("/dev/pts/7").starts_with(*path)) << *path;
        }
    }
}

TEST_F(RegistryFileTest, FollowsTheFileAsItAppearsChangesAndVanishes) {
    EXPECT_TRUE(registry.SerialCommValues().empty());
    EXPECT_EQ(registry.LoggerFriendlyName(), std::nullopt);
    EXPECT_EQ(registry.DevicePath(3), std::nullopt);
    EXPECT_TRUE(registry.Describe().empty());

    WriteFile(file, kSampleFile);
    EXPECT_EQ(registry.LoggerFriendlyName(), "USB Serial Port (COM3)");

    WriteFile(file, "[HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n\\Device\\Serial0=COM1\n");
    EXPECT_EQ(registry.SerialCommValues(), (Values{{"\\Device\\Serial0", "COM1"}}));
    EXPECT_EQ(registry.LoggerFriendlyName(), std::nullopt);

    fs::remove(file);
    EXPECT_TRUE(registry.SerialCommValues().empty());
}

TEST_F(RegistryFileTest, VcpPortsWithoutTheLoggerEntryAndWithTheAdapter) {
    WriteFile(file, "[HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n"
                    "\\Device\\VCP0=COM4\n\\Device\\VCP1=COM6\n"
                    "[HKLM\\SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+FTDI0001A\\0000\\"
                    "Device Parameters]\n"
                    "PortName=COM4\n"
                    "[ports]\nCOM4=/dev/pts/3\ncom6 = /dev/pts/9\nCOMX=/dev/null\n");
    EXPECT_EQ(registry.SerialCommValues(), (Values{{"\\Device\\VCP0", "COM4"}, {"\\Device\\VCP1", "COM6"}}));
    EXPECT_EQ(registry.LoggerFriendlyName(), std::nullopt);
    EXPECT_EQ(registry.AdapterPortName(), "COM4");
    EXPECT_EQ(registry.DevicePath(6), "/dev/pts/9");
    EXPECT_EQ(registry.DevicePath(0), std::nullopt);

    const auto ports = registry.Describe();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].vendorId, "0403");
    EXPECT_EQ(ports[0].productId, "6001");
    EXPECT_EQ(ports[1].devicePath, "/dev/pts/9");
}

TEST(PortRegistryFactory, TheEnvironmentChoosesTheFile) {
    TempDir dir;
    const fs::path file = dir.path() / "reg.txt";
    WriteFile(file, kSampleFile);

    ASSERT_EQ(::setenv("VEXA_REGISTRY", file.c_str(), 1), 0);
    auto fromFile = MakePortRegistry();
    EXPECT_EQ(fromFile->LoggerFriendlyName(), "USB Serial Port (COM3)");
    ASSERT_EQ(::setenv("VEXA_REGISTRY", (dir.path() / "absent").c_str(), 1), 0);
    EXPECT_NE(dynamic_cast<RegistryFilePortRegistry*>(MakePortRegistry().get()), nullptr);

    ASSERT_EQ(::setenv("VEXA_REGISTRY", "", 1), 0);
    EXPECT_NE(dynamic_cast<SysfsPortRegistry*>(MakePortRegistry().get()), nullptr);
    ASSERT_EQ(::unsetenv("VEXA_REGISTRY"), 0);
    EXPECT_NE(dynamic_cast<SysfsPortRegistry*>(MakePortRegistry().get()), nullptr);
}

TEST(ComNames, ParseComName) {
    const std::vector<std::pair<std::string, std::optional<unsigned>>> cases = {
        {"COM3", 3u},
        {"com12", 12u},
        {"COM999", 999u},
        {"COM007", 7u},
        {"COM0", std::nullopt},
        {"COM", std::nullopt},
        {"COM1000", std::nullopt},
        {"COM3 ", std::nullopt},
        {"No Port", std::nullopt},
        {"CON3", std::nullopt},
        {"COM-1", std::nullopt},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(ParseComName(text), number) << text;
}

// ---- sysfs ----

TEST(SysfsComNumbers, FollowTheTtyName) {
    const std::vector<std::pair<std::string, std::optional<unsigned>>> cases = {
        {"ttyS0", 1u},
        {"ttyS1", 2u},
        {"ttyUSB0", 3u},
        {"ttyUSB1", 4u},
        {"ttyUSB96", 99u},
        {"ttyACM0", 100u},
        {"ttyACM99", 199u},
        {"ttyS2", 200u},
        {"ttyS801", 999u},
        {"ttyUSB97", std::nullopt},
        {"ttyS802", std::nullopt},
        {"ttyUSB01", std::nullopt},
        {"ttyUSB", std::nullopt},
        {"tty0", std::nullopt},
        {"ttyAMA0", std::nullopt},
        {"ttyUSB1a", std::nullopt},
        {"ttyS99999999999", std::nullopt},
    };
    for (const auto& [tty, com] : cases)
        EXPECT_EQ(ComNumberForTty(tty), com) << tty;
}

TEST(SysfsComNumbers, AreOneToOne) {
    EXPECT_EQ(TtyForComNumber(0), std::nullopt);
    EXPECT_EQ(TtyForComNumber(1000), std::nullopt);
    for (unsigned com = 1; com <= 999; ++com) {
        const auto tty = TtyForComNumber(com);
        ASSERT_TRUE(tty) << com;
        EXPECT_EQ(ComNumberForTty(*tty), com) << *tty;
    }
}

// A fake sysfs laid out like the kernel's: class/tty/<name>/device is a relative link into devices/,
// USB devices hold idVendor/idProduct/product, drivers are links into bus/.
class FakeSysfs {
  public:
    fs::path sys() const { return dir_.path() / "sys"; }
    fs::path dev() const { return dir_.path() / "dev"; }

    // A USB-serial converter: the tty device sits below the interface (ttyUSB).
    void AddUsbSerial(const std::string& tty, const std::string& usbName, const std::string& vid,
                      const std::string& pid, const std::string& product, const std::string& driver) {
        const fs::path usb = AddUsbDevice(usbName, vid, pid, product);
        const fs::path interface = usb / (usbName + ":1.0");
        LinkDriver(interface, "usb", driver);
        const fs::path port = interface / tty;
        LinkDriver(port, "usb-serial", driver);
        LinkTty(tty, port);
    }

    // A modem-class device: the interface itself is the tty's device (ttyACM).
    void AddUsbAcm(const std::string& tty, const std::string& usbName, const std::string& vid,
                   const std::string& pid) {
        const fs::path interface = AddUsbDevice(usbName, vid, pid, "Modem") / (usbName + ":1.0");
        LinkDriver(interface, "usb", "cdc_acm");
        LinkTty(tty, interface);
    }

    // A built-in port; `present` false is a name the kernel reserved without finding a UART.
    void AddBuiltin(const std::string& tty, bool present) {
        const fs::path device = present ? sys() / "devices/pnp0" / ("00:0" + tty.substr(4))
                                        : sys() / "devices/platform/serial8250";
        LinkDriver(device, "platform", present ? "serial" : "serial8250");
        LinkTty(tty, device);
        WriteFile(sys() / "class/tty" / tty / "type", present ? "4\n" : "0\n");
    }

    void AddVirtualConsole(const std::string& tty) { fs::create_directories(sys() / "class/tty" / tty); }

    void Unplug(const std::string& tty) { fs::remove_all(sys() / "class/tty" / tty); }

  private:
    fs::path AddUsbDevice(const std::string& usbName, const std::string& vid, const std::string& pid,
                          const std::string& product) {
        const fs::path usb = sys() / "devices/pci0000:00/0000:00:14.0/usb1" / usbName;
        WriteFile(usb / "idVendor", vid + "\n");
        WriteFile(usb / "idProduct", pid + "\n");
        WriteFile(usb / "product", product + "\n");
        // The root hub above it has ids too; the nearest device must win.
        WriteFile(usb.parent_path() / "idVendor", "1d6b\n");
        WriteFile(usb.parent_path() / "idProduct", "0002\n");
        return usb;
    }
    void LinkDriver(const fs::path& device, const std::string& bus, const std::string& driver) {
        const fs::path target = sys() / "bus" / bus / "drivers" / driver;
        fs::create_directories(device);
        fs::create_directories(target);
        // Reserved ttyS names share one placeholder device; a replugged device keeps its link.
        if (fs::is_symlink(device / "driver")) return;
        fs::create_directory_symlink(fs::relative(target, device), device / "driver");
    }
    void LinkTty(const std::string& tty, const fs::path& device) {
        const fs::path entry = sys() / "class/tty" / tty;
        fs::create_directories(entry);
        fs::create_directory_symlink(fs::relative(device, entry), entry / "device");
    }

    TempDir dir_;
};

class SysfsTest : public ::testing::Test {
  protected:
    FakeSysfs tree;
    SysfsPortRegistry registry{tree.sys(), tree.dev()};
    std::string Dev(const std::string& tty) const { return (tree.dev() / tty).string(); }
};

TEST_F(SysfsTest, LoggerPresent) {
    tree.AddBuiltin("ttyS0", true);
    tree.AddUsbSerial("ttyUSB0", "1-1", "0fe3", "6002", "VEXA logger", "ftdi_sio");
    tree.AddVirtualConsole("tty1");

    EXPECT_EQ(registry.SerialCommValues(),
              (Values{{"\\Device\\Serial0", "COM1"}, {"\\Device\\VCP0", "COM3"}}));
    EXPECT_EQ(registry.LoggerFriendlyName(), "USB Serial Port (COM3)");
    EXPECT_EQ(registry.AdapterPortName(), std::nullopt);
    EXPECT_EQ(registry.DevicePath(3), Dev("ttyUSB0"));
    EXPECT_EQ(registry.DevicePath(1), Dev("ttyS0"));
    EXPECT_EQ(registry.DevicePath(4), std::nullopt);

    const auto ports = registry.Describe();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].driver, "serial");
    EXPECT_EQ(ports[0].vendorId, "");
    const SerialPortInfo& logger = ports[1];
    EXPECT_EQ(logger.comName, "COM3");
    EXPECT_EQ(logger.devicePath, Dev("ttyUSB0"));
    EXPECT_EQ(logger.vendorId, "0FE3");
    EXPECT_EQ(logger.productId, "6002");
    EXPECT_EQ(logger.driver, "ftdi_sio");
    EXPECT_EQ(logger.product, "VEXA logger");
}

TEST_F(SysfsTest, AdapterPresentBesideAModem) {
    tree.AddUsbAcm("ttyACM0", "1-2", "2341", "0043");
    tree.AddUsbSerial("ttyUSB1", "1-3", "0403", "6001", "FT232R USB UART", "ftdi_sio");

    EXPECT_EQ(registry.SerialCommValues(),
              (Values{{"\\Device\\VCP0", "COM4"}, {"\\Device\\Serial0", "COM100"}}));
    EXPECT_EQ(registry.LoggerFriendlyName(), std::nullopt);
    EXPECT_EQ(registry.AdapterPortName(), "COM4");
    EXPECT_EQ(registry.DevicePath(100), Dev("ttyACM0"));

    const auto ports = registry.Describe();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[1].driver, "cdc_acm");
    EXPECT_EQ(ports[1].vendorId, "2341");
}

// A tick's snapshot (one walk) says what the single reads say, for the file and for sysfs alike.
void ExpectSnapshotMatchesTheSingleReads(PortRegistry& r, const std::map<unsigned, std::string>& devices) {
    const auto snapshot = r.Snapshot();
    EXPECT_EQ(snapshot.serialComm, r.SerialCommValues());
    EXPECT_EQ(snapshot.loggerFriendlyName, r.LoggerFriendlyName());
    EXPECT_EQ(snapshot.adapterPortName, r.AdapterPortName());
    EXPECT_EQ(snapshot.devicePaths, devices);
}

TEST_F(SysfsTest, SnapshotOfOneWalkMatchesTheSingleReads) {
    tree.AddBuiltin("ttyS0", true);
    tree.AddUsbSerial("ttyUSB0", "1-1", "0fe3", "6002", "VEXA logger", "ftdi_sio");
    tree.AddUsbSerial("ttyUSB1", "1-3", "0403", "6001", "FT232R USB UART", "ftdi_sio");
    ExpectSnapshotMatchesTheSingleReads(registry, {{1, Dev("ttyS0")}, {3, Dev("ttyUSB0")}, {4, Dev("ttyUSB1")}});
}

TEST_F(RegistryFileTest, SnapshotMatchesTheSingleReads) {
    WriteFile(file, kSampleFile);
    ExpectSnapshotMatchesTheSingleReads(registry, {{3, "/dev/pts/7"}});
}

TEST_F(SysfsTest, DriverFamilyDecidesTheValueName) {
    // Ids of the family mark a VCP port whatever driver took it, and so does the family's driver.
    tree.AddUsbSerial("ttyUSB0", "1-1", "0fe3", "6002", "", "usbserial_generic");
    tree.AddUsbSerial("ttyUSB1", "1-2", "1234", "5678", "", "ftdi_sio");
    tree.AddUsbSerial("ttyUSB2", "1-3", "067b", "2303", "", "pl2303");
    tree.AddUsbSerial("ttyUSB3", "1-4", "0403", "6015", "", "ftdi_sio");
    EXPECT_EQ(registry.SerialCommValues(), (Values{{"\\Device\\VCP0", "COM3"},
                                                   {"\\Device\\VCP1", "COM4"},
                                                   {"\\Device\\Serial0", "COM5"},
                                                   {"\\Device\\VCP2", "COM6"}}));
    // 0403:6015 is the vendor's but not the adapter the second search looks for.
    EXPECT_EQ(registry.AdapterPortName(), std::nullopt);
}

TEST_F(SysfsTest, NothingThere) {
    EXPECT_TRUE(registry.SerialCommValues().empty());
    EXPECT_EQ(registry.LoggerFriendlyName(), std::nullopt);
    EXPECT_EQ(registry.AdapterPortName(), std::nullopt);
    EXPECT_EQ(registry.DevicePath(3), std::nullopt);
    EXPECT_TRUE(registry.Describe().empty());
}

TEST_F(SysfsTest, BuiltInPortsOnlyListThoseWithAUart) {
    tree.AddBuiltin("ttyS0", true);
    tree.AddBuiltin("ttyS1", false);
    tree.AddBuiltin("ttyS2", true);
    tree.AddBuiltin("ttyS3", false);
    EXPECT_EQ(registry.SerialCommValues(),
              (Values{{"\\Device\\Serial0", "COM1"}, {"\\Device\\Serial1", "COM200"}}));
    EXPECT_EQ(registry.LoggerFriendlyName(), std::nullopt);
    EXPECT_EQ(registry.DevicePath(2), std::nullopt);
    EXPECT_EQ(registry.DevicePath(200), Dev("ttyS2"));
}

TEST_F(SysfsTest, UnpluggingAndReplugging) {
    tree.AddUsbSerial("ttyUSB0", "1-1", "0fe3", "6002", "", "ftdi_sio");
    tree.AddUsbSerial("ttyUSB1", "1-2", "0fe3", "6002", "", "ftdi_sio");
    EXPECT_EQ(registry.LoggerFriendlyName(), "USB Serial Port (COM3)");

    tree.Unplug("ttyUSB0");
    // The other port keeps its number; the first logger left is reported.
    EXPECT_EQ(registry.SerialCommValues(), (Values{{"\\Device\\VCP0", "COM4"}}));
    EXPECT_EQ(registry.LoggerFriendlyName(), "USB Serial Port (COM4)");
    EXPECT_EQ(registry.DevicePath(3), std::nullopt);

    tree.Unplug("ttyUSB1");
    EXPECT_EQ(registry.LoggerFriendlyName(), std::nullopt);

    tree.AddUsbSerial("ttyUSB0", "1-1", "0fe3", "6002", "", "ftdi_sio");
    EXPECT_EQ(registry.LoggerFriendlyName(), "USB Serial Port (COM3)");
    EXPECT_EQ(registry.DevicePath(3), Dev("ttyUSB0"));
}

TEST_F(SysfsTest, ADanglingDeviceLinkIsNoPort) {
    // A port removed between listing and reading leaves a link to nothing.
    tree.AddUsbSerial("ttyUSB0", "1-1", "0fe3", "6002", "", "ftdi_sio");
    fs::remove_all(tree.sys() / "devices/pci0000:00/0000:00:14.0/usb1/1-1");
    EXPECT_TRUE(registry.SerialCommValues().empty());
    EXPECT_EQ(registry.DevicePath(3), std::nullopt);
}

} // namespace
