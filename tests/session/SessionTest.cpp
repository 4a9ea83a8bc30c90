// Whole exchanges of the logger session driven from byte blocks: no pseudo-terminal, no window.
#include "session/Session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

using vexa::session::Clock;
using vexa::session::DownloadSummary;
using vexa::session::ReceiveStage;
using vexa::session::Session;
using namespace std::chrono_literals;

// Records what the session reports, in order, as short texts.
struct Recorder : vexa::session::SessionObserver {
    std::vector<std::string> sent; // each SendToLogger call
    std::vector<std::string> events;
    std::vector<std::string> workArea;
    std::vector<vexa::StatusReply> replies;
    std::vector<std::string> downloaded;
    std::optional<DownloadSummary> summary;
    std::vector<int> progress;
    std::string lastText;
    bool portOpen = true;
    std::function<void(std::string_view)> onWorkAreaLine;

    std::string Sent() const {
        std::string all;
        for (const auto& s : sent)
            all += s;
        return all;
    }
    void SendToLogger(std::string_view bytes) override { sent.emplace_back(bytes); }
    void ClosePort() override {
        portOpen = false;
        events.push_back("close");
    }
    void LinkEstablished() override { events.push_back("linked"); }
    void StageChanged(ReceiveStage) override {}
    void WorkAreaLine(std::string_view line) override {
        workArea.emplace_back(line);
        if (onWorkAreaLine) onWorkAreaLine(line);
    }
    void ModelLineReceived(const vexa::ModelLine& m) override {
        events.push_back(m.accepted ? "model" : "not-model");
    }
    void StatusReplyReceived(const vexa::StatusReply& r) override { replies.push_back(r); }
    void MonitorScanned(const vexa::MonitorScan&) override { events.push_back("scan"); }
    void DownloadProgress(int value) override { progress.push_back(value); }
    void DownloadFinished(std::vector<std::string>&& lines, const DownloadSummary& s) override {
        downloaded = std::move(lines);
        summary = s;
        events.push_back("downloaded");
    }
    void AnswerEnded(std::string_view last) override {
        lastText = last;
        events.push_back("ended");
    }
    void ExchangeAbandoned(bool cut, int) override {
        events.push_back(cut ? "abandoned-download" : "abandoned");
    }
};

struct SessionTest : ::testing::Test {
    Recorder rec;
    Session session{rec};
    Clock::time_point t0 = Clock::time_point{} + 1h;

    // Connect request, first contact and the greeting's two status requests, as a real logger answers.
    void Link() {
        session.RequestContact(t0);
        session.OnBytes("VEXA\r\n#", t0);
        session.OnBytes("VEXA\r\n#", t0);
        session.OnBytes("#", t0);
        rec.sent.clear();
        rec.events.clear();
        rec.workArea.clear();
    }
    // An exchange opened by a handler: the command goes out, the logger answers.
    void Exchange(const std::string& command, const std::string& answer) {
        rec.portOpen = true;
        session.Send(command, t0);
        session.OnBytes(answer, t0);
    }
};

TEST_F(SessionTest, GreetingHandshakeSendsMThenMThenTwoStatusRequests) {
    session.State().NowText = "2024/05/01 09:03:07";
    session.RequestContact(t0);
    EXPECT_EQ(session.State().GreetOnPrompt, 1);
    // First contact: answered with "m", the bytes themselves stay unread until the next notification.
    session.OnBytes("VEXA\r\n#", t0);
    EXPECT_EQ(rec.events, std::vector<std::string>{"linked"});
    EXPECT_EQ(session.State().LinkUp, 1);
    EXPECT_EQ(session.State().CommandsEnabled, 1);
    EXPECT_EQ(session.State().ReservationTimeText, "05/01 09:03");
    EXPECT_TRUE(rec.workArea.empty());
    // Both answers are framed now: each "#" sends one queued "p".
    session.OnBytes("VEXA\r\n#", t0);
    EXPECT_EQ(rec.workArea, (std::vector<std::string>{"VEXA", "VEXA"}));
    session.OnBytes("#", t0);
    EXPECT_EQ(rec.sent, (std::vector<std::string>{"m", "m", "p", "p"}));
    EXPECT_EQ(rec.events, (std::vector<std::string>{"linked", "close", "ended"}));
    EXPECT_FALSE(session.WatchdogArmed());
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
    EXPECT_EQ(rec.events, (std::vector<std::string>{"model", "close", "ended"}));
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
        rec.sent.clear();
        Exchange("p", c.answer);
        EXPECT_EQ(rec.Sent(), "p" + c.sent) << c.name;
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
        rec.portOpen = true;
        session.OnBytes(block, t0);
        ASSERT_LE(session.State().RxLineLen, vexa::session::kRxLineCapacity);
        for (const auto& line : rec.workArea)
            ASSERT_LE(line.size(), 127u);
    }
    session.ClearQueue();
    session.State().ClearRxLine();
    session.State().MonitorMode = 0;
    Exchange("p", "\n@R=^\n#");
    EXPECT_EQ(session.State().IntervalName, "30min");
    EXPECT_FALSE(rec.portOpen);
}

TEST_F(SessionTest, QueuedCommandsGoOutOneAtEachHashAndTheFourthCloses) {
    Link();
    auto& s = session.State();
    s.PendingCommand1 = "l05/01 12:30";
    s.PendingCommand2 = "f";
    s.PendingCommand3 = "t";
    rec.portOpen = true;
    session.OnBytes("ok\n#ok\n#", t0);
    EXPECT_EQ(rec.sent, (std::vector<std::string>{"l05/01 12:30", "f"}));
    session.OnBytes("ok\n#", t0);
    EXPECT_EQ(rec.sent.back(), "t");
    EXPECT_TRUE(rec.portOpen);
    // Whatever follows the closing "#" in the same block goes with the closed port.
    session.OnBytes("ok\n#@R=c\n", t0);
    EXPECT_FALSE(rec.portOpen);
    EXPECT_EQ(s.IntervalName, "");
}

TEST_F(SessionTest, WatchdogEndsAnAnswerWithoutHashOnTheInjectedClock) {
    Link();
    session.State().PendingCommand1 = "p";
    rec.portOpen = true;
    session.Send("o", t0);
    session.OnBytes("partial answer without an end", t0 + 1s);
    // Bytes re-arm the watchdog: ten seconds from the last byte, not from the command.
    session.OnTick(t0 + 10500ms);
    EXPECT_TRUE(rec.portOpen);
    session.OnTick(t0 + 11s);
    EXPECT_FALSE(rec.portOpen);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"close", "abandoned"}));
    EXPECT_TRUE(session.State().PendingCommand1.Empty());
    EXPECT_EQ(session.State().RxLineLen, 0);
    // Once abandoned it stays quiet.
    session.OnTick(t0 + 30s);
    EXPECT_EQ(rec.events.size(), 2u);
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
    session.StartDownload("D", "2024", t0);
    EXPECT_EQ(rec.Sent(), "D");
    const std::string answer = DownloadAnswer(kRecords) + "#";
    std::mt19937 rng(2024);
    for (size_t pos = 0; pos < answer.size();) {
        const size_t n = std::min(answer.size() - pos, size_t(1 + rng() % 8192));
        session.OnBytes(std::string_view(answer).substr(pos, n), t0);
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
    // The count line is no work-area line and no record; the line buffer shows the last decoded line.
    EXPECT_TRUE(rec.workArea.empty());
    EXPECT_EQ(rec.lastText, CsvLine(kRecords - 1, 2024));
    EXPECT_EQ(session.State().LineCount, kRecords);
    EXPECT_EQ(session.State().DownloadActive, 0);
    // Progress rises while records arrive and counts down to 0 while they are decoded.
    ASSERT_FALSE(rec.progress.empty());
    EXPECT_EQ(rec.progress.back(), 100); // the countdown's last multiple of 100 (k = RecordCount - 98)
    EXPECT_TRUE(std::is_sorted(rec.progress.begin(), rec.progress.begin() + 10));
}

TEST_F(SessionTest, UnplugInTheMiddleOfADownloadKeepsWhatArrived) {
    Link();
    session.StartDownload("D", "20XX", t0);
    const std::string answer = DownloadAnswer(1000);
    // Half of the answer and a part of the next record line.
    const size_t cut = answer.find("\r\n", answer.size() / 2) + 2 + 7;
    session.OnBytes(answer.substr(0, cut), t0);
    const int stored = session.State().RecordCount;
    session.OnPortLost(t0 + 1s);
    ASSERT_TRUE(rec.summary);
    EXPECT_FALSE(rec.summary->complete);
    EXPECT_EQ(rec.summary->lineCount, stored);
    EXPECT_EQ(rec.downloaded.size(), size_t(stored));
    EXPECT_EQ(rec.downloaded.front(), CsvLine(0, 20)); // "20XX" reads as the year 20, printed "  20"
    EXPECT_EQ(vexa::session::DownloadStatusText(*rec.summary, 1),
              std::to_string(stored) + "rec 1sec (the logger announced 1000 records) - download incomplete: "
                                       "the logger stopped sending");
    EXPECT_FALSE(session.WatchdogArmed());
    EXPECT_EQ(session.State().DownloadActive, 0);
}

// A message box opened by an observer lets the next notification in; its bytes are framed after
// the rest of the running one, never in between.
TEST_F(SessionTest, NotificationDuringAMessageBoxKeepsTheByteOrder) {
    Link();
    bool nested = false;
    rec.onWorkAreaLine = [&](std::string_view) {
        if (nested) return;
        nested = true;
        session.OnBytes("three\n#", t0);
    };
    Exchange("p", "one\ntwo\n");
    EXPECT_EQ(rec.workArea, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_FALSE(rec.portOpen);
}

TEST_F(SessionTest, PortErrorWhileSendingKeepsTheUnframedBytes) {
    struct Failing : Recorder {
        bool fail = true;
        void SendToLogger(std::string_view bytes) override {
            if (fail && bytes == "f") throw std::runtime_error("port gone");
            Recorder::SendToLogger(bytes);
        }
    } failing;
    Session s(failing);
    s.State().LinkUp = 1;
    s.State().PendingCommand1 = "f";
    EXPECT_THROW(s.OnBytes("a1\n#b2\n#", t0), std::runtime_error);
    failing.fail = false;
    s.OnBytes("", t0);
    EXPECT_EQ(failing.workArea, (std::vector<std::string>{"a1", "b2"}));
    EXPECT_FALSE(failing.portOpen);
}

// An exclusive mode owns every byte and tick while it is active; the capture is asked before the
// firmware update, and the framing and watchdog come back when both are idle.
struct FakeMode : vexa::session::ExclusiveMode {
    bool active = false;
    std::string bytes;
    int ticks = 0, lost = 0;
    bool Active() const override { return active; }
    void OnBytes(std::string_view block, Clock::time_point) override { bytes += block; }
    void OnTick(Clock::time_point) override { ++ticks; }
    void OnPortLost(Clock::time_point) override { ++lost; }
};

TEST_F(SessionTest, ExclusiveModesTakeBytesInOrderOfPrecedence) {
    FakeMode capture, firmware;
    session.SetCaptureMode(&capture);
    session.SetFirmwareMode(&firmware);
    Link();
    struct Case {
        bool captureActive, firmwareActive;
        std::string toCapture, toFirmware;
        size_t workAreaLines;
    } cases[] = {
        {true, true, "ab\n", "", 0},
        {false, true, "", "ab\n", 0},
        {false, false, "", "", 1},
    };
    for (const auto& c : cases) {
        capture = {};
        firmware = {};
        capture.active = c.captureActive;
        firmware.active = c.firmwareActive;
        rec.workArea.clear();
        session.Send("x", t0);
        session.OnBytes("ab\n", t0);
        session.OnTick(t0 + 1h);
        session.OnPortLost(t0 + 1h);
        EXPECT_EQ(capture.bytes, c.toCapture);
        EXPECT_EQ(firmware.bytes, c.toFirmware);
        EXPECT_EQ(capture.ticks + firmware.ticks, c.captureActive || c.firmwareActive ? 1 : 0);
        EXPECT_EQ(capture.lost + firmware.lost, c.captureActive || c.firmwareActive ? 1 : 0);
        EXPECT_EQ(rec.workArea.size(), c.workAreaLines);
    }
    // While a mode ran, its silence was no exchange time-out.
    EXPECT_EQ(std::count(rec.events.begin(), rec.events.end(), "abandoned"), 1);
}

TEST_F(SessionTest, MonitorLinesAccumulateUntilTheHash) {
    Link();
    session.State().MonitorMode = 1;
    session.SendMonitorPoll(t0);
    EXPECT_EQ(session.State().MonitorPollPending, 1);
    session.OnBytes("X:  -12\nY:   35 Z:    3 p 23.5\n", t0);
    EXPECT_EQ(session.State().TemperatureText, "23.5");
    EXPECT_EQ(session.State().RxLineView(), "X:  -12Y:   35 Z:    3 p 23.5");
    session.OnBytes("#", t0);
    EXPECT_EQ(session.State().MonitorPollPending, 0);
    EXPECT_EQ(std::count(rec.events.begin(), rec.events.end(), "scan"), 2);
    EXPECT_TRUE(rec.workArea.empty());
}

} // namespace
