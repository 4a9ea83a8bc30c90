// End to end: `vexa` run as a process, as a script runs it, against the simulated logger on a
// pseudo-terminal found through the registry file, exactly as the window finds it.
#include "Program.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

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
};

TEST_F(CliE2E, PortsMarksTheLoggerFoundByItsUsbId) {
    const Ran none = Vexa({"ports"});
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_EQ(
        none.out,
        "No serial ports.\nvexa would use none: no serial port of the logger's USB driver is present.\n");
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

} // namespace
