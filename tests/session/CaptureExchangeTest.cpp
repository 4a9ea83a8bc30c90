// Tests of the 5-ms capture fed with byte blocks as the receive handler would hand them over.
#include "session/CaptureExchange.h"
#include "protocol/CaptureFormat.h"
#include "support/SessionRecorder.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <tuple>

namespace vexa::session {
namespace {
using namespace std::chrono_literals;

// The port (it takes "x" and " ") and the window's side, recorded.
struct Capture {
    vexa::testing::FakeLinkPort port;
    vexa::testing::SessionRecorder ui;
    CaptureExchange capture{port, ui};
    Capture() { port.open = true; }
};

const std::string kAnswer = "X:    0 Y:    0 Z:   10         23.5";
const Clock::time_point t0 = Clock::time_point{} + 1h;

CaptureStart Plan(int target) {
    CaptureStart s;
    s.target = target;
    s.startText = "2024/05/01 09:03:07";
    s.answerLine = kAnswer;
    s.countsPerG = 10;
    return s;
}

// Sample k as the logger sends it: lead, X Y Z digit pairs, CR. X and Y carry k, so each line is unique.
std::string Sample(int k, char lead = 'S') {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%c%02X%02x%02X\r", lead, k & 0xFF, (k >> 8) & 0xFF, (k * 7) & 0xFF);
    return buf;
}
CaptureSample Expected(int k) {
    const auto s8 = [](int v) { return int(static_cast<std::int8_t>(static_cast<std::uint8_t>(v & 0xFF))); };
    return {s8(k), s8(k >> 8), s8(k * 7)};
}
std::string Stream(int from, int to, char lead = 'S') {
    std::string s;
    for (int k = from; k <= to; ++k)
        s += Sample(k, lead);
    return s;
}

// Runs the window's side of the writing: one step per request, as its event loop would.
void Drain(CaptureExchange& capture, vexa::testing::SessionRecorder& ui) {
    for (int guard = 0; ui.captureSteps > 0 && guard < 1000; ++guard) {
        --ui.captureSteps;
        capture.WriteStep();
    }
}

// The lines a capture of samples 1..n must leave, in order.
void ExpectLines(const vexa::testing::SessionRecorder& ui, int n) {
    ASSERT_EQ(ui.captureLines.size(), std::size_t(n) + 3);
    EXPECT_EQ(ui.captureLines[0], "Start Time=2024/05/01 09:03:07 @1G=10");
    EXPECT_EQ(ui.captureLines[1], kAnswer);
    const CaptureTimeStamps stamps("2024/05/01 09:03:07", n);
    for (int i = 1; i <= n; ++i)
        ASSERT_EQ(ui.captureLines[std::size_t(i) + 1], CaptureSampleLine(stamps, i, Expected(i), " 23.5"))
            << i;
    EXPECT_EQ(ui.captureLines.back(), "End=>2024/05/01 9:08:09");
    // Every line is a sample: the values streamed, 5 ms apart from the start's minute, the answer's
    // temperature.
    ASSERT_EQ(ui.captureSamples.size(), std::size_t(n));
    vexa::Stamp minute;
    minute.year = 2024;
    minute.month = 5;
    minute.day = 1;
    minute.hour = 9;
    minute.minute = 3;
    for (int i = 1; i <= n; ++i) {
        const vexa::Sample& s = ui.captureSamples[std::size_t(i - 1)];
        const CaptureSample e = Expected(i);
        ASSERT_EQ(std::tie(s.x, s.y, s.z), std::tie(e.x, e.y, e.z)) << i;
        ASSERT_EQ(s.timeMs, minute.Milliseconds() + 5 * i) << i;
        ASSERT_EQ(s.temperature.Tenths(), 235) << i;
    }
    EXPECT_EQ(ui.captureHeader.startYear, 2024);
    EXPECT_EQ(ui.captureHeader.countsPerG, 10);
}

TEST(CaptureExchange, CompleteCaptureFromBurstsOfAnySize) {
    // The logger sends on after the target until it hears " "; the bytes come in pieces of any size.
    const std::string stream = Stream(1, 1010, 'T');
    const struct {
        const char* name;
        std::function<std::vector<std::size_t>()> sizes;
    } cases[] = {
        {"whole records", [] { return std::vector<std::size_t>(1010, 8); }},
        {"single bytes", [&] { return std::vector<std::size_t>(stream.size(), 1); }},
        {"one block", [&] { return std::vector<std::size_t>{stream.size()}; }},
        {"random",
         [&] {
             std::mt19937 random(5);
             std::vector<std::size_t> v;
             for (std::size_t total = 0; total < stream.size();) {
                 v.push_back(std::uniform_int_distribution<std::size_t>(1, 200)(random));
                 total += v.back();
             }
             return v;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Capture rig;
        auto& [port, ui, capture] = rig;
        ASSERT_TRUE(capture.Start(Plan(1000), t0));
        EXPECT_TRUE(capture.Streaming());
        std::size_t at = 0;
        auto now = t0;
        for (const std::size_t n : c.sizes()) {
            if (at >= stream.size()) break;
            now += 5ms;
            capture.OnBytes(std::string_view(stream).substr(at, n), now);
            at += n;
        }
        EXPECT_FALSE(capture.Streaming());
        EXPECT_EQ(port.sent, "x ");
        EXPECT_EQ(capture.Received(), 1000);
        Drain(capture, ui);
        // The link stays the capture's until the samples still on their way after " " have come.
        EXPECT_TRUE(capture.Active());
        capture.OnTick(now + CaptureExchange::kSettleQuiet);
        EXPECT_FALSE(capture.Active());
        ExpectLines(ui, 999);
        EXPECT_EQ(ui.captureLinesWhileShown, 0);
        EXPECT_FALSE(ui.captureProgressShown);
        EXPECT_TRUE(ui.captureStatus.empty());
        EXPECT_EQ(ui.events, (std::vector<std::string>{
                                 "capture started", "progress max 1000", "progress hidden", "output begins",
                                 "progress max 1000", "output ends", "progress hidden"}));
    }
}

TEST(CaptureExchange, TimePrefixAndTemperatureFollowTheStartAndTheAnswer) {
    Capture rig;
    auto& [port, ui, capture] = rig;
    CaptureStart plan = Plan(5);
    plan.startText = "2024/05/01 9:03:07";
    plan.answerLine = "X:   -3";
    ASSERT_TRUE(capture.Start(plan, t0));
    capture.OnBytes(Stream(1, 6), t0 + 30ms);
    Drain(capture, ui);
    ASSERT_EQ(ui.captureLines.size(), 4u + 3);
    EXPECT_EQ(ui.captureLines[1], "X:   -3");
    // One-digit hour gets a blank; a short answer line gives a blank temperature field.
    EXPECT_EQ(ui.captureLines[2], "2024/05/01  9:03:00.005,  1,  0,  7,     ");
}

TEST(CaptureExchange, EarlyEndsWriteWhatArrived) {
    const struct {
        const char* name;
        std::function<void(CaptureExchange&, Clock::time_point)> end;
        const char* sent;
        const char* status;
    } cases[] = {
        {"stream stalls",
         [](CaptureExchange& c, Clock::time_point last) {
             for (auto t = last; t < last + CaptureExchange::kStallLimit; t += 250ms) {
                 c.OnTick(t);
                 ASSERT_TRUE(c.Streaming());
             }
             c.OnTick(last + CaptureExchange::kStallLimit);
         },
         "x ", "capture ended early: 240 of 1000 samples (the logger stopped sending)"},
        {"port lost", [](CaptureExchange& c, Clock::time_point last) { c.OnPortLost(last + 10ms); }, "x",
         "capture ended early: 240 of 1000 samples (the logger was lost)"},
        {"user's Escape", [](CaptureExchange& c, Clock::time_point last) { c.Abort(last + 10ms); }, "x ",
         "capture ended early: 240 of 1000 samples"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Capture rig;
        auto& [port, ui, capture] = rig;
        ASSERT_TRUE(capture.Start(Plan(1000), t0));
        // 1.2 s of samples, the last one cut off halfway.
        const std::string stream = Stream(1, 241).substr(0, 240 * 8 + 4);
        const Clock::time_point last = t0 + 1200ms;
        capture.OnBytes(stream, last);
        capture.OnTick(last + 1s);
        ASSERT_TRUE(capture.Streaming());
        c.end(capture, last);
        EXPECT_FALSE(capture.Streaming());
        EXPECT_EQ(port.sent, c.sent);
        Drain(capture, ui);
        ExpectLines(ui, 240);
        EXPECT_EQ(ui.captureStatus, (std::vector<std::string>{c.status}));
        // Nothing more happens once it has ended.
        capture.OnTick(last + 10s);
        capture.Abort(last + 10s);
        EXPECT_EQ(port.sent, c.sent);
        EXPECT_EQ(ui.captureStatus.size(), 1u);
    }
}

TEST(CaptureExchange, SilentLoggerEndsWithNoSamples) {
    Capture rig;
    auto& [port, ui, capture] = rig;
    ASSERT_TRUE(capture.Start(Plan(200), t0));
    capture.OnTick(t0 + 2s);
    Drain(capture, ui);
    EXPECT_EQ(port.sent, "x ");
    ExpectLines(ui, 0);
    EXPECT_EQ(ui.captureStatus, (std::vector<std::string>{
                                    "capture ended early: 0 of 200 samples (the logger stopped sending)"}));
}

// A record is a lead character and exactly six hexadecimal digits. Anything else takes its 5 ms of the
// capture and counts towards its target, but gives no line: no made-up "  0,  0,  0" sample.
TEST(CaptureExchange, MalformedRecordsAreCountedAndLeaveTheirTimeEmpty) {
    const struct {
        const char* name;
        std::string record;
    } cases[] = {
        {"NUL bytes", std::string("S\0\0\0\0\0\0\r", 8)},
        {"not hexadecimal", "SG1Z2x3\r"},
        {"too short", "S0102\r"},
        {"too long", "S01020304\r"},
        {"far too long", "S" + std::string(500, '7') + "\r"},
        {"nothing", "\r"},
        {"a line feed in it", "S01\n203\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Capture rig;
        auto& [port, ui, capture] = rig;
        ASSERT_TRUE(capture.Start(Plan(6), t0));
        capture.OnBytes(Sample(1) + c.record + Sample(3), t0 + 15ms);
        EXPECT_EQ(capture.Received(), 3);
        EXPECT_EQ(capture.Dropped(), 1);
        EXPECT_EQ(capture.Record(2), "");
        // The garbled records count towards the six: the second one ends the capture.
        capture.OnBytes(Sample(4) + Sample(5) + c.record + Sample(7), t0 + 35ms);
        EXPECT_FALSE(capture.Streaming());
        EXPECT_EQ(capture.Dropped(), 2);
        Drain(capture, ui);
        const CaptureTimeStamps stamps("2024/05/01 09:03:07", 5);
        EXPECT_EQ(ui.captureLines,
                  (std::vector<std::string>{"Start Time=2024/05/01 09:03:07 @1G=10", kAnswer,
                                            CaptureSampleLine(stamps, 1, Expected(1), " 23.5"),
                                            CaptureSampleLine(stamps, 3, Expected(3), " 23.5"),
                                            CaptureSampleLine(stamps, 4, Expected(4), " 23.5"),
                                            CaptureSampleLine(stamps, 5, Expected(5), " 23.5"),
                                            "End=>2024/05/01 9:08:09"}));
        EXPECT_EQ(ui.captureStatus, (std::vector<std::string>{"capture: 2 malformed samples dropped"}));
    }
}

// A stream that never brings its count (here one too slow) ends once its duration and the margin have
// passed, instead of running on.
TEST(CaptureExchange, StreamShortOfItsCountEndsAfterItsDurationAndMargin) {
    Capture rig;
    auto& [port, ui, capture] = rig;
    ASSERT_TRUE(capture.Start(Plan(1000), t0)); // 5 s
    const Clock::time_point deadline = t0 + 5s + CaptureExchange::kEndMargin + 250ms;
    int k = 0;
    for (auto now = t0 + 10ms; now < deadline; now += 10ms) {
        capture.OnBytes(Sample(++k), now);
        capture.OnTick(now);
        ASSERT_TRUE(capture.Streaming()) << k;
    }
    capture.OnTick(deadline);
    EXPECT_FALSE(capture.Streaming());
    EXPECT_EQ(port.sent, "x ");
    Drain(capture, ui);
    EXPECT_EQ(ui.captureLines.size(), std::size_t(k) + 3);
    EXPECT_EQ(ui.captureStatus, (std::vector<std::string>{"capture ended early: " + std::to_string(k) +
                                                          " of 1000 samples (its time was up)"}));
}

// The answer to "n" may come after "x", at the head of the stream: its monitor line is the capture's second
// line and gives the temperature, its "\r\n#" is no record. With no monitor line at all the work area says
// so.
TEST(CaptureExchange, LateAnswerAtTheHeadOfTheStreamIsUsed) {
    const std::string rest = kAnswer.substr(10);
    const struct {
        const char* name;
        std::optional<std::string> lineBefore; // the line came before "x", its "#" did not
        std::string begun;                     // the line's characters before "x"
        std::string head;                      // what leads the samples
        std::string secondLine, temperature, status;
    } cases[] = {
        {"whole answer late", std::nullopt, "", kAnswer + "\r\n#", kAnswer, " 23.5", ""},
        {"answer cut by x", std::nullopt, kAnswer.substr(0, 10), rest + "\r\n#", kAnswer, " 23.5", ""},
        {"line before x, # after", kAnswer, "", "#", kAnswer, " 23.5", ""},
        {"no answer at all", std::nullopt, "", "", std::string(kCaptureNoTemperatureLine), "     ",
         "capture: no temperature (no monitor line came before the stream)"},
        {"no monitor line in it", std::nullopt, "", "ERR\r\n#", std::string(kCaptureNoTemperatureLine),
         "     ", "capture: no temperature (no monitor line came before the stream)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Capture rig;
        auto& [port, ui, capture] = rig;
        CaptureStart plan = Plan(4);
        plan.answerLine = c.lineBefore;
        plan.answerUnfinished = true;
        plan.answerBegun = c.begun;
        ASSERT_TRUE(capture.Start(plan, t0));
        const std::string stream = c.head + Stream(1, 5);
        // In single bytes, so each line end and the "#" meet the framing on their own.
        for (const char b : stream)
            capture.OnBytes(std::string_view(&b, 1), t0 + 20ms);
        EXPECT_FALSE(capture.Streaming());
        Drain(capture, ui);
        ASSERT_EQ(ui.captureLines.size(), 3u + 3);
        EXPECT_EQ(ui.captureLines[1], c.secondLine);
        const CaptureTimeStamps stamps("2024/05/01 09:03:07", 3);
        EXPECT_EQ(ui.captureLines[2], CaptureSampleLine(stamps, 1, Expected(1), c.temperature));
        EXPECT_EQ(ui.captureStatus,
                  c.status.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.status});
    }
}

// After " " the logger's "#" and samples still on their way are dropped while they come; the link is given
// back once none came for a while (or at the latest some time after the stop).
TEST(CaptureExchange, BytesAfterTheStopAreDroppedUntilTheStreamIsQuiet) {
    for (const bool endless : {false, true}) {
        SCOPED_TRACE(endless ? "logger that streams on" : "samples in flight");
        Capture rig;
        auto& [port, ui, capture] = rig;
        ASSERT_TRUE(capture.Start(Plan(5), t0));
        capture.OnBytes(Stream(1, 6), t0 + 30ms);
        Drain(capture, ui);
        const std::size_t lines = ui.captureLines.size();
        auto now = t0 + 30ms;
        const auto quietGap = CaptureExchange::kSettleQuiet - 1ms;
        for (int k = 7; k < 12 || (endless && now < t0 + 30ms + CaptureExchange::kSettleLimit - quietGap);
             ++k) {
            now += quietGap;
            capture.OnBytes(k == 7 ? "#" + Sample(k) : Sample(k), now);
            capture.OnTick(now);
            ASSERT_TRUE(capture.Active());
        }
        capture.OnTick(now + (endless ? quietGap : CaptureExchange::kSettleQuiet));
        EXPECT_FALSE(capture.Active());
        EXPECT_EQ(ui.captureLines.size(), lines);
        EXPECT_EQ(port.sent, "x ");
    }
}

TEST(CaptureExchange, LargestCaptureStaysInsideTheTable) {
    Capture rig;
    auto& [port, ui, capture] = rig;
    ASSERT_TRUE(capture.Start(Plan(1000000), t0));
    const int target = capture.Target();
    EXPECT_EQ(target, CaptureExchange::kTableEntries - 1);
    capture.OnBytes(Stream(1, target + 30), t0 + 1s);
    EXPECT_EQ(capture.Received(), target);
    Drain(capture, ui);
    EXPECT_EQ(ui.captureLines.size(), std::size_t(target - 1) + 3);
    // Sample 72,018 lies 360.09 s after the start minute: seconds carry into the minutes.
    EXPECT_EQ(ui.captureLines[std::size_t(target)], "2024/05/01 09:09:00.090, 82, 25, 62, 23.5");
}

TEST(CaptureExchange, OneCaptureAtATime) {
    Capture rig;
    auto& [port, ui, capture] = rig;
    capture.OnBytes(Stream(1, 3), t0); // no capture: ignored
    capture.OnTick(t0 + 5s);
    EXPECT_TRUE(ui.captureLines.empty());
    ASSERT_TRUE(capture.Start(Plan(5), t0));
    EXPECT_FALSE(capture.Start(Plan(5), t0));
    capture.OnBytes(Stream(1, 6), t0 + 30ms);
    // Writing: still owning the link, so the bytes after " " are dropped, but no longer taking samples.
    EXPECT_FALSE(capture.Streaming());
    EXPECT_TRUE(capture.Active());
    capture.OnBytes(Stream(7, 9) + "#", t0 + 40ms);
    EXPECT_FALSE(capture.Start(Plan(5), t0));
    Drain(capture, ui);
    EXPECT_EQ(ui.captureLines.size(), 4u + 3);
    ui.captureLines.clear();
    capture.OnTick(t0 + 1s);
    ASSERT_TRUE(capture.Start(Plan(5), t0 + 1s));
    capture.OnBytes(Stream(1, 6), t0 + 1s + 30ms);
    Drain(capture, ui);
    EXPECT_EQ(ui.captureLines.size(), 4u + 3);
}

} // namespace
} // namespace vexa::session
