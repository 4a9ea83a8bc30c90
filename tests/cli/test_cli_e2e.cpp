// End to end: `vexa` run as a process, as a script runs it, against the simulated logger on a
// pseudo-terminal found through the registry file, exactly as the window finds it.
#include "Program.h"
#include "platform/SingleInstance.h"
#include "protocol/CaptureFormat.h"
#include "protocol/TextLines.h"
#include "serial/QueueMailbox.h"
#include "serial/TApdComPort.h"
#include "sim/SampleStream.h"
#include "sim/Simulator.h"
#include "sim/StatusReport.h"
#include "support/CaptureOracle.h"
#include "support/DownloadOracle.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits until a condition of another process or thread holds (the simulator's log, say), looking again
// every millisecond; the limit only guards against a hang.
template <class Condition>
bool WaitFor(Condition done, std::chrono::seconds limit = std::chrono::seconds(60)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct CliE2E : ::testing::Test {
    fs::path dir;
    vexa::sim::SimConfig config;
    std::unique_ptr<vexa::sim::Simulator> sim;

    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vexa-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        // The window's guard is looked for here, so a window on this machine plays no part.
        setenv("VEXA_LOCK_DIR", dir.c_str(), 1);
    }
    void TearDown() override {
        if (sim) sim->stop();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path Registry() const { return dir / "registry.txt"; }
    void StartLogger() {
        config.registryPath = Registry().string();
        sim = std::make_unique<vexa::sim::Simulator>(config);
        sim->start();
    }
    std::map<std::string, std::string> Env() const {
        return {{"VEXA_REGISTRY", Registry().string()}, {"VEXA_LOCK_DIR", dir.string()}};
    }
    Ran Vexa(const std::vector<std::string>& args) { return Program(VEXA_PROGRAM, args, Env()).Wait(); }
    // The files in the folder, apart from the registry: what a run left behind.
    std::vector<std::string> FilesLeft() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path() != Registry()) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(CliE2E, StatusPrintsTheSettingsTheLoggerReportsAsTheWindowShowsThem) {
    config.recordCount = 1234;
    config.start = "2024/03/01 08:00:00";
    config.settings.intervalCode = 'J';
    config.settings.samplingCode = '0';
    config.settings.threshold = "15";
    config.settings.countsCode = "20";
    config.settings.deviceId = 42;
    config.settings.buzzerDigit = 0;
    StartLogger();
    const Ran ran = Vexa({"status", "--json"});
    ASSERT_EQ(ran.exitCode, 0) << ran.err;
    EXPECT_EQ(ran.out,
              "{\"port\":\"COM3\",\"firmware\":\"20231226\",\"id\":\"042\",\"buzzer\":\"BZ-ON\","
              "\"interval\":\"10min\",\"sampling\":\"0.5秒\",\"startMode\":\"Sleep\",\"range\":\"20\","
              "\"threshold\":\"15\",\"year\":\"2024\",\"countsPerG\":5,\"records\":1234}\n");
    EXPECT_EQ(ran.err, "");
    // The greeting the window gives at first contact, and nothing the logger would act on.
    const auto log = sim->commandLog();
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + std::min<size_t>(log.size(), 4)),
              (std::vector<std::string>{"m", "m", "p", "p"}));

    // The same settings for a person, one per line.
    const Ran human = Vexa({"status"});
    ASSERT_EQ(human.exitCode, 0) << human.err;
    EXPECT_NE(human.out.find("interval    10min\n"), std::string::npos) << human.out;
    EXPECT_NE(human.out.find("sampling    0.5秒\n"), std::string::npos) << human.out;
}

TEST_F(CliE2E, DownloadOf72000RecordsIsByteForByteTheWindowsSave) {
    config.recordCount = 72000;
    config.start = "2023/12/31 03:00:00";
    config.yearRollover = true;
    config.irregular = {1234, 70000};
    config.settings.intervalCode = 'a';
    config.settings.countsCode = "20";
    StartLogger();
    const fs::path file = dir / "data.csv";
    const Ran ran = Vexa({"download", "-o", file.string(), "--json"});
    ASSERT_EQ(ran.exitCode, 0) << ran.err;
    EXPECT_TRUE(ReadFile(file) == vexa::JoinLinesCrLf(oracle::ExpectedDownload(config, 5)))
        << "the file differs from what the window saves";
    const std::regex summary("\\{\"file\":\"" + file.string() +
                             "\",\"records\":72000,\"announced\":72000,\"irregular\":true,\"complete\":true,"
                             "\"seconds\":[0-9]+\\.[0-9]{3}\\}\n");
    EXPECT_TRUE(std::regex_match(ran.out, summary)) << ran.out;
    // No progress bar and no temporary file in a pipe and after a complete write.
    EXPECT_EQ(ran.err, "");
    EXPECT_EQ(FilesLeft(), std::vector<std::string>{"data.csv"});
}

TEST_F(CliE2E, ADownloadCutShortKeepsEveryWholeRecordInAPartialFile) {
    const struct {
        bool unplug; // else Ctrl+C once records are on their way
        int exitCode;
        std::string says;
    } cases[] = {
        {true, 4, "vexa: the logger on COM3 was unplugged: "},
        {false, 1, "vexa: interrupted: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        if (sim) sim->stop();
        std::filesystem::remove(dir / "data.partial.csv");
        config.recordCount = 5000;
        config.faults.hangupAfterBytes = c.unplug ? 60000 : -1; // some 2,600 records in
        config.paced = !c.unplug;                               // the line rate: ten seconds for all
        StartLogger();
        Program vexa(VEXA_PROGRAM, {"download", "-o", (dir / "data.csv").string()}, Env());
        if (!c.unplug) {
            ASSERT_TRUE(WaitFor([&] {
                const auto log = sim->commandLog();
                return std::find(log.begin(), log.end(), "D") != log.end() && sim->bytesSent() > 12000;
            }));
            vexa.Signal(SIGINT);
        }
        const Ran ran = vexa.Wait();
        EXPECT_EQ(ran.exitCode, c.exitCode) << ran.err;
        EXPECT_EQ(FilesLeft(), std::vector<std::string>{"data.partial.csv"});
        const auto lines = vexa::SplitLines(ReadFile(dir / "data.partial.csv"));
        const auto expected = oracle::ExpectedDownload(config, 10);
        ASSERT_GT(lines.size(), 100u);
        ASSERT_LT(lines.size(), expected.size());
        // Every record that arrived whole, in order, and none cut short.
        for (size_t i = 0; i < lines.size(); ++i)
            ASSERT_EQ(lines[i], expected[i]) << "line " << i;
        const std::string count = std::to_string(lines.size() - 2) + " of 5000 records";
        EXPECT_EQ(ran.err.rfind(c.says + count, 0), 0u) << ran.err;
        EXPECT_EQ(std::count(ran.err.begin(), ran.err.end(), '\n'), 1) << ran.err;
    }
}

TEST_F(CliE2E, NoLoggerEndsWithExit3AndSaysWhatWasFound) {
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--wait", "0", "status"},
         "vexa: no logger found: no serial port of the logger's USB driver is present\n"},
        {{"--wait", "0.3", "--port", "COM7", "download", "-o", "x.csv"},
         "vexa: there is no port COM7 (looked for 0.3 s)\n"},
        // Named paths that are there but are no serial port.
        {{"--port", Registry().string(), "status"},
         "vexa: " + Registry().string() + " is not a serial port\n"},
        {{"--port", dir.string(), "status"}, "vexa: cannot open " + dir.string() + ": Is a directory\n"},
    };
    std::ofstream(Registry()) << "";
    for (const auto& c : cases) {
        const Ran ran = Vexa(c.args);
        EXPECT_EQ(ran.exitCode, 3) << ran.err;
        EXPECT_EQ(ran.err, c.message);
        EXPECT_EQ(ran.out, "");
    }
    EXPECT_EQ(FilesLeft(), std::vector<std::string>{});
}

TEST_F(CliE2E, APortHeldByTheWindowOrAnotherCopyIsRefusedWithExit3) {
    StartLogger();
    {
        // The window runs: it would open the same logger at its next tick.
        SingleInstanceGuard window(kWindowGuardName);
        ASSERT_TRUE(window.Acquire());
        const Ran ran = Vexa({"status"});
        EXPECT_EQ(ran.exitCode, 3);
        EXPECT_NE(ran.err.find("in use by the V-EXAVIEW window"), std::string::npos) << ran.err;
    }
    {
        // Another program has the port open (another vexa, or the window in the middle of an exchange).
        auto mailbox = std::make_shared<QueueMailbox>();
        TApdComPort other;
        other.SetUiMailbox(mailbox);
        other.SetPromptForPort(false);
        other.SetDevicePathResolver([&](unsigned) { return std::optional<std::string>(sim->slavePath()); });
        other.SetComNumber(3);
        other.SetOpen(true);
        const Ran ran = Vexa({"--port", "COM3", "status"});
        EXPECT_EQ(ran.exitCode, 3);
        EXPECT_NE(ran.err.find("is held by another program"), std::string::npos) << ran.err;
        other.SetOpen(false);
    }
    // Neither reached the logger.
    EXPECT_EQ(sim->commandLog(), std::vector<std::string>{});
}

TEST_F(CliE2E, CaptureOfFiveSecondsWritesTheWindowsLines) {
    StartLogger();
    const fs::path file = dir / "capture.csv";
    const Ran ran = Vexa({"capture", "--seconds", "5", "-o", file.string()});
    ASSERT_EQ(ran.exitCode, 0) << ran.err;
    const auto lines = vexa::SplitLines(ReadFile(file));
    ASSERT_EQ(lines.size(), 1002u);
    std::smatch start;
    ASSERT_TRUE(std::regex_match(
        lines[0], start, std::regex("Start Time=(\\d{4}/\\d\\d/\\d\\d [ \\d]\\d:\\d\\d:\\d\\d) @1G=10")))
        << lines[0];
    const std::string monitor = vexa::sim::MonitorLine(sim->settings());
    EXPECT_EQ(lines[1], monitor);
    const vexa::CaptureTimeStamps stamps(start[1].str(), 999);
    const std::string temperature = vexa::CaptureTemperatureField(monitor);
    for (int i = 1; i <= 999; ++i) {
        ASSERT_EQ(lines[size_t(i) + 1], oracle::CaptureLine(stamps, i, temperature)) << i;
    }
    EXPECT_EQ(lines.back().rfind("End=>", 0), 0u) << lines.back();
    EXPECT_EQ(FilesLeft(), std::vector<std::string>{"capture.csv"});
}

TEST_F(CliE2E, CtrlCEndsACaptureEarlyAndKeepsWhatArrived) {
    StartLogger();
    const fs::path file = dir / "capture.csv";
    Program vexa(VEXA_PROGRAM, {"capture", "--seconds", "60", "-o", file.string()}, Env());
    // Once samples stream (a second of them), as a person would press Ctrl+C while watching them come in.
    long streamStart = -1;
    ASSERT_TRUE(WaitFor([&] {
        if (streamStart < 0) {
            const auto log = sim->commandLog();
            if (std::find(log.begin(), log.end(), "x") != log.end()) streamStart = sim->bytesSent();
        }
        return streamStart >= 0 && sim->bytesSent() > streamStart + 1600;
    }));
    vexa.Signal(SIGINT);
    const Ran ran = vexa.Wait();
    ASSERT_EQ(ran.exitCode, 0) << ran.err;
    const auto lines = vexa::SplitLines(ReadFile(file));
    ASSERT_GT(lines.size(), 100u);
    EXPECT_LT(lines.size(), 12002u);
    EXPECT_EQ(lines.back().rfind("End=>", 0), 0u);
    EXPECT_NE(ran.err.find("of 12000 samples"), std::string::npos) << ran.err;
    // The stream was stopped with " ", as Escape stops it.
    EXPECT_TRUE(WaitFor([&] {
        const auto log = sim->commandLog();
        return std::find(log.begin(), log.end(), " ") != log.end();
    }));
}

TEST_F(CliE2E, SetClockSendsTheClockAsTheEButtonAndPrintsWhatTheLoggerReports) {
    StartLogger();
    const Ran ran = Vexa({"set-clock", "--json"});
    ASSERT_EQ(ran.exitCode, 0) << ran.err;
    std::smatch sent;
    ASSERT_TRUE(std::regex_match(ran.out, sent,
                                 std::regex("\\{\"port\":\"COM3\",\"sent\":\"(\\d{4}/\\d\\d/\\d\\d "
                                            "\\d\\d:\\d\\d:\\d\\d)\",\"clock\":\"TIME (.*)\"\\}\n")))
        << ran.out;
    // The logger keeps the clock it was given (its own clock runs on from there).
    EXPECT_EQ(sim->settings().clockText, sent[1].str());
    EXPECT_GE(sent[2].str(), sent[1].str());
    // After the greeting: the clock with "s", "te" when its answer ends, and the timed "m" after it.
    const auto log = sim->commandLog();
    ASSERT_GE(log.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"s" + sent[1].str(), "te", "m"}));
}

TEST_F(CliE2E, PortsMarksTheLoggerFoundByItsUsbId) {
    StartLogger();
    const Ran ran = Vexa({"ports", "--json"});
    ASSERT_EQ(ran.exitCode, 0) << ran.err;
    EXPECT_EQ(ran.out,
              "{\"ports\":[{\"port\":\"COM3\",\"device\":\"" + sim->slavePath() +
                  "\",\"usb\":\"0FE3:6002\",\"kind\":\"logger\",\"driver\":\"\",\"product\":\"USB Serial "
                  "Port (COM3)\",\"chosen\":true}],\"chosen\":\"COM3\",\"reason\":\"logger\",\"why\":\"the "
                  "logger, found by its USB id 0FE3:6002\"}\n");
    EXPECT_EQ(sim->commandLog(), std::vector<std::string>{});
}

TEST_F(CliE2E, PortsTakesTheAdapterOnlyWhenAllowedAndNeverBeforeTheLogger) {
    const std::string adapterOnly = "[HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n"
                                    "\\Device\\VCP0=COM4\n"
                                    "[HKLM\\SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+"
                                    "FTDI0001A\\0000\\Device Parameters]\n"
                                    "PortName=COM4\n"
                                    "[ports]\n"
                                    "COM4=/dev/null\n";
    const std::string withLogger =
        adapterOnly + "[HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n\\Device\\VCP1=COM3\n"
                      "[HKLM\\SYSTEM\\ControlSet001\\Enum\\FTDIBUS\\VID_0FE3+PID_6002+"
                      "00000001A\\0000]\nFriendlyName=USB Serial Port (COM3)\n[ports]\nCOM3=/dev/null\n";
    const struct {
        const std::string* registry;
        bool adapter;
        std::string chosen; // "null" when none
        std::string reason;
    } cases[] = {
        {&adapterOnly, false, "null", "none"},
        {&adapterOnly, true, "\"COM4\"", "adapter"},
        {&withLogger, true, "\"COM3\"", "logger"},
    };
    for (const auto& c : cases) {
        std::ofstream(Registry(), std::ios::trunc) << *c.registry;
        std::vector<std::string> args{"ports", "--json"};
        if (c.adapter) args.push_back("--adapter");
        const Ran ran = Vexa(args);
        ASSERT_EQ(ran.exitCode, 0) << ran.err;
        EXPECT_NE(ran.out.find("\"chosen\":" + c.chosen + ",\"reason\":\"" + c.reason + "\""),
                  std::string::npos)
            << ran.out;
    }
}

} // namespace
