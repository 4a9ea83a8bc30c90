// The one test double of the session's surroundings: a port that records what the session does with it
// and holds the bytes a test lets arrive, and an observer that records what the session reports.
// Session tests, benchmarks and fuzz targets drive whole exchanges through it, without a terminal.
#pragma once

#include "session/FirmwareExchange.h"
#include "session/Session.h"
#include "support/SessionProbe.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::testing {

// A port in memory. Bytes a test lets arrive wait until the session reads them, as at a real port
// (first contact leaves them unread); a closed port takes nothing and holds nothing.
class FakeLinkPort final : public vexa::session::LinkPort {
  public:
    std::string sent;                 // everything written, in order
    std::vector<std::string> writes;  // each write
    std::vector<std::string> actions; // "open", "close", "drain", "select N", in order
    std::string incoming;             // arrived, not read yet
    bool open = false;
    bool lost = false; // the device hung up
    unsigned number = 1;
    // When set, a write of these bytes throws (a port that fails under a command).
    std::optional<std::string> failOn;
    // When set, every write is also logged there as "send:<bytes>", in order with what else is logged.
    std::vector<std::string>* trail = nullptr;

    void Select(unsigned n) override {
        number = n;
        actions.push_back("select " + std::to_string(n));
    }
    unsigned Selected() const override { return number; }
    bool IsOpen() const override { return open; }
    void Open() override {
        if (open) return;
        open = true;
        actions.push_back("open");
    }
    void Close() override {
        if (!open) return;
        open = false;
        incoming.clear();
        actions.push_back("close");
    }
    void Drain() override {
        incoming.clear();
        actions.push_back("drain");
    }
    void Send(std::string_view bytes) override {
        if (failOn && bytes == *failOn) throw std::runtime_error("port gone");
        sent.append(bytes);
        writes.emplace_back(bytes);
        if (trail) trail->push_back("send:" + std::string(bytes));
    }
    std::string ReadAvailable() override { return std::exchange(incoming, std::string()); }
    bool DeviceLost() override { return open && lost; }
};

// Records what the session reports, in order, as short texts, and keeps the data it hands over.
struct SessionRecorder : vexa::session::SessionObserver {
    std::vector<std::string> events;
    std::vector<std::string> workArea;
    std::vector<vexa::StatusReply> replies;
    std::vector<std::string> downloaded; // the download's lines
    vexa::Recording downloadedRecording; // the whole of what it handed over
    std::optional<vexa::session::DownloadSummary> summary;
    std::vector<int> progress;
    std::vector<vexa::session::Phase> phases;
    std::vector<vexa::session::LinkDownReport> linkDowns;
    std::vector<vexa::session::Refusal> refusals;
    std::vector<vexa::session::ReceiveStep> steps;
    std::string lastText;
    // The capture's: its lines, status texts, the progress position, and how the lines went in.
    std::vector<std::string> captureLines;
    std::vector<vexa::Sample> captureSamples; // of every block, in order
    vexa::RecordingHeader captureHeader;      // the first block's
    std::vector<std::string> captureStatus;
    int captureProgress = -1;
    bool captureProgressShown = false;
    bool captureOutputHidden = false; // between OutputBegins and OutputEnds
    int captureLinesWhileShown = 0;   // sample lines that came while the output was not hidden
    int captureSteps = 0;             // writing steps asked for and not yet run
    std::string clockText = "2024/05/01 9:08:09";
    // The update's: shown lines (position, text), status texts, results.
    std::vector<std::pair<int, std::string>> firmwareShown;
    std::vector<std::string> firmwareStatus;
    std::vector<vexa::session::FirmwareResult> firmwareResults;
    // Runs inside a work-area report (a message box that lets the next notification in, say).
    std::function<void(std::string_view)> onWorkAreaLine;

    void PhaseChanged(vexa::session::Phase p) override { phases.push_back(p); }
    void LinkEstablished() override { events.push_back("linked"); }
    void LinkDown(const vexa::session::LinkDownReport& r) override {
        linkDowns.push_back(r);
        events.push_back(std::string("down:") + vexa::session::LinkLossName(r.reason));
    }
    void RequestRefused(vexa::session::Refusal why) override { refusals.push_back(why); }
    void MonitorChanged(bool on) override { events.push_back(on ? "monitor on" : "monitor off"); }
    void ReceiveProgress(vexa::session::ReceiveStep step) override { steps.push_back(step); }
    void WorkAreaLine(std::string_view line) override {
        workArea.emplace_back(line);
        if (onWorkAreaLine) onWorkAreaLine(line);
    }
    void ModelLineReceived(const vexa::ModelLine& m) override {
        events.push_back(m.accepted ? "model" : "not-model");
    }
    void StatusReplyReceived(const vexa::StatusReply& r) override { replies.push_back(r); }
    void MonitorScanned(const vexa::MonitorScan&) override { events.push_back("scan"); }
    void AnswerEnded(std::string_view last) override {
        lastText = last;
        events.push_back("ended");
    }
    void DownloadProgress(int value) override { progress.push_back(value); }
    void DownloadFinished(vexa::Recording&& records, const vexa::session::DownloadSummary& s) override {
        downloaded = records.Lines();
        downloadedRecording = std::move(records);
        summary = s;
        events.push_back("downloaded");
    }

    void CaptureStarted() override { events.push_back("capture started"); }
    void CaptureProgressShown(int maximum) override {
        captureProgressShown = true;
        captureProgress = 0;
        events.push_back("progress max " + std::to_string(maximum));
    }
    void CaptureProgress(int position) override { captureProgress = position; }
    void CaptureProgressHidden() override {
        captureProgressShown = false;
        events.push_back("progress hidden");
    }
    void CaptureWorkAreaLine(std::string line) override { captureLines.push_back(std::move(line)); }
    void CaptureOutputBegins() override {
        captureOutputHidden = true;
        events.push_back("output begins");
    }
    void CaptureWorkAreaLines(vexa::Recording&& block) override {
        const std::vector<std::string>& lines = block.Lines();
        if (!captureOutputHidden) captureLinesWhileShown += int(lines.size());
        captureLines.insert(captureLines.end(), lines.begin(), lines.end());
        captureSamples.insert(captureSamples.end(), block.Samples().begin(), block.Samples().end());
        if (block.header.source == vexa::RecordingSource::Capture) captureHeader = block.header;
    }
    void CaptureOutputEnds() override {
        captureOutputHidden = false;
        events.push_back("output ends");
    }
    void CaptureStepDue() override { ++captureSteps; }
    void CaptureStatus(std::string text) override { captureStatus.push_back(std::move(text)); }
    std::string CaptureClockText() override { return clockText; }

    void FirmwareProgressStart(int lineCount) override {
        events.push_back("start:" + std::to_string(lineCount));
    }
    void FirmwareLine(int position, const std::string& shown) override {
        firmwareShown.emplace_back(position, shown);
    }
    void FirmwareSendingDone() override { events.push_back("done"); }
    void FirmwareStatus(const std::string& text) override { firmwareStatus.push_back(text); }
    void FirmwareEnded(const vexa::session::FirmwareResult& r) override {
        firmwareResults.push_back(r);
        events.push_back("update ended");
    }
};

// A session on the fake port with the recording observer.
struct SessionRig {
    FakeLinkPort port;
    SessionRecorder rec;
    vexa::session::Session session;

    SessionRig() : session(port, rec) {}
    // With a download line table kept from an earlier rig (a fuzzer runs thousands of sessions a second).
    explicit SessionRig(std::vector<std::string> downloadLines)
        : session(port, rec, std::move(downloadLines)) {}
    // Hands the line table back for the next rig, the first `stored` lines cleared.
    std::vector<std::string> TakeLineTable(int stored) {
        std::vector<std::string>& lines = vexa::session::SessionProbe::State(session).DownloadLines;
        for (int i = 0; i < stored && i < vexa::session::kTableEntries; ++i)
            lines[std::size_t(i)].clear();
        return std::move(lines);
    }

    // The logger sends these bytes: one data notification (a closed port takes nothing).
    void Arrive(std::string_view bytes, vexa::session::Clock::time_point now) {
        if (port.open) port.incoming.append(bytes);
        session.OnDataAvailable(now);
    }
    // Runs the writing steps the capture asks for, as the window's event loop would.
    void RunCaptureSteps() {
        for (int guard = 0; rec.captureSteps > 0 && guard < 100000; ++guard) {
            --rec.captureSteps;
            session.CaptureWriteStep();
        }
    }
};

} // namespace vexa::testing
