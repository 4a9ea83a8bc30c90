// What the session reports: facts about the link, the logger's replies, and the progress of a
// download, a capture or a firmware update. The window and the command line render them; neither
// writes the link's state.
#pragma once

#include "protocol/MonitorLine.h"
#include "protocol/StatusReply.h"
#include "recording/Recording.h"

#include <string>
#include <string_view>
#include <vector>

namespace vexa::session {

// What the link is doing. Exactly one at a time; PhaseChanged reports every change.
enum class Phase {
    Idle,     // no logger linked, nothing awaited
    Greeting, // a connect's "m" went out: first contact and the greeting's status reports are awaited
    Linked,   // the logger answered; no answer is awaited
    Exchange, // a command's answer (and its follow-ups) is awaited
    Download, // record lines are arriving
    Capture,  // the 5-ms capture owns the link, from its start until its lines are written
    Firmware, // the firmware update owns the link, from "e" until the logger is back or the update ended
};
const char* PhaseName(Phase phase);

// Why the link went down. Every one of them goes the same way: the running exchange ends (a download
// keeps every complete record), the queue is dropped, the port is closed, and the next finding of the
// logger connects and greets it again.
enum class LinkLoss {
    Unplugged,    // the device hung up under the open port (unplugged, an I/O error, its node gone)
    Silent,       // no byte for the exchange time-out while an answer was awaited
    Closed,       // the user closed the link ("close")
    PortVanished, // the port registry no longer lists the logger's port
    UpdateFailed, // a firmware update ended with the logger in its boot loader or gone
};
const char* LinkLossName(LinkLoss reason);

struct LinkDownReport {
    LinkLoss reason = LinkLoss::Unplugged;
    // Something was running when the link went (else the link was merely up, or already down).
    bool exchangeEnded = false;
    // A download was finished with what had arrived (its DownloadFinished came just before).
    bool downloadCut = false;
    // The monitor was on; it is off now (MonitorChanged came just before).
    bool monitorStopped = false;
    // For Silent: the exchange time-out in seconds.
    int silentSeconds = 0;
};

// Why a request did nothing.
enum class Refusal {
    NoLogger,       // commands are not enabled: no logger is linked
    Busy,           // the command waits for an idle link and an exchange is running
    UpdateRunning,  // a firmware update owns the link
    CaptureRunning, // a 5-ms capture owns the link until its lines are written
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

// How a 5-ms capture's stream ended.
enum class CaptureEnd {
    Complete, // the target's count of records (good or dropped) arrived
    Escaped,  // the user's Escape
    Stalled,  // no record for the stall limit
    TimeUp,   // the duration and its margin passed before the count was reached
    PortLost, // the port went away under it
};

// How a 5-ms capture went, once its lines are written.
struct CaptureSummary {
    int target = 0;   // records asked for
    int received = 0; // records that arrived, good or dropped
    int dropped = 0;  // records that were no sample (see IsCaptureRecord); no line is written for them
    CaptureEnd end = CaptureEnd::Complete;
    bool temperature = true; // a monitor line gave the temperature field
};

// A plain note on everything that fell short in a capture; empty when nothing did.
std::string CaptureStatusText(const CaptureSummary& summary);

// What the receive side did last, in order: the bytes of a reply, a monitor line scanned, the
// logger's "#" ending an answer, a monitor poll sent.
enum class ReceiveStep { ReplyBytes, MonitorLine, Prompt, MonitorPoll };

struct FirmwareResult;

// Every report has an empty default, so a front end overrides only what it shows. The capture's end
// stamp is the one question the session asks; its default is the C library's local date and time.
class SessionObserver {
  public:
    virtual ~SessionObserver() = default;

    // ---- the link ----
    virtual void PhaseChanged(Phase /*phase*/) {}
    // First contact completed (or the link was declared up by hand).
    virtual void LinkEstablished() {}
    // The link went down (see LinkLoss); reported once per loss.
    virtual void LinkDown(const LinkDownReport& /*report*/) {}
    // A request did nothing, and why.
    virtual void RequestRefused(Refusal /*why*/) {}
    // The monitor was switched on or off (by the user, or because the link went down).
    virtual void MonitorChanged(bool /*on*/) {}
    virtual void ReceiveProgress(ReceiveStep /*step*/) {}

    // ---- replies ----
    // A reply line of two or more characters that is not a stored record.
    virtual void WorkAreaLine(std::string_view /*line*/) {}
    virtual void ModelLineReceived(const vexa::ModelLine& /*model*/) {}
    // What the reply carries for the link (counts per G, interval, sampling, record count, detection
    // state...) is already applied when this comes.
    virtual void StatusReplyReceived(const vexa::StatusReply& /*reply*/) {}
    virtual void MonitorScanned(const vexa::MonitorScan& /*scan*/) {}
    // "#" with nothing queued: the exchange is over and the port closed; lastText is what the line
    // buffer held.
    virtual void AnswerEnded(std::string_view /*lastText*/) {}

    // ---- download ----
    // Records stored while they arrive, then the countdown while decoding.
    virtual void DownloadProgress(int /*value*/) {}
    // The decoded records as a recording (its lines: one per record, an irregular record's comment before
    // it; its header: source, start year, counts per G, what the link knows of the logger) and how it
    // went. The start and column lines are the front end's.
    virtual void DownloadFinished(vexa::Recording&& /*records*/, const DownloadSummary& /*summary*/) {}

    // ---- 5-ms capture ----
    // The stream starts: the capture's lines take the work area's place from here.
    virtual void CaptureStarted() {}
    // The progress bar: shown with a maximum at position 0, moved, hidden.
    virtual void CaptureProgressShown(int /*maximum*/) {}
    virtual void CaptureProgress(int /*position*/) {}
    virtual void CaptureProgressHidden() {}
    // One line for the work area.
    virtual void CaptureWorkAreaLine(std::string /*line*/) {}
    // The sample lines come in blocks between these two (tens of thousands of them).
    virtual void CaptureOutputBegins() {}
    // A block of sample lines with their samples; the first block carries the capture's header.
    virtual void CaptureWorkAreaLines(vexa::Recording&& /*block*/) {}
    virtual void CaptureOutputEnds() {}
    // Asks for a call of Session::CaptureWriteStep once the events waiting now have run.
    virtual void CaptureStepDue() {}
    // Text for the status line.
    virtual void CaptureStatus(std::string /*text*/) {}
    // The capture's lines are written; by default its shortfalls go to the status line as plain text.
    virtual void CaptureFinished(const CaptureSummary& summary);
    // The present date and time in the system's short date and time formats (the text after "End=>").
    virtual std::string CaptureClockText();

    // ---- firmware update ----
    // The boot loader is ready: progress range 0..lineCount at position 0.
    virtual void FirmwareProgressStart(int /*lineCount*/) {}
    // A line goes out: progress position, and the text that shows it (the line, then index and count).
    virtual void FirmwareLine(int /*position*/, const std::string& /*shown*/) {}
    // The last line is acknowledged: progress hidden, the image in the work area used up.
    virtual void FirmwareSendingDone() {}
    // What the update is waiting for, for the status line ("" when it is over).
    virtual void FirmwareStatus(const std::string& /*text*/) {}
    // The update is over, one way or another; shown to the user once.
    virtual void FirmwareEnded(const FirmwareResult& /*result*/) {}
};

} // namespace vexa::session
