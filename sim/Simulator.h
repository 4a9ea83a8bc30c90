// The simulated logger on a pseudo-terminal: a thread that reads the tool's commands and answers them.
#pragma once

#include "sim/SimTypes.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vexa::sim {

class LoggerModel;
class Pty;

// Serialises one answer: lines ended by CR LF and the closing "#", with the requested faults applied.
struct Answer;
std::string RenderAnswer(const Answer& answer, const SimFaults& faults, const std::string& commandName);

class Simulator {
public:
    explicit Simulator(SimConfig config);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Opens the pseudo-terminal, writes the registry file and starts answering. Throws if the pty fails.
    void start();
    // Stops answering, closes the pseudo-terminal and removes the registry file; returns promptly.
    void stop();

    std::string slavePath() const;
    // Every command received, in order (bytes escaped as \xNN); rejected input as "unknown: ..." or
    // "malformed: ...".
    std::vector<std::string> commandLog() const;
    // Every byte received from the tool so far, exactly as it came, whatever the parser made of it.
    std::string receivedBytes() const;
    SimSettings settings() const;
    SimFaults faults() const;
    void setFaults(const SimFaults& faults);
    // True once the logger has been unplugged (hang-up fault, --unplug-after, registry file removed, unplug()).
    bool unplugged() const { return unplugged_.load(); }
    void unplug();
    bool inBootLoader() const { return boot_.load(); }
    // Bytes written to the tool so far; a test adds to it to place a hang-up inside the next answer.
    long bytesSent() const { return bytesSent_.load(); }

private:
    void run();
    void logEntry(const std::string& entry);
    void wake();

    SimConfig config_;
    std::unique_ptr<Pty> pty_;
    std::unique_ptr<LoggerModel> model_;
    mutable std::mutex mutex_; // guards model_ settings, faults_, log_, received_
    SimFaults faults_;
    std::vector<std::string> log_;
    std::string received_;
    std::thread thread_;
    int wakeFd_ = -1;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> unplugRequested_{false};
    std::atomic<bool> unplugged_{false};
    std::atomic<bool> boot_{false};
    std::atomic<long> bytesSent_{0};
    std::chrono::steady_clock::time_point startedAt_;
};

} // namespace vexa::sim
