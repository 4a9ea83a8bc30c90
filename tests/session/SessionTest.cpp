// Whole exchanges of the logger session driven from byte blocks: no pseudo-terminal, no window.
#include "session/Session.h"
#include "protocol/CaptureFormat.h"
#include "support/SessionRecorder.h"

#include <functional>
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

using vexa::session::Clock;
using vexa::session::CommandRequest;
using vexa::session::DownloadSummary;
using vexa::session::Phase;
using namespace std::chrono_literals;

// The logger as the port registry lists it on COM3.
vexa::session::RegistrySnapshot LoggerOnCom3() {
    vexa::session::RegistrySnapshot s;
    s.serialComm = {{"\\Device\\VCP0", "COM3"}};
    s.loggerFriendlyName = "USB Serial Port (COM3)";
    return s;
}

struct SessionTest : ::testing::Test {
    vexa::testing::SessionRig rig;
    vexa::session::Session& session = rig.session;
    vexa::testing::SessionRecorder& rec = rig.rec;
    vexa::testing::FakeLinkPort& port = rig.port;
    Clock::time_point t0 = Clock::time_point{} + 1h;
    vexa::session::RegistrySnapshot registry = LoggerOnCom3();

    vexa::session::TickResult Discover(const char* nowText = "2024/05/01 09:03:07") {
        vexa::session::TickInput in;
        in.snapshot = &registry;
        in.chosenPort = "COM3";
        in.nowText = nowText;
        return session.DiscoveryTick(in, t0);
    }
    // Discovery finds the logger and connects; first contact and the greeting's two status requests,
    // as a real logger answers.
    void Link() {
        Discover();
        rig.Arrive("VEXA\r\n#", t0);
        rig.Arrive("VEXA\r\n#", t0);
        rig.Arrive("#", t0);
        port.sent.clear();
        port.writes.clear();
        rec.events.clear();
        rec.workArea.clear();
    }
    // An exchange asked for by a handler: the command goes out, the logger answers.
    void Exchange(const std::string& command, const std::string& answer) {
        session.RequestCommand({command}, t0);
        rig.Arrive(answer, t0);
    }
};

TEST_F(SessionTest, GreetingHandshakeSendsMThenMThenTwoStatusRequests) {
    const auto tick = Discover();
    EXPECT_TRUE(tick.connected);
    EXPECT_EQ(port.number, 3u);
    EXPECT_EQ(session.CurrentPhase(), Phase::Greeting);
    EXPECT_EQ(session.QueuedFollowUps(), (std::vector<std::string>{"p", "p"}));
    // First contact: answered with "m", the bytes themselves stay unread until the next notification.
    rig.Arrive("VEXA\r\n#", t0);
    EXPECT_EQ(rec.events, std::vector<std::string>{"linked"});
    EXPECT_EQ(session.State().LinkUp, 1);
    EXPECT_EQ(session.State().CommandsEnabled, 1);
    EXPECT_EQ(session.State().ReservationTimeText, "05/01 09:03");
    EXPECT_TRUE(rec.workArea.empty());
    // Both answers are framed now: each "#" sends one queued "p".
    rig.Arrive("VEXA\r\n#", t0);
    EXPECT_EQ(rec.workArea, (std::vector<std::string>{"VEXA", "VEXA"}));
    rig.Arrive("#", t0);
    EXPECT_EQ(port.writes, (std::vector<std::string>{"m", "m", "p", "p"}));
    EXPECT_EQ(rec.events, (std::vector<std::string>{"linked", "ended"}));
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(session.WatchdogArmed());
    EXPECT_EQ(session.CurrentPhase(), Phase::Linked);
}

TEST_F(SessionTest, StatusReportFillsTheStateAndReachesTheObserver) {
    Link();
    Exchange("p", "@C= 1234 32000\r\n@R=c\r\n@I=A\r\n@T=abc01\r\n@Y=2023\r\nKTZ-770 Ver=20231226\r\n"
                  "@M=N0042\r\n@Q=unknown\r\n#");
    const auto& s = session.State();
    EXPECT_EQ(s.RecordCount, 1234);
    EXPECT_EQ(s.IntervalIndex, 11);
    EXPECT_EQ(s.IntervalName, "10sec");
    EXPECT_EQ(s.ExtraDigitMode, 1);
    EXPECT_EQ(s.CountsPerG, 100);
    EXPECT_EQ(s.StartYearText, "2023");
    EXPECT_EQ(s.FirmwareVersion, 20231226);
    EXPECT_EQ(s.FirmwareVersionText, "20231226");
    EXPECT_EQ(rec.replies.size(), 7u); // every "@" line, the unknown code as an ignored reply
    EXPECT_TRUE(std::holds_alternative<vexa::IgnoredReply>(rec.replies.back()));
    EXPECT_EQ(rec.workArea.size(), 8u);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"model", "ended"}));
    EXPECT_FALSE(port.open);
    // A second sampling reply clears the thousandths digit again; a range of "0" and "9" keeps 100.
    Exchange("p", "@I=3\n@T=abc09\n#");
    EXPECT_EQ(s.ExtraDigitMode, 0);
    EXPECT_EQ(s.CountsPerG, 100);
}

TEST_F(SessionTest, ControlBytesInsideALine) {
    struct Case {
        const char* name;
        std::string answer;
        std::string sent; // besides the command
        std::string year; // StartYearText afterwards
        std::string last; // what the line buffer held at the end
    } cases[] = {
        {"ENQ is answered with one ACK and left out",
         "@Y=20\x05"
         "24\n#",
         "\x06", "2024", ""},
        {"CR, ! and ? are skipped", "@Y=2!0?2\r5\n#", "", "2025", ""},
        {"text after the last line end shows as the tail", "@Y=2026\ntail#", "", "2026", "tail"},
    };
    Link();
    for (const auto& c : cases) {
        port.sent.clear();
        Exchange("p", c.answer);
        EXPECT_EQ(port.sent, "p" + c.sent) << c.name;
        EXPECT_EQ(session.State().StartYearText, c.year) << c.name;
        EXPECT_EQ(rec.lastText, c.last) << c.name;
    }
}

TEST_F(SessionTest, OverlongLineKeeps127CharactersAndTheNextLineStillCounts) {
    Link();
    Exchange("p", "@" + std::string(300, 'A') + "\n@R=c\n#");
    ASSERT_EQ(rec.workArea.size(), 2u);
    EXPECT_EQ(rec.workArea[0].size(), 127u);
    EXPECT_EQ(session.State().IntervalName, "10sec");
}

// Random bytes must never push the line past its buffer, lose the framing or end the link; a good
// answer afterwards is read as usual.
TEST_F(SessionTest, GarbageBytesAreFramedWithinBounds) {
    Link();
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::string block(size_t(rng() % 400), '\0');
        for (char& c : block)
            c = char(rng() % 256);
        port.Open();
        rig.Arrive(block, t0);
        ASSERT_LE(session.State().RxLineLen, vexa::session::kRxLineCapacity);
        for (const auto& line : rec.workArea)
            ASSERT_LE(line.size(), 127u);
    }
    Exchange("p", "\n@R=^\n#");
    EXPECT_EQ(session.State().IntervalName, "30min");
    EXPECT_FALSE(port.open);
}

TEST_F(SessionTest, QueuedCommandsGoOutOneAtEachHashAndTheFourthCloses) {
    Link();
    // The reserved start: the clock, then reservation time, wait command and time request.
    session.ConfirmReservationTime("05/01 12:30");
    ASSERT_EQ(session.RequestReservedStart(t0), vexa::session::ReservedStart::Sent);
    EXPECT_EQ(port.writes, (std::vector<std::string>{"s2024/05/01 09:03:07"}));
    rig.Arrive("ok\n#ok\n#", t0);
    EXPECT_EQ(port.writes, (std::vector<std::string>{"s2024/05/01 09:03:07", "l05/01 12:30", "f"}));
    rig.Arrive("ok\n#", t0);
    EXPECT_EQ(port.writes.back(), "t");
    EXPECT_TRUE(port.open);
    // Whatever follows the closing "#" in the same block goes with the closed port.
    rig.Arrive("ok\n#@R=c\n", t0);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(session.State().IntervalName, "");
}

TEST_F(SessionTest, ReportedDetectionDifferentFromWhatTheLoggerWasToldIsSentBackAfterTheAnswer) {
    Link();
    // The report comes in the middle of the answer: the rest of the answer is still read, then the
    // reported state is sent back once, then the status.
    Exchange("p", "@W=DET 1\r\n@Y=2031\r\n#");
    EXPECT_EQ(session.State().StartYearText, "2031");
    EXPECT_EQ(session.State().ThresholdDetectOn, 1);
    EXPECT_EQ(port.writes, (std::vector<std::string>{"p", "k1"}));
    rig.Arrive("#", t0);
    rig.Arrive("@W=DET 1\r\n#", t0); // the status agrees now: nothing more
    EXPECT_EQ(port.writes, (std::vector<std::string>{"p", "k1", "p"}));
    EXPECT_FALSE(port.open);
}

TEST_F(SessionTest, WatchdogEndsAnAnswerWithoutHashOnTheInjectedClock) {
    Link();
    session.RequestCommand({"o", {"p"}}, t0);
    rig.Arrive("partial answer without an end", t0 + 1s);
    // Bytes re-arm the watchdog: ten seconds from the last byte, not from the command.
    session.Tick(t0 + 10500ms);
    EXPECT_TRUE(port.open);
    session.Tick(t0 + 11s);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"down:silent"}));
    EXPECT_TRUE(session.QueuedFollowUps().empty());
    EXPECT_EQ(session.State().RxLineLen, 0);
    // Once abandoned it stays quiet.
    session.Tick(t0 + 30s);
    EXPECT_EQ(rec.events.size(), 1u);
}

// A record line of the logger: month, day, time, axes and temperature as hexadecimal bytes.
std::string RecordLine(int index) {
    const int month = 1, day = 2, hour = index / 3600, minute = index / 60 % 60, second = index % 60;
    const int x = index % 50 - 25, y = -(index % 7), z = index % 100, temperature = index % 40;
    char line[32];
    std::snprintf(line, sizeof line, "%02X%02X%02X%02X%02X%02X%02X%02X%02X00", (month << 4) | (day / 8),
                  ((day % 8) << 5) | hour, (minute << 2) | (second >> 4), ((second & 15) << 4) | 5, x & 0xFF,
                  y & 0xFF, z & 0xFF, temperature, index % 100);
    return line;
}
// The CSV line the record stands for, written out independently of the decoder.
std::string CsvLine(int index, int year) {
    char line[64];
    std::snprintf(line, sizeof line, "%4d/01/02 %02d:%02d:%02d.%02d0,%3d,%3d,%3d,%3d.5", year, index / 3600,
                  index / 60 % 60, index % 60, index % 100, index % 50 - 25, -(index % 7), index % 100,
                  index % 40);
    return line;
}

std::string DownloadAnswer(int records) {
    std::string answer = "@C= " + std::to_string(records) + " 32000\r\n";
    answer.reserve(size_t(records) * 22 + 32);
    for (int k = 0; k < records; ++k)
        answer += RecordLine(k) + "\r\n";
    return answer;
}

TEST_F(SessionTest, DownloadOf72000RecordsInRandomBlocksDecodesEveryRecord) {
    constexpr int kRecords = 72000;
    Link();
    session.RequestDownload("D", "2024", t0);
    EXPECT_EQ(port.sent, "D");
    const std::string answer = DownloadAnswer(kRecords) + "#";
    std::mt19937 rng(2024);
    for (size_t pos = 0; pos < answer.size();) {
        const size_t n = std::min(answer.size() - pos, size_t(1 + rng() % 8192));
        rig.Arrive(std::string_view(answer).substr(pos, n), t0);
        pos += n;
    }
    ASSERT_TRUE(rec.summary);
    EXPECT_TRUE(rec.summary->complete);
    EXPECT_FALSE(rec.summary->irregular);
    EXPECT_EQ(rec.summary->lineCount, kRecords);
    EXPECT_EQ(rec.summary->announcedCount, kRecords);
    EXPECT_EQ(vexa::session::DownloadStatusText(*rec.summary, 3), "72000rec 3sec");
    ASSERT_EQ(rec.downloaded.size(), size_t(kRecords));
    for (int k = 0; k < kRecords; ++k)
        ASSERT_EQ(rec.downloaded[size_t(k)], CsvLine(k, 2024)) << k;
    // Each line is one sample of the recording, its time in milliseconds from the record's own fields.
    const vexa::Recording& r = rec.downloadedRecording;
    EXPECT_EQ(r.header.source, vexa::RecordingSource::Download);
    EXPECT_EQ(r.header.startYear, 2024);
    EXPECT_EQ(r.header.countsPerG, session.State().CountsPerG);
    ASSERT_EQ(r.Samples().size(), size_t(kRecords));
    for (int k : {0, 1, 4321, kRecords - 1}) {
        const vexa::Sample& sample = r.Samples()[size_t(k)];
        EXPECT_EQ(r.LineOfSample(size_t(k)), size_t(k));
        EXPECT_EQ(sample.timeMs, 1704153600000 + k * 1000LL + k % 100 * 10) << k; // 2024/01/02 00:00:00 on
        EXPECT_EQ(sample.x, k % 50 - 25);
        EXPECT_EQ(sample.temperature.Tenths(), k % 40 * 10 + 5);
    }
    // The count line is no work-area line and no record; the line buffer shows the last decoded line.
    EXPECT_TRUE(rec.workArea.empty());
    EXPECT_EQ(rec.lastText, CsvLine(kRecords - 1, 2024));
    EXPECT_EQ(session.State().LineCount, kRecords);
    EXPECT_NE(session.CurrentPhase(), Phase::Download);
    // Progress rises while records arrive and counts down to 0 while they are decoded.
    ASSERT_FALSE(rec.progress.empty());
    EXPECT_EQ(rec.progress.back(), 100); // the countdown's last multiple of 100 (k = RecordCount - 98)
    EXPECT_TRUE(std::is_sorted(rec.progress.begin(), rec.progress.begin() + 10));
}

// A message box opened by an observer lets the next notification in; its bytes are framed after
// the rest of the running one, never in between.
TEST_F(SessionTest, NotificationDuringAMessageBoxKeepsTheByteOrder) {
    Link();
    bool nested = false;
    rec.onWorkAreaLine = [&](std::string_view) {
        if (nested) return;
        nested = true;
        rig.Arrive("three\n#", t0);
    };
    Exchange("p", "one\ntwo\n");
    EXPECT_EQ(rec.workArea, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_FALSE(port.open);
}

TEST_F(SessionTest, PortErrorWhileSendingKeepsTheUnframedBytes) {
    Link();
    session.RequestCommand({"x", {"f"}}, t0);
    port.failOn = "f";
    EXPECT_THROW(rig.Arrive("a1\n#b2\n#", t0), std::runtime_error);
    port.failOn.reset();
    rig.Arrive("", t0);
    EXPECT_EQ(rec.workArea, (std::vector<std::string>{"a1", "b2"}));
    EXPECT_FALSE(port.open);
}

TEST_F(SessionTest, MonitorLinesAccumulateUntilTheHash) {
    Link();
    ASSERT_TRUE(session.SetMonitor(true, t0));
    EXPECT_EQ(rec.events, std::vector<std::string>{"monitor on"});
    ASSERT_EQ(Discover().end, vexa::session::TickResult::End::Linked);
    EXPECT_EQ(port.sent, "n");
    EXPECT_TRUE(session.MonitorPollPending());
    rig.Arrive("X:  -12\nY:   35 Z:    3 p 23.5\n", t0);
    EXPECT_EQ(session.State().TemperatureText, "23.5");
    EXPECT_EQ(session.State().RxLineView(), "X:  -12Y:   35 Z:    3 p 23.5");
    rig.Arrive("#", t0);
    EXPECT_FALSE(session.MonitorPollPending());
    EXPECT_EQ(std::count(rec.events.begin(), rec.events.end(), "scan"), 2);
    EXPECT_TRUE(rec.workArea.empty());
    // Off: the next tick refreshes the settings instead of polling.
    session.SetMonitor(false, t0);
    Discover();
    EXPECT_EQ(port.sent, "np");
}

// The capture's second line and temperature come from the monitor line that answers its "n": never from
// the samples of an earlier capture still arriving after it ended, and still when the answer comes late.
TEST_F(SessionTest, CaptureTakesItsTemperatureFromTheAnswerToNOnly) {
    using namespace std::chrono_literals;
    const std::string answer = "X:    0 Y:    0 Z:   10       p 23.5";
    // "before": what answers "n" before the duration is confirmed; "head": what leads the samples.
    const auto capture = [&](Clock::time_point start, const std::string& before, const std::string& head) {
        rec.captureLines.clear();
        rec.captureStatus.clear();
        EXPECT_TRUE(session.RequestCaptureSample(start));
        rig.Arrive(before, start);
        EXPECT_TRUE(session.StartCapture({4, "2024/05/01 09:03:07"}, start));
        if (session.CaptureWaiting()) session.Tick(start + 1s);
        ASSERT_TRUE(session.Capture().Streaming());
        rig.Arrive(head + "S010203\rS020304\rS030405\rS040506\r", start + 1s + 20ms);
        rig.RunCaptureSteps();
        EXPECT_EQ(port.sent.substr(port.sent.size() - 3), "nx ");
    };
    const std::string firstSample = "2024/05/01 09:03:00.005,  1,  2,  3, 23.5";
    Link();
    capture(t0, answer + "\r\n#", "");
    ASSERT_EQ(rec.captureLines.size(), 6u);
    EXPECT_EQ(rec.captureLines[1], answer);
    // Samples still under way after " " and its "#" are dropped while the capture settles...
    rig.Arrive("#S050607\rS06", t0 + 1100ms);
    session.Tick(t0 + 1200ms);
    EXPECT_TRUE(session.CaptureBusy());
    session.Tick(t0 + 1500ms);
    EXPECT_FALSE(session.CaptureBusy());
    EXPECT_TRUE(rec.workArea.empty());
    // ...and those later still, half a line and input waiting when the next "n" goes out, go with it.
    rig.Arrive("0708\rS07", t0 + 2s);
    port.incoming = "0809\rS08090A\r";
    capture(t0 + 3s, answer + "\r\n#", "");
    ASSERT_EQ(rec.captureLines.size(), 6u);
    EXPECT_EQ(rec.captureLines[1], answer);
    EXPECT_EQ(rec.captureLines[2], firstSample);
    EXPECT_TRUE(rec.captureStatus.empty());

    // An answer that has not ended a second after the duration was confirmed leads the stream, its line
    // cut by the "x" or whole; it is still the capture's second line and its temperature.
    Clock::time_point at = t0 + 10s;
    for (const std::size_t cut : {std::size_t(12), std::size_t(0), answer.size()}) {
        SCOPED_TRACE(cut);
        session.Tick(at - 1s); // the last capture has settled
        capture(at, answer.substr(0, cut), answer.substr(cut) + "\r\n#");
        ASSERT_EQ(rec.captureLines.size(), 6u);
        EXPECT_EQ(rec.captureLines[1], answer);
        EXPECT_EQ(rec.captureLines[2], firstSample);
        at += 5s;
    }
    // No answer at all: the work area says there is no temperature, and the fields stay blank.
    session.Tick(at - 1s);
    capture(at, "", "");
    ASSERT_EQ(rec.captureLines.size(), 6u);
    EXPECT_EQ(rec.captureLines[1], vexa::kCaptureNoTemperatureLine);
    EXPECT_EQ(rec.captureLines[2], "2024/05/01 09:03:00.005,  1,  2,  3,     ");
    EXPECT_EQ(rec.captureStatus,
              std::vector<std::string>{"capture: no temperature (no monitor line came before the stream)"});
}

} // namespace
