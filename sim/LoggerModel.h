// The simulated logger's behaviour without any I/O: commands in, answers out, settings kept in between.
#pragma once

#include "sim/CommandParser.h"
#include "sim/SimTypes.h"

#include <chrono>
#include <string>
#include <vector>

namespace vexa::sim {

struct Answer {
    std::vector<std::string> lines; // reply lines, without line ends
    bool prompt = true;             // close with "#"
    std::string raw;                // bytes sent as they are (boot loader bursts)
    bool startStream = false;
    bool stopStream = false;
    bool error = false;             // the command was not understood
    bool enterBoot = false;
};

class LoggerModel {
public:
    explicit LoggerModel(const SimConfig& config);

    // Applies one parsed command of normal operation and returns the logger's answer.
    // extraCount: records announced by "@C" beyond those sent (a fault).
    Answer handle(const ParsedCommand& cmd, int extraCount = 0);

    const SimSettings& settings() const { return settings_; }
    const std::vector<std::string>& recordLines() const { return recordLines_; }
    int firstYear() const { return firstYear_; }
    // The logger's clock as "yyyy/mm/dd hh:mm:ss".
    std::string clockText() const;

private:
    Answer download(int extraCount) const;

    SimConfig config_;
    SimSettings settings_;
    std::vector<std::string> recordLines_;
    int firstYear_ = 2024;
    // The clock runs from the last "s" (or the PC clock at start) on the steady clock.
    std::int64_t clockBaseSeconds_ = 0;
    std::chrono::steady_clock::time_point clockSetAt_;
};

} // namespace vexa::sim
