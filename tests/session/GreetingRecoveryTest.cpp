// An exchange that dies before the greeting's status reports are through makes the next tick greet again.
#include "session/Session.h"

#include <gtest/gtest.h>

namespace {

using vexa::session::Clock;
using vexa::session::Session;
using namespace std::chrono_literals;

struct Quiet : vexa::session::SessionObserver {
    std::string sent;
    void SendToLogger(std::string_view bytes) override { sent += bytes; }
    void ClosePort() override {}
    void LinkEstablished() override {}
    void StageChanged(vexa::session::ReceiveStage) override {}
    void WorkAreaLine(std::string_view) override {}
    void ModelLineReceived(const vexa::ModelLine&) override {}
    void StatusReplyReceived(const vexa::StatusReply&) override {}
    void MonitorScanned(const vexa::MonitorScan&) override {}
    void DownloadProgress(int) override {}
    void DownloadFinished(std::vector<std::string>&&, const vexa::session::DownloadSummary&) override {}
    void AnswerEnded(std::string_view) override {}
    void ExchangeAbandoned(bool, int) override {}
};

TEST(GreetingRecovery, SilenceBeforeTheStatusIsReadLeavesTheLinkToBeGreetedAgain) {
    const Clock::time_point t0 = Clock::time_point{} + 1h;
    struct Case {
        const char* name;
        std::vector<std::string> answers; // what the logger says before it falls silent
        int autoConnectAfter;             // 0: the next tick connects and greets again
    } cases[] = {
        {"model line only", {"KTZ-770 Ver=1\r\n"}, 0},
        {"first status report cut", {"KTZ-770 Ver=1\r\n", "#@Y=20"}, 0},
        {"second status report cut", {"KTZ-770 Ver=1\r\n", "#@Y=2024\r\n#@Y=20"}, 0},
        {"greeting complete, later command silent", {"KTZ-770 Ver=1\r\n", "#@Y=2024\r\n#@Y=2024\r\n#"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Quiet observer;
        Session session(observer);
        session.State().AutoConnectDone = 1; // the tick has connected
        session.RequestContact(t0);
        for (const auto& bytes : c.answers)
            session.OnBytes(bytes, t0);
        if (c.autoConnectAfter == 1) session.Send("t", t0);
        session.OnTick(t0 + session.ExchangeTimeout() + 1s);
        EXPECT_FALSE(session.WatchdogArmed());
        EXPECT_EQ(session.State().AutoConnectDone, c.autoConnectAfter) << observer.sent;
        EXPECT_EQ(session.GreetingDone(), c.autoConnectAfter == 1);
    }
}

TEST(GreetingRecovery, LostPortDropsTheQueueAndTakesTheLinkDown) {
    const Clock::time_point t0 = Clock::time_point{} + 1h;
    Quiet observer;
    Session session(observer);
    session.RequestContact(t0);
    session.OnBytes("KTZ-770 Ver=1\r\n", t0);
    session.OnBytes("#", t0); // the greeting's first status request goes out, the second is queued
    ASSERT_FALSE(session.State().PendingCommand2.Empty());
    session.OnPortLost(t0);
    EXPECT_TRUE(session.State().PendingCommand1.Empty());
    EXPECT_TRUE(session.State().PendingCommand2.Empty());
    EXPECT_EQ(session.State().LinkUp, 0);
    EXPECT_EQ(session.State().AutoConnectDone, 0);
    EXPECT_FALSE(session.WatchdogArmed());
}

} // namespace
