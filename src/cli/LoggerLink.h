// The command line's side of the logger session: the port, the plain loop that pumps the serial
// layer's delivery and ticks the session, and what the session reports, kept for the subcommands.
#pragma once

#include "cli/LoggerPort.h"
#include "protocol/ShownTexts.h"
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

// What the greeting's status reports said, as the window shows it.
struct LoggerSettings {
    std::map<vexa::Shown, std::string> texts; // the last text of each value (UTF-8)
    std::optional<int> records;               // the record count of "@C"
    bool modelRefused = false;                // the model line did not name a KTZ-770
    std::string Text(vexa::Shown what) const;
};

// A download as it ended: the decoded lines and how it went.
struct DownloadOutcome {
    std::vector<std::string> lines; // Shift-JIS bytes, irregular-record comments included
    vexa::session::DownloadSummary summary;
    bool unplugged = false;   // the port went away (else, when incomplete, the logger fell silent)
    bool interrupted = false; // Ctrl+C ended it (only once CatchInterrupts is on)
};

class LoggerLink : private vexa::session::SessionObserver {
  public:
    // Opens the port (Failure kExitNoLogger when it cannot be had).
    explicit LoggerLink(const LoggerPort& port);
    ~LoggerLink() override;
    LoggerLink(const LoggerLink&) = delete;
    LoggerLink& operator=(const LoggerLink&) = delete;

    const LoggerPort& Port() const { return port_; }
    vexa::session::Session& Session() { return session_; }
    const vexa::session::LinkState& State() const { return session_.State(); }
    const LoggerSettings& Settings() const { return settings_; }

    // Greets the logger as the window does at first contact and waits until its status reports are
    // through. Fails with kExitLost when the logger falls silent or goes away.
    void Greet();
    // Sends a command whose answer (and the queued follow-up, if any) ends the exchange, and waits for
    // that. Fails with kExitLost when the logger falls silent or goes away.
    void Exchange(const std::string& bytes, const std::string& followUp = "");
    // The capture's reports go to this observer while it is set (the window's work area, progress bar
    // and status line, as the command line has them).
    void SetCaptureView(vexa::session::SessionObserver* view) { captureView_ = view; }
    // Before a request of the session's: the answers still under way are let in (and dropped), then the
    // input flushed. Fails with kExitLost once the link is lost.
    void BeginCommand();
    // "D" as "取得" does; progress(stored, announced) while the records arrive. An interrupt (Ctrl+C, once
    // caught) ends it with what arrived, as a silent logger would.
    DownloadOutcome Download(const std::function<void(long, long)>& progress);

    // The plain loop: delivers the serial layer's notifications, ticks the session four times a
    // second, and notices an unplugged port. Returns when done() holds, or false once the link is lost
    // (the logger unplugged, or an exchange abandoned by the session's watchdog).
    // turn, when given, runs once per round of the loop (at least four times a second).
    bool RunUntil(const std::function<bool()>& done, const std::function<void()>& turn = nullptr);
    bool Lost() const { return lost_; }
    bool Unplugged() const { return unplugged_; }
    // Lines the logger answered (two or more characters, not records), since the last Exchange began.
    const std::vector<std::string>& AnswerLines() const { return answerLines_; }
    // Called with each command the session sends (the subcommands watch for their follow-ups).
    std::function<void(std::string_view)> onSend;

  private:
    // The port as the session drives it. The command line keeps the device open for the whole run: a
    // close only drops what arrives until the next command, which the window's reopening would drop.
    class HeldPort final : public vexa::session::LinkPort {
      public:
        explicit HeldPort(LoggerLink& link) : link_(link) {}
        void Select(unsigned portNumber) override { number_ = portNumber; }
        unsigned Selected() const override { return number_; }
        bool IsOpen() const override { return !link_.closed_; }
        void Open() override;
        void Close() override { link_.closed_ = true; }
        void Drain() override { link_.com_.FlushInBuffer(); }
        void Send(std::string_view bytes) override { link_.Write(bytes); }
        std::string ReadAvailable() override { return link_.ReadAll(); }
        bool DeviceLost() override { return link_.com_.Open() && link_.com_.DeviceLost(); }

      private:
        LoggerLink& link_;
        unsigned number_ = 1;
    };

    // SessionObserver
    void LinkDown(const vexa::session::LinkDownReport& report) override;
    void WorkAreaLine(std::string_view line) override;
    void ModelLineReceived(const vexa::ModelLine& model) override;
    void StatusReplyReceived(const vexa::StatusReply& reply) override;
    void MonitorScanned(const vexa::MonitorScan&) override {}
    void DownloadProgress(int value) override;
    void DownloadFinished(std::vector<std::string>&& lines,
                          const vexa::session::DownloadSummary& summary) override;
    void AnswerEnded(std::string_view lastText) override;
    void CaptureStarted() override;
    void CaptureProgressShown(int maximum) override;
    void CaptureProgress(int position) override;
    void CaptureProgressHidden() override;
    void CaptureWorkAreaLine(std::string line) override;
    void CaptureOutputBegins() override;
    void CaptureWorkAreaLines(std::vector<std::string>& lines) override;
    void CaptureOutputEnds() override;
    void CaptureStepDue() override;
    void CaptureStatus(std::string text) override;
    std::string CaptureClockText() override;

    void Write(std::string_view bytes);
    std::string ReadAll();
    void OnData();
    void WaitQuiet();
    [[noreturn]] void FailLost(const std::string& during);

    LoggerPort port_;
    std::shared_ptr<QueueMailbox> mailbox_;
    TApdComPort com_;
    HeldPort heldPort_{*this};
    vexa::session::Session session_;
    vexa::session::SessionObserver* captureView_ = nullptr;
    LoggerSettings settings_;
    // The session ended its exchange ("#" with nothing queued, or abandoned): the window would close the
    // port here. The command line keeps it (and so its hold on the device) and only drops what arrives
    // until the next command, which the window's reopening would have dropped.
    bool closed_ = true;
    bool exchangeEnded_ = false;
    // Commands sent whose closing "#" has not been seen: the greeting's second status report, for one,
    // arrives after the session has ended the exchange.
    int unanswered_ = 0;
    bool lost_ = false, unplugged_ = false;
    int abandonedAfter_ = 0;
    std::vector<std::string> answerLines_;
    std::optional<DownloadOutcome> download_;
    std::function<void(long, long)> progress_;
};

struct Invocation;
// Finds the logger as --port and --wait say, makes sure the window is not using it, and opens it.
std::unique_ptr<LoggerLink> ConnectToLogger(const Invocation& invocation);

} // namespace vexa::cli
