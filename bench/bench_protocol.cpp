// Speed of a download's decoding: 72,000 record lines into a recording (a data line and a sample each).
#include "protocol/RecordDecoder.h"
#include "recording/DownloadRecording.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

// Builds a record line for a time stamp, the same layout the logger sends.
std::string EncodeRecord(int month, int day, int hour, int minute, int second, int hundredths, int x, int y,
                         int z, int temperature) {
    const int b0 = (month << 4) | ((day >> 3) & 3);
    const int b1 = ((day & 7) << 5) | hour;
    const int b2 = (minute << 2) | (second >> 4);
    const int b3 = ((second & 15) << 4) | 5; // tenths digit 5
    char text[32];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X%02X%02X%02X00", b0, b1, b2, b3, x & 0xFF,
                  y & 0xFF, z & 0xFF, temperature & 0xFF, hundredths);
    return text;
}

std::vector<std::string> MakeDownload(int count) {
    std::vector<std::string> records;
    records.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const int seconds = k / 10, hundredths = (k % 10) * 10;
        const int day = 1 + seconds / 86400, hour = seconds / 3600 % 24, minute = seconds / 60 % 60;
        records.push_back(EncodeRecord(3, day, hour, minute, seconds % 60, hundredths, k % 100 - 50,
                                       -(k % 37), k % 11, k % 60 - 20));
    }
    return records;
}

// The program's processor time (one thread), in milliseconds.
double ThreadCpuMs() {
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

} // namespace

int main() {
    const std::vector<std::string> records = MakeDownload(72000);
    std::vector<double> runs, cpuRuns;
    volatile std::size_t checksum = 0; // keeps the decoded output observable
    bool irregular = false;
    for (int run = 0; run < 9; ++run) {
        vexa::RecordDecoderState state;
        state.BaseYear = 2024;
        vexa::ResetDecoderForDownload(state);
        // As the session does it at a download's closing "#": room for every record, then one step each.
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuMs();
        vexa::Recording recording;
        recording.Reserve(records.size() + 16, records.size(), records.size() * vexa::kDecodedLineBytes);
        for (const std::string& record : records)
            irregular |= vexa::AppendDecodedRecord(state, record, recording).markedThis;
        const double cpuStop = ThreadCpuMs();
        const auto stop = std::chrono::steady_clock::now();
        cpuRuns.push_back(cpuStop - cpuStart);
        checksum = checksum + recording.LineCount() + recording.Samples().back().stamp.second;
        runs.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(runs.begin(), runs.end());
    std::sort(cpuRuns.begin(), cpuRuns.end());
    if (irregular) std::fprintf(stderr, "bench_protocol: generated records decoded as irregular\n");
    std::printf("bench: download.decode72k_ms %.2f ms\n", runs[runs.size() / 2]);
    // The processor time of the same runs: on a machine shared with other work the wall time above
    // includes the time others had the processor.
    std::printf("bench: download.decode72k_cpu_ms %.2f ms\n", cpuRuns[cpuRuns.size() / 2]);
    return irregular ? 1 : 0;
}
