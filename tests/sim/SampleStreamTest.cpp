// Tests of the simulated logger's 5-ms sample stream: pattern, timing, pauses, bursts, hang-up, options.
#include "sim/SampleStream.h"
#include "sim/Options.h"
#include "sim/Simulator.h"
#include "sim/StatusReport.h"
#include "tests/sim/SlavePort.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace vexa::sim {
namespace {
using namespace std::chrono_literals;
using Clock = SampleStream::Clock;

// The samples a byte sequence holds, checked against the pattern: returns how many consecutive samples
// from 1 it carries, or -1 at the first byte that is not the expected one.
long ConsecutiveSamples(const std::string& bytes, char lead) {
    long k = 0;
    for (std::size_t at = 0; at + 8 <= bytes.size(); at += 8) {
        const StreamValues v = StreamPattern(k + 1);
        char expected[16];
        std::snprintf(expected, sizeof expected, "%c%02X%02X%02X\r", lead, unsigned(v.x) & 0xFF,
                      unsigned(v.y) & 0xFF, unsigned(v.z) & 0xFF);
        if (bytes.compare(at, 8, expected) != 0) return -1;
        ++k;
    }
    return bytes.size() % 8 == 0 ? k : -1;
}

// Drives a stream on a virtual clock in 1 ms steps and keeps each piece it hands out, with its time.
struct Delivery {
    std::vector<std::pair<int, std::string>> pieces; // (ms since start, bytes)
    std::string All() const {
        std::string all;
        for (const auto& p : pieces)
            all += p.second;
        return all;
    }
};

Delivery Drive(StreamOptions options, int ms) {
    SampleStream stream(options);
    const Clock::time_point t0{};
    stream.Start(t0);
    Delivery run;
    for (int t = 0; t <= ms; ++t) {
        const auto now = t0 + std::chrono::milliseconds(t);
        EXPECT_GE(stream.NextDue(), now - 1ms) << "a due time was missed at " << t;
        std::string piece = stream.TakeDue(now);
        if (!piece.empty()) run.pieces.emplace_back(t, std::move(piece));
    }
    return run;
}

TEST(SampleStream, PatternTellsEverySampleApart) {
    std::set<std::pair<int, int>> seen;
    for (long k = 1; k <= 65535; ++k) {
        const StreamValues v = StreamPattern(k);
        EXPECT_TRUE(seen.insert({v.x, v.y}).second) << k;
    }
}

TEST(SampleStream, TimingPausesAndBursts) {
    struct Case {
        const char* name;
        StreamOptions options;
        long samplesAfter1s; // samples delivered by t = 1000 ms
        bool unaligned;      // some piece is not a whole number of samples
    };
    StreamOptions plain;
    StreamOptions lead;
    lead.lead = 'T';
    StreamOptions pause;
    pause.pauseAfter = 40;
    pause.pauseMs = 300;
    StreamOptions stop;
    stop.pauseAfter = 40;
    StreamOptions bursts;
    bursts.burstSeed = 7;
    StreamOptions burstsStop = bursts;
    burstsStop.pauseAfter = 41;
    StreamOptions hangup;
    hangup.hangupAfter = 25;
    const Case cases[] = {
        {"plain", plain, 200, false},  {"lead", lead, 200, false},    {"pause", pause, 140, false},
        {"stop", stop, 40, false},     {"bursts", bursts, 200, true}, {"bursts+stop", burstsStop, 41, true},
        {"hangup", hangup, 25, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Delivery run = Drive(c.options, 1100);
        std::string upTo1s;
        bool unaligned = false;
        for (const auto& [t, bytes] : run.pieces) {
            if (t <= 1000) upTo1s += bytes;
            unaligned = unaligned || bytes.size() % 8 != 0;
        }
        // Bursts hold bytes back a little; whatever stopped the stream, the last samples still go out.
        if (c.options.burstSeed == 0)
            EXPECT_EQ(ConsecutiveSamples(upTo1s, c.options.lead), c.samplesAfter1s);
        else
            EXPECT_NEAR(double(upTo1s.size()) / 8, double(c.samplesAfter1s), 96.0 / 8 + 1);
        const std::string all = run.All();
        const long total = ConsecutiveSamples(all, c.options.lead);
        if (c.options.pauseAfter >= 0 && c.options.pauseMs < 0)
            EXPECT_EQ(total, c.options.pauseAfter);
        else if (c.options.hangupAfter >= 0)
            EXPECT_EQ(total, c.options.hangupAfter);
        else
            EXPECT_GE(total, c.samplesAfter1s);
        EXPECT_EQ(unaligned, c.unaligned);
    }
}

TEST(SampleStream, PauseLeavesAGapThenGoesOn) {
    StreamOptions o;
    o.pauseAfter = 40;
    o.pauseMs = 300;
    const Delivery run = Drive(o, 700);
    int last40 = -1, first41 = -1;
    long delivered = 0;
    for (const auto& [t, bytes] : run.pieces) {
        delivered += long(bytes.size() / 8);
        if (delivered >= 40 && last40 < 0) last40 = t;
        if (delivered >= 41 && first41 < 0) first41 = t;
    }
    EXPECT_EQ(last40, 200);
    EXPECT_EQ(first41, 205 + 300);
}

TEST(SampleStream, StopEndsIt) {
    SampleStream stream({});
    const Clock::time_point t0{};
    stream.Start(t0);
    EXPECT_EQ(stream.TakeDue(t0 + 20ms).size(), 4u * 8);
    stream.Stop();
    EXPECT_EQ(stream.TakeDue(t0 + 200ms), "");
    EXPECT_EQ(stream.NextDue(), Clock::time_point::max());
    stream.Start(t0 + 1s); // a new "x" starts again from sample 1
    EXPECT_EQ(ConsecutiveSamples(stream.TakeDue(t0 + 1s + 10ms), 'S'), 2);
}

// Garbled samples take the place of good ones, keep the stream's CR framing, and come in four kinds.
TEST(SampleStream, GarbledSamplesReplaceEveryNthAndPeriodSetsThePace) {
    StreamOptions o;
    o.malformedEvery = 3;
    o.periodUs = 1000;
    const std::string all = Drive(o, 12).All();
    const std::string expected = std::string("S01000B\r") + "S02000C\r" + GarbledSample('n', 'S') +
                                 "S04000B\r" + "S05000C\r" + GarbledSample('x', 'S') + "S07000B\r" +
                                 "S08000C\r" + GarbledSample('s', 'S') + "S0A000B\r" + "S0B000C\r" +
                                 GarbledSample('l', 'S');
    EXPECT_EQ(all, expected);
    EXPECT_EQ(GarbledSample('n', 'S'), std::string("S\0\0\0\0\0\0\r", 8));
    EXPECT_EQ(GarbledSample('x', 'T'), "TG1Z*FF\r");
    EXPECT_EQ(GarbledSample('s', 'S'), "S01F\r");
    EXPECT_EQ(GarbledSample('l', 'S').size(), 26u); // longer than any record the capture keeps
    o.malformedKinds = "l";
    o.malformedEvery = 1;
    EXPECT_EQ(Drive(o, 2).All(), GarbledSample('l', 'S') + GarbledSample('l', 'S'));
}

// One command's answer can be made late while the others come at once.
TEST(SampleStream, LatencyOnOneCommandOnly) {
    SimConfig c;
    c.faults.latencyMs = 600000;
    c.faults.latencyOn = "n";
    Simulator sim(c);
    sim.start();
    test::SlavePort port(sim.slavePath());
    const std::string status = port.exchange("p", 60000ms);
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(status.back(), '#');
    sim.stop();
}

TEST(SampleStream, OverThePtyWithBurstsAndHangUp) {
    char tmpl[] = "/tmp/vexa-stream-test-XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    SimConfig c;
    c.registryPath = dir + "/registry.txt";
    c.stream.lead = 'T';
    c.stream.burstSeed = 11;
    c.stream.hangupAfter = 300;
    Simulator sim(c);
    sim.start();
    test::SlavePort port(sim.slavePath());
    ASSERT_TRUE(port.ok());
    port.send("x");
    // Samples, then the hang-up: the tool sees the end of the device, and the registry file goes away.
    const std::string got = port.readFor(5000ms);
    EXPECT_EQ(ConsecutiveSamples(got, 'T'), 300);
    EXPECT_TRUE(port.hungUp);
    EXPECT_TRUE(sim.unplugged());
    EXPECT_FALSE(std::filesystem::exists(c.registryPath));
    sim.stop();
    std::filesystem::remove_all(dir);
}

// " " stops the stream and is answered with "#". Samples still on their way when it came (on request)
// follow the "#"; then nothing comes but the next answer.
TEST(SampleStream, BlankStopsTheStreamAndClosesTheExchange) {
    for (const int inFlight : {0, 3}) {
        SCOPED_TRACE(inFlight);
        SimConfig c;
        c.stream.burstSeed = inFlight == 0 ? 3 : 0;
        c.stream.inFlightAfterStop = inFlight;
        c.stream.inFlightDelayMs = 20;
        Simulator sim(c);
        sim.start();
        test::SlavePort port(sim.slavePath());
        port.send("x");
        std::string got = port.readUntil([](const std::string& s) { return s.size() >= 8 * 100; }, 5000ms);
        port.send(" ");
        got += port.readUntil([](const std::string& s) { return s.find('#') != std::string::npos; }, 5000ms);
        const std::size_t hash = got.find('#');
        ASSERT_NE(hash, std::string::npos);
        const long before = ConsecutiveSamples(got.substr(0, hash), 'S');
        EXPECT_GE(before, 100);
        std::string expected;
        for (long k = before + 1; k <= before + inFlight; ++k) {
            const StreamValues v = StreamPattern(k);
            expected += StreamSample(v.x, v.y, v.z);
        }
        EXPECT_EQ(got.substr(hash + 1) + port.exchange("n"),
                  expected + MonitorLine(sim.settings()) + "\r\n#");
        sim.stop();
    }
}

TEST(SampleStream, Options) {
    const auto ok = ParseOptions({"--stream-lead",
                                  "Q",
                                  "--stream-pause-after",
                                  "240",
                                  "--stream-pause-ms",
                                  "500",
                                  "--stream-hangup-after",
                                  "900",
                                  "--stream-bursts",
                                  "42",
                                  "--stream-period-us",
                                  "40",
                                  "--stream-malformed-every",
                                  "7",
                                  "--stream-malformed-kinds",
                                  "xl",
                                  "--stream-in-flight",
                                  "5",
                                  "--stream-in-flight-ms",
                                  "30",
                                  "--latency-on",
                                  "n",
                                  "--other-ports",
                                  "300"});
    ASSERT_EQ(ok.error, "");
    EXPECT_EQ(ok.config.stream.periodUs, 40);
    EXPECT_EQ(ok.config.stream.malformedEvery, 7);
    EXPECT_EQ(ok.config.stream.malformedKinds, "xl");
    EXPECT_EQ(ok.config.stream.inFlightAfterStop, 5);
    EXPECT_EQ(ok.config.stream.inFlightDelayMs, 30);
    EXPECT_EQ(ok.config.faults.latencyOn, "n");
    EXPECT_EQ(ok.config.otherPorts, 300);
    EXPECT_EQ(ok.config.stream.lead, 'Q');
    EXPECT_EQ(ok.config.stream.pauseAfter, 240);
    EXPECT_EQ(ok.config.stream.pauseMs, 500);
    EXPECT_EQ(ok.config.stream.hangupAfter, 900);
    EXPECT_EQ(ok.config.stream.burstSeed, 42u);
    for (const auto& bad : std::vector<std::vector<std::string>>{{"--stream-lead", "QQ"},
                                                                 {"--stream-lead", "#"},
                                                                 {"--stream-bursts", "0"},
                                                                 {"--stream-pause-after", "-1"},
                                                                 {"--stream-period-us", "0"},
                                                                 {"--stream-malformed-every", "0"},
                                                                 {"--stream-malformed-kinds", "q"}})
        EXPECT_NE(ParseOptions(bad).error, "") << bad[0] << " " << bad[1];
    for (const char* option :
         {"--stream-lead", "--stream-pause-after", "--stream-pause-ms", "--stream-hangup-after",
          "--stream-bursts", "--stream-period-us", "--stream-malformed-every", "--stream-malformed-kinds",
          "--stream-in-flight", "--stream-in-flight-ms", "--latency-on", "--other-ports"})
        EXPECT_NE(UsageText().find(option), std::string::npos) << option;
}

} // namespace
} // namespace vexa::sim
