// The one way the link goes down: whatever takes it (unplug, silence, "close", a port gone from the
// registry), the running exchange ends keeping every complete record, everything queued goes, the port
// is closed, the loss is told once, and the next finding of the logger greets it again.
#include "session/Session.h"
#include "support/SessionRecorder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace {

using vexa::session::Clock;
using vexa::session::LinkLoss;
using vexa::session::Phase;
using namespace std::chrono_literals;

const Clock::time_point t0 = Clock::time_point{} + 1h;

vexa::session::RegistrySnapshot LoggerOnCom3() {
    vexa::session::RegistrySnapshot s;
    s.serialComm = {{"\\Device\\VCP0", "COM3"}};
    s.loggerFriendlyName = "USB Serial Port (COM3)";
    return s;
}

std::string Record(int k) {
    char line[32];
    std::snprintf(line, sizeof line, "104C%02X8500FF0A194B00\r\n", k % 60 << 2);
    return line;
}

struct Rig : vexa::testing::SessionRig {
    vexa::session::RegistrySnapshot registry = LoggerOnCom3();
    vexa::session::TickResult Discover(const vexa::session::RegistrySnapshot* snapshot) {
        vexa::session::TickInput in;
        in.snapshot = snapshot;
        in.chosenPort = "COM3";
        in.nowText = "2024/05/01 09:03:07";
        return session.DiscoveryTick(in, t0);
    }
    void Link() {
        Discover(&registry);
        Arrive("KTZ-770 Ver=20231226\r\n#", t0);
        Arrive("#", t0);
        Arrive("#", t0);
        ASSERT_EQ(session.CurrentPhase(), Phase::Linked);
        port.writes.clear();
    }
};

TEST(LinkLoss, EveryWayTheLinkGoesEndsTheExchangeKeepsTheRecordsDropsTheQueueAndTellsOnce) {
    const vexa::session::RegistrySnapshot nothing;
    struct Source {
        const char* name;
        LinkLoss reason;
        std::function<void(Rig&)> take;
        int recordsKept; // of the 20 that arrived whole (and 5 more still unread at the port)
    } sources[] = {
        {"unplugged", LinkLoss::Unplugged,
         [](Rig& r) {
             // The device delivered the rest of the cut record and four more before it went; they are
             // read first.
             r.port.incoming += Record(20).substr(9);
             for (int k = 21; k < 25; ++k)
                 r.port.incoming += Record(k);
             r.port.lost = true;
             r.session.Tick(t0 + 1s);
         },
         25},
        {"silent", LinkLoss::Silent, [](Rig& r) { r.session.Tick(t0 + r.session.ExchangeTimeout() + 1s); },
         20},
        {"closed by the user", LinkLoss::Closed, [](Rig& r) { ASSERT_TRUE(r.session.RequestClose(t0 + 1s)); },
         20},
        {"port gone from the registry", LinkLoss::PortVanished, [&](Rig& r) { r.Discover(&nothing); }, 20},
    };
    for (const auto& source : sources) {
        SCOPED_TRACE(source.name);
        Rig r;
        ASSERT_NO_FATAL_FAILURE(r.Link());
        // Queued for this logger: the status refresh after a monitor, a tick sequence, a clock's "m".
        r.session.SetMonitor(true, t0);
        r.session.SetMonitor(false, t0);
        r.session.RequestClockSet(t0);
        r.session.QueueTickSequence("abc");
        ASSERT_TRUE(r.session.RequestDownload("D", "2024", t0));
        std::string answer = "@C= 100 72000\r\n";
        for (int k = 0; k < 20; ++k)
            answer += Record(k);
        r.Arrive(answer + Record(20).substr(0, 9), t0); // the 21st record cut short
        ASSERT_EQ(r.session.State().RecordCount, 20);

        source.take(r);

        ASSERT_EQ(r.rec.linkDowns.size(), 1u);
        const auto& report = r.rec.linkDowns[0];
        EXPECT_EQ(report.reason, source.reason);
        EXPECT_TRUE(report.exchangeEnded);
        EXPECT_TRUE(report.downloadCut);
        EXPECT_FALSE(report.monitorStopped);
        ASSERT_TRUE(r.rec.summary);
        EXPECT_FALSE(r.rec.summary->complete);
        EXPECT_EQ(r.rec.summary->lineCount, source.recordsKept);
        EXPECT_EQ(r.rec.downloaded.size(), size_t(source.recordsKept));
        EXPECT_FALSE(r.port.open);
        EXPECT_TRUE(r.session.QueuedFollowUps().empty());
        EXPECT_FALSE(r.session.TickSequencePending());
        EXPECT_FALSE(r.session.ClockGreetingPending());
        EXPECT_FALSE(r.session.StatusRefreshPending());
        EXPECT_FALSE(r.session.WatchdogArmed());
        EXPECT_FALSE(r.session.MonitorOn());
        EXPECT_EQ(r.session.State().LinkUp, 0);
        EXPECT_EQ(r.session.State().CommandsEnabled, 0);
        EXPECT_EQ(r.session.CurrentPhase(), Phase::Idle);
        // Told once: the same again is no news.
        r.port.lost = false;
        source.take(r);
        r.session.Tick(t0 + 1h);
        EXPECT_EQ(r.rec.linkDowns.size(), 1u);
        // The next finding connects and greets again; nothing of the old exchange goes with it.
        r.port.writes.clear();
        const auto tick = r.Discover(&r.registry);
        EXPECT_TRUE(tick.connected);
        EXPECT_EQ(r.port.writes, std::vector<std::string>{"m"});
        EXPECT_EQ(r.session.QueuedFollowUps(), (std::vector<std::string>{"p", "p"}));
    }
}

TEST(LinkLoss, TheMonitorStopsWithTheLinkAndLeavesNoRefreshBehind) {
    Rig r;
    ASSERT_NO_FATAL_FAILURE(r.Link());
    r.session.SetMonitor(true, t0);
    ASSERT_EQ(r.Discover(&r.registry).end, vexa::session::TickResult::End::Linked); // polls with "n"
    ASSERT_TRUE(r.session.MonitorPollPending());
    r.port.lost = true;
    r.session.Tick(t0 + 1s);
    ASSERT_EQ(r.rec.linkDowns.size(), 1u);
    EXPECT_TRUE(r.rec.linkDowns[0].monitorStopped);
    EXPECT_EQ(r.rec.events.back(), "down:unplugged");
    EXPECT_EQ(r.rec.events[r.rec.events.size() - 2], "monitor off");
    EXPECT_FALSE(r.session.MonitorOn());
    EXPECT_FALSE(r.session.MonitorPollPending());
    EXPECT_FALSE(r.session.StatusRefreshPending());
}

TEST(LinkLoss, AGreetingCutShortIsRepeatedByTheNextTick) {
    Rig r;
    r.Discover(&r.registry);
    r.Arrive("KTZ-770 Ver=1\r\n", t0); // first contact; the greeting's answers have not ended
    ASSERT_EQ(r.session.CurrentPhase(), Phase::Greeting);
    ASSERT_TRUE(r.session.RequestCommand({"t"}, t0));
    r.Arrive("#", t0); // the old answer's "#": it ends "t"'s exchange, no greeting "p" follows
    EXPECT_EQ(r.port.writes, (std::vector<std::string>{"m", "m", "t"}));
    r.port.writes.clear();
    EXPECT_TRUE(r.Discover(&r.registry).connected);
    EXPECT_EQ(r.port.writes, std::vector<std::string>{"m"});
    EXPECT_TRUE(r.rec.linkDowns.empty()); // a greeting repeated is no lost link
}

} // namespace
