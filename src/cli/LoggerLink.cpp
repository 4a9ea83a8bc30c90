// The command line's logger link: the port held for the whole run, the session, and the plain loop.
#include "cli/LoggerLink.h"

#include "cli/Arguments.h"
#include "cli/Failure.h"
#include "cli/LocalTime.h"
#include "platform/Console.h"
#include "platform/PortRegistry.h"
#include "platform/ShiftJis.h"

#include <clocale>

namespace vexa::cli {

namespace {
using vexa::session::Clock;
using vexa::session::Phase;

// The session's tick in the window runs four times a second; its time-outs need no finer step.
constexpr auto kTick = std::chrono::milliseconds(250);
// The window's discovery timer ticks once a second after an exchange.
constexpr auto kDiscoveryInterval = std::chrono::seconds(1);
// Longest wait for the rest of an answer the session no longer waits for (the greeting's second
// status report) before the next request; a logger answers in well under this.
constexpr auto kQuietLimit = std::chrono::seconds(2);

// A port named with --port stands in the registry the session's discovery reads as the logger's own,
// so the connect and greeting are the window's for it too.
vexa::session::RegistrySnapshot NamedSnapshot(const LoggerPort& port) {
    const std::string com = "COM" + std::to_string(port.comNumber);
    vexa::session::RegistrySnapshot snapshot;
    snapshot.serialComm.emplace_back("\\Device\\VCP0", com);
    snapshot.loggerFriendlyName = "USB Serial Port (" + com + ")";
    snapshot.devicePaths.emplace(port.comNumber, port.devicePath);
    return snapshot;
}
} // namespace

std::string LoggerSettings::Text(vexa::Shown what) const {
    const auto it = texts.find(what);
    return it == texts.end() ? std::string() : it->second;
}

LoggerLink::LoggerLink(const LoggerPort& port, bool adapter, bool named)
    : port_(port), adapter_(adapter), named_(named), mailbox_(std::make_shared<QueueMailbox>()), held_(com_),
      session_(held_, *this) {
    com_.SetUiMailbox(mailbox_);
    com_.OnTriggerAvail = [this](TApdCustomComPort&, std::uint16_t) { OnData(); };
    OpenLoggerPort(com_, port_);
    held_.Select(port_.comNumber);
}

LoggerLink::~LoggerLink() {
    com_.OnTriggerAvail = nullptr;
    try {
        com_.SetOpen(false);
    } catch (...) {
        // Closing a port whose device is gone can fail; there is nothing left to do with it.
    }
}

// ---- the loop ----

bool LoggerLink::Resting() const {
    const Phase phase = session_.CurrentPhase();
    return (phase == Phase::Linked || phase == Phase::Idle) && !session_.WatchdogArmed();
}

bool LoggerLink::RunUntil(const std::function<bool()>& done, const std::function<void()>& turn,
                          bool keepOnLoss) {
    while (!done()) {
        if (turn) turn();
        if (done()) break;
        if (lost_ && !keepOnLoss) return false;
        const auto now = Clock::now();
        try {
            mailbox_->PumpUntil([&] { return done() || (lost_ && !keepOnLoss); }, kTick);
        } catch (const EAPDException&) {
            // A write or read on a device that has just gone away: the session's tick tells the unplug.
            if (!held_.DeviceLost()) throw;
        }
        session_.Tick(Clock::now());
        // The window's discovery runs only while nothing is awaited, and not after the link is lost:
        // the command line does not connect a second time.
        if (!lost_ && session_.LinkUp() && Resting() && now >= nextDiscovery_) Discover();
    }
    return true;
}

void LoggerLink::OnData() {
    // The window's port is closed here: what the logger still sends is nobody's answer.
    if (!held_.IsOpen()) {
        held_.DropInput();
        return;
    }
    session_.OnDataAvailable(Clock::now());
}

vexa::session::TickResult LoggerLink::Discover() {
    nextDiscovery_ = Clock::now() + kDiscoveryInterval;
    vexa::session::RegistrySnapshot snapshot;
    if (named_) {
        snapshot = NamedSnapshot(port_);
    } else {
        snapshot = MakePortRegistry()->Snapshot();
        if (adapter_) chosenPort_ = snapshot.adapterPortName.value_or(chosenPort_);
    }
    vexa::session::TickInput input;
    input.snapshot = &snapshot;
    input.adapterAllowed = adapter_ && !named_;
    input.chosenPort = chosenPort_;
    input.nowText = vexa::cli::NowText();
    input.wallNow = vexa::session::WallClock::now();
    const auto result = session_.DiscoveryTick(input, Clock::now());
    if (!result.search.chosenPort.empty()) chosenPort_ = result.search.chosenPort;
    return result;
}

void LoggerLink::BeforeRequest() {
    if (held_.Unanswered() > 0 && !lost_) {
        const auto deadline = Clock::now() + kQuietLimit;
        RunUntil([&] { return held_.Unanswered() <= 0 || Clock::now() >= deadline; });
    }
    if (lost_) FailLost("");
    // The clock text the request stamps in is the present one, as a tick just before the click.
    Discover();
    refused_ = false;
}

void LoggerLink::AwaitExchange(const std::string& what) {
    if (refused_) throw Failure(kExitOther, "the logger is busy; " + what + " was not sent");
    if (!RunUntil([&] { return Resting(); })) FailLost(what);
}

void LoggerLink::FailLost(const std::string& during) {
    const std::string what = during.empty() ? "" : " during " + during;
    if (unplugged_) throw Failure(kExitLost, "the logger on " + port_.name + " was unplugged" + what);
    throw Failure(kExitLost, "the logger on " + port_.name + " stopped answering" + what + " (nothing for " +
                                 std::to_string(silentSeconds_) + " s)");
}

// ---- requests ----

void LoggerLink::Greet() {
    const auto result = Discover();
    if (!result.connected)
        throw Failure(kExitNoLogger,
                      "the logger on " + port_.name + " is no longer listed as a logger's port");
    // Linked once the logger answered, the greeting's status reports arrived and nothing more is on
    // its way.
    if (!RunUntil([&] { return session_.LinkUp() && Resting() && held_.Unanswered() <= 0; }))
        FailLost("the greeting");
}

LoggerLink::ClockSetting LoggerLink::SetClock() {
    BeforeRequest();
    ClockSetting setting;
    setting.sent = State().NowText;
    const int from = prompts_ + 1; // after the answer to the clock, the answer to "te"
    session_.RequestClockSet(Clock::now());
    AwaitExchange("the clock setting");
    for (const auto& [prompt, line] : answerLines_)
        if (prompt >= from) setting.answer.push_back(line);
    // The "m" the discovery tick sends once it is due, and its answer.
    if (!RunUntil([&] { return !session_.ClockGreetingPending() && Resting(); }))
        FailLost("the greeting after the clock setting");
    return setting;
}

DownloadOutcome LoggerLink::Download(const std::function<void(long, long)>& progress) {
    BeforeRequest();
    progress_ = progress;
    download_.reset();
    session_.RequestDownload("D", State().StartYearText, Clock::now());
    if (refused_) throw Failure(kExitOther, "the logger is busy; the download was not started");
    bool interrupted = false;
    RunUntil([&] { return download_.has_value(); },
             [&] {
                 if (!InterruptRequested() || session_.CurrentPhase() != Phase::Download) return;
                 interrupted = true;
                 // Closing the link finishes the download with every record that arrived.
                 session_.RequestClose(Clock::now());
             });
    progress_ = nullptr;
    if (!download_) FailLost("the download");
    DownloadOutcome outcome = std::move(*download_);
    outcome.interrupted = interrupted;
    // An unplug finishes the download, then reports the link down with its cause.
    outcome.unplugged = unplugged_;
    download_.reset();
    return outcome;
}

CaptureOutcome LoggerLink::Capture(int target, const std::function<void(long, long)>& progress) {
    BeforeRequest();
    capture_ = {};
    progress_ = progress;
    // One monitor sample before the stream, as "5ms" sends it: its line goes into the file and gives
    // the temperature of every sample line. The stream starts once its answer has ended.
    vexa::session::CaptureSettings settings;
    settings.target = target;
    session_.RequestCaptureSample(Clock::now());
    session_.StartCapture(settings, Clock::now());
    if (refused_) throw Failure(kExitOther, "the logger is busy; the capture was not started");
    RunUntil([&] { return !session_.CaptureBusy(); },
             [&] {
                 // As Escape: a streaming capture keeps what arrived, one still waiting to start is
                 // cancelled before its "x".
                 if (InterruptRequested() && !capture_.interrupted &&
                     (session_.Capture().Streaming() || session_.CaptureWaiting())) {
                     capture_.interrupted = true;
                     session_.AbortCapture(Clock::now());
                 }
                 // The window writes the lines in steps between its events.
                 while (stepDue_) {
                     stepDue_ = false;
                     session_.CaptureWriteStep();
                 }
             },
             true);
    progress_ = nullptr;
    return std::move(capture_);
}

// ---- what the session reports ----

void LoggerLink::LinkDown(const vexa::session::LinkDownReport& report) {
    using vexa::session::LinkLoss;
    lost_ = true;
    unplugged_ = report.reason == LinkLoss::Unplugged || report.reason == LinkLoss::PortVanished;
    silentSeconds_ = report.silentSeconds;
}

void LoggerLink::RequestRefused(vexa::session::Refusal) {
    refused_ = true;
}

void LoggerLink::ReceiveProgress(vexa::session::ReceiveStep step) {
    if (step == vexa::session::ReceiveStep::Prompt) ++prompts_;
}

void LoggerLink::WorkAreaLine(std::string_view line) {
    answerLines_.emplace_back(prompts_, ShiftJisToUtf8(line));
}

void LoggerLink::ModelLineReceived(const vexa::ModelLine& model) {
    settings_.modelRefused = !model.accepted;
    for (const vexa::ShownText& shown : vexa::ShownTexts(model))
        settings_.texts[shown.what] = shown.wire ? ShiftJisToUtf8(shown.text) : shown.text;
}

void LoggerLink::StatusReplyReceived(const vexa::StatusReply& reply) {
    for (const vexa::ShownText& shown : vexa::ShownTexts(reply))
        settings_.texts[shown.what] = shown.wire ? ShiftJisToUtf8(shown.text) : shown.text;
    if (const auto* count = std::get_if<vexa::CountReply>(&reply)) settings_.records = count->recordCount;
}

void LoggerLink::DownloadProgress(int value) {
    // While the records arrive: the count stored so far (the countdown while decoding is not shown).
    if (progress_ && session_.CurrentPhase() == Phase::Download) progress_(value, State().AnnouncedCount);
}

void LoggerLink::DownloadFinished(vexa::Recording&& records, const vexa::session::DownloadSummary& summary) {
    download_ = DownloadOutcome{std::move(records), summary};
}

void LoggerLink::CaptureProgressShown(int maximum) {
    captureMaximum_ = maximum;
}

void LoggerLink::CaptureProgress(int position) {
    // The samples as they stream; the writing of their lines afterwards takes no time worth a bar.
    if (progress_ && session_.Capture().Streaming())
        progress_(std::min(position, captureMaximum_), captureMaximum_);
}

void LoggerLink::CaptureWorkAreaLine(std::string line) {
    capture_.recording.AddLine(std::move(line));
}

void LoggerLink::CaptureWorkAreaLines(vexa::Recording&& block) {
    capture_.sampleLines += int(block.LineCount());
    capture_.recording.Append(std::move(block));
}

void LoggerLink::CaptureStatus(std::string text) {
    capture_.status = std::move(text);
}

std::string LoggerLink::CaptureClockText() {
    // Only the time formats follow the user's locale; numbers in the output stay as C writes them.
    std::setlocale(LC_TIME, "");
    std::string text = SessionObserver::CaptureClockText();
    std::setlocale(LC_TIME, "C");
    return text;
}

std::unique_ptr<LoggerLink> ConnectToLogger(const Invocation& inv) {
    const auto registry = MakePortRegistry();
    const bool adapter = inv.Has("adapter");
    const LoggerPort port =
        FindLoggerPort(*registry, inv.Value("port"), adapter, SecondsOption(inv, "wait", 5));
    CheckWindowAway(*registry, port);
    return std::make_unique<LoggerLink>(port, adapter, inv.Has("port"));
}

} // namespace vexa::cli
