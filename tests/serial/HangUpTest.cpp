// The device going away (logger unplugged, simulator gone): threads end, nothing spins or hangs,
// and the port can be closed and opened again.
#include "PtyPair.h"

#include <dirent.h>
#include <time.h>

#include <condition_variable>
#include <mutex>

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

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
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

TEST_F(HangUpTest, AfterAHangUpNothingSpins) {
    OpenOnPty();
    ReadEverything();
    Pty().Write("x");
    ASSERT_TRUE(Pump([&] { return got == "x"; }));
    Pty().HangUp();
    // Measured over two seconds of idling; a worker spinning on the dead device would show here.
    std::mutex m;
    std::condition_variable never;
    const double cpuBefore = ProcessCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    {
        std::unique_lock lock(m);
        never.wait_for(lock, 2s, [] { return false; });
    }
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    EXPECT_LT(cpu / wall, 0.05) << cpu << " s of CPU in " << wall << " s";
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
    // Idle: the workers wait for the device, for bytes to write and for the next round.
    auto start = std::chrono::steady_clock::now();
    port.SetOpen(false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms);

    // Output stalled: the far end reads nothing, the output thread waits for room in the driver.
    port.SetOpen(true);
    FillUntilStalled();
    ASSERT_GT(port.OutBuffUsed(), 0u);
    start = std::chrono::steady_clock::now();
    port.SetOpen(false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms);
}

} // namespace
