// Fuzz target: the session's reply framing fed with byte blocks as the port delivers them, between the
// things the window does (connect, download, monitor, commands, ticks, a lost port). Checks the bounds:
// the line buffer, the record table and the decoded lines never go past their sizes.
#include "session/Session.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using vexa::session::Clock;
using vexa::session::kRxLineCapacity;
using vexa::session::kTableEntries;

struct Observer : vexa::session::SessionObserver {
    const vexa::session::LinkState* state = nullptr;
    void SendToLogger(std::string_view bytes) override { FUZZ_CHECK(!bytes.empty()); }
    void ClosePort() override {}
    void LinkEstablished() override {}
    void StageChanged(vexa::session::ReceiveStage) override {}
    void WorkAreaLine(std::string_view line) override {
        FUZZ_CHECK(line.size() >= 2 && line.size() <= std::size_t(kRxLineCapacity));
    }
    void ModelLineReceived(const vexa::ModelLine&) override {}
    void StatusReplyReceived(const vexa::StatusReply&) override {}
    void MonitorScanned(const vexa::MonitorScan& scan) override {
        if (scan.x && scan.x->barPosition)
            FUZZ_CHECK(*scan.x->barPosition >= 0 && *scan.x->barPosition <= 40);
    }
    void DownloadProgress(int value) override { FUZZ_CHECK(value >= 0 && value <= kTableEntries + 2); }
    void DownloadFinished(std::vector<std::string>&& lines,
                          const vexa::session::DownloadSummary& summary) override {
        FUZZ_CHECK(summary.lineCount >= 0 && summary.lineCount <= kTableEntries);
        FUZZ_CHECK(summary.droppedRecords >= 0);
        // One line per record, and at most one comment before each.
        FUZZ_CHECK(lines.size() >= std::size_t(summary.lineCount) &&
                   lines.size() <= 2 * std::size_t(summary.lineCount));
        for (const auto& line : lines)
            FUZZ_CHECK(line.size() <= std::size_t(kRxLineCapacity));
    }
    void AnswerEnded(std::string_view lastText) override {
        FUZZ_CHECK(lastText.size() <= std::size_t(kRxLineCapacity));
    }
    void ExchangeAbandoned(bool, int) override {}
};

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool More() const { return pos_ < size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::string_view Block(std::size_t n) {
        n = std::min(n, size_ - pos_);
        const std::string_view b(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return b;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Observer observer;
    vexa::session::Session session(observer);
    const auto& state = session.State();
    observer.state = &state;
    Clock::time_point now = Clock::time_point{} + std::chrono::hours(1);
    Input in(data, size);
    while (in.More()) {
        const std::uint8_t op = in.Byte();
        switch (op % 10) {
        case 0:
        case 1:
        case 2:
        case 3: // the usual case: bytes arrive
            session.OnBytes(in.Block(op / 10 + 1), now);
            break;
        case 4: { // a long download: many short record lines at once, past the end of the table
            // Rarely past the end of the table (it costs a whole download's decoding), usually a few lines.
            const std::size_t lines = std::size_t(in.Byte()) * (op >= 200 ? 300 : 1);
            std::string block;
            block.reserve(lines * 6);
            for (std::size_t i = 0; i < lines; ++i)
                block += "10AB\r\n";
            session.OnBytes(block, now);
            break;
        }
        case 5:
            session.EndPendingExchange();
            session.StartDownload(op & 0x10 ? "D" : "G", in.Block(in.Byte() % 12), now);
            break;
        case 6:
            session.RequestContact(now);
            break;
        case 7:
            session.State().MonitorMode = (op >> 4) & 1;
            if (state.MonitorMode == 1 && state.LinkUp == 1) session.SendMonitorPoll(now);
            break;
        case 8: // time passes; sometimes past the watchdog
            now += std::chrono::milliseconds(std::size_t(in.Byte()) * 100);
            session.OnTick(now);
            break;
        case 9:
            if (op & 0x10)
                session.OnPortLost(now);
            else
                session.Send("p", now);
            break;
        }
        FUZZ_CHECK(state.RxLineLen >= 0 && state.RxLineLen <= kRxLineCapacity);
        FUZZ_CHECK(state.RecordCount >= 0);
        if (state.DownloadActive == 1) FUZZ_CHECK(state.RecordCount <= kTableEntries);
        FUZZ_CHECK(state.DownloadLines.size() == std::size_t(kTableEntries));
    }
    return 0;
}
