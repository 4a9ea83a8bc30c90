// The command line's side of the logger session: the port held for the run, the plain loop that pumps
// the serial layer's delivery and ticks the session, and what the session reports, kept for the
// subcommands. Every byte to the logger goes out through the session's requests, as the window's do.
#pragma once

#include "cli/HeldPort.h"
#include "cli/LoggerPort.h"
#include "protocol/ShownTexts.h"
#include "recording/Recording.h"
#include "serial/QueueMailbox.h"
#include "serial/TApdComPort.h"
#include "session/Session.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vexa::cli {

struct Invocation;

// What the greeting's status reports said, as the window shows it.
struct LoggerSettings {
    std::map<vexa::Shown, std::string> texts; // the last text of each value (UTF-8)
    std::optional<int> records;               // the record count of "@C"
    bool modelRefused = false;                // the model line did not name a KTZ-770
    std::string Text(vexa::Shown what) const;
};

// A download as it ended: the decoded lines and how it went.
struct DownloadOutcome {
    vexa::Recording records; // the decoded records, irregular-record comments included
    vexa::session::DownloadSummary summary;
    bool unplugged = false;   // the port went away (else, when incomplete, the logger fell silent or
                              // the run was interrupted)
    bool interrupted = false; // Ctrl+C ended it (only once CatchInterrupts is on)
};

// A capture as it ended: what the window's work area would hold, and how it went.
struct CaptureOutcome {
    vexa::Recording recording; // start line, monitor line, sample lines with their samples, end line
    int sampleLines = 0;
    std::string status;       // the status line's text at the end ("" when complete)
    bool interrupted = false; // Ctrl+C ended it, as Escape does
};

class LoggerLink : private vexa::session::SessionObserver {
  public:
    // Opens the port (Failure kExitNoLogger when it cannot be had). adapter: the generic adapter may
    // stand for the logger; named: the port was named with --port, so discovery takes it as given.
    LoggerLink(const LoggerPort& port, bool adapter, bool named);
    ~LoggerLink() override;
    LoggerLink(const LoggerLink&) = delete;
    LoggerLink& operator=(const LoggerLink&) = delete;

    const LoggerPort& Port() const { return port_; }
    const vexa::session::LinkState& State() const { return session_.State(); }
    const LoggerSettings& Settings() const { return settings_; }

    // Finds the logger as the window's first discovery tick does, which connects and greets it, and
    // waits until its status reports are through. Fails with kExitLost when it falls silent or goes.
    void Greet();
    // "e": the clock, then "te"; the "m" the discovery tick sends once the logger has had its time.
    struct ClockSetting {
        std::string sent;                // the clock text sent ("yyyy/mm/dd hh:mm:ss")
        std::vector<std::string> answer; // the lines that answered "te": the clock the logger keeps
    };
    ClockSetting SetClock();
    // "D" as "取得" does; progress(stored, announced) while the records arrive. Ctrl+C (once caught)
    // ends it with what arrived, as a silent logger would.
    DownloadOutcome Download(const std::function<void(long, long)>& progress);
    // "5ms": one monitor sample, then samples until target, Ctrl+C, a stall or an unplug; the lines
    // written as the window writes them. progress(received, target) while they stream.
    CaptureOutcome Capture(int target, const std::function<void(long, long)>& progress);

    bool Unplugged() const { return unplugged_; }

  private:
    // SessionObserver
    void LinkDown(const vexa::session::LinkDownReport& report) override;
    void RequestRefused(vexa::session::Refusal why) override;
    void ReceiveProgress(vexa::session::ReceiveStep step) override;
    void WorkAreaLine(std::string_view line) override;
    void ModelLineReceived(const vexa::ModelLine& model) override;
    void StatusReplyReceived(const vexa::StatusReply& reply) override;
    void DownloadProgress(int value) override;
    void DownloadFinished(vexa::Recording&& records, const vexa::session::DownloadSummary& summary) override;
    void CaptureProgressShown(int maximum) override;
    void CaptureProgress(int position) override;
    void CaptureWorkAreaLine(std::string line) override;
    void CaptureWorkAreaLines(vexa::Recording&& block) override;
    void CaptureStepDue() override { stepDue_ = true; }
    void CaptureStatus(std::string text) override;
    std::string CaptureClockText() override;

    // The plain loop: delivers the serial layer's notifications, ticks the session four times a second
    // and its discovery once a second while nothing is awaited (as the window's timers do). Returns
    // when done() holds, or false once the link is lost, unless keepOnLoss (a capture still writes).
    // turn, when given, runs once per round (at least four times a second).
    bool RunUntil(const std::function<bool()>& done, const std::function<void()>& turn = nullptr,
                  bool keepOnLoss = false);
    void OnData();
    vexa::session::TickResult Discover();
    // Before a request: the answers still under way are let in (and dropped), the clock text fresh.
    void BeforeRequest();
    // Waits until the exchange a request began is over.
    void AwaitExchange(const std::string& what);
    bool Resting() const;
    [[noreturn]] void FailLost(const std::string& during);

    LoggerPort port_;
    bool adapter_;
    bool named_;
    std::shared_ptr<QueueMailbox> mailbox_;
    TApdComPort com_;
    HeldPort held_;
    vexa::session::Session session_;
    std::string chosenPort_ = "1"; // the connect text, as the window's discovery keeps it
    vexa::session::Clock::time_point nextDiscovery_{};
    LoggerSettings settings_;
    bool lost_ = false, unplugged_ = false, refused_ = false;
    int silentSeconds_ = 0;
    int prompts_ = 0;                                      // "#"s that ended an answer since the run began
    std::vector<std::pair<int, std::string>> answerLines_; // (prompts_ before it, line)
    std::optional<DownloadOutcome> download_;
    std::function<void(long, long)> progress_;
    CaptureOutcome capture_;
    int captureMaximum_ = 0;
    bool stepDue_ = false;
};

// Finds the logger as --port, --adapter and --wait say, makes sure the window is not using it, and
// opens it.
std::unique_ptr<LoggerLink> ConnectToLogger(const Invocation& invocation);

} // namespace vexa::cli
