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
    : port_(port), mailbox_(std::make_shared<QueueMailbox>()), session_(*this) {
    com_.SetUiMailbox(mailbox_);
    com_.OnTriggerAvail = [this](TApdCustomComPort& cp, std::uint16_t) { OnData(cp); };
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
            if (com_.Open() && com_.DeviceLost()) PortHungUp();
        } catch (const EAPDException&) {
            // A write or read on a device that has just gone away: the unplug, seen from the other side.
            if (!(com_.Open() && com_.DeviceLost())) throw;
            PortHungUp();
        }
        session_.OnTick(Clock::now());
    }
    return true;
}

void LoggerLink::OnData(TApdCustomComPort& port) {
    auto readAll = [&] {
        std::string bytes = port.GetAvailable();
        unanswered_ -= int(std::count(bytes.begin(), bytes.end(), '#'));
        if (unanswered_ < 0) unanswered_ = 0;
        return bytes;
    };
    if (closed_) {
        // The window's port is closed here: what the logger still sends is not anybody's answer.
        readAll();
        return;
    }
    session_.OnNotification(readAll, Clock::now());
}

void LoggerLink::PortHungUp() {
    const auto now = Clock::now();
    // What the device delivered before it went away is still readable: framed first, so every record
    // that arrived whole is kept.
    if (com_.CharReady()) OnData(com_);
    unplugged_ = true;
    lost_ = true;
    session_.OnPortLost(now);
    com_.SetOpen(false);
    closed_ = true;
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
    session_.RequestContact(Clock::now());
    if (!RunUntil([&] { return session_.GreetingDone(); })) FailLost("the greeting");
}

void LoggerLink::Exchange(const std::string& bytes, const std::string& followUp) {
    BeginCommand();
    session_.EndPendingExchange();
    session_.Send(bytes, Clock::now());
    session_.State().PendingCommand1 = followUp;
    if (!RunUntil([&] { return exchangeEnded_; })) FailLost("the exchange");
}

void LoggerLink::BeginExclusive() {
    BeginCommand();
    session_.EndPendingExchange();
    session_.StopWatchdog();
}

void LoggerLink::SendRaw(std::string_view bytes) {
    if (!com_.Open()) return; // unplugged: nobody is there to hear it
    com_.PutString(std::string(bytes));
}

DownloadOutcome LoggerLink::Download(const std::function<void(long, long)>& progress) {
    BeginCommand();
    session_.EndPendingExchange();
    progress_ = progress;
    download_.reset();
    session_.StartDownload("D", State().StartYearText, Clock::now());
    bool interrupted = false;
    RunUntil([&] { return download_.has_value(); },
             [&] {
                 if (!InterruptRequested() || State().DownloadActive != 1) return;
                 interrupted = true;
                 session_.EndPendingExchange(); // finishes the download with every record that arrived
             });
    progress_ = nullptr;
    if (!download_) FailLost("the download");
    DownloadOutcome outcome = std::move(*download_);
    outcome.interrupted = interrupted;
    download_.reset();
    return outcome;
}

// ---- what the session reports ----

void LoggerLink::SendToLogger(std::string_view bytes) {
    if (closed_) {
        com_.FlushInBuffer();
        closed_ = false;
    }
    com_.PutString(std::string(bytes));
    // Every command is answered with a "#"; the ACK to an enquiry is not a command.
    if (bytes != std::string_view("\x06", 1)) ++unanswered_;
    if (onSend) onSend(bytes);
}

void LoggerLink::ClosePort() {
    closed_ = true;
    exchangeEnded_ = true;
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
    if (progress_ && State().DownloadActive == 1) progress_(value, State().AnnouncedCount);
}

void LoggerLink::DownloadFinished(std::vector<std::string>&& lines,
                                  const vexa::session::DownloadSummary& summary) {
    download_ = DownloadOutcome{std::move(lines), summary, unplugged_};
}

void LoggerLink::AnswerEnded(std::string_view) {}

void LoggerLink::ExchangeAbandoned(bool, int timeoutSeconds) {
    abandonedAfter_ = timeoutSeconds;
    lost_ = true;
}

std::unique_ptr<LoggerLink> ConnectToLogger(const Invocation& inv) {
    const auto registry = MakePortRegistry();
    const LoggerPort port =
        FindLoggerPort(*registry, inv.Value("port"), inv.Has("adapter"), SecondsOption(inv, "wait", 5));
    CheckWindowAway(*registry, port);
    return std::make_unique<LoggerLink>(port);
}

} // namespace vexa::cli
