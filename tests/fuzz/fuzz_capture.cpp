// Fuzz target: the 5-ms capture's framing and writing, fed with logger bytes in blocks of any size.
#include "session/CaptureExchange.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {
using namespace vexa::session;

struct NullObserver : CaptureObserver {
    std::size_t lines = 0;
    int stepsDue = 0;
    void CaptureSend(std::string_view) override {}
    void CaptureProgressShown(int) override {}
    void CaptureProgress(int) override {}
    void CaptureProgressHidden() override {}
    void CaptureWorkAreaLine(std::string) override { ++lines; }
    void CaptureOutputBegins() override {}
    void CaptureWorkAreaLines(std::vector<std::string>& l) override { lines += l.size(); }
    void CaptureOutputEnds() override {}
    void CaptureStepDue() override { ++stepsDue; }
    void CaptureStatus(std::string) override {}
    void CaptureRestoreTimer(int) override {}
    std::string CaptureClockText() override { return "2024/05/01 9:08:09"; }
};
} // namespace

// Layout: byte 0 picks the target (1..256 samples), each block is a length byte and that many bytes; a
// length byte of 0 is a tick far enough on to end a stalled stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // One capture for all inputs: its 72,020-entry table is built once. Every input starts it afresh
    // and leaves it idle (or stops the run), as the window starts one capture after another.
    static NullObserver ui;
    static CaptureExchange capture(ui);
    ui = NullObserver();
    Clock::time_point now{};
    CaptureStart start;
    start.target = data[0] + 1;
    start.startText = "2024/05/01 9:03:07";
    start.answerLine = std::string(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 40));
    capture.Start(start, now);
    for (std::size_t at = 1; at < size;) {
        const std::size_t n = data[at++];
        now += std::chrono::milliseconds(5);
        if (n == 0) {
            capture.OnTick(now + CaptureExchange::kStallLimit);
            continue;
        }
        const std::size_t take = std::min(n, size - at);
        capture.OnBytes(std::string_view(reinterpret_cast<const char*>(data + at), take), now);
        at += take;
    }
    capture.OnPortLost(now);
    while (ui.stepsDue > 0) {
        --ui.stepsDue;
        capture.WriteStep();
    }
    if (capture.Active()) __builtin_trap();
    return 0;
}
