// Fuzz target: whatever the logger sends, in blocks of any size, the session frames it within bounds.
#include "session/Session.h"
#include "support/SessionRecorder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// What the session reported so far stays within its bounds.
void CheckReports(vexa::testing::SessionRecorder& rec) {
    for (const auto& line : rec.workArea)
        if (line.size() > 127) std::abort();
    if (rec.summary && (rec.summary->lineCount < 0 || rec.summary->lineCount > vexa::session::kTableEntries))
        std::abort();
    for (const auto& line : rec.downloaded)
        if (line.size() > 127) std::abort();
    rec.workArea.clear();
    rec.downloaded.clear();
}

// The download line table outlives the inputs: each input's session takes it and hands it back with
// the lines it stored cleared, so no input pays for building 72,020 entries.
std::vector<std::string>& SpareLineTable() {
    static std::vector<std::string> table(vexa::session::kTableEntries);
    return table;
}

} // namespace

// The first byte chooses the situation (plain replies, monitor, download) and the block size; the rest
// is the logger's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    vexa::testing::SessionRig rig(std::move(SpareLineTable()));
    auto& session = rig.session;
    int stored = 0;
    const auto now = vexa::session::Clock::now();
    // Linked: "Hello" declares the link up without an exchange.
    session.RequestHello(now);
    const std::uint8_t mode = data[0];
    if (mode % 3 == 1) session.SetMonitor(true, now);
    if (mode % 3 == 2) session.RequestDownload("D", "2024", now);
    rig.port.Open();
    const std::size_t block = 1 + (mode >> 2) * 16;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    for (std::size_t pos = 0; pos < bytes.size(); pos += block) {
        // A "#" that ended the exchange closed the port; the logger goes on talking to a reopened one.
        rig.port.Open();
        rig.Arrive(bytes.substr(pos, block), now);
        const int len = session.State().RxLineLen;
        if (len < 0 || len > vexa::session::kRxLineCapacity) std::abort();
        stored = std::max(stored, session.State().RecordCount); // a count reply may say more: cleared too
        CheckReports(rig.rec);
    }
    session.Tick(now + std::chrono::minutes(1));
    rig.port.lost = true;
    session.Tick(now + std::chrono::minutes(2));
    CheckReports(rig.rec);
    SpareLineTable() = rig.TakeLineTable(stored);
    return 0;
}
