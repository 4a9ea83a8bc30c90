// The session's requests: what a front end asks for (a command, the link, the monitor, a download), the
// one guard they all pass, and the queue of follow-ups and deferred commands.
#include "session/Session.h"

#include "protocol/ArgumentForms.h"
#include "protocol/CodeTables.h"

#include <algorithm>

namespace vexa::session {

namespace {
// The tick sends at most this many characters of a sequence.
constexpr std::size_t kTickSequenceLimit = 5;
// The monitor's one-shot command holds at most eleven characters.
constexpr std::size_t kMonitorCommandLimit = 11;
// The "m" after a clock setting, once the logger has had time to take the new clock.
constexpr auto kClockGreetingDelay = std::chrono::seconds(12);
} // namespace

Session::Session(LinkPort& port, SessionObserver& observer)
    : port_(port), observer_(observer), capture_(port, observer), firmware_(port, observer) {}

Session::Session(LinkPort& port, SessionObserver& observer, std::vector<std::string> downloadLines)
    : port_(port), observer_(observer), state_(std::move(downloadLines)), capture_(port, observer),
      firmware_(port, observer) {}

// ---- reading ----

bool Session::LinkUp() const {
    return state_.LinkUp == 1;
}
bool Session::CommandsEnabled() const {
    return state_.CommandsEnabled == 1;
}
bool Session::MonitorOn() const {
    return state_.MonitorMode == 1;
}
bool Session::MonitorPollPending() const {
    return pollPending_;
}
bool Session::PortOpen() const {
    return port_.IsOpen();
}

bool Session::LinkOwnedExclusively() const {
    return phase_ == Phase::Capture || phase_ == Phase::Firmware;
}

std::vector<std::string> Session::QueuedFollowUps() const {
    std::vector<std::string> out;
    for (const Queued& q : queue_)
        if (q.kind == Queued::Kind::FollowUp) out.push_back(q.bytes);
    return out;
}

bool Session::Has(Queued::Kind kind) const {
    return std::any_of(queue_.begin(), queue_.end(), [kind](const Queued& q) { return q.kind == kind; });
}

void Session::Remove(Queued::Kind kind) {
    queue_.erase(
        std::remove_if(queue_.begin(), queue_.end(), [kind](const Queued& q) { return q.kind == kind; }),
        queue_.end());
}

bool Session::TickSequencePending() const {
    return Has(Queued::Kind::TickCharacter);
}
bool Session::ClockGreetingPending() const {
    return Has(Queued::Kind::ClockGreeting);
}
std::optional<WallClock::time_point> Session::ClockGreetingDue() const {
    for (const Queued& q : queue_)
        if (q.kind == Queued::Kind::ClockGreeting) return q.due;
    return std::nullopt;
}

bool Session::StatusRefreshPending() const {
    return Has(Queued::Kind::StatusRefresh);
}

std::string Session::MonitorCommand() const {
    for (const Queued& q : queue_)
        if (q.kind == Queued::Kind::MonitorCommand) return q.bytes;
    return {};
}

// ---- phase and exchange ----

void Session::SetPhase(Phase phase) {
    if (phase == phase_) return;
    phase_ = phase;
    observer_.PhaseChanged(phase);
}

Phase Session::RestingPhase() const {
    return state_.LinkUp == 1 ? Phase::Linked : Phase::Idle;
}

bool Session::Refused(Guard guard) {
    // While an update or a capture owns the link, nothing but its own bytes may reach the logger.
    std::optional<Refusal> why;
    if (phase_ == Phase::Firmware)
        why = Refusal::UpdateRunning;
    else if (phase_ == Phase::Capture)
        why = Refusal::CaptureRunning;
    else if (guard != Guard::None && state_.CommandsEnabled != 1)
        why = Refusal::NoLogger;
    else if (guard == Guard::Idle && port_.IsOpen())
        why = Refusal::Busy;
    if (!why) return false;
    observer_.RequestRefused(*why);
    return true;
}

void Session::Send(std::string_view bytes, Clock::time_point now) {
    port_.Send(bytes);
    deadline_ = now + timeout_;
    if (phase_ == Phase::Idle || phase_ == Phase::Linked) SetPhase(Phase::Exchange);
}

void Session::DropFollowUps() {
    Remove(Queued::Kind::FollowUp);
}

void Session::DropAnswer() {
    deadline_.reset();
    inbox_.clear();
    DropFollowUps();
    pollPending_ = false;
    sampleRequested_ = false;
    state_.ClearRxLine();
}

void Session::EndPendingAnswer() {
    if (!deadline_) return; // no answer is awaited
    const Phase running = phase_;
    DropAnswer();
    // A greeting cut short is repeated by the next tick once this exchange is over.
    if (running == Phase::Greeting) state_.AutoConnectDone = 0;
    if (running == Phase::Download)
        FinishDownload(false);
    else if (running == Phase::Greeting || running == Phase::Exchange)
        SetPhase(RestingPhase());
}

void Session::AdoptCountsPerG(int countsPerG) {
    state_.CountsPerG = countsPerG;
}

bool Session::ClaimWorkArea() {
    return !Refused(Guard::None);
}

// ---- the link ----

void Session::Connect(unsigned portNumber, Clock::time_point now) {
    // A fresh open, even of the port already open, and nothing received before it.
    port_.Select(portNumber);
    port_.Close();
    port_.Open();
    port_.Drain();
    // Nothing of an earlier exchange follows into the new link.
    DropAnswer();
    state_.LinkUp = 0;
    SetPhase(Phase::Greeting);
    Send("m", now);
    // At the first two prompts: the status requests that fill the window.
    queue_.push_back({Queued::Kind::FollowUp, "p"});
    queue_.push_back({Queued::Kind::FollowUp, "p"});
}

bool Session::RequestConnect(unsigned portNumber, Clock::time_point now) {
    if (Refused(Guard::None)) return false;
    Connect(portNumber, now);
    return true;
}

bool Session::RequestClose(Clock::time_point now) {
    if (Refused(Guard::None)) return false;
    LoseLink(LinkLoss::Closed, now);
    // Closed first, so the renumbering cannot reopen it; it ends on number 3, as it always has.
    for (unsigned n = 0; n <= 3; ++n) {
        port_.Select(n);
        port_.Close();
    }
    return true;
}

bool Session::RequestHello(Clock::time_point now) {
    if (Refused(Guard::None)) return false;
    if (state_.LinkUp == 1) {
        if (state_.CommandsEnabled != 1) return false;
        port_.Open();
        Send("n", now);
        return true;
    }
    // The linked state without an exchange, as at the logger's first contact.
    EnterLinkedState();
    return true;
}

// ---- commands ----

bool Session::RequestCommand(const CommandRequest& request, Clock::time_point now) {
    if (Refused(request.guard)) return false;
    if (request.endsPendingAnswer) EndPendingAnswer();
    port_.Open();
    if (request.drainFirst) port_.Drain();
    Send(request.bytes, now);
    for (const std::string& followUp : request.followUps)
        queue_.push_back({Queued::Kind::FollowUp, followUp});
    return true;
}

bool Session::RequestVersion(Clock::time_point now) {
    if (Refused(Guard::None)) return false;
    pollPending_ = false;
    state_.CommandsEnabled = 1;
    port_.Open();
    Send("p", now);
    return true;
}

bool Session::RequestStandby(Clock::time_point now) {
    if (Refused(Guard::None)) return false;
    EndPendingAnswer();
    port_.Open();
    port_.Send("e");
    port_.Send("p");
    // The close lets the two bytes out first. No answer is awaited, so no watchdog either.
    port_.Close();
    (void)now;
    return true;
}

std::optional<bool> Session::RequestThresholdDetect(Clock::time_point now) {
    if (Refused(Guard::Enabled)) return std::nullopt;
    const bool on = state_.ThresholdDetectOn == 0;
    state_.ThresholdDetectOn = on ? 1 : 0;
    CommandRequest request{on ? "k1" : "k0", {"p"}, Guard::Enabled};
    RequestCommand(request, now);
    return on;
}

bool Session::RequestInterval(std::string_view name, Clock::time_point now) {
    if (Refused(Guard::Idle)) return false;
    state_.IntervalName = std::string(name);
    // A typed text that names no interval has no code: nothing is sent until it does.
    const auto code = vexa::IntervalCodeOfName(state_.IntervalName);
    if (!code) return false;
    return RequestCommand({std::string{'j', *code}, {"p"}, Guard::Idle}, now);
}

bool Session::RequestNextInterval(Clock::time_point now) {
    if (Refused(Guard::None)) return false;
    // From the last minute interval the step wraps to "1min"; from the last seconds interval too, as
    // no code lies past it.
    state_.IntervalIndex = vexa::NextIntervalIndex(state_.IntervalIndex);
    RequestCommand({std::string{'j', state_.IntervalCodes[size_t(state_.IntervalIndex)]}}, now);
    state_.IntervalName = vexa::IntervalNameAt(state_.IntervalIndex);
    return true;
}

bool Session::RequestRange(std::string_view rangeText, Clock::time_point now) {
    if (state_.CommandsEnabled == 1)
        return RequestCommand({std::string(rangeText), {"p"}, Guard::Enabled}, now);
    if (LinkOwnedExclusively()) return !Refused(Guard::None);
    // Without a logger the range only says how many counts make 1 G here.
    state_.CountsPerG = vexa::CountsPerGOfRangeText(std::string(rangeText));
    return false;
}

bool Session::RequestClockSet(Clock::time_point now) {
    if (!RequestCommand({"s" + vexa::DateTimeArgument(state_.NowText), {"te"}}, now)) return false;
    // The tick sends "m" once the logger has had time to take the new clock.
    Remove(Queued::Kind::ClockGreeting);
    queue_.push_back({Queued::Kind::ClockGreeting, "m", lastWallNow_ + kClockGreetingDelay});
    return true;
}

ReservedStart Session::RequestReservedStart(Clock::time_point now) {
    if (Refused(Guard::Enabled)) return ReservedStart::Refused;
    if (state_.ReservationState == 0) {
        // The time is asked for first; confirming it runs the list's choice again.
        state_.ReservationState = 2;
        return ReservedStart::TimeNeeded;
    }
    // Clock, reservation time, wait state and the time request, one answer after the other.
    RequestCommand({"s" + vexa::DateTimeArgument(state_.NowText),
                    {"l" + state_.ReservationTimeText, "f", "t"},
                    Guard::Enabled},
                   now);
    return ReservedStart::Sent;
}

bool Session::ConfirmReservationTime(std::string_view text) {
    state_.ReservationTimeText = std::string(text);
    const bool asked = state_.ReservationState == 2;
    state_.ReservationState = 1;
    return asked;
}

void Session::DropReservationRequest() {
    // The next choice of the list asks for the time again instead of sending one never confirmed.
    if (state_.ReservationState == 2) state_.ReservationState = 0;
}

void Session::QueueTickSequence(std::string_view characters) {
    Remove(Queued::Kind::TickCharacter);
    const std::string_view sent = characters.substr(0, std::min(characters.size(), kTickSequenceLimit));
    for (const char c : sent) {
        if (c == '\0') break;
        queue_.push_back({Queued::Kind::TickCharacter, std::string(1, c)});
    }
}

void Session::QueueMonitorCommand(std::string_view command) {
    Remove(Queued::Kind::MonitorCommand);
    if (command.empty()) return;
    queue_.push_back({Queued::Kind::MonitorCommand,
                      std::string(command.substr(0, std::min(command.size(), kMonitorCommandLimit)))});
}

bool Session::SetMonitor(bool on, Clock::time_point now) {
    (void)now;
    if (Refused(Guard::None)) return false;
    port_.Close();
    if (on == (state_.MonitorMode == 1)) return true;
    state_.MonitorMode = on ? 1 : 0;
    if (!on) {
        // The settings display is refreshed by the next tick.
        Remove(Queued::Kind::StatusRefresh);
        queue_.push_back({Queued::Kind::StatusRefresh, "p"});
    }
    observer_.MonitorChanged(on);
    return true;
}

// ---- download ----

bool Session::RequestDownload(std::string_view request, std::string_view startYearText,
                              Clock::time_point now) {
    if (Refused(Guard::Enabled)) return false;
    // An answer still awaited (a greeting without its "#") must not finish inside this download.
    EndPendingAnswer();
    state_.ClearRxLine();
    state_.StartYearText = std::string(startYearText);
    port_.Open();
    port_.Drain();
    Send(request, now);
    SetPhase(Phase::Download);
    state_.RecordCount = 0;
    state_.AnnouncedCount = -1;
    state_.DroppedRecords = 0;
    progressShown_ = 0;
    return true;
}

} // namespace vexa::session
