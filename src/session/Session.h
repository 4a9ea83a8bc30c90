// The logger session, the one owner of the link: it alone drives the port (LinkPort) and writes the
// link's state. Front ends (the window, the command line) call its requests and render what it reports
// (SessionObserver); nothing here needs Qt or an event loop.
#pragma once

#include "protocol/MonitorLine.h"
#include "protocol/StatusReply.h"
#include "session/CaptureExchange.h"
#include "session/ExclusiveMode.h"
#include "session/FirmwareExchange.h"
#include "session/LinkPort.h"
#include "session/LinkState.h"
#include "session/PortSearch.h"
#include "session/SessionObserver.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexa::session {

// Which commands a request may send while the link is in which state.
enum class Guard {
    None,    // always sent
    Enabled, // only while commands are enabled (a logger is linked)
    Idle,    // only while commands are enabled and no exchange is running (the port is closed)
};

// A command of the command set: its bytes, and the follow-ups that go out one at each "#" that ends
// an answer, in order. The exchange is over when an answer ends with nothing left to send.
struct CommandRequest {
    CommandRequest(std::string bytes_, std::vector<std::string> followUps_ = {}, Guard guard_ = Guard::None,
                   bool endsPendingAnswer_ = true, bool drainFirst_ = false)
        : bytes(std::move(bytes_)), followUps(std::move(followUps_)), guard(guard_),
          endsPendingAnswer(endsPendingAnswer_), drainFirst(drainFirst_) {}
    std::string bytes;
    std::vector<std::string> followUps;
    Guard guard = Guard::None;
    // A command of the user's ends an answer still awaited first, with its queue, so nothing of that
    // exchange reaches the logger after it. A few one-byte buttons send into whatever runs instead.
    bool endsPendingAnswer = true;
    // Received bytes still waiting are discarded just before the send.
    bool drainFirst = false;
};

// The PC's wall clock (the deadline of the "m" after a clock setting is kept on it).
using WallClock = std::chrono::system_clock;

// What one discovery tick is given.
struct TickInput {
    const RegistrySnapshot* snapshot = nullptr; // one read of the port registry
    bool adapterAllowed = false;                // the generic adapter may stand for the logger
    std::string chosenPort;                     // the connect text as it stands ("COM3", "No Port"...)
    std::string nowText;                        // "yyyy/mm/dd hh:mm:ss", stamped into commands
    WallClock::time_point wallNow{};            // the same moment on the wall clock
};

// What one discovery tick did, for the front end to show.
struct TickResult {
    enum class End {
        ClockGreeting,    // the "m" after a clock setting went out; the tick ended there
        Absent,           // no port of the virtual COM driver at all: the link is down
        NameTooLong,      // the logger's friendly name is unusable; the tick ended there
        NotFound,         // ports exist, none is the logger's: the link is down
        UnusablePortName, // the logger's port name has no port number; nothing was opened
        AwaitingContact,  // connected (now or earlier); the logger has not answered yet
        Linked,           // linked; the deferred commands due were sent
        Busy,             // an update or a capture owns the link: the tick touched nothing
    } end = End::Busy;
    PortSearch search;      // the registry search (not for ClockGreeting and Busy)
    bool connected = false; // this tick connected to the found port and sent the greeting
};

// The 5-ms capture the user asked for.
struct CaptureSettings {
    int target = 0;        // samples: seconds x 200
    std::string startText; // "yyyy/mm/dd hh:mm:ss" of the start; empty: the last discovery tick's clock
};

// The outcome of the "予約開始" start mode.
enum class ReservedStart {
    TimeNeeded, // no reservation time yet: the front end shows the reservation window; nothing sent
    Sent,       // clock, reservation time, wait command and time request queued one after the other
    Refused,    // not sent (see RequestRefused)
};

class Session {
  public:
    // The session drives the port alone; the observer renders what it reports.
    Session(LinkPort& port, SessionObserver& observer);
    // The same with a download line table kept from an earlier session (see LinkState).
    Session(LinkPort& port, SessionObserver& observer, std::vector<std::string> downloadLines);

    // ---- reading the link (the front ends never write it) ----
    const LinkState& State() const { return state_; }
    Phase CurrentPhase() const { return phase_; }
    // The logger has answered since the last connect (first contact made, or "Hello").
    bool LinkUp() const;
    bool CommandsEnabled() const;
    bool MonitorOn() const;
    // A monitor poll went out and its "#" has not come.
    bool MonitorPollPending() const;
    // Commands that go out one at each "#", in order, and the deferred commands of the tick.
    std::vector<std::string> QueuedFollowUps() const;
    bool TickSequencePending() const;
    bool ClockGreetingPending() const;
    // When the "m" after a clock setting is due (nothing when none is).
    std::optional<WallClock::time_point> ClockGreetingDue() const;
    bool StatusRefreshPending() const;
    std::string MonitorCommand() const;
    // The port is open (an exchange is running, or the port was opened for one).
    bool PortOpen() const;
    // An update or a capture owns the link: every request that would touch the port is refused.
    bool LinkOwnedExclusively() const;

    // ---- notifications and time ----
    // Bytes are available at the port: the session reads them (or, at first contact, leaves them for
    // the next notification).
    void OnDataAvailable(Clock::time_point now);
    // The session's own tick, four times a second at least, also while the front end's discovery is
    // stopped: the watchdog, the modes' time-outs, and a port whose device hung up.
    void Tick(Clock::time_point now);
    // One pass of port discovery (the front end's Timer1): closes the port between exchanges, finds the
    // logger, connects once, and sends the deferred commands that are due.
    TickResult DiscoveryTick(const TickInput& input, Clock::time_point now);

    // ---- the link ----
    // Connects to port n: a fresh open, waiting input discarded, "m", the greeting's two "p" queued.
    bool RequestConnect(unsigned portNumber, Clock::time_point now);
    // Closes the link: one of the ways it goes down (LinkLoss::Closed).
    bool RequestClose(Clock::time_point now);
    // "Hello": "n" while linked and enabled; otherwise the linked state without any exchange.
    bool RequestHello(Clock::time_point now);

    // ---- commands ----
    bool RequestCommand(const CommandRequest& request, Clock::time_point now);
    // "VER": commands enabled, the monitor's pending poll forgotten, "p" sent into whatever runs.
    bool RequestVersion(Clock::time_point now);
    // "S": "e" and "p", then the port is closed; no answer is awaited.
    bool RequestStandby(Clock::time_point now);
    // The threshold-detection box: the other state is sent ("k1"/"k0", then "p"). The state the box
    // shows afterwards, or nothing when refused.
    std::optional<bool> RequestThresholdDetect(Clock::time_point now);
    // The interval list: its text becomes the interval name; a name with a code is sent ("j" + code,
    // then "p"). False when refused or when the name has no code.
    bool RequestInterval(std::string_view name, Clock::time_point now);
    // "10min": the next interval of the table is sent.
    bool RequestNextInterval(Clock::time_point now);
    // The range list: sent (then "p") while commands are enabled, else its counts per G taken locally.
    bool RequestRange(std::string_view rangeText, Clock::time_point now);
    // "e": the clock ("s" + date-time, then "te"), and "m" at the first tick 12 s after the last one.
    bool RequestClockSet(Clock::time_point now);
    // "予約開始".
    ReservedStart RequestReservedStart(Clock::time_point now);
    // The reservation window confirmed a time ("mm/dd hh:mm"). True when the start-mode list had asked
    // for it: the front end then runs the list's choice again.
    bool ConfirmReservationTime(std::string_view text);
    // The reservation window was closed without a time: the list's request is dropped.
    void DropReservationRequest();
    // Characters sent one per linked tick while the monitor is off, at most five.
    void QueueTickSequence(std::string_view characters);
    // A command the monitor's next tick sends instead of its poll.
    void QueueMonitorCommand(std::string_view command);
    // The monitor on or off: the tick polls with "n" while it is on; switching it off leaves a status
    // refresh ("p") to the next tick.
    bool SetMonitor(bool on, Clock::time_point now);

    // ---- download ----
    // "取得" family: waiting input discarded, the request sent, record lines stored until the "#".
    bool RequestDownload(std::string_view request, std::string_view startYearText, Clock::time_point now);

    // ---- 5-ms capture ----
    // "n" for the monitor line the capture keeps (sent before the duration is asked for).
    bool RequestCaptureSample(Clock::time_point now);
    // Starts the capture once that answer has ended: waiting input discarded, "x", samples until the
    // target, a stall, a lost port or AbortCapture; then the lines in steps (CaptureStepDue).
    bool StartCapture(const CaptureSettings& settings, Clock::time_point now);
    // Escape: a streaming capture ends with what has arrived; one still waiting for the answer to its
    // "n" is cancelled before anything is sent for it.
    void AbortCapture(Clock::time_point now);
    // Writes the next block of sample lines; false once the capture is complete.
    bool CaptureWriteStep();
    // A capture is waiting for its answer, streaming, or writing its lines.
    bool CaptureBusy() const;
    // A capture was asked for and waits for the answer to its "n" before it sends "x".
    bool CaptureWaiting() const { return captureArmed_; }

    // ---- firmware update ----
    // "Start": the boot loader's entry sequence (ETX ACK ETX ACK ETX); no answer is awaited.
    bool RequestBootLoaderEntry(Clock::time_point now);
    // "Update": "e", the image lines one per acknowledgement (the last line is not sent), "qs", "m".
    bool StartFirmwareUpdate(std::vector<std::string> lines, Clock::time_point now);
    // The update's state, for the front end's controls.
    const FirmwareExchange& Firmware() const { return firmware_; }
    const CaptureExchange& Capture() const { return capture_; }

    // ---- the work area's counts per G ----
    // "グラフ" reads the counts per G from the work area's start line; the link takes it as its own, so the
    // graph and the next download's start line use it.
    void AdoptCountsPerG(int countsPerG);

    // ---- the work area ----
    // A front end is about to replace the work area ("FILE"): refused while an update or a capture
    // owns it.
    bool ClaimWorkArea();

    // ---- watchdog ----
    // No byte for this long while an answer is awaited loses the link (LinkLoss::Silent).
    void SetExchangeTimeout(Clock::duration timeout) { timeout_ = timeout; }
    Clock::duration ExchangeTimeout() const { return timeout_; }
    bool WatchdogArmed() const { return deadline_.has_value(); }

  private:
    friend struct SessionProbe; // test setup only (tests/support/SessionProbe.h)

    // What is queued, in order. Follow-ups go out one at each "#" that ends an answer; the others are
    // the discovery tick's: the status refresh after the monitor, the characters of a tick sequence,
    // the monitor's one-shot command, and the "m" due after a clock setting.
    struct Queued {
        enum class Kind { FollowUp, StatusRefresh, TickCharacter, MonitorCommand, ClockGreeting } kind;
        std::string bytes;
        WallClock::time_point due{};
    };

    // ---- receiving (SessionReceive.cpp) ----
    // Frames inbox_ from pos on; true when the exchange ended and the rest is to be dropped.
    bool Frame(size_t& pos, Clock::time_point now);
    void FirstContact(Clock::time_point now);
    void EnterLinkedState();
    void HandleLine();
    void ApplyModelLine(std::string_view line);
    void ApplyStatusReply(std::string_view line);
    void StoreDownloadLine(std::string_view line);
    // Returns true when the exchange is over and the rest of the input is to be dropped.
    bool EndOfAnswer(Clock::time_point now);
    void Progress(ReceiveStep step);
    void FinishDownload(bool complete);

    // ---- exchanges (SessionRequests.cpp) ----
    // The one guard of every request that touches the port: an update or a capture owns the link, or
    // the command's own guard is not met. Reports the refusal.
    bool Refused(Guard guard);
    // Bytes whose answer is awaited: the watchdog is armed and, unless something runs, an exchange
    // begins.
    void Send(std::string_view bytes, Clock::time_point now);
    // A new exchange replaces an answer still awaited: its queue, its unread bytes and its half line go;
    // a download it cuts short keeps what arrived; a greeting cut short is repeated by the next tick.
    void EndPendingAnswer();
    // No answer is awaited any more.
    void DropAnswer();
    void DropFollowUps();
    void SetPhase(Phase phase);
    // The phase when nothing runs.
    Phase RestingPhase() const;
    bool Has(Queued::Kind kind) const;
    void Remove(Queued::Kind kind);
    void Connect(unsigned portNumber, Clock::time_point now);

    // ---- the lost link (SessionLinkLoss.cpp) ----
    void LoseLink(LinkLoss reason, Clock::time_point now);

    // ---- capture and update (SessionExclusive.cpp) ----
    ExclusiveMode* ActiveMode();
    void BeginStreaming(Clock::time_point now);
    // The capture or the update may have ended: the phase follows, and a failed update loses the link.
    void AfterExclusive(Clock::time_point now);

    LinkPort& port_;
    SessionObserver& observer_;
    LinkState state_;
    Phase phase_ = Phase::Idle;
    std::deque<Queued> queue_;
    Clock::duration timeout_ = std::chrono::seconds(10);
    std::optional<Clock::time_point> deadline_;
    std::optional<ReceiveStep> lastStep_;
    // Bytes taken from the port but not yet framed: a notification that arrives while a message box
    // of this one is open queues here, so bytes are framed in arrival order.
    std::string inbox_;
    bool framing_ = false;
    int progressShown_ = -1;
    // A monitor poll went out; its "#" clears it.
    bool pollPending_ = false;
    // The wall-clock moment of the last discovery tick (a clock setting's "m" is due 12 s after it).
    WallClock::time_point lastWallNow_{};
    // The capture asked for: armed until the answer to its "n" has ended (or a second has passed).
    bool captureArmed_ = false;
    int captureTarget_ = 0;
    std::string captureStartText_;
    Clock::time_point captureArmedAt_{};
    // The first line that answered the capture's "n", kept for the capture's second line.
    bool sampleRequested_ = false;
    std::optional<std::string> sampleLine_;
    bool losingLink_ = false;
    CaptureExchange capture_;
    FirmwareExchange firmware_;
};

} // namespace vexa::session
