// Fuzz target: the session's reply framing fed with byte blocks as the port delivers them, between the
// things the window does (connect, download, monitor, commands, ticks, a lost port). Checks the bounds:
// the line buffer, the record table and the decoded lines never go past their sizes.
#include "session/Session.h"
#include "support/SessionRecorder.h"
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

// What the session reported since the last check stays within its bounds.
void CheckReports(vexa::testing::SessionRig& rig) {
    auto& rec = rig.rec;
    for (const auto& line : rec.workArea)
        FUZZ_CHECK(line.size() >= 2 && line.size() <= std::size_t(kRxLineCapacity));
    for (const int value : rec.progress)
        FUZZ_CHECK(value >= 0 && value <= kTableEntries + 2);
    if (rec.summary) {
        const auto& summary = *rec.summary;
        FUZZ_CHECK(summary.lineCount >= 0 && summary.lineCount <= kTableEntries);
        FUZZ_CHECK(summary.droppedRecords >= 0);
        // One line per record, and at most one comment before each.
        FUZZ_CHECK(rec.downloaded.size() >= std::size_t(summary.lineCount) &&
                   rec.downloaded.size() <= 2 * std::size_t(summary.lineCount));
        // Every record is a sample on its own line.
        const vexa::Recording& records = rec.downloadedRecording;
        FUZZ_CHECK(records.Samples().size() == std::size_t(summary.lineCount));
        for (std::size_t k = 0; k < records.Samples().size(); ++k)
            FUZZ_CHECK(records.SampleOfLine(records.LineOfSample(k)) == &records.Samples()[k]);
        for (const auto& line : rec.downloaded)
            FUZZ_CHECK(line.size() <= std::size_t(kRxLineCapacity));
    }
    FUZZ_CHECK(rec.lastText.size() <= std::size_t(kRxLineCapacity));
    for (const auto& write : rig.port.writes)
        FUZZ_CHECK(!write.empty());
    rec.workArea.clear();
    rec.progress.clear();
    rec.summary.reset();
    rec.downloaded.clear();
    rig.port.writes.clear();
}

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
    vexa::testing::SessionRig rig(std::move(SpareLineTable()));
    auto& session = rig.session;
    int stored = 0;
    const auto& state = session.State();
    vexa::session::RegistrySnapshot logger;
    logger.serialComm = {{"\\Device\\VCP0", "COM3"}};
    logger.loggerFriendlyName = "USB Serial Port (COM3)";
    Clock::time_point now = Clock::time_point{} + std::chrono::hours(1);
    // Linked from the start ("Hello"), so the first bytes are framed as replies.
    session.RequestHello(now);
    Input in(data, size);
    while (in.More()) {
        const std::uint8_t op = in.Byte();
        switch (op % 10) {
        case 0:
        case 1:
        case 2:
        case 3: // the usual case: bytes arrive (at an open port; the logger talks on while it is closed)
            rig.port.Open();
            rig.Arrive(in.Block(op / 10 + 1), now);
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
            rig.port.Open();
            rig.Arrive(block, now);
            break;
        }
        case 5:
            session.RequestDownload(op & 0x10 ? "D" : "G", in.Block(in.Byte() % 12), now);
            break;
        case 6: { // a discovery tick: the logger found (or, rarely, gone)
            vexa::session::TickInput tick;
            tick.snapshot = (op & 0x30) == 0x30 ? nullptr : &logger;
            tick.chosenPort = "COM3";
            tick.nowText = "2024/05/01 09:03:07";
            session.DiscoveryTick(tick, now);
            break;
        }
        case 7:
            session.SetMonitor((op >> 4) & 1, now);
            break;
        case 8: // time passes; sometimes past the watchdog
            now += std::chrono::milliseconds(std::size_t(in.Byte()) * 100);
            session.Tick(now);
            break;
        case 9:
            if (op & 0x10) {
                rig.port.lost = true;
                session.Tick(now);
                rig.port.lost = false;
            } else {
                session.RequestCommand({"p"}, now);
            }
            break;
        }
        FUZZ_CHECK(state.RxLineLen >= 0 && state.RxLineLen <= kRxLineCapacity);
        FUZZ_CHECK(state.RecordCount >= 0);
        if (session.CurrentPhase() == vexa::session::Phase::Download)
            FUZZ_CHECK(state.RecordCount <= kTableEntries);
        FUZZ_CHECK(state.DownloadLines.size() == std::size_t(kTableEntries));
        stored = std::max(stored, state.RecordCount); // a count reply may say more: cleared too
        CheckReports(rig);
    }
    SpareLineTable() = rig.TakeLineTable(stored);
    return 0;
}
