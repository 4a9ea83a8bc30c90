// The logger session: everything the logger sends is framed here, and everything that follows from it.
#include "session/Session.h"

#include "protocol/IntegerConversion.h"
#include "protocol/LineBuffer.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vexa::session {

namespace {
constexpr char ENQ = 0x05;
constexpr char ACK = 0x06;
// The bytes the framing acts on; every other byte is a character of the line.
constexpr std::array<bool, 256> kControlByte = [] {
    std::array<bool, 256> table{};
    for (char c : {ENQ, '\r', '!', '?', '\n', '#'})
        table[static_cast<unsigned char>(c)] = true;
    return table;
}();
} // namespace

std::string DownloadStatusText(const DownloadSummary& s, int elapsedSeconds) {
    std::string text = std::to_string(s.lineCount) + "rec " + std::to_string(elapsedSeconds) + "sec";
    if (s.announcedCount >= 0 && s.announcedCount != s.lineCount + s.droppedRecords)
        text += " (the logger announced " + std::to_string(s.announcedCount) + " records)";
    if (s.droppedRecords > 0)
        text += " (" + std::to_string(s.droppedRecords) + " records beyond the table dropped)";
    if (!s.complete) text += " - download incomplete: the logger stopped sending";
    return text;
}

Session::Session(SessionObserver& observer) : observer_(observer) {}

Session::Session(SessionObserver& observer, std::vector<std::string> downloadLines)
    : observer_(observer), state_(std::move(downloadLines)) {}

ExclusiveMode* Session::ActiveMode() const {
    if (captureMode_ && captureMode_->Active()) return captureMode_;
    if (firmwareMode_ && firmwareMode_->Active()) return firmwareMode_;
    return nullptr;
}

void Session::Stage(ReceiveStage stage) {
    if (stage == stage_) return;
    stage_ = stage;
    observer_.StageChanged(stage);
}

// ---- receiving ----

void Session::OnNotification(const std::function<std::string()>& readAll, Clock::time_point now) {
    // Bytes are arriving: the logger is alive, whatever state the exchange is in.
    if (deadline_) deadline_ = now + timeout_;
    if (ExclusiveMode* mode = ActiveMode()) {
        // The mode keeps its own time-outs.
        deadline_.reset();
        mode->OnBytes(readAll(), now);
        return;
    }
    if (framing_) {
        // A message box of the running notification let this one in: frame its bytes after the others.
        inbox_ += readAll();
        return;
    }
    if (state_.LinkUp != 1) {
        FirstContact(now);
        return;
    }
    inbox_ += readAll();
    framing_ = true;
    size_t pos = 0;
    bool over = false;
    try {
        over = Frame(pos, now);
    } catch (...) {
        // The port failed under a reply (an ACK, a queued command): what was not framed yet stays for
        // the next notification.
        inbox_.erase(0, pos);
        framing_ = false;
        throw;
    }
    // Once the exchange is over the port is closed and whatever followed the "#" is gone with it.
    if (over)
        inbox_.clear();
    else
        inbox_.erase(0, pos);
    framing_ = false;
    if (state_.DownloadActive == 1 && state_.RecordCount != progressShown_) {
        progressShown_ = state_.RecordCount;
        observer_.DownloadProgress(state_.RecordCount);
    }
}

void Session::OnBytes(std::string_view block, Clock::time_point now) {
    held_.append(block);
    OnNotification([this] { return std::exchange(held_, std::string()); }, now);
}

bool Session::Frame(size_t& pos, Clock::time_point now) {
    // inbox_ may grow while an observer runs (see OnNotification), so it is indexed, never viewed.
    while (pos < inbox_.size()) {
        Stage(ReceiveStage::Receiving);
        // Most bytes are plain line characters: take the whole run up to the next control byte at once.
        size_t run = pos;
        while (run < inbox_.size() && !kControlByte[static_cast<unsigned char>(inbox_[run])])
            ++run;
        if (run > pos) {
            const size_t room = size_t(kRxLineCapacity - state_.RxLineLen);
            // A line longer than the buffer keeps its first 127 characters; the rest of it is dropped
            // up to its line end.
            const size_t n = std::min(run - pos, room);
            std::copy_n(inbox_.data() + pos, n, state_.RxLine.data() + state_.RxLineLen);
            state_.RxLineLen += int(n);
            state_.RxLine[size_t(state_.RxLineLen)] = '\0';
            pos = run;
            continue;
        }
        const char c = inbox_[pos++];
        switch (c) {
        case ENQ:
            observer_.SendToLogger(std::string_view(&ACK, 1));
            break;
        case '\r':
        case '!':
        case '?':
            break;
        case '\n':
            state_.RxLine[size_t(state_.RxLineLen)] = '\0';
            HandleLine();
            break;
        case '#':
            if (EndOfAnswer(now)) return true;
            break;
        default:
            break; // not reached: plain bytes are taken as runs above
        }
    }
    return false;
}

void Session::FirstContact(Clock::time_point now) {
    // The bytes are left unread: the framing parses them at the next notification.
    Send("m", now);
    EnterLinkedState();
}

void Session::EnterLinkedState() {
    state_.LinkUp = 1;
    state_.MonitorPollPending = 0;
    state_.CommandsEnabled = 1;
    state_.ReservationState = 0;
    // "mm/dd hh:mm" out of "yyyy/mm/dd hh:mm:ss".
    state_.ReservationTimeText = state_.NowText.size() > 5 ? state_.NowText.substr(5, 11) : std::string();
    observer_.LinkEstablished();
}

void Session::HandleLine() {
    if (state_.MonitorMode == 1) {
        // The lines of one answer accumulate; "#" empties the buffer.
        Stage(ReceiveStage::MonitorScan);
        const vexa::MonitorScan scan = vexa::ScanMonitorLines(state_.RxLineView());
        if (scan.temperatureText) state_.TemperatureText = *scan.temperatureText;
        observer_.MonitorScanned(scan);
        Stage(ReceiveStage::MonitorScanned);
        return;
    }
    const std::string_view line = state_.RxLineView();
    bool stored = false;
    if (state_.DownloadActive == 1 && line.size() >= 4) {
        // Record lines are stored; the "@C" count line is neither a record nor a work-area line.
        if (line[0] != '@') {
            StoreDownloadLine(line);
            stored = true;
        }
    } else if (line.size() >= 2) {
        observer_.WorkAreaLine(line);
    }
    if (!stored && !line.empty()) {
        if (line[0] == 'K')
            ApplyModelLine(line);
        else if (line[0] == '@')
            ApplyStatusReply(line);
    }
    state_.ClearRxLine();
}

void Session::ApplyModelLine(std::string_view line) {
    const auto model = vexa::ParseModelLine(line);
    if (!model) return;
    if (model->accepted && model->firmwareVersionText) {
        state_.FirmwareVersionText = *model->firmwareVersionText;
        state_.FirmwareVersion = model->firmwareVersion;
    }
    observer_.ModelLineReceived(*model);
}

namespace {
template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;
} // namespace

void Session::ApplyStatusReply(std::string_view line) {
    const vexa::StatusReply reply = vexa::ParseStatusReply(line);
    LinkState& s = state_;
    std::visit(Overloaded{
                   [&s](const vexa::CountReply& r) {
                       // During a download RecordCount is the next free table index: the count is kept apart.
                       s.AnnouncedCount = r.recordCount;
                       if (s.DownloadActive != 1) s.RecordCount = r.recordCount;
                   },
                   [&s](const vexa::IntervalReply& r) {
                       s.IntervalIndex = r.intervalIndex;
                       s.IntervalName = r.intervalName;
                   },
                   [&s](const vexa::SamplingReply& r) { s.ExtraDigitMode = r.sampling.extraDigitMode; },
                   [&s](const vexa::RangeReply& r) {
                       if (r.range) s.CountsPerG = r.range->countsPerG;
                   },
                   [&s](const vexa::TitleRangeReply& r) {
                       if (r.countsPerGIs2) s.CountsPerG = 2;
                   },
                   [&s](const vexa::StartYearReply& r) { s.StartYearText = r.year; },
                   [](const auto&) {},
               },
               reply);
    observer_.StatusReplyReceived(reply);
}

void Session::StoreDownloadLine(std::string_view line) {
    if (state_.RecordCount >= kTableEntries) {
        ++state_.DroppedRecords; // beyond the table: counted and reported, never written past it
        return;
    }
    state_.DownloadLines[size_t(state_.RecordCount)].assign(line);
    ++state_.RecordCount;
}

bool Session::EndOfAnswer(Clock::time_point now) {
    state_.MonitorPollPending = 0;
    Stage(ReceiveStage::AnswerEnded);
    if (state_.GreetOnPrompt == 1) {
        state_.GreetOnPrompt = 0;
        state_.PendingCommand1 = "p";
        state_.PendingCommand2 = "p";
    }
    // Only one queued command goes out per "#", the first non-empty one.
    auto sendQueued = [&](auto& slot) {
        if (slot.Empty()) return false;
        const std::string command = slot.Str();
        slot.Clear();
        Send(command, now);
        return true;
    };
    if (sendQueued(state_.PendingCommand1) || sendQueued(state_.PendingCommand2) ||
        sendQueued(state_.PendingCommand3))
        return false;
    // Nothing queued: the exchange is over.
    deadline_.reset();
    if (state_.LinkUp == 1) greetingDone_ = true;
    observer_.ClosePort();
    state_.RxLineLen = 0;
    if (state_.DownloadActive == 1) FinishDownload(true);
    const std::string last(state_.RxLineText());
    state_.RxLine[0] = '\0';
    observer_.AnswerEnded(last);
    return true;
}

void Session::OnTick(Clock::time_point now) {
    if (ExclusiveMode* mode = ActiveMode()) {
        deadline_.reset();
        mode->OnTick(now);
        return;
    }
    if (deadline_ && now >= *deadline_) Abandon();
}

void Session::Abandon() {
    // The logger went silent in the middle of an exchange (unplugged, or stopped answering). End the
    // exchange so that port discovery runs again and nothing waits forever.
    DropPendingAnswer();
    observer_.ClosePort();
    // Before the greeting's status reports are through the tool knows neither the logger's year nor
    // its settings: the next finding connects and greets again.
    if (state_.LinkUp == 0 || !greetingDone_) state_.AutoConnectDone = 0;
    const bool downloadCut = state_.DownloadActive == 1;
    if (downloadCut) FinishDownload(false); // shows what arrived and says the download is incomplete
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout_).count();
    observer_.ExchangeAbandoned(downloadCut, int(seconds));
}

void Session::OnPortLost(Clock::time_point now) {
    deadline_.reset();
    if (ExclusiveMode* mode = ActiveMode()) {
        mode->OnPortLost(now);
        return;
    }
    // Nothing queued for this logger may reach the next one, and its greeting starts afresh.
    DropPendingAnswer();
    held_.clear();
    state_.LinkUp = 0;
    state_.AutoConnectDone = 0;
    greetingDone_ = false;
    if (state_.DownloadActive == 1) FinishDownload(false); // the logger vanished mid-transfer
}

// ---- sending ----

void Session::Send(std::string_view bytes, Clock::time_point now) {
    observer_.SendToLogger(bytes);
    deadline_ = now + timeout_;
}

void Session::RequestContact(Clock::time_point now) {
    greetingDone_ = false;
    Send("m", now);
    state_.GreetOnPrompt = 1;
    state_.LinkUp = 0;
}

void Session::SendMonitorPoll(Clock::time_point now) {
    Send("n", now);
    state_.MonitorPollPending = 1;
    Stage(ReceiveStage::MonitorPolled);
}

void Session::EndPendingExchange() {
    if (!deadline_) return; // no answer is awaited
    DropPendingAnswer();
    held_.clear();
    // A greeting cut short is repeated by the next tick once this exchange is over.
    if (!greetingDone_) state_.AutoConnectDone = 0;
    if (state_.DownloadActive == 1) FinishDownload(false);
}

void Session::DropPendingAnswer() {
    deadline_.reset();
    inbox_.clear();
    ClearQueue();
    state_.GreetOnPrompt = 0;
    state_.MonitorPollPending = 0;
    state_.ClearRxLine();
}

void Session::ClearQueue() {
    state_.PendingCommand1.Clear();
    state_.PendingCommand2.Clear();
    state_.PendingCommand3.Clear();
}

// ---- download ----

void Session::StartDownload(std::string_view request, std::string_view startYearText, Clock::time_point now) {
    state_.ClearRxLine();
    state_.StartYearText = startYearText;
    Send(request, now);
    state_.DownloadActive = 1;
    state_.RecordCount = 0;
    state_.AnnouncedCount = -1;
    state_.DroppedRecords = 0;
    progressShown_ = 0;
}

void Session::FinishDownload(bool complete) {
    LinkState& s = state_;
    s.DownloadActive = 0;
    s.BaseYear = vexa::LenientToInt(s.StartYearText);
    vexa::ResetDecoderForDownload(s.Decoder);
    s.Decoder.BaseYear = s.BaseYear;
    s.Decoder.ExtraDigitMode = s.ExtraDigitMode;

    std::vector<std::string> out;
    out.reserve(size_t(s.RecordCount) + 16);
    vexa::LineBuffer buffer;
    for (int k = 0; k < s.RecordCount; ++k) {
        buffer.assign(s.DownloadLines[size_t(k)]);
        const vexa::DecodeOutcome outcome = vexa::DecodeNextRecord(s.Decoder, buffer);
        // The comment stands before the record whose own time did not advance (the marked one).
        if (outcome.markedThis) out.emplace_back(vexa::IrregularRecordComment);
        out.emplace_back(buffer.view());
        const int p = s.RecordCount + 2 - k;
        if (p % 100 == 0 || p == 0) observer_.DownloadProgress(p);
    }
    s.BaseYear = s.Decoder.BaseYear;
    if (s.RecordCount > 0) {
        // The line buffer shows the last decoded line afterwards.
        const std::string_view last = buffer.view();
        const size_t n = std::min(last.size(), size_t(kRxLineCapacity));
        std::copy_n(last.begin(), n, s.RxLine.begin());
        s.RxLine[n] = '\0';
    }
    s.LineCount = s.RecordCount;
    s.IrregularFound = s.Decoder.IrregularFound ? 1 : 0;
    DownloadSummary summary;
    summary.lineCount = s.LineCount;
    summary.announcedCount = s.AnnouncedCount;
    summary.droppedRecords = s.DroppedRecords;
    summary.irregular = s.IrregularFound == 1;
    summary.complete = complete;
    observer_.DownloadFinished(std::move(out), summary);
}

} // namespace vexa::session
