// The firmware update's exchange with the logger's boot loader: the ready prompt, one image line per
// acknowledgement, the leave command, each wait bounded so that a silent or lost logger ends the update.
#include "session/FirmwareExchange.h"

#include <algorithm>

namespace vexa::session {

namespace {

// A long list of rejected lines is cut here; the count still says how many there were.
constexpr std::size_t kListedLines = 20;

std::string Seconds(Clock::duration d) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
    return std::to_string(ms) + " ms";
}

} // namespace

FirmwareExchange::FirmwareExchange(LinkPort& port, SessionObserver& observer, Clock::duration answerLimit)
    : port_(port), observer_(observer), answerLimit_(answerLimit) {}

bool FirmwareExchange::Begin(std::vector<std::string> lines, Clock::time_point now) {
    if (phase_ != Phase::Idle || lines.size() < 2) return false;
    lines_ = std::move(lines);
    UpdateActive = 0;
    UpdateLineIndex = 0;
    LineCount = 0;
    lastAcknowledged_ = -1;
    rejected_.clear();
    phase_ = Phase::WaitingReady;
    deadline_ = now + answerLimit_;
    observer_.FirmwareStatus("Update: waiting for the boot loader");
    port_.Send("e");
    return true;
}

void FirmwareExchange::SendLine(Clock::time_point now) {
    const std::string& line = lines_[static_cast<std::size_t>(UpdateLineIndex)];
    // Line 0 is shown alone; every later line with its index and the line count run on behind it.
    std::string shown = line;
    if (UpdateLineIndex > 0) shown += std::to_string(UpdateLineIndex) + std::to_string(LineCount);
    observer_.FirmwareLine(UpdateLineIndex, shown);
    port_.Send(line);
    ++UpdateLineIndex;
    deadline_ = now + answerLimit_;
}

void FirmwareExchange::OnBytes(std::string_view block, Clock::time_point now) {
    if (block.empty()) return;
    switch (phase_) {
    case Phase::Idle:
        return;
    case Phase::WaitingReady: {
        // Bytes before the ready prompt are dropped; bytes after it in the same block came before line 0
        // went out, so they cannot acknowledge it and are dropped too.
        if (block.find('#') == std::string_view::npos) return;
        LineCount = static_cast<int>(lines_.size());
        observer_.FirmwareProgressStart(LineCount);
        observer_.FirmwareStatus("Update: sending the image");
        phase_ = Phase::Sending;
        UpdateLineIndex = 0;
        SendLine(now);
        UpdateActive = 1;
        return;
    }
    case Phase::Sending: {
        // Only the boot loader's answer to a line acknowledges it: "." for a line taken, "!" for one it
        // reports as an error (each "!" is one report). Other bytes (an answer still under way from
        // before the update, noise) do not, so the pacing cannot run ahead of the boot loader.
        const auto errors = static_cast<std::size_t>(std::count(block.begin(), block.end(), '!'));
        if (errors == 0 && block.find('.') == std::string_view::npos) return;
        const int answered = UpdateLineIndex - 1;
        rejected_.insert(rejected_.end(), errors, answered);
        lastAcknowledged_ = answered;
        if (UpdateLineIndex >= LineCount - 1) {
            Finish(now);
            return;
        }
        SendLine(now);
        return;
    }
    case Phase::Leaving:
        // Only a burst that ends with "M" says the logger is back; "M" with more bytes after it is not the
        // end.
        if (block.back() != 'M') return;
        port_.Send("m");
        End(rejected_.empty() ? FirmwareOutcome::Completed : FirmwareOutcome::CompletedWithErrors);
        return;
    }
}

void FirmwareExchange::Finish(Clock::time_point now) {
    observer_.FirmwareSendingDone();
    port_.Send("qs");
    UpdateActive = 0;
    phase_ = Phase::Leaving;
    deadline_ = now + answerLimit_;
    observer_.FirmwareStatus("Update: waiting for the logger to restart");
}

void FirmwareExchange::OnTick(Clock::time_point now) {
    if (phase_ == Phase::Idle || now < deadline_) return;
    switch (phase_) {
    case Phase::WaitingReady:
        End(FirmwareOutcome::NotReady);
        break;
    case Phase::Sending:
        End(FirmwareOutcome::Silent);
        break;
    case Phase::Leaving:
        End(FirmwareOutcome::NoReturn);
        break;
    case Phase::Idle:
        break;
    }
}

void FirmwareExchange::OnPortLost(Clock::time_point now) {
    (void)now;
    if (phase_ == Phase::Idle) return;
    End(FirmwareOutcome::PortLost);
}

void FirmwareExchange::End(FirmwareOutcome outcome) {
    FirmwareResult r;
    r.outcome = outcome;
    r.lineCount = LineCount;
    r.lastSent = phase_ == Phase::Sending || phase_ == Phase::Leaving ? UpdateLineIndex - 1 : -1;
    r.lastAcknowledged = lastAcknowledged_;
    r.rejectedLines = rejected_;
    r.message = Describe(outcome);
    phase_ = Phase::Idle;
    UpdateActive = 0;
    result_ = r;
    observer_.FirmwareStatus("");
    observer_.FirmwareEnded(r);
}

std::string FirmwareExchange::Describe(FirmwareOutcome outcome) const {
    const int sent = UpdateLineIndex;
    const std::string limit = Seconds(answerLimit_);
    const std::string acknowledged =
        lastAcknowledged_ < 0 ? std::string("none") : std::to_string(lastAcknowledged_);
    std::string text;
    switch (outcome) {
    case FirmwareOutcome::Completed:
        text = "Update completed: " + std::to_string(sent) + " lines sent.";
        break;
    case FirmwareOutcome::CompletedWithErrors:
        text = "Update ended: " + std::to_string(sent) +
               " lines sent, but the logger reported errors. If it does not start normally, update it again.";
        break;
    case FirmwareOutcome::NotReady:
        text = "The logger's boot loader did not answer \"e\" with \"#\" within " + limit +
               ". Nothing was sent; the logger still has its old firmware.";
        break;
    case FirmwareOutcome::Silent:
        text = "The logger stopped answering: no acknowledgement of line " + std::to_string(sent - 1) +
               " of " + std::to_string(LineCount) + " within " + limit +
               " (last line acknowledged: " + acknowledged +
               "). The update is incomplete; the logger needs a new update.";
        break;
    case FirmwareOutcome::PortLost:
        if (phase_ == Phase::WaitingReady)
            text = "The logger's port was lost before the update started. Nothing was sent.";
        else if (phase_ == Phase::Leaving)
            text =
                "The logger's port was lost after all " + std::to_string(sent) +
                " lines were sent, before it reported back. If it does not start normally, update it again.";
        else
            text = "The logger's port was lost during the update at line " + std::to_string(sent - 1) +
                   " of " + std::to_string(LineCount) + " (last line acknowledged: " + acknowledged +
                   "). The update is incomplete; the logger needs a new update.";
        break;
    case FirmwareOutcome::NoReturn:
        text = "All " + std::to_string(sent) +
               " lines were sent, but the logger did not report \"M\" within " + limit +
               " of \"qs\". Reconnect it; if it does not start normally, update it again.";
        break;
    }
    if (!rejected_.empty()) {
        // The logger's error reports, gathered: one "err" for the whole update instead of one box per "!".
        text += "\n\nerr: the logger answered \"!\" " + std::to_string(rejected_.size()) +
                (rejected_.size() == 1 ? " time" : " times") + ", to line" +
                (rejected_.size() == 1 ? " " : "s ");
        const std::size_t listed = std::min(rejected_.size(), kListedLines);
        for (std::size_t i = 0; i < listed; ++i)
            text += (i ? ", " : "") + std::to_string(rejected_[i]);
        if (listed < rejected_.size()) text += " and " + std::to_string(rejected_.size() - listed) + " more";
        text += ".";
    }
    return text;
}

} // namespace vexa::session
