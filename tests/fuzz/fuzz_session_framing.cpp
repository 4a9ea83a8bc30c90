// Fuzz target: the session's reply framing fed with byte blocks as the port delivers them, between the
// things the window does (connect, download, monitor, commands, ticks, a lost port). Checks the bounds:
// the line buffer, the record table and the decoded lines never go past their sizes.
#include "session/Session.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// The download line table outlives the inputs: each input's session takes it and hands it back with
// the lines it stored cleared, so no input pays for building 72,020 entries.
std::vector<std::string>& SpareLineTable() {
    static std::vector<std::string> table(kTableEntries);
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Observer observer;
    vexa::session::Session session(observer, std::move(SpareLineTable()));
    int stored = 0;
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
            // Past the end of the table only for op 204 with a count of 255 (76,500 lines: a whole download's
            // decoding, which would hold every input that chanced on it to a few a second); usually up to
            // 15 lines, so a download of some hundred records is made of many blocks.
            const std::uint8_t count = in.Byte();
            const std::size_t lines = op == 204 && count == 255 ? 76500 : count % 16;
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
        stored = std::max(stored, state.RecordCount); // a count reply may say more: cleared too
    }
    std::vector<std::string>& lines = session.State().DownloadLines;
    for (int i = 0; i < stored && i < kTableEntries; ++i)
        lines[std::size_t(i)].clear();
    SpareLineTable() = std::move(lines);
    return 0;
}
