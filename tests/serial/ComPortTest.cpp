// The port component over real pseudo-terminals: open and close, line settings, errors of the
// open, port selection, queued writing.
#include "PtyPair.h"

#include "serial/AccessHint.h"
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

TEST(ComPortDefaults, AreTheComponentsOwn) {
    TApdComPort p;
    EXPECT_EQ(p.DeviceLayer(), dlWin32);
    EXPECT_EQ(p.ComNumber(), 0);
    EXPECT_EQ(p.Baud(), 19200);
    EXPECT_TRUE(p.PromptForPort());
    EXPECT_EQ(p.Parity(), pNone);
    EXPECT_EQ(p.DataBits(), 8);
    EXPECT_EQ(p.StopBits(), 1);
    EXPECT_EQ(p.InSize(), 4096);
    EXPECT_EQ(p.OutSize(), 4096);
    EXPECT_TRUE(p.AutoOpen());
    EXPECT_FALSE(p.Open());
    EXPECT_TRUE(p.DTR());
    EXPECT_TRUE(p.RTS());
    EXPECT_EQ(p.HWFlowOptions(), 0);
    EXPECT_EQ(p.SWFlowOptions(), swfNone);
    EXPECT_EQ(p.XOnChar(), 17);
    EXPECT_EQ(p.XOffChar(), 19);
    EXPECT_EQ(p.BufferFull(), 0);
    EXPECT_EQ(p.BufferResume(), 0);
    EXPECT_EQ(p.Tracing(), tlOff);
    EXPECT_EQ(p.TraceSize(), 10000u);
    EXPECT_EQ(p.TraceName(), "APRO.TRC");
    EXPECT_TRUE(p.TraceHex());
    EXPECT_FALSE(p.TraceAllHex());
    EXPECT_EQ(p.Logging(), tlOff);
    EXPECT_EQ(p.LogSize(), 10000u);
    EXPECT_EQ(p.LogName(), "APRO.LOG");
    EXPECT_TRUE(p.LogHex());
    EXPECT_FALSE(p.LogAllHex());
    EXPECT_TRUE(p.UseMSRShadow());
    EXPECT_TRUE(p.UseEventWord());
    EXPECT_EQ(p.CommNotificationLevel(), 10);
    EXPECT_EQ(p.TapiMode(), tmAuto);
    EXPECT_FALSE(p.RS485Mode());
    EXPECT_EQ(p.TriggerLength(), 1);
    EXPECT_EQ(p.ThreadBoost(), tbNone);
    EXPECT_EQ(p.State(), psClosed);
    p.SetTraceSize(5000000);
    p.SetLogSize(20000000);
    EXPECT_EQ(p.TraceSize(), 4000000u);
    EXPECT_EQ(p.LogSize(), 16000000u);
}

TEST_F(PortTest, OpensTheLineRawAt115200With8N1AndNoFlowControl) {
    OpenOnPty();
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(port.State(), psOpen);
    const termios t = Pty().Settings();
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B115200));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);

    // What a person would notice: every byte arrives as sent, and nothing is echoed to the logger.
    std::string got;
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t) {
        while (cp.CharReady())
            got += cp.GetChar();
    };
    const std::string sent = std::string("a\rb\x03\n\x11\x13\x7f", 8) + '\0';
    Pty().Write(sent);
    ASSERT_TRUE(Pump([&] { return got.size() == sent.size(); }));
    EXPECT_EQ(got, sent);
    port.PutString("Z");
    EXPECT_EQ(Pty().Read(1), "Z");
}

TEST_F(PortTest, OpeningAnOpenPortOrClosingAClosedOneDoesNothing) {
    port.SetOpen(false);
    EXPECT_EQ(port.State(), psClosed);
    OpenOnPty();
    const std::size_t lookups = resolved.size();
    port.SetOpen(true);
    EXPECT_EQ(resolved.size(), lookups);
    EXPECT_EQ(port.State(), psOpen);
    port.SetOpen(false);
    EXPECT_FALSE(port.Open());
    EXPECT_EQ(port.State(), psClosed);
}

TEST_F(PortTest, ReadingWithNothingReceivedRaisesBufferIsEmpty) {
    OpenOnPty();
    EXPECT_FALSE(port.CharReady());
    EXPECT_THROW(port.GetChar(), EBufferIsEmpty);
    EXPECT_TRUE(port.Open());
}

TEST_F(PortTest, AMissingPortRaisesBadIdAndLeavesItClosed) {
    for (std::optional<std::string> path :
         {std::optional<std::string>(), std::optional<std::string>("/dev/pts/987654")}) {
        if (path) devices[4] = *path;
        port.SetComNumber(4);
        try {
            port.SetOpen(true);
            FAIL() << "opened";
        } catch (const EBadId& e) {
            EXPECT_EQ(e.Message(), "ie_BadId - Specified comport doesn't exist");
        }
        EXPECT_FALSE(port.Open());
        EXPECT_EQ(port.State(), psClosed);
    }
    // The next write tries the open again.
    const std::size_t lookups = resolved.size();
    EXPECT_THROW(port.PutString("x"), EBadId);
    EXPECT_EQ(resolved.size(), lookups + 1);
}

TEST_F(PortTest, PortNumbersAreAskedForAsTheyAre) {
    AddPty(12);
    port.SetComNumber(12);
    port.SetOpen(true);
    EXPECT_EQ(resolved.back(), 12u);
}

TEST_F(PortTest, APortHeldElsewhereRaisesAlreadyOpen) {
    OpenOnPty();
    TApdComPort second;
    second.SetDevicePathResolver([&](unsigned) { return std::optional(Pty().SlavePath()); });
    second.SetComNumber(1);
    try {
        second.SetOpen(true);
        FAIL() << "opened twice";
    } catch (const EAlreadyOpen& e) {
        EXPECT_EQ(e.Message(), "ie_Open - device already open");
    }
    EXPECT_EQ(second.State(), psClosed);

    // Another program holding the device (the lock stops even root, which TIOCEXCL does not).
    port.SetOpen(false);
    const int other = ::open(Pty().SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_THROW(port.SetOpen(true), EAlreadyOpen);
    ::close(other);
    port.SetOpen(true);
    EXPECT_TRUE(port.Open());
}

TEST_F(PortTest, ComNumberOnAClosedPortOnlyStoresIt) {
    AddPty(3);
    port.SetComNumber(3);
    EXPECT_EQ(port.State(), psClosed);
    EXPECT_TRUE(resolved.empty());
}

TEST_F(PortTest, ComNumberOnAnOpenPortReopensOnTheNewNumber) {
    OpenOnPty();
    AddPty(2);
    std::string got;
    port.OnTriggerAvail = [&](TApdCustomComPort& cp, std::uint16_t) {
        while (cp.CharReady())
            got += cp.GetChar();
    };
    port.SetComNumber(2);
    EXPECT_EQ(resolved.back(), 2u);
    EXPECT_EQ(port.State(), psOpen);
    EXPECT_TRUE(port.Open());
    Pty(1).Write("on two");
    ASSERT_TRUE(Pump([&] { return got == "on two"; }));
    // COM1 was let go: another component can have it now.
    TApdComPort other;
    other.SetDevicePathResolver([&](unsigned) { return std::optional(Pty(0).SlavePath()); });
    other.SetComNumber(1);
    EXPECT_NO_THROW(other.SetOpen(true));
}

TEST_F(PortTest, WritingToAClosedPortOpensItFirst) {
    AddPty(1);
    port.SetComNumber(1);
    port.PutString("m");
    EXPECT_EQ(port.State(), psOpen);
    EXPECT_EQ(Pty().Read(1), "m");

    port.SetOpen(false);
    devices.erase(1);
    EXPECT_THROW(port.PutChar('p'), EBadId); // the open's exception, and nothing is sent
    EXPECT_EQ(port.State(), psClosed);

    port.SetAutoOpen(false);
    EXPECT_THROW(port.PutString("p"), ECommNotOpen);
    EXPECT_THROW(port.GetChar(), ECommNotOpen);
}

TEST_F(PortTest, AnEmptyTextSendsNothing) {
    OpenOnPty();
    EXPECT_NO_THROW(port.PutString(""));
    port.PutChar('Q');
    EXPECT_EQ(Pty().Read(1), "Q");
}

TEST_F(PortTest, BytesQueuedBeforeACloseStillGoOut) {
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        if (ptys.empty()) OpenOnPty();
        port.SetOpen(true);
        const std::string last = StreamBytes(static_cast<std::size_t>(round), 300);
        port.PutString(last);
        port.SetOpen(false);
        EXPECT_EQ(Pty().Read(last.size()), last);
    }
}

TEST_F(PortTest, TheOutputBufferTakes512BytesInOnePieceButNot513) {
    OpenOnPty();
    const std::string full = StreamBytes(0, 512);
    port.PutString(full);
    EXPECT_EQ(Pty().Read(512), full);
    ASSERT_TRUE(SpinUntil([&] { return port.OutBuffUsed() == 0; })); // the output thread has let go
    try {
        port.PutString(StreamBytes(0, 513));
        FAIL() << "513 bytes queued";
    } catch (const EOutputBufferTooSmall& e) {
        EXPECT_EQ(e.Message(), "Output buffer too small for block");
    }
    EXPECT_TRUE(port.Open());
    port.PutString("Z");
    EXPECT_EQ(Pty().Read(1), "Z"); // nothing of the refused text went out
}

TEST_F(PortTest, AStalledDeviceFillsTheOutputBufferAndNothingIsLostOrSplit) {
    OpenOnPty();
    // The far end reads nothing: the driver fills, then the 512-byte ring, then writes are refused.
    const std::string accepted = FillUntilStalled();
    EXPECT_GT(port.OutBuffUsed(), 512u - 200u);
    EXPECT_EQ(Pty().Read(accepted.size()), accepted);
    EXPECT_TRUE(SpinUntil([&] { return port.OutBuffUsed() == 0; }));
}

TEST_F(PortTest, PortZeroAsksTheHostToChooseAmongTheAvailablePorts) {
    AddPty(2);
    AddPty(7);
    std::vector<std::string> offered;
    port.SetPortSelectionHook([&](const std::vector<std::string>& names) {
        offered = names;
        return std::optional<unsigned>(7);
    });
    port.SetOpen(true);
    EXPECT_EQ(offered, (std::vector<std::string>{"COM2", "COM7"}));
    EXPECT_EQ(port.ComNumber(), 7);
    EXPECT_EQ(port.State(), psOpen);
    EXPECT_EQ(resolved.back(), 7u);
}

TEST_F(PortTest, PortZeroWithoutAChoiceRaisesNoPortSelected) {
    AddPty(2);
    int asked = 0;
    port.SetPortSelectionHook([&](const std::vector<std::string>&) {
        ++asked;
        return std::optional<unsigned>();
    });
    EXPECT_THROW(port.SetOpen(true), ENoPortSelected); // Cancel
    EXPECT_EQ(asked, 1);
    port.SetPromptForPort(false);
    try {
        port.SetOpen(true);
        FAIL();
    } catch (const ENoPortSelected& e) {
        EXPECT_EQ(e.Message(), "The ComNumber property of the TApdComPort has not been set");
    }
    EXPECT_EQ(asked, 1);
    port.SetPromptForPort(true);
    port.SetPortSelectionHook(nullptr);
    EXPECT_THROW(port.SetOpen(true), ENoPortSelected);
    EXPECT_EQ(port.State(), psClosed);
    EXPECT_EQ(port.ComNumber(), 0);
}

TEST_F(PortTest, RenumberingAnOpenPortToZeroAsksAgain) {
    OpenOnPty();
    port.SetPortSelectionHook([](const std::vector<std::string>&) { return std::optional<unsigned>(); });
    EXPECT_THROW(port.SetComNumber(0), ENoPortSelected);
    EXPECT_EQ(port.State(), psClosed);
    EXPECT_FALSE(port.Open());
}

TEST_F(PortTest, WhileLoadingOpenIsOnlyRememberedAndErrorsAreNotRaised) {
    AddPty(1);
    port.BeginLoading();
    port.SetComNumber(1);
    port.SetOpen(true);
    EXPECT_EQ(port.State(), psClosed);
    EXPECT_NO_THROW(port.PutString("x")); // no dispatcher, and no exception while loading
    EXPECT_TRUE(resolved.empty());
    port.Loaded();
    EXPECT_EQ(port.State(), psOpen);
    EXPECT_TRUE(port.Open());

    TApdComPort failing;
    failing.BeginLoading();
    failing.SetComNumber(9); // no device
    failing.SetOpen(true);
    EXPECT_THROW(failing.Loaded(), EBadId);
    EXPECT_FALSE(failing.Open());
}

TEST_F(PortTest, OnlyTheNativeDeviceLayerOpens) {
    AddPty(1);
    port.SetComNumber(1);
    port.SetDeviceLayer(dlWinsock);
    EXPECT_THROW(port.SetOpen(true), ENullApi);
    EXPECT_EQ(port.State(), psClosed);
}

TEST_F(PortTest, LineSettingsChangedWhileOpenReachTheDevice) {
    OpenOnPty();
    // (A pseudo-terminal keeps 8 data bits without parity whatever it is told, so those two are
    // left out here.)
    port.SetBaud(9600);
    port.SetStopBits(2);
    const termios t = Pty().Settings();
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
    EXPECT_THROW(port.SetBaud(12345), EBaudRate);
}

TEST(AccessDenied, TheMessageNamesTheUdevRuleFirstThenTheGroupTheUserLacks) {
    using vexa::serial::DeviceAccessFacts;
    using vexa::serial::FormatAccessDenied;
    const std::string noRule = "first install the vexaview package, whose udev rule gives the user at this "
                               "computer access to the logger, then unplug the logger and plug it in again. ";
    DeviceAccessFacts notMember{"/dev/ttyUSB0", "dialout", "ann", true, false, false, "", ""};
    EXPECT_EQ(
        FormatAccessDenied(notMember),
        "Permission denied opening /dev/ttyUSB0: " + noRule +
            "Otherwise: the device belongs to group \"dialout\" and user \"ann\" is not a member of it. "
            "Add the user to that group (sudo usermod -aG dialout ann), then log out and in again.");
    DeviceAccessFacts addedLately{"/dev/ttyACM0", "uucp", "bob", true, true, false, "", ""};
    EXPECT_EQ(FormatAccessDenied(addedLately),
              "Permission denied opening /dev/ttyACM0: " + noRule +
                  "Otherwise: user \"bob\" was added to group \"uucp\" after this session started. Log out "
                  "and in again so that the membership takes effect.");
    DeviceAccessFacts ownerOnly{"/dev/ttyS0", "root", "cy", false, false, false, "", ""};
    EXPECT_EQ(FormatAccessDenied(ownerOnly),
              "Permission denied opening /dev/ttyS0: " + noRule +
                  "Otherwise: user \"cy\" may not read and write it (owner group \"root\"). Ask the "
                  "administrator for access to the device.");

    // Installed where udev reads it: replugging applies it. Installed only in a private tree: copy it.
    const std::string notMemberFix =
        "Otherwise: the device belongs to group \"dialout\" and user \"ann\" is not a member of it. Add the "
        "user to that group (sudo usermod -aG dialout ann), then log out and in again.";
    DeviceAccessFacts active = notMember;
    active.activeRule = "/usr/lib/udev/rules.d/70-vexaview.rules";
    active.shippedRule = "/opt/x/lib/udev/rules.d/70-vexaview.rules";
    EXPECT_EQ(FormatAccessDenied(active),
              "Permission denied opening /dev/ttyUSB0: the logger's udev rule (/usr/lib/udev/rules.d/"
              "70-vexaview.rules) gives access to the user logged in at this computer's own screen once the "
              "logger is plugged in: unplug it and plug it in again. " +
                  notMemberFix);
    DeviceAccessFacts shipped = notMember;
    shipped.shippedRule = "/home/ann/.local/lib/udev/rules.d/70-vexaview.rules";
    EXPECT_EQ(FormatAccessDenied(shipped),
              "Permission denied opening /dev/ttyUSB0: first install the logger's udev rule (sudo cp "
              "/home/ann/.local/lib/udev/rules.d/70-vexaview.rules /etc/udev/rules.d/ && sudo udevadm "
              "control --reload-rules), then unplug the logger and plug it in again. " +
                  notMemberFix);
}

TEST(AccessDenied, FindsTheRuleWhereUdevReadsItAndBesideTheProgram) {
    using vexa::serial::FindActiveRule;
    using vexa::serial::FindShippedRule;
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/vexa-rule-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    auto put = [&](const fs::path& dir) {
        fs::create_directories(root / dir.relative_path());
        std::ofstream(root / dir.relative_path() / "70-vexaview.rules") << "# rule\n";
    };
    EXPECT_EQ(FindActiveRule(root.string()), "");
    put("/usr/lib/udev/rules.d");
    EXPECT_EQ(FindActiveRule(root.string()), (root / "usr/lib/udev/rules.d/70-vexaview.rules").string());
    // A local copy in /etc hides the packaged one, as it does for udev.
    put("/etc/udev/rules.d");
    EXPECT_EQ(FindActiveRule(root.string()), (root / "etc/udev/rules.d/70-vexaview.rules").string());

    EXPECT_EQ(FindShippedRule((root / "prefix/bin/vexaview").string()), "");
    put("/prefix/lib/udev/rules.d");
    EXPECT_EQ(FindShippedRule((root / "prefix/bin/vexaview").string()),
              (root / "prefix/lib/udev/rules.d/70-vexaview.rules").string());
    EXPECT_EQ(FindShippedRule(""), "");
    fs::remove_all(root);
}

} // namespace
