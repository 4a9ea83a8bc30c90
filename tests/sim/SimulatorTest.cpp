// Acceptance tests of the simulated logger, talking to it over its pseudo-terminal like the tool does.
#include "sim/Options.h"
#include "sim/RegistryFile.h"
#include "sim/SampleStream.h"
#include "sim/Simulator.h"
#include "sim/StatusReport.h"
#include "tests/sim/SlavePort.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/file.h>
#include <sys/ioctl.h>

namespace vexa::sim {
namespace {
using namespace std::chrono_literals;
using test::AnswerLines;
using test::SlavePort;

// Anchors as the parser defines them: just after the first "=" / first space searching from position 1.
std::size_t V(const std::string& l) { return l.find('=', 1) + 1; }
std::size_t W(const std::string& l) { return l.find(' ', 1) + 1; }
// Value text of "@A"/"@F" group g (0..2): first, fourth and fifth character of the five.
std::string GroupValue(const std::string& l, int g) {
    const std::size_t at = W(l) + 2 + 6 * static_cast<std::size_t>(g);
    return std::string{l[at], l[at + 3], l[at + 4]};
}

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/vexa-sim-test-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string path;
};

struct Fixture {
    explicit Fixture(SimConfig c = {}) {
        c.registryPath = dir.path + "/registry.txt";
        c.logPath = dir.path + "/sim.log";
        sim = std::make_unique<Simulator>(c);
        sim->start();
    }
    TempDir dir;
    std::unique_ptr<Simulator> sim;
};

// The status report line whose code (character 1 after "@") is code; for "A" the h/n variant is chosen.
std::string StatusLine(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const auto& l : lines)
        if (l.rfind(prefix, 0) == 0) return l;
    return {};
}

TEST(Simulator, StatusReportReadsFieldByField) {
    SimConfig c;
    c.recordCount = 42;
    c.start = "2025/03/04 05:06:07";
    Fixture f(c);
    SlavePort port(f.sim->slavePath());
    ASSERT_TRUE(port.ok());
    const std::string answer = port.exchange("p");
    ASSERT_EQ(answer.back(), '#');
    const auto lines = AnswerLines(answer);
    const std::string model = lines.at(0);
    EXPECT_EQ(model[0], 'K');
    EXPECT_EQ(model.substr(4, 3), "770");
    EXPECT_EQ(model.substr(V(model)), "20231226");

    const std::string ah = StatusLine(lines, "@A");
    EXPECT_EQ(ah[W(ah)], 'h');
    EXPECT_EQ(GroupValue(ah, 0), " 00");
    for (const std::string code : {"@B", "@s", "@W"}) EXPECT_EQ(StatusLine(lines, code)[V(StatusLine(lines, code)) + 4], '0') << code;
    const std::string count = StatusLine(lines, "@C");
    std::istringstream countFields(count.substr(V(count)));
    int n = 0, capacity = 0;
    countFields >> n >> capacity;
    EXPECT_EQ(n, 42);
    EXPECT_GT(capacity, 0);
    const std::string d = StatusLine(lines, "@d");
    EXPECT_EQ(d.substr(V(d), 2), "10");
    EXPECT_EQ(StatusLine(lines, "@R")[V(StatusLine(lines, "@R"))], 'A');
    EXPECT_EQ(StatusLine(lines, "@I")[V(StatusLine(lines, "@I"))], '0');
    const std::string t = StatusLine(lines, "@T");
    EXPECT_EQ(t.substr(V(t) + 3, 2), "10");
    const std::string y = StatusLine(lines, "@Y");
    EXPECT_EQ(y.substr(V(y)), "2025");
    const std::string m = StatusLine(lines, "@M");
    EXPECT_EQ(m.substr(V(m) + 2, 3), "001");
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(m[V(m) + 1])));
    const std::string k = StatusLine(lines, "@K");
    EXPECT_EQ(k.substr(W(k)), "SIM01");
    for (const std::string code : {"@F", "@G", "@g", "@L", "@r", "@w"}) EXPECT_FALSE(StatusLine(lines, code).empty()) << code;
    for (const auto& l : lines) EXPECT_LE(l.size(), 127u);
}

TEST(Simulator, EverySettingCommandChangesTheNextReport) {
    struct Case {
        std::string command;
        std::string line; // prefix of the status line
        std::function<std::string(const std::string&)> read;
        std::string expected;
    };
    auto at = [](int offset, int len) {
        return [=](const std::string& l) { return l.substr(V(l) + static_cast<std::size_t>(offset), static_cast<std::size_t>(len)); };
    };
    auto fromV = [](int offset) { return [=](const std::string& l) { return l.substr(V(l) + static_cast<std::size_t>(offset)); }; };
    auto group = [](int g) { return [=](const std::string& l) { return GroupValue(l, g); }; };
    auto fromW = [](const std::string& l) { return l.substr(W(l)); };
    const Case cases[] = {
        {"jc", "@R", at(0, 1), "c"},
        {"j^", "@R", at(0, 1), "^"},
        {"iA", "@I", at(0, 1), "A"},
        {"d25", "@d", at(0, 2), "25"},
        {"z1", "@B", at(4, 1), "1"},
        {"z0", "@B", at(4, 1), "0"},
        {"k1", "@W", at(4, 1), "1"},
        {"o", "@s", at(4, 1), "1"},
        {"f", "@s", at(4, 1), "0"},
        {"s2024/05/01 09:03:07", "@s", at(4, 1), "1"},
        {"l05/01 12:30", "@s", [](const std::string& l) { return l.substr(l.size() - 11); }, "05/01 12:30"},
        {"Ox-07", "@A h", group(0), "-07"},
        {"Oy01", "@A h", group(1), " 01"},
        {"Oz01", "@A h", group(2), " 01"},
        {"OX01", "@A n", group(0), " 01"},
        {"OY25", "@A n", group(1), " 25"},
        {"OZ-125", "@A n", group(2), "-25"},
        {"FX 12", "@F", group(0), " 12"},
        {"FY-3", "@F", group(1), "-03"},
        {"FZ40", "@F", group(2), " 40"},
        {"L-07", "@L", fromV(3), "-7"},
        {"r35", "@r", fromV(1), "3500"},
        {"Y042", "@M", at(2, 3), "042"},
        {"w17", "@w", fromV(1), "17"},
        {"KwAB12\r", "@K", fromW, "AB12"},
        {"20", "@T", at(3, 2), "20"},
        {"50", "@g", at(0, 1), "5"},
        {"q5", "@G", fromW, "DR50 LCD0 BLE0 B0 N00"},
        {"q7", "@G", fromW, "DR50 LCD1 BLE0 B0 N00"},
        {"q8", "@G", fromW, "DR50 LCD1 BLE1 B0 N00"},
        {"b1", "@G", fromW, "DR50 LCD1 BLE1 B1 N00"},
        {"N01", "@G", fromW, "DR50 LCD1 BLE1 B1 N01"},
        {"q9", "@G", fromW, "DR50 LCD1 BLE0 B1 N01"},
        {"q1", "@G", fromW, "DR10 LCD1 BLE0 B1 N01"},
    };
    Fixture f;
    SlavePort port(f.sim->slavePath());
    ASSERT_TRUE(port.ok());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const std::string ack = port.exchange(c.command);
        ASSERT_EQ(ack.back(), '#');
        EXPECT_EQ(AnswerLines(ack).at(0).rfind("OK", 0), 0u) << ack;
        const auto lines = AnswerLines(port.exchange("p"));
        const std::string line = StatusLine(lines, c.line);
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(c.read(line), c.expected) << line;
    }
    EXPECT_EQ(f.sim->settings().intervalCode, '^');
    EXPECT_EQ(f.sim->commandLog().size(), 2 * std::size(cases));
}

TEST(Simulator, RejectsWhatTheLoggerWouldNotUnderstand) {
    Fixture f;
    SlavePort port(f.sim->slavePath());
    for (const std::string bad : {"Q", "jZ", "Oq", "Y999"}) {
        const auto lines = AnswerLines(port.exchange(bad));
        ASSERT_EQ(lines.size(), 1u) << bad;
        EXPECT_EQ(lines[0].rfind("ERR", 0), 0u) << bad;
    }
    const auto log = f.sim->commandLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], "unknown: Q");
    EXPECT_EQ(log[1], "malformed: jZ");
    EXPECT_EQ(StatusLine(AnswerLines(port.exchange("p")), "@R")[3], 'A'); // nothing was changed
}

TEST(Simulator, DownloadSendsCountThenRecordsThenPrompt) {
    SimConfig c;
    c.recordCount = 300;
    c.start = "2024/12/31 20:00:00";
    c.settings.intervalCode = 'E'; // 5 min: crosses into the new year after 48 records
    c.irregular = {10, 11};
    Fixture f(c);
    SlavePort port(f.sim->slavePath());
    for (const std::string cmd : {"D", "C", "G"}) {
        const std::string answer = port.exchange(cmd);
        ASSERT_EQ(answer.back(), '#');
        const auto lines = AnswerLines(answer);
        ASSERT_EQ(lines.size(), 301u);
        EXPECT_EQ(lines[0].rfind("@C= 300 ", 0), 0u);
        std::int64_t previous = -1;
        int yearBits = 0, year = 2024, lastMonth = 12;
        for (int i = 0; i < 300; ++i) {
            const std::string& r = lines[static_cast<std::size_t>(i) + 1];
            ASSERT_EQ(r.size(), 20u);
            const int b0 = std::stoi(r.substr(0, 2), nullptr, 16), b1 = std::stoi(r.substr(2, 2), nullptr, 16);
            const int b2 = std::stoi(r.substr(4, 2), nullptr, 16);
            const int month = b0 >> 4, day = (b0 & 3) * 8 + (b1 >> 5), hour = b1 & 31, minute = b2 >> 2;
            const int second = ((b2 & 3) << 4) | std::stoi(r.substr(6, 1), nullptr, 16);
            if (month < lastMonth) {
                ++year;
                EXPECT_EQ((b0 >> 2) & 3, (yearBits + 1) % 4);
            }
            yearBits = (b0 >> 2) & 3;
            lastMonth = month;
            // Expected: 2024/12/31 20:00:00 + 5 min per record, records 10 and 11 repeating record 9.
            const int k = (i == 10 || i == 11) ? 9 : i;
            const std::int64_t minutes = 20 * 60 + 5 * k;
            const int expDay = minutes >= 24 * 60 ? 1 : 31;
            EXPECT_EQ(month, minutes >= 24 * 60 ? 1 : 12) << i;
            EXPECT_EQ(year, minutes >= 24 * 60 ? 2025 : 2024) << i;
            EXPECT_EQ(day, expDay) << i;
            EXPECT_EQ(hour * 60 + minute, minutes % (24 * 60)) << i;
            EXPECT_EQ(second, 0);
            const std::int64_t key = (std::int64_t{year} * 100 + month) * 100000 + day * 2000 + hour * 60 + minute;
            if (i == 10 || i == 11) EXPECT_EQ(key, previous);
            else EXPECT_GT(key, previous);
            previous = key;
        }
    }
}

TEST(Simulator, MillisecondModeSendsTwentyOneCharacterRecords) {
    SimConfig c;
    c.recordCount = 10;
    c.settings.samplingCode = 'B';
    Fixture f(c);
    SlavePort port(f.sim->slavePath());
    const auto lines = AnswerLines(port.exchange("D"));
    ASSERT_EQ(lines.size(), 11u);
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 21u);
    EXPECT_EQ(lines[2].substr(16, 2), "00");
    EXPECT_EQ(lines[2][20], '2'); // second record: 2 ms later
}

TEST(Simulator, MonitorLineCarriesAxesAndTemperatureAtOffset32) {
    SimConfig c;
    c.settings.monitorX = -12;
    c.settings.monitorY = 3;
    c.settings.monitorZ = 10;
    c.settings.monitorTempTenths = -125;
    Fixture f(c);
    SlavePort port(f.sim->slavePath());
    const auto lines = AnswerLines(port.exchange("n"));
    ASSERT_EQ(lines.size(), 1u);
    const std::string& l = lines[0];
    EXPECT_EQ(l.substr(l.find('X') + 2, 5), "  -12");
    EXPECT_EQ(l.substr(l.find('Y') + 2, 5), "    3");
    EXPECT_EQ(l.substr(l.find('Z') + 2, 5), "   10");
    EXPECT_EQ(l.substr(l.find('p') + 2), "-12.5");
    EXPECT_EQ(l.substr(32, 5), "-12.5");
}

// Over the pty the stream's samples come whole and in order until the stop, which "#" closes. Their pace
// (200 a second) is pinned on a virtual clock in SampleStream.TimingPausesAndBursts.
TEST(Simulator, StreamDeliversEverySampleInOrderUntilTheStop) {
    Fixture f;
    SlavePort port(f.sim->slavePath());
    port.send("x");
    std::string got = port.readUntil([](const std::string& s) { return s.size() >= 8 * 400; }, 20000ms);
    port.send(" ");
    got += port.readUntil([](const std::string& s) { return s.find('#') != std::string::npos; }, 5000ms);
    const std::size_t hash = got.find('#');
    ASSERT_NE(hash, std::string::npos);
    EXPECT_EQ(hash, got.size() - 1);
    ASSERT_EQ(hash % 8, 0u);
    ASSERT_GE(hash / 8, 400u);
    for (std::size_t k = 1; k <= hash / 8; ++k) {
        const StreamValues v = StreamPattern(long(k));
        ASSERT_EQ(got.substr((k - 1) * 8, 8), StreamSample(v.x, v.y, v.z)) << k;
    }
}

TEST(Simulator, BootLoaderTakesImageLinesAndReturnsWithM) {
    SimConfig c;
    c.faults.bangLines = {2};
    Fixture f(c);
    SlavePort port(f.sim->slavePath());
    port.send("\x03\x06\x03\x06\x03");
    EXPECT_EQ(port.exchange("e", 2000ms), "#");
    EXPECT_TRUE(f.sim->inBootLoader());
    auto burst = [&](const std::string& line) {
        port.send(line);
        return port.readUntil([](const std::string& s) { return !s.empty(); }, 2000ms);
    };
    EXPECT_EQ(burst(":020000040001F9"), ".");
    EXPECT_EQ(burst(":020000040001F8"), "!"); // bad checksum
    EXPECT_EQ(burst(":00000001FF"), "!");     // asked to fail
    EXPECT_EQ(burst(";PIC24FJ128GA310"), ".");
    port.send("qs");
    const std::string end = port.readUntil([](const std::string& s) { return !s.empty() && s.back() == 'M'; }, 2000ms);
    ASSERT_FALSE(end.empty());
    EXPECT_EQ(end.back(), 'M');
    EXPECT_FALSE(f.sim->inBootLoader());
    EXPECT_EQ(AnswerLines(port.exchange("m")).at(0).substr(4, 3), "770");
}

TEST(Simulator, BootLoaderFaultsOverThePty) {
    const std::string good = ":020000040001F9";
    auto enter = [](SlavePort& port) {
        port.send("\x03\x06\x03\x06\x03");
        return port.exchange("e", 2000ms);
    };
    auto burst = [](SlavePort& port, const std::string& line) {
        port.send(line);
        return port.readUntil([](const std::string& s) { return !s.empty(); }, 2000ms);
    };
    {
        // Silent from line 2: the line is taken (logged) but never answered.
        SimConfig c;
        c.faults.bootSilentAt = 2;
        Fixture f(c);
        SlavePort port(f.sim->slavePath());
        ASSERT_EQ(enter(port), "#");
        EXPECT_EQ(burst(port, good), ".");
        EXPECT_EQ(burst(port, good), ".");
        // The silent line is answered by nothing: the "#" of the "e" behind it is all that comes.
        port.send(good);
        EXPECT_EQ(port.exchange("e", 2000ms), "#");
        EXPECT_FALSE(f.sim->unplugged());
        const auto log = f.sim->commandLog();
        ASSERT_GE(log.size(), 2u);
        EXPECT_NE(log[log.size() - 2].find("boot line 2"), std::string::npos) << log[log.size() - 2];
    }
    {
        // Hang-up at line 1: the port hangs up and the registry file goes.
        SimConfig c;
        c.faults.bootHangupAt = 1;
        Fixture f(c);
        SlavePort port(f.sim->slavePath());
        ASSERT_EQ(enter(port), "#");
        EXPECT_EQ(burst(port, good), ".");
        port.send(good);
        port.readUntil([](const std::string&) { return false; }, 3000ms);
        EXPECT_TRUE(port.hungUp);
        EXPECT_TRUE(f.sim->unplugged());
        EXPECT_FALSE(std::filesystem::exists(f.dir.path + "/registry.txt"));
    }
    {
        // "M" followed by more bytes, then the lone "M": the boot loader is left only after the second burst.
        SimConfig c;
        c.faults.bootMThenMore = true;
        c.faults.bangLines = {0};
        c.faults.bangRepeat = 3;
        Fixture f(c);
        SlavePort port(f.sim->slavePath());
        ASSERT_EQ(enter(port), "#");
        EXPECT_EQ(burst(port, good), "!!!");
        port.send("qs");
        const std::string first = port.readUntil([](const std::string& s) { return s.find("M\r\n") != std::string::npos; }, 2000ms);
        EXPECT_EQ(first, "\r\nBOOT END\r\nM\r\n");
        const std::string second = port.readUntil([](const std::string& s) { return !s.empty(); }, 2000ms);
        EXPECT_EQ(second, "M");
        // The logger answers a command again: the boot loader is behind it.
        EXPECT_EQ(port.exchange("n").back(), '#');
        EXPECT_FALSE(f.sim->inBootLoader());
    }
}

TEST(Simulator, FaultsBehaveAsRequested) {
    Fixture f;
    SlavePort port(f.sim->slavePath());
    SimFaults faults;
    faults.noHash = true;
    faults.noHashOn = "p";
    f.sim->setFaults(faults);
    EXPECT_EQ(port.readFor(0ms), "");
    // The status report comes without its "#": the one "#" that arrives is the monitor answer's after it.
    port.send("p");
    const std::string both = port.exchange("n");
    EXPECT_EQ(std::count(both.begin(), both.end(), '#'), 1) << both;
    EXPECT_EQ(both.back(), '#');
    const std::string noPrompt = both.substr(0, both.find("X:"));
    EXPECT_NE(noPrompt.find("@R="), std::string::npos);
    EXPECT_NE(noPrompt.find("@Y="), std::string::npos);

    faults = {};
    faults.enqInLine = true;
    faults.garbage = true;
    faults.longLine = true;
    faults.extraCount = 5;
    f.sim->setFaults(faults);
    const std::string answer = port.exchange("D");
    const auto lines = AnswerLines(answer);
    EXPECT_NE(lines.at(0).find('\x05'), std::string::npos);
    EXPECT_NE(lines.at(0).find('\xFF'), std::string::npos);
    EXPECT_EQ(lines.at(1), std::string(200, 'L'));
    EXPECT_EQ(lines.size(), 2u + 100u); // @C line, long line, 100 records; "@C" says 105
    std::string count = lines.at(0);
    std::erase_if(count, [](char ch) { return ch == '\x05' || ch == '\x00' || (ch & 0x80) || ch == '\x1B' || ch == '\x7F'; });
    EXPECT_EQ(count, "@C= 105 72000");
}

TEST(Simulator, HangUpAfterNBytesLooksLikeTheDeviceVanishing) {
    SimConfig c;
    c.faults.hangupAfterBytes = 50;
    Fixture f(c);
    const std::string registry = f.dir.path + "/registry.txt";
    ASSERT_TRUE(std::filesystem::exists(registry));
    SlavePort port(f.sim->slavePath());
    port.send("p");
    const std::string got = port.readFor(2000ms);
    EXPECT_EQ(got.size(), 50u);
    EXPECT_TRUE(port.hungUp);
    EXPECT_TRUE(port.lastReadResult == 0 || port.lastError == EIO) << port.lastError;
    EXPECT_TRUE(f.sim->unplugged());
    EXPECT_FALSE(std::filesystem::exists(registry));
}

TEST(Simulator, RegistryFileNamesThePortAndGoesAwayOnStop) {
    SimConfig c;
    c.com = 7;
    Fixture f(c);
    const std::string registry = f.dir.path + "/registry.txt";
    std::ifstream in(registry);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), RegistryFileText(7, f.sim->slavePath()));
    EXPECT_NE(text.str().find("\\Device\\VCP0=COM7\n"), std::string::npos);
    EXPECT_NE(text.str().find("FTDIBUS\\VID_0FE3+PID_6002+00000001A\\0000]\nFriendlyName=USB Serial Port (COM7)\n"),
              std::string::npos);
    EXPECT_NE(text.str().find("[ports]\nCOM7=" + f.sim->slavePath() + "\n"), std::string::npos);
    // (How fast it stops is a benchmark figure, sim.stop_ms.)
    f.sim->stop();
    EXPECT_FALSE(std::filesystem::exists(registry));
}

TEST(Simulator, RemovingTheRegistryFileUnplugs) {
    Fixture f;
    SlavePort port(f.sim->slavePath());
    std::filesystem::remove(f.dir.path + "/registry.txt");
    port.readUntil([&](const std::string&) { return port.hungUp; }, 10000ms);
    EXPECT_TRUE(port.hungUp);
    EXPECT_TRUE(f.sim->unplugged());
}

TEST(Simulator, StateSurvivesTheToolClosingAndReopening) {
    Fixture f;
    {
        SlavePort port(f.sim->slavePath());
        ASSERT_EQ(::ioctl(port.fd(), TIOCEXCL), 0);
        EXPECT_EQ(::flock(port.fd(), LOCK_EX | LOCK_NB), 0);
        if (::geteuid() != 0) {
            SlavePort second(f.sim->slavePath());
            EXPECT_FALSE(second.ok()); // the exclusive open holds
        }
        EXPECT_EQ(port.exchange("jc").back(), '#');
        port.send("p"); // aborted: closed before the answer is read
    }
    for (int round = 0; round < 3; ++round) {
        SlavePort port(f.sim->slavePath());
        ASSERT_TRUE(port.ok());
        ASSERT_EQ(::ioctl(port.fd(), TIOCEXCL), 0);
        tcflush(port.fd(), TCIFLUSH); // the tool discards waiting input when it opens
        const auto lines = AnswerLines(port.exchange("p"));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0][0], 'K');
        EXPECT_EQ(StatusLine(lines, "@R")[3], 'c');
    }
    EXPECT_FALSE(f.sim->unplugged());
}

TEST(Simulator, LatencyDelaysEachAnswerAndLogFileHasTimestamps) {
    SimConfig c;
    c.faults.latencyMs = 150;
    Fixture f(c);
    SlavePort port(f.sim->slavePath());
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(port.exchange("n").back(), '#');
    EXPECT_GE(std::chrono::steady_clock::now() - before, 150ms);
    f.sim->stop();
    std::ifstream log(f.dir.path + "/sim.log");
    std::string line;
    ASSERT_TRUE(std::getline(log, line));
    EXPECT_EQ(line.size(), 14u);
    EXPECT_EQ(line.substr(2, 1) + line.substr(5, 1) + line.substr(8, 1), "::.");
    EXPECT_EQ(line.substr(13), "n");
}

TEST(Options, AcceptsDocumentedOptionsAndRejectsOthers) {
    auto parse = [](std::vector<std::string> a) { return ParseOptions(a); };
    const auto ok = parse({"--registry", "r.txt", "--log", "l.txt", "--com", "4", "--records", "72000", "--start",
                           "2023/12/31 23:00:00", "--interval", "c", "--sampling", "A", "--counts-code", "50",
                           "--firmware-version", "20240101", "--irregular", "3,9", "--year-rollover", "--latency", "20",
                           "--paced", "--no-hash=p", "--bang-lines", "1,2", "--hangup-after", "100",
                           "--bang-repeat", "2", "--boot-silent-at", "1000", "--boot-hangup-at", "7", "--boot-m-then-more",
                           "--unplug-after", "5000", "--record-len", "18"});
    ASSERT_EQ(ok.error, "");
    EXPECT_EQ(ok.config.registryPath, "r.txt");
    EXPECT_EQ(ok.config.com, 4);
    EXPECT_EQ(ok.config.recordCount, 72000);
    EXPECT_EQ(ok.config.settings.modelLine, "KTZ-770 Ver=20240101");
    EXPECT_EQ(ok.config.irregular, (std::set<int>{3, 9}));
    EXPECT_EQ(ok.config.faults.noHashOn, "p");
    EXPECT_EQ(ok.config.faults.hangupAfterBytes, 100);
    EXPECT_EQ(ok.config.recordLength, 18);
    EXPECT_EQ(ok.config.faults.bangRepeat, 2);
    EXPECT_EQ(ok.config.faults.bootSilentAt, 1000);
    EXPECT_EQ(ok.config.faults.bootHangupAt, 7);
    EXPECT_TRUE(ok.config.faults.bootMThenMore);
    for (const auto& bad : std::vector<std::vector<std::string>>{{"--records", "72001"}, {"--interval", "Z"},
                                                                 {"--sampling", "G"}, {"--start", "2024-01-01"},
                                                                 {"--record-len", "17"}, {"--frobnicate"}, {"--com"}})
        EXPECT_NE(parse(bad).error, "") << bad[0];
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"--version"}).showVersion);
    EXPECT_FALSE(ok.showVersion);
    for (const char* option : {"--registry", "--com", "--records", "--start", "--interval", "--sampling",
                               "--counts-code", "--model", "--firmware-version", "--version", "--irregular", "--year-rollover",
                               "--latency", "--paced", "--log", "--record-len", "--unplug-after", "--no-hash",
                               "--garbage", "--long-line", "--extra-count", "--enq", "--bang-lines",
                               "--hangup-after", "--bang-repeat", "--boot-silent-at", "--boot-hangup-at",
                               "--boot-m-then-more"})
        EXPECT_NE(UsageText().find(option), std::string::npos) << option;
}

} // namespace
} // namespace vexa::sim
