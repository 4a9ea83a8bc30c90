// Speed of the session's framing: a 72,000-record download's bytes, delivered in 4 KiB blocks as the
// serial layer hands them over, framed and stored as record lines (decoding is measured elsewhere).
#include "session/Session.h"
#include "support/SessionRecorder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The logger's answer to "D" without its closing "#": the count line and one record line per record.
std::string DownloadBytes(int count) {
    std::string bytes = "@C= " + std::to_string(count) + " 32000\r\n";
    for (int k = 0; k < count; ++k) {
        const int seconds = k / 10, hundredths = (k % 10) * 10;
        const int day = 1 + seconds / 86400, hour = seconds / 3600 % 24, minute = seconds / 60 % 60;
        char line[40];
        std::snprintf(line, sizeof line, "%02X%02X%02X%02X%02X%02X%02X%02X%02X00\r\n", (3 << 4) | ((day >> 3) & 3),
                      ((day & 7) << 5) | hour, (minute << 2) | (seconds % 60 >> 4), ((seconds % 60 & 15) << 4) | 5,
                      (k % 100 - 50) & 0xFF, -(k % 37) & 0xFF, k % 11, (k % 60 - 20) & 0xFF, hundredths);
        bytes += line;
    }
    return bytes;
}

} // namespace

int main() {
    constexpr int kRecords = 72000;
    constexpr size_t kBlock = 4096;
    const std::string bytes = DownloadBytes(kRecords);
    vexa::testing::SessionRig rig;
    auto& session = rig.session;
    std::vector<double> runs;
    const auto now = vexa::session::Clock::now();
    session.RequestHello(now); // linked: answers go through the reply loop
    for (int run = 0; run < 9; ++run) {
        session.RequestDownload("D", "2024", now);
        const auto start = std::chrono::steady_clock::now();
        for (size_t pos = 0; pos < bytes.size(); pos += kBlock)
            rig.Arrive(std::string_view(bytes).substr(pos, kBlock), now);
        const auto stop = std::chrono::steady_clock::now();
        runs.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
        if (session.State().RecordCount != kRecords)
            std::fprintf(stderr, "bench_session: stored %d records\n", session.State().RecordCount);
        rig.Arrive("#", now); // the closing "#" decodes them
    }
    std::sort(runs.begin(), runs.end());
    std::printf("bench: session.frame72k_ms %.2f ms\n", runs[runs.size() / 2]);
    return 0;
}
