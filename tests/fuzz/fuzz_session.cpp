// Fuzz target: whatever the logger sends, in blocks of any size, the session frames it within bounds.
#include "session/Session.h"

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Checking : vexa::session::SessionObserver {
    void SendToLogger(std::string_view) override {}
    void ClosePort() override {}
    void LinkEstablished() override {}
    void StageChanged(vexa::session::ReceiveStage) override {}
    void WorkAreaLine(std::string_view line) override {
        if (line.size() > 127) std::abort();
    }
    void ModelLineReceived(const vexa::ModelLine&) override {}
    void StatusReplyReceived(const vexa::StatusReply&) override {}
    void MonitorScanned(const vexa::MonitorScan&) override {}
    void DownloadProgress(int) override {}
    void DownloadFinished(std::vector<std::string>&& lines, const vexa::session::DownloadSummary& s) override {
        if (s.lineCount < 0 || s.lineCount > vexa::session::kTableEntries) std::abort();
        for (const auto& line : lines)
            if (line.size() > 127) std::abort();
    }
    void AnswerEnded(std::string_view) override {}
    void ExchangeAbandoned(bool, int) override {}
};

} // namespace

// The download line table outlives the inputs: each input's session takes it and hands it back with
// the lines it stored cleared, so no input pays for building 72,020 entries.
std::vector<std::string>& SpareLineTable() {
    static std::vector<std::string> table(vexa::session::kTableEntries);
    return table;
}

// The first byte chooses the situation (plain replies, monitor, download) and the block size; the rest
// is the logger's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Checking observer;
    vexa::session::Session session(observer, std::move(SpareLineTable()));
    int stored = 0;
    const auto now = vexa::session::Clock::now();
    session.State().LinkUp = 1;
    const std::uint8_t mode = data[0];
    if (mode % 3 == 1) session.State().MonitorMode = 1;
    if (mode % 3 == 2) session.StartDownload("D", "2024", now);
    const std::size_t block = 1 + (mode >> 2) * 16;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    for (std::size_t pos = 0; pos < bytes.size(); pos += block) {
        session.OnBytes(bytes.substr(pos, block), now);
        if (session.State().RxLineLen < 0 || session.State().RxLineLen > vexa::session::kRxLineCapacity) std::abort();
        stored = std::max(stored, session.State().RecordCount); // a count reply may say more: cleared too
    }
    session.OnTick(now + std::chrono::minutes(1));
    session.OnPortLost(now);
    std::vector<std::string>& lines = session.State().DownloadLines;
    for (int i = 0; i < stored && i < vexa::session::kTableEntries; ++i)
        lines[std::size_t(i)].clear();
    SpareLineTable() = std::move(lines);
    return 0;
}
