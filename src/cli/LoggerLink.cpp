// The command line's logger link: the port held for the whole run, the session, and the plain loop.
#include "cli/LoggerLink.h"

#include "cli/Arguments.h"
#include "cli/Failure.h"
#include "platform/Console.h"
#include "platform/ShiftJis.h"

#include <algorithm>

namespace vexa::cli {

namespace {
using vexa::session::Clock;

// The session's tick in the window runs four times a second; its time-outs need no finer step.
constexpr auto kTick = std::chrono::milliseconds(250);
// Longest wait for the rest of an answer the session no longer waits for (the greeting's second
// status report) before the next command; a logger answers in well under this.
constexpr auto kQuietLimit = std::chrono::seconds(2);
} // namespace

std::string LoggerSettings::Text(vexa::Shown what) const {
    const auto it = texts.find(what);
    return it == texts.end() ? std::string() : it->second;
}

LoggerLink::LoggerLink(const LoggerPort& port)
    : port_(port), mailbox_(std::make_shared<QueueMailbox>()), session_(heldPort_, *this) {
    com_.SetUiMailbox(mailbox_);
    com_.OnTriggerAvail = [this](TApdCustomComPort&, std::uint16_t) { OnData(); };
    OpenLoggerPort(com_, port_);
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

bool LoggerLink::RunUntil(const std::function<bool()>& done, const std::function<void()>& turn) {
    while (!done()) {
        if (turn) turn();
        if (done()) break;
        if (lost_) return false;
        try {
            mailbox_->PumpUntil([&] { return done() || lost_; }, kTick);
        } catch (const EAPDException&) {
            // A write or read on a device that has just gone away: the unplug, seen from the other side,
            // which the session's tick below takes as the lost link.
            if (!(com_.Open() && com_.DeviceLost())) throw;
        }
        // Notices a device that hung up (frames what it delivered first), and the time-outs.
        session_.Tick(Clock::now());
    }
    return true;
}

void LoggerLink::HeldPort::Open() {
    // As the window's reopening of the port: nothing received while it was closed is an answer.
    if (!link_.closed_) return;
    link_.com_.FlushInBuffer();
    link_.closed_ = false;
}

void LoggerLink::Write(std::string_view bytes) {
    com_.PutString(std::string(bytes));
    // Every command is answered with a "#"; the ACK to an enquiry and the capture's bytes are not commands.
    if (bytes != std::string_view("\x06", 1) && !session_.LinkOwnedExclusively()) ++unanswered_;
    if (onSend) onSend(bytes);
}

std::string LoggerLink::ReadAll() {
    std::string bytes = com_.GetAvailable();
    unanswered_ -= int(std::count(bytes.begin(), bytes.end(), '#'));
    if (unanswered_ < 0) unanswered_ = 0;
    return bytes;
}

void LoggerLink::OnData() {
    if (closed_ || !com_.Open()) {
        // The window's port is closed here: what the logger still sends is not anybody's answer.
        if (com_.Open()) ReadAll();
        return;
    }
    session_.OnDataAvailable(Clock::now());
}

void LoggerLink::WaitQuiet() {
    if (unanswered_ <= 0 || lost_) return;
    const auto deadline = Clock::now() + kQuietLimit;
    RunUntil([&] { return unanswered_ <= 0 || Clock::now() >= deadline; });
}

void LoggerLink::BeginCommand() {
    WaitQuiet();
    if (lost_) FailLost("");
    // As the window's reopening of the port: nothing received before the command is its answer.
    com_.FlushInBuffer();
    unanswered_ = 0;
    closed_ = false;
    exchangeEnded_ = false;
    answerLines_.clear();
}

void LoggerLink::FailLost(const std::string& during) {
    const std::string what = during.empty() ? "" : " during " + during;
    if (unplugged_) throw Failure(kExitLost, "the logger on " + port_.name + " was unplugged" + what);
    throw Failure(kExitLost, "the logger on " + port_.name + " stopped answering" + what + " (nothing for " +
                                 std::to_string(abandonedAfter_) + " s)");
}

// ---- requests ----

void LoggerLink::Greet() {
    BeginCommand();
    // The greeting is over when its answers have ended: the session is linked with nothing awaited.
    session_.RequestConnect(port_.comNumber, Clock::now());
    if (!RunUntil(
            [&] { return session_.LinkUp() && session_.CurrentPhase() == vexa::session::Phase::Linked; }))
        FailLost("the greeting");
}

void LoggerLink::Exchange(const std::string& bytes, const std::string& followUp) {
    BeginCommand();
    std::vector<std::string> followUps;
    if (!followUp.empty()) followUps.push_back(followUp);
    session_.RequestCommand({bytes, followUps}, Clock::now());
    if (!RunUntil([&] { return exchangeEnded_; })) FailLost("the exchange");
}

DownloadOutcome LoggerLink::Download(const std::function<void(long, long)>& progress) {
    BeginCommand();
    progress_ = progress;
    download_.reset();
    session_.RequestDownload("D", State().StartYearText, Clock::now());
    bool interrupted = false;
    RunUntil([&] { return download_.has_value(); },
             [&] {
                 if (!InterruptRequested() || session_.CurrentPhase() != vexa::session::Phase::Download)
                     return;
                 interrupted = true;
                 // Ends the download with every record that arrived, as the "close" button does.
                 session_.RequestClose(Clock::now());
             });
    progress_ = nullptr;
    if (!download_) FailLost("the download");
    DownloadOutcome outcome = std::move(*download_);
    // The session finishes a cut download before it reports the lost link, so its cause is known only now.
    outcome.unplugged = unplugged_;
    outcome.interrupted = interrupted;
    download_.reset();
    return outcome;
}

// ---- what the session reports ----

void LoggerLink::LinkDown(const vexa::session::LinkDownReport& report) {
    lost_ = true;
    unplugged_ = report.reason == vexa::session::LinkLoss::Unplugged;
    abandonedAfter_ = report.silentSeconds;
}

void LoggerLink::WorkAreaLine(std::string_view line) {
    answerLines_.emplace_back(line);
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
    if (progress_ && session_.CurrentPhase() == vexa::session::Phase::Download)
        progress_(value, State().AnnouncedCount);
}

void LoggerLink::DownloadFinished(std::vector<std::string>&& lines,
                                  const vexa::session::DownloadSummary& summary) {
    download_ = DownloadOutcome{std::move(lines), summary, unplugged_};
}

void LoggerLink::AnswerEnded(std::string_view) {
    exchangeEnded_ = true;
}

// ---- the capture's reports, handed to its view ----

void LoggerLink::CaptureStarted() {
    if (captureView_) captureView_->CaptureStarted();
}
void LoggerLink::CaptureProgressShown(int maximum) {
    if (captureView_) captureView_->CaptureProgressShown(maximum);
}
void LoggerLink::CaptureProgress(int position) {
    if (captureView_) captureView_->CaptureProgress(position);
}
void LoggerLink::CaptureProgressHidden() {
    if (captureView_) captureView_->CaptureProgressHidden();
}
void LoggerLink::CaptureWorkAreaLine(std::string line) {
    if (captureView_) captureView_->CaptureWorkAreaLine(std::move(line));
}
void LoggerLink::CaptureOutputBegins() {
    if (captureView_) captureView_->CaptureOutputBegins();
}
void LoggerLink::CaptureWorkAreaLines(std::vector<std::string>& lines) {
    if (captureView_) captureView_->CaptureWorkAreaLines(lines);
}
void LoggerLink::CaptureOutputEnds() {
    if (captureView_) captureView_->CaptureOutputEnds();
}
void LoggerLink::CaptureStepDue() {
    if (captureView_) captureView_->CaptureStepDue();
}
void LoggerLink::CaptureStatus(std::string text) {
    if (captureView_) captureView_->CaptureStatus(std::move(text));
}
std::string LoggerLink::CaptureClockText() {
    return captureView_ ? captureView_->CaptureClockText() : SessionObserver::CaptureClockText();
}

std::unique_ptr<LoggerLink> ConnectToLogger(const Invocation& inv) {
    const auto registry = MakePortRegistry();
    const LoggerPort port =
        FindLoggerPort(*registry, inv.Value("port"), inv.Has("adapter"), SecondsOption(inv, "wait", 5));
    CheckWindowAway(*registry, port);
    return std::make_unique<LoggerLink>(port);
}

} // namespace vexa::cli
