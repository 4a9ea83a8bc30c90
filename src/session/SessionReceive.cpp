// The session's receive side: mode selection per notification, the reply framing, first contact, the
// replies the link keeps, the end of an answer, and the download's decoding at its closing "#".
#include "session/Session.h"

#include "protocol/IntegerConversion.h"
#include "recording/DownloadRecording.h"

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

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;
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

void Session::Progress(ReceiveStep step) {
    // The bytes of a reply are told once per run of them, not once per byte.
    if (step == ReceiveStep::ReplyBytes && lastStep_ == step) return;
    lastStep_ = step;
    observer_.ReceiveProgress(step);
}

void Session::OnDataAvailable(Clock::time_point now) {
    // Bytes are arriving: the logger is alive, whatever state the exchange is in.
    if (deadline_) deadline_ = now + timeout_;
    if (ExclusiveMode* mode = ActiveMode()) {
        // The mode keeps its own time-outs.
        deadline_.reset();
        mode->OnBytes(port_.ReadAvailable(), now);
        AfterExclusive(now);
        return;
    }
    if (framing_) {
        // A message box of the running notification let this one in: frame its bytes after the others.
        inbox_ += port_.ReadAvailable();
        return;
    }
    if (state_.LinkUp != 1) {
        // The bytes are left unread: the framing parses them at the next notification.
        FirstContact(now);
        return;
    }
    inbox_ += port_.ReadAvailable();
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
    if (phase_ == Phase::Download && state_.RecordCount != progressShown_) {
        progressShown_ = state_.RecordCount;
        observer_.DownloadProgress(state_.RecordCount);
    }
    // The answer to the capture's "n" has ended: the stream starts.
    if (over && captureArmed_) BeginStreaming(now);
}

bool Session::Frame(size_t& pos, Clock::time_point now) {
    // inbox_ may grow while an observer runs (see OnDataAvailable), so it is indexed, never viewed.
    while (pos < inbox_.size()) {
        Progress(ReceiveStep::ReplyBytes);
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
            port_.Send(std::string_view(&ACK, 1));
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
    Send("m", now);
    EnterLinkedState();
}

void Session::EnterLinkedState() {
    state_.LinkUp = 1;
    pollPending_ = false;
    state_.CommandsEnabled = 1;
    state_.ReservationState = 0;
    // "mm/dd hh:mm" out of "yyyy/mm/dd hh:mm:ss".
    state_.ReservationTimeText = state_.NowText.size() > 5 ? state_.NowText.substr(5, 11) : std::string();
    if (phase_ == Phase::Idle) SetPhase(Phase::Linked);
    observer_.LinkEstablished();
}

void Session::HandleLine() {
    if (state_.MonitorMode == 1) {
        // The lines of one answer accumulate; "#" empties the buffer.
        const vexa::MonitorScan scan = vexa::ScanMonitorLines(state_.RxLineView());
        if (scan.temperatureText) state_.TemperatureText = *scan.temperatureText;
        Progress(ReceiveStep::MonitorLine);
        observer_.MonitorScanned(scan);
        return;
    }
    const std::string_view line = state_.RxLineView();
    bool stored = false;
    if (phase_ == Phase::Download && line.size() >= 4) {
        // Record lines are stored; the "@C" count line is neither a record nor a work-area line.
        if (line[0] != '@') {
            StoreDownloadLine(line);
            stored = true;
        }
    } else if (sampleRequested_) {
        // The answer to the capture's "n" becomes the capture's second line and is not shown: a capture
        // cancelled in its dialog leaves the work area as it was. Only a monitor line gives a temperature.
        if (!sampleLine_ && vexa::ParsesAsMonitorLine(line)) sampleLine_ = std::string(line);
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

void Session::ApplyStatusReply(std::string_view line) {
    const vexa::StatusReply reply = vexa::ParseStatusReply(line);
    LinkState& s = state_;
    const bool downloading = phase_ == Phase::Download;
    std::visit(Overloaded{
                   [&s, downloading](const vexa::CountReply& r) {
                       // During a download RecordCount is the next free table index: the count is kept apart.
                       s.AnnouncedCount = r.recordCount;
                       if (!downloading) s.RecordCount = r.recordCount;
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
                   [this](const vexa::ThresholdDetectReply& r) {
                       // The logger's detection differs from what it was last told: the reported state
                       // is sent back, then "p", once this answer has ended (as a click on the box
                       // would). Without commands enabled the state stays what the logger was told.
                       if ((state_.ThresholdDetectOn == 1) == r.detectOn || state_.CommandsEnabled != 1)
                           return;
                       state_.ThresholdDetectOn = r.detectOn ? 1 : 0;
                       queue_.push_back({Queued::Kind::FollowUp, r.detectOn ? "k1" : "k0"});
                       queue_.push_back({Queued::Kind::FollowUp, "p"});
                   },
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
    pollPending_ = false;
    Progress(ReceiveStep::Prompt);
    // Only one queued command goes out per "#", the first follow-up in the queue.
    const auto next = std::find_if(queue_.begin(), queue_.end(),
                                   [](const Queued& q) { return q.kind == Queued::Kind::FollowUp; });
    if (next != queue_.end()) {
        const std::string command = std::move(next->bytes);
        queue_.erase(next);
        Send(command, now);
        return false;
    }
    // Nothing queued: the exchange is over.
    deadline_.reset();
    sampleRequested_ = false;
    // The capture's "n" has been answered: the port stays open for the stream that follows.
    if (!captureArmed_) port_.Close();
    state_.RxLineLen = 0;
    if (phase_ == Phase::Download) FinishDownload(true);
    const std::string last(state_.RxLineText());
    state_.RxLine[0] = '\0';
    if (phase_ != Phase::Capture) SetPhase(RestingPhase());
    observer_.AnswerEnded(last);
    return true;
}

void Session::FinishDownload(bool complete) {
    LinkState& s = state_;
    if (phase_ == Phase::Download) SetPhase(RestingPhase());
    s.BaseYear = vexa::LenientToInt(s.StartYearText);
    vexa::ResetDecoderForDownload(s.Decoder);
    s.Decoder.BaseYear = s.BaseYear;
    s.Decoder.ExtraDigitMode = s.ExtraDigitMode;

    vexa::Recording records;
    records.header.source = vexa::RecordingSource::Download;
    records.header.startText = s.StartYearText;
    records.header.startYear = s.BaseYear;
    records.header.countsPerG = s.CountsPerG;
    records.header.device.firmware = s.FirmwareVersionText.Str();
    records.header.device.interval = s.IntervalName;
    records.Reserve(size_t(s.RecordCount) + 16, size_t(s.RecordCount),
                    size_t(s.RecordCount) * vexa::kDecodedLineBytes);
    for (int k = 0; k < s.RecordCount; ++k) {
        vexa::AppendDecodedRecord(s.Decoder, s.DownloadLines[size_t(k)], records);
        const int p = s.RecordCount + 2 - k;
        if (p % 100 == 0 || p == 0) observer_.DownloadProgress(p);
    }
    s.BaseYear = s.Decoder.BaseYear;
    if (s.RecordCount > 0) {
        // The line buffer shows the last decoded line afterwards.
        const std::string_view last = records.Line(records.LineCount() - 1);
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
    observer_.DownloadFinished(std::move(records), summary);
}

} // namespace vexa::session
