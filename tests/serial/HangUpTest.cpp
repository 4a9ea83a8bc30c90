// The device going away (logger unplugged, simulator gone): threads end, nothing spins or hangs,
// and the port can be closed and opened again.
#include "PtyPair.h"

#include <dirent.h>

#include <functional>

namespace {

std::size_t ThreadCount() {
    std::size_t n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

// Whether the call came back at all within a generous deadline: a liveness check, not a speed figure
// (bench_serial measures how fast a close is).
bool Returns(const std::function<void()>& call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::steady_clock::now() - start < 20s;
}

class HangUpTest : public PortTest {
  protected:
    void ReadEverything() {
        port.OnTriggerAvail = [this](TApdCustomComPort& cp, std::uint16_t) {
            while (cp.CharReady())
                got += cp.GetChar();
        };
    }
    std::string got;
};

TEST_F(HangUpTest, MidStreamTheThreadsEndAndTheBytesReadStayInOrder) {
    const std::size_t threadsBefore = ThreadCount();
    OpenOnPty();
    EXPECT_EQ(ThreadCount(), threadsBefore + 3);
    ReadEverything();
    Pty().Write(StreamBytes(0, 1000));
    ASSERT_TRUE(Pump([&] { return got.size() == 1000; }));
    Pty().Write(StreamBytes(1000, 500));
    Pty().HangUp();
    ASSERT_TRUE(SpinUntil([&] { return ThreadCount() == threadsBefore; }));
    Pump([&] { return mailbox->Queued() == 0; }, 200ms);
    EXPECT_LE(got.size(), 1500u);
    EXPECT_EQ(got, StreamBytes(0, got.size()));

    // Still "open" until closed; writes go nowhere and raise nothing.
    EXPECT_EQ(port.State(), psOpen);
    EXPECT_NO_THROW(port.PutString("p"));
    EXPECT_NO_THROW(port.FlushInBuffer());
}

TEST_F(HangUpTest, AfterAHangUpNothingIsLeftRunning) {
    const std::size_t threadsBefore = ThreadCount();
    OpenOnPty();
    ReadEverything();
    Pty().Write("x");
    ASSERT_TRUE(Pump([&] { return got == "x"; }));
    Pty().HangUp();
    // A worker spinning on the dead device would stay alive and keep announcing nothing; all three end.
    ASSERT_TRUE(SpinUntil([&] { return ThreadCount() == threadsBefore; }));
    Pump([&] { return false; }, 300ms);
    EXPECT_EQ(mailbox->Queued(), 0u);
    EXPECT_EQ(got, "x");
}

TEST_F(HangUpTest, TheClosedPortOpensAgainOnceTheDeviceIsBack) {
    OpenOnPty();
    ReadEverything();
    Pty().HangUp();
    port.SetOpen(false);
    EXPECT_EQ(port.State(), psClosed);
    EXPECT_THROW(port.SetOpen(true), EBadId); // the old device is gone, as an unplugged logger's port is

    ptys.push_back(std::make_unique<PtyPair>()); // plugged in again, maybe under another device name
    devices[1] = Pty(1).SlavePath();
    port.SetOpen(true);
    Pty(1).Write("back");
    ASSERT_TRUE(Pump([&] { return got == "back"; }));
    port.PutString("m");
    EXPECT_EQ(Pty(1).Read(1), "m");
}

TEST_F(HangUpTest, ClosingWhileTheWorkersWaitReturnsAtOnce) {
    OpenOnPty();
    ReadEverything();
    // Idle: the workers wait for the device, for bytes to write and for the next round. The close
    // must wake them, not wait for a byte that never comes.
    ASSERT_TRUE(Returns([&] { port.SetOpen(false); }));
    EXPECT_EQ(port.State(), psClosed);

    // Output stalled: the far end reads nothing, the output thread waits for room in the driver.
    port.SetOpen(true);
    FillUntilStalled();
    ASSERT_GT(port.OutBuffUsed(), 0u);
    ASSERT_TRUE(Returns([&] { port.SetOpen(false); }));
    EXPECT_EQ(port.State(), psClosed);
}

} // namespace
