// Fuzz target: the 5-ms capture's framing and writing, fed with logger bytes in blocks of any size.
#include "session/CaptureExchange.h"
#include "support/SessionRecorder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace vexa::session;

// Layout: byte 0 picks the target (1..256 samples), each block is a length byte and that many bytes; a
// length byte of 0 is a tick far enough on to end a stalled stream. An input of odd length starts the
// stream with the answer to "n" still to come (its first 20 bytes already begun).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // One capture for all inputs: its 72,020-entry table is built once. Every input starts it afresh
    // and leaves it idle (or stops the run), as the window starts one capture after another.
    static vexa::testing::FakeLinkPort port;
    static vexa::testing::SessionRecorder ui;
    static CaptureExchange capture(port, ui);
    port = vexa::testing::FakeLinkPort();
    port.open = true;
    ui = vexa::testing::SessionRecorder();
    Clock::time_point now{};
    CaptureStart start;
    start.target = data[0] + 1;
    start.startText = "2024/05/01 9:03:07";
    const std::string head(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 40));
    start.answerUnfinished = size % 2 == 1;
    if (start.answerUnfinished)
        start.answerBegun = head.substr(0, 20);
    else
        start.answerLine = head;
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
    while (ui.captureSteps > 0) {
        --ui.captureSteps;
        capture.WriteStep();
    }
    if (capture.Active()) __builtin_trap();
    return 0;
}
