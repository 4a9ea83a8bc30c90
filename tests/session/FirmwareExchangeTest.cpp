// The firmware exchange driven by byte blocks and a hand-set clock: pacing, error reports, the finish, time
// limits.
#include "session/FirmwareExchange.h"
#include "protocol/StandInImage.h"
#include "support/SessionRecorder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vexa::session {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> SmallImage(int records) {
    std::vector<std::string> lines;
    for (int i = 0; i < records; ++i)
        lines.push_back(":L" + std::to_string(i));
    lines.push_back(";comment");
    lines.push_back("");
    return lines;
}

// The port the update writes to, and what it reports; rec.events holds both in order ("send:<bytes>",
// "start:<n>", "done", "update ended").
struct Update {
    vexa::testing::FakeLinkPort port;
    vexa::testing::SessionRecorder rec;
    FirmwareExchange ex{port, rec};
    Clock::time_point t0 = Clock::time_point{} + 1000h;
    Clock::time_point now = t0;

    explicit Update(std::vector<std::string> lines) {
        port.open = true;
        port.trail = &rec.events;
        EXPECT_TRUE(ex.Begin(std::move(lines), now));
    }
    const std::vector<std::string>& sent() const { return port.writes; }
    void bytes(std::string_view b, Clock::duration after = 1ms) {
        now += after;
        ex.OnBytes(b, now);
    }
    void tick(Clock::duration after) {
        now += after;
        ex.OnTick(now);
    }
    // Acknowledges lines with "." until `line` has been sent (line 0 needs the ready prompt first).
    void ackUntilSent(int line) {
        while (ex.updateLineIndex() <= line)
            bytes(".");
    }
};

TEST(FirmwareExchange, SendsEveryLineButTheLastOnePerAcknowledgementThenLeavesTheBootLoader) {
    const std::vector<std::string> image = StandInImageLines();
    Update r(image);
    EXPECT_EQ(r.sent(), (std::vector<std::string>{"e"}));
    EXPECT_TRUE(r.ex.Active());
    r.bytes("\r\nBOOT\r\n"); // not ready yet
    EXPECT_EQ(r.sent().size(), 1u);
    r.bytes("junk#.!"); // ready; what follows "#" came before line 0 and acknowledges nothing
    EXPECT_EQ(r.ex.updateActive(), 1);
    EXPECT_EQ(r.ex.updateLineIndex(), 1);
    EXPECT_EQ(r.ex.lineCount(), 7527);
    while (r.ex.updateActive() == 1)
        r.bytes(".");

    // e, lines 0..7525 byte-exact, qs: the last (empty) line is not sent.
    ASSERT_EQ(r.sent().size(), 1u + 7526u + 1u);
    for (int i = 0; i < 7526; ++i)
        ASSERT_EQ(r.sent()[static_cast<std::size_t>(i) + 1], image[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(r.sent().back(), "qs");
    EXPECT_EQ(r.sent()[7526], image[7525]); // the CRC line goes out, acknowledged before "qs"
    // The shown text: line 0 alone, later lines followed by their index and the line count.
    EXPECT_EQ(r.rec.firmwareShown.at(0), (std::pair<int, std::string>{0, image[0]}));
    EXPECT_EQ(r.rec.firmwareShown.at(5), (std::pair<int, std::string>{5, image[5] + "5" + "7527"}));
    EXPECT_EQ(r.rec.firmwareShown.back(), (std::pair<int, std::string>{7525, image[7525] + "7525" + "7527"}));

    // Leaving: "M" with bytes after it in the same burst is not the end; a burst ending in "M" is.
    EXPECT_TRUE(r.ex.Active());
    EXPECT_EQ(r.ex.updateActive(), 0);
    r.bytes("\r\nBOOT END\r\nM\r\n");
    r.bytes("MMx");
    EXPECT_TRUE(r.rec.firmwareResults.empty());
    r.bytes("ok M");
    EXPECT_FALSE(r.ex.Active());
    EXPECT_EQ(r.sent().back(), "m");
    ASSERT_EQ(r.rec.firmwareResults.size(), 1u);
    const FirmwareResult& res = r.rec.firmwareResults[0];
    EXPECT_EQ(res.outcome, FirmwareOutcome::Completed);
    EXPECT_EQ(res.lastAcknowledged, 7525);
    EXPECT_NE(res.message.find("7526 lines sent"), std::string::npos) << res.message;
    // Order of the finish as the window sees it.
    const std::vector<std::string> tail5(r.rec.events.end() - 5, r.rec.events.end());
    EXPECT_EQ(tail5,
              (std::vector<std::string>{"send:" + image[7525], "done", "send:qs", "send:m", "update ended"}));
    EXPECT_EQ(std::count(r.rec.events.begin(), r.rec.events.end(), "start:7527"), 1);
}

TEST(FirmwareExchange, ErrorReportsAreGatheredIntoOneMessageAndTheSendingGoesOn) {
    Update r(SmallImage(30));
    r.bytes("#");
    r.ackUntilSent(4);
    r.bytes("!!"); // two reports for line 4, in one acknowledgement: line 5 follows once
    EXPECT_EQ(r.ex.updateLineIndex(), 6);
    EXPECT_EQ(r.sent().back(), ":L5");
    r.bytes(".!\r\n"); // line 5
    r.ackUntilSent(20);
    r.bytes("!");
    EXPECT_TRUE(r.rec.firmwareResults.empty()) << "no message while the lines are still going out";
    while (r.ex.updateActive() == 1)
        r.bytes(".");
    r.bytes("M");
    ASSERT_EQ(r.rec.firmwareResults.size(), 1u);
    const FirmwareResult& res = r.rec.firmwareResults[0];
    EXPECT_EQ(res.outcome, FirmwareOutcome::CompletedWithErrors);
    EXPECT_EQ(res.rejectedLines, (std::vector<int>{4, 4, 5, 20}));
    EXPECT_NE(res.message.find("err: the logger answered \"!\" 4 times, to lines 4, 4, 5, 20."),
              std::string::npos)
        << res.message;
    // Every line sent exactly once.
    EXPECT_EQ(std::count(r.sent().begin(), r.sent().end(), ":L5"), 1);
    EXPECT_EQ(r.sent().size(), 1u + 31u + 2u);
}

TEST(FirmwareExchange, ManyErrorReportsAreListedShortly) {
    Update r(SmallImage(100));
    r.bytes("#");
    while (r.ex.updateActive() == 1)
        r.bytes("!");
    r.bytes("M");
    const std::string& m = r.rec.firmwareResults.at(0).message;
    EXPECT_NE(m.find("101 times"), std::string::npos) << m;
    EXPECT_NE(m.find("and 81 more."), std::string::npos) << m;
}

TEST(FirmwareExchange, EachWaitIsBoundedAndEndsNamingWhereItStopped) {
    struct Case {
        const char* what;
        int acknowledgedLines; // -1: the boot loader never sends "#"
        bool portLost;
        bool allSent;
        FirmwareOutcome outcome;
        int lastAcknowledged;
        const char* says;
    } cases[] = {
        {"no ready prompt", -1, false, false, FirmwareOutcome::NotReady, -1,
         "did not answer \"e\" with \"#\" within 10 s"},
        {"silent at line 1000", 1000, false, false, FirmwareOutcome::Silent, 999,
         "no acknowledgement of line 1000 of 1203 within 10 s (last line acknowledged: 999)"},
        {"silent at line 0", 0, false, false, FirmwareOutcome::Silent, -1,
         "line 0 of 1203 within 10 s (last line acknowledged: none)"},
        {"port lost at line 1000", 1000, true, false, FirmwareOutcome::PortLost, 999,
         "lost during the update at line 1000 of 1203 (last line acknowledged: 999)"},
        {"port lost before ready", -1, true, false, FirmwareOutcome::PortLost, -1,
         "before the update started"},
        {"no M after qs", 0, false, true, FirmwareOutcome::NoReturn, 1201,
         "did not report \"M\" within 10 s"},
        {"port lost after qs", 0, true, true, FirmwareOutcome::PortLost, 1201,
         "after all 1202 lines were sent"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Update r(SmallImage(1201));
        if (c.acknowledgedLines >= 0) {
            r.bytes("#");
            if (c.allSent) {
                while (r.ex.updateActive() == 1)
                    r.bytes(".");
                r.bytes("M\r\n", 0ms); // not the end, and no later than the last acknowledgement
            } else {
                r.ackUntilSent(c.acknowledgedLines);
            }
        }
        // Nothing happens before the limit, however often the tick comes.
        for (int i = 0; i < 39; ++i)
            r.tick(250ms);
        r.tick(249ms);
        ASSERT_TRUE(r.ex.Active());
        ASSERT_TRUE(r.rec.firmwareResults.empty());
        if (c.portLost)
            r.ex.OnPortLost(r.now);
        else
            r.tick(2ms);
        ASSERT_EQ(r.rec.firmwareResults.size(), 1u);
        const FirmwareResult& res = r.rec.firmwareResults[0];
        EXPECT_EQ(res.outcome, c.outcome);
        EXPECT_EQ(res.lastAcknowledged, c.lastAcknowledged);
        EXPECT_TRUE(res.failed());
        EXPECT_NE(res.message.find(c.says), std::string::npos) << res.message;
        EXPECT_FALSE(r.ex.Active());
        EXPECT_EQ(r.ex.updateActive(), 0);
        EXPECT_EQ(r.rec.events.back(), "update ended");
        EXPECT_EQ(std::count(r.sent().begin(), r.sent().end(), "m"), 0);
        // Late bytes after the end change nothing.
        const std::size_t sentBefore = r.sent().size();
        r.bytes(".M");
        r.tick(20s);
        EXPECT_EQ(r.sent().size(), sentBefore);
        EXPECT_EQ(r.rec.firmwareResults.size(), 1u);
    }
}

TEST(FirmwareExchange, OnlyTheBootLoadersAnswerAcknowledgesALine) {
    // Bytes that are not the boot loader's answer to a line (the end of an answer from before the
    // update, a prompt, noise) take no line off the count: the pacing stays one line per answer.
    Update r(SmallImage(10));
    r.bytes("#");
    r.ackUntilSent(3);
    for (const char* other : {"#", "\r\n", "M", "READY\r\n#"}) {
        r.bytes(other);
        EXPECT_EQ(r.ex.updateLineIndex(), 4) << other;
    }
    r.bytes(".");
    EXPECT_EQ(r.ex.updateLineIndex(), 5);
    EXPECT_EQ(r.sent().back(), ":L4");
    while (r.ex.updateActive() == 1)
        r.bytes(".");
    r.bytes("M");
    ASSERT_EQ(r.rec.firmwareResults.size(), 1u);
    EXPECT_EQ(r.rec.firmwareResults[0].outcome, FirmwareOutcome::Completed);
    EXPECT_EQ(r.sent().size(), 1u + 11u + 2u);
}

TEST(FirmwareExchange, EachAcknowledgementRestartsTheLimit) {
    Update r(SmallImage(10));
    r.bytes("#", 9s);
    for (int i = 0; i < 5; ++i) {
        r.tick(9s);
        r.bytes(".", 900ms);
    }
    EXPECT_TRUE(r.rec.firmwareResults.empty());
    EXPECT_EQ(r.ex.updateLineIndex(), 6);
}

TEST(FirmwareExchange, RefusesToBeginTwiceOrWithoutAnImage) {
    vexa::testing::FakeLinkPort port;
    port.open = true;
    vexa::testing::SessionRecorder rec;
    FirmwareExchange ex(port, rec);
    const auto now = Clock::time_point{} + 1h;
    EXPECT_FALSE(ex.Begin({}, now));
    EXPECT_FALSE(ex.Begin({":00000001FF"}, now));
    EXPECT_TRUE(port.writes.empty());
    EXPECT_FALSE(ex.Active());
    // Two lines: line 0 goes out, its acknowledgement finishes at once.
    EXPECT_TRUE(ex.Begin({":00000001FF", ""}, now));
    EXPECT_FALSE(ex.Begin(SmallImage(3), now));
    ex.OnBytes("#", now);
    ex.OnBytes(".", now);
    EXPECT_EQ(port.writes, (std::vector<std::string>{"e", ":00000001FF", "qs"}));
    ex.OnBytes("M", now);
    EXPECT_FALSE(ex.Active());
    EXPECT_TRUE(ex.Begin(SmallImage(3), now)) << "a new update may follow a finished one";
}

} // namespace
} // namespace vexa::session
