// Encodes the logger's stored records as the hexadecimal record lines of a download, and generates a memory.
#include "sim/RecordEncoder.h"

#include "sim/CivilTime.h"
#include "sim/Motion.h"

#include <cstdio>

namespace vexa::sim {

namespace {
void AppendHex(std::string& out, unsigned value) {
    static const char digits[] = "0123456789ABCDEF";
    out += digits[(value >> 4) & 15];
    out += digits[value & 15];
}
} // namespace

std::string EncodeRecord(const SimRecord& r, bool extraDigitMode) { return EncodeRecord(r, extraDigitMode ? 21 : 20); }

std::string EncodeRecord(const SimRecord& r, int length) {
    // The year bits only order records: they step with the calendar year and wrap after 3.
    const unsigned yearBits = static_cast<unsigned>(((r.year % 4) + 4) % 4);
    const unsigned b0 = (static_cast<unsigned>(r.month) << 4) | (yearBits << 2) | ((static_cast<unsigned>(r.day) >> 3) & 3);
    const unsigned b1 = ((static_cast<unsigned>(r.day) & 7) << 5) | (static_cast<unsigned>(r.hour) & 0x1F);
    const unsigned b2 = (static_cast<unsigned>(r.minute) << 2) | ((static_cast<unsigned>(r.second) >> 4) & 3);

    // Negative temperatures are stored one degree further down so that -0.x stays distinguishable from +0.x.
    const int magnitude = r.tempTenths < 0 ? -r.tempTenths : r.tempTenths;
    const int tenths = magnitude % 10;
    int whole = magnitude / 10;
    if (r.tempTenths < 0) whole = -whole - 1;

    std::string out;
    out.reserve(21);
    AppendHex(out, b0);
    AppendHex(out, b1);
    AppendHex(out, b2);
    out += "0123456789ABCDEF"[r.second & 15];
    out += static_cast<char>('0' + tenths);
    AppendHex(out, static_cast<unsigned>(r.x) & 0xFF);
    AppendHex(out, static_cast<unsigned>(r.y) & 0xFF);
    AppendHex(out, static_cast<unsigned>(r.z) & 0xFF);
    AppendHex(out, static_cast<unsigned>(whole) & 0xFF);
    if (length >= 18) AppendHex(out, static_cast<unsigned>(r.hundredths));
    if (length >= 20) AppendHex(out, static_cast<unsigned>(r.extra));
    if (length >= 21) out += static_cast<char>('0' + r.thousandths % 10);
    return out;
}

std::optional<int> IntervalSeconds(char code) {
    switch (code) {
    case 'A': return 60;
    case 'B': return 120;
    case 'C': return 180;
    case 'D': return 240;
    case 'E': return 300;
    case 'J': return 600;
    case 'O': return 900;
    case 'T': return 1200;
    case '^': return 1800;
    case 'a': return 1;
    case 'b': return 5;
    case 'c': return 10;
    case 'd': return 15;
    case 'e': return 20;
    case 'f': return 30;
    default: return std::nullopt;
    }
}

bool IsMillisecondSampling(char code) { return code >= 'A' && code <= 'F'; }
bool IsSamplingCode(char code) { return (code >= '0' && code <= '9') || IsMillisecondSampling(code); }

int SamplingStepMs(char code) {
    switch (code) {
    case 'A': case 'D': return 5;
    case 'B': case 'E': return 2;
    case 'C': case 'F': return 1;
    default: return 0;
    }
}

std::vector<SimRecord> GenerateRecords(const SimConfig& config) {
    std::vector<SimRecord> records;
    const char sampling = config.settings.samplingCode;
    const bool msMode = IsMillisecondSampling(sampling);
    const std::int64_t stepMs =
        msMode ? SamplingStepMs(sampling) : 1000LL * IntervalSeconds(config.settings.intervalCode).value_or(60);

    const CivilTime parsed = ParseDateTime(config.start).value_or(CivilTime{2024, 1, 2, 12, 34, 56});
    std::int64_t startMs = ToEpochSeconds(parsed) * 1000;
    if (config.yearRollover) {
        // Put the new year in the middle of the memory so records on both sides of it exist.
        const std::int64_t newYearMs = ToEpochSeconds(CivilTime{parsed.year + 1, 1, 1, 0, 0, 0}) * 1000;
        startMs = newYearMs - (config.recordCount / 2) * stepMs - stepMs / 2;
        if (startMs % 1000 != 0 && !msMode) startMs -= startMs % 1000;
    }

    records.reserve(static_cast<std::size_t>(config.recordCount > 0 ? config.recordCount : 0));
    std::int64_t previousMs = startMs;
    for (int i = 0; i < config.recordCount; ++i) {
        const std::int64_t scheduled = startMs + i * stepMs;
        const std::int64_t ms = (i > 0 && config.irregular.count(i)) ? previousMs : scheduled;
        previousMs = ms;
        const CivilTime t = FromEpochSeconds(ms / 1000);
        SimRecord r;
        r.year = t.year;
        r.month = t.month;
        r.day = t.day;
        r.hour = t.hour;
        r.minute = t.minute;
        r.second = t.second;
        const int subMs = static_cast<int>(ms % 1000);
        r.hundredths = subMs / 10;
        r.thousandths = msMode ? subMs % 10 : 0;
        if (config.motion == Motion::Shocks) {
            const MotionValues v = ShockRecord(i);
            r.x = v.x;
            r.y = v.y;
            r.z = v.z;
            r.tempTenths = v.tempTenths;
        } else {
            // A gentle, deterministic motion and a temperature sweep that passes through -0.x and below.
            r.x = (i % 41) - 20;
            r.y = -((i * 3) % 25);
            r.z = 10 + (i % 5);
            r.tempTenths = ((i * 7) % 600) - 250;
        }
        records.push_back(r);
    }
    return records;
}

} // namespace vexa::sim
