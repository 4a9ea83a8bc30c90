// The logger session: reply framing, mode selection, the queued follow-up commands, the first-contact
// handshake, the exchange watchdog and the download's bookkeeping, below any window.
#pragma once

#include "protocol/MonitorLine.h"
#include "protocol/StatusReply.h"
#include "session/ExclusiveMode.h"
#include "session/LinkState.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::session {

// What the receive handler is doing, as the window's diagnostic label shows it ("1", "2", ...).
enum class ReceiveStage {
    None,
    Receiving,      // a byte of a reply is being handled
    MonitorScan,    // a monitor line is being scanned
    MonitorScanned, // the scan is done
    AnswerEnded,    // the "#" that ends an answer arrived
    MonitorPolled,  // the tick sent a monitor poll
};

// How a download ended, for the status line and the messages after it.
struct DownloadSummary {
    int lineCount = 0;       // records decoded into lines
    int announcedCount = -1; // what "@C" announced; -1 when no count came
    int droppedRecords = 0;  // records beyond the line table, not stored
    bool irregular = false;  // a record's time did not advance
    bool complete = true;    // false: the logger stopped sending before the closing "#"
};

// "%drec %dsec", followed by a plain note for every way the download fell short.
std::string DownloadStatusText(const DownloadSummary& summary, int elapsedSeconds);

// What the session reports; the window implements it and decides which controls show what.
class SessionObserver {
  public:
    virtual ~SessionObserver() = default;
    // Bytes for the logger. Throws what the port throws; the session's state stays consistent.
    virtual void SendToLogger(std::string_view bytes) = 0;
    // The exchange is over (or abandoned): the port is closed until the next one.
    virtual void ClosePort() = 0;
    // First contact completed (or the link was declared up by hand): show the linked look.
    virtual void LinkEstablished() = 0;
    virtual void StageChanged(ReceiveStage stage) = 0;
    // A reply line of two or more characters that is not a stored record.
    virtual void WorkAreaLine(std::string_view line) = 0;
    virtual void ModelLineReceived(const vexa::ModelLine& model) = 0;
    // State the reply carries (counts per G, interval, sampling, record count...) is already applied.
    virtual void StatusReplyReceived(const vexa::StatusReply& reply) = 0;
    virtual void MonitorScanned(const vexa::MonitorScan& scan) = 0;
    // Progress of a download: records stored while it arrives, then the countdown while decoding.
    virtual void DownloadProgress(int value) = 0;
    // The decoded lines (Shift-JIS bytes, irregular-record comments included) and how it went.
    virtual void DownloadFinished(std::vector<std::string>&& lines, const DownloadSummary& summary) = 0;
    // "#" with nothing queued: the port is already closed; lastText is what the line buffer held.
    virtual void AnswerEnded(std::string_view lastText) = 0;
    // The watchdog ended a silent exchange; downloadCut tells whether a download was finished with it.
    virtual void ExchangeAbandoned(bool downloadCut, int timeoutSeconds) = 0;
};

class Session {
  public:
    explicit Session(SessionObserver& observer);

    LinkState& State() { return state_; }
    const LinkState& State() const { return state_; }

    // The exclusive modes, asked in this order before the normal framing at every notification.
    void SetCaptureMode(ExclusiveMode* mode) { captureMode_ = mode; }
    void SetFirmwareMode(ExclusiveMode* mode) { firmwareMode_ = mode; }
    // The mode that owns the link now, or nullptr.
    ExclusiveMode* ActiveMode() const;

    // ---- receiving ----
    // One data notification. readAll takes every byte the port holds (one call); it is not called at
    // first contact, whose bytes stay unread and are parsed at the next notification.
    void OnNotification(const std::function<std::string()>& readAll, Clock::time_point now);
    // The same with the bytes in hand (tests, benchmarks): bytes left unread are held for the next call.
    void OnBytes(std::string_view block, Clock::time_point now);
    // The session's own tick: the watchdog, or the active mode's time-outs.
    void OnTick(Clock::time_point now);
    // The port is gone (unplugged, I/O error): a running download is finished with what arrived, the
    // queue is dropped and the link is down, so that the next finding connects and greets again.
    void OnPortLost(Clock::time_point now);

    // ---- sending ----
    // Sends bytes that the logger answers; arms the watchdog.
    void Send(std::string_view bytes, Clock::time_point now);
    // A connect request: "m", then the greeting's status requests once the logger answers.
    void RequestContact(Clock::time_point now);
    // The linked state without waiting for the logger (first contact, or the "Hello" button).
    void EnterLinkedState();
    // The tick's monitor poll "n"; its answer is awaited until the next "#".
    void SendMonitorPoll(Clock::time_point now);
    // No answer is awaited any more: its deadline, unread bytes, queue, half line and follow-up flags go.
    void DropPendingAnswer();
    void ClearQueue();
    // A command of the user's starts a new exchange: one still awaiting its answer is ended first, with
    // its queue and its follow-ups, so no stray command reaches the logger and no late reply line of it
    // becomes a record. A download it cuts short keeps what arrived.
    void EndPendingExchange();
    // True once the greeting's answers (the "m" and both status reports) have all ended with "#".
    bool GreetingDone() const { return greetingDone_; }

    // ---- watchdog ----
    void SetExchangeTimeout(Clock::duration timeout) { timeout_ = timeout; }
    Clock::duration ExchangeTimeout() const { return timeout_; }
    bool WatchdogArmed() const { return deadline_.has_value(); }
    void StopWatchdog() { deadline_.reset(); }

    // ---- download ----
    // Sends the request and starts storing record lines; startYearText is the year the header shows.
    void StartDownload(std::string_view request, std::string_view startYearText, Clock::time_point now);
    // Decodes the stored lines (at the closing "#", or cut short when the logger went away).
    void FinishDownload(bool complete);

  private:
    // Frames inbox_ from pos on; true when the exchange ended and the rest is to be dropped.
    bool Frame(size_t& pos, Clock::time_point now);
    void FirstContact(Clock::time_point now);
    void HandleLine();
    void ApplyModelLine(std::string_view line);
    void ApplyStatusReply(std::string_view line);
    void StoreDownloadLine(std::string_view line);
    // Returns true when the exchange is over and the rest of the input is to be dropped.
    bool EndOfAnswer(Clock::time_point now);
    void Abandon();
    void Stage(ReceiveStage stage);

    SessionObserver& observer_;
    LinkState state_;
    ExclusiveMode* captureMode_ = nullptr;
    ExclusiveMode* firmwareMode_ = nullptr;
    Clock::duration timeout_ = std::chrono::seconds(10);
    std::optional<Clock::time_point> deadline_;
    ReceiveStage stage_ = ReceiveStage::None;
    // Bytes taken from the port but not yet framed: a notification that arrives while a message box
    // of this one is open queues here, so bytes are framed in arrival order.
    std::string inbox_;
    bool framing_ = false;
    // Bytes handed to OnBytes that first contact left unread.
    std::string held_;
    int progressShown_ = -1;
    // An exchange that dies before this is set leaves the link to be greeted again at the next tick.
    bool greetingDone_ = false;
};

} // namespace vexa::session
