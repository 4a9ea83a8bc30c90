// Record lines written by the simulated logger decode, by the layout and by the tool's decoder, to the
// records the simulator was given.
#include "protocol/RecordDecoder.h"
#include "sim/RecordEncoder.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

namespace vexa::sim {
namespace {

// Reference decoder written from the record layout, independent of the encoder.
struct Decoded {
    int month, yearBits, day, hour, minute, second, x, y, z, tempWhole, hundredths, extra, thousandths;
    char tenths;
};
int Hex(char c) { return c >= 'A' ? c - 'A' + 10 : c - '0'; }
int Byte(const std::string& s, int pos) { return Hex(s[pos]) * 16 + Hex(s[pos + 1]); }
int Signed(int b) { return b > 127 ? b - 256 : b; }
Decoded ReferenceDecode(const std::string& s) {
    const int b0 = Byte(s, 0), b1 = Byte(s, 2), b2 = Byte(s, 4);
    Decoded d{};
    d.month = b0 >> 4;
    d.yearBits = (b0 >> 2) & 3;
    d.day = (b0 & 3) * 8 + (b1 >> 5);
    d.hour = b1 & 0x1F;
    d.minute = b2 >> 2;
    d.second = ((b2 & 3) << 4) | Hex(s[6]);
    d.tenths = s[7];
    d.x = Signed(Byte(s, 8));
    d.y = Signed(Byte(s, 10));
    d.z = Signed(Byte(s, 12));
    d.tempWhole = Signed(Byte(s, 14));
    d.hundredths = s.size() >= 18 ? Byte(s, 16) : 0;
    d.extra = s.size() >= 20 ? Byte(s, 18) : 0;
    d.thousandths = s.size() >= 21 ? s[20] - '0' : 0;
    return d;
}
// Tenths of a degree from the stored whole degrees and tenths digit (negatives are one degree lower).
int TempTenths(const Decoded& d) {
    const int tenths = d.tenths - '0';
    if (d.tempWhole >= 0) return d.tempWhole * 10 + tenths;
    return -((-d.tempWhole - 1) * 10 + tenths);
}

TEST(RecordEncoder, KnownRecordFromTheLayout) {
    SimRecord r{2024, 1, 2, 12, 34, 56, 75, 0, 0, -1, 10, 255, 0};
    EXPECT_EQ(EncodeRecord(r, false), "104C8B8500FF0A194B00");
    r.thousandths = 7;
    EXPECT_EQ(EncodeRecord(r, true), "104C8B8500FF0A194B007");
    EXPECT_EQ(EncodeRecord(r, 16), "104C8B8500FF0A19");
    EXPECT_EQ(EncodeRecord(r, 18), "104C8B8500FF0A194B");
}

TEST(RecordEncoder, TemperatureOffsetRule) {
    struct Case { int tenths; const char* wholeHex; char digit; } cases[] = {
        {255, "19", '5'}, {0, "00", '0'}, {-7, "FF", '7'}, {-13, "FE", '3'}, {-250, "E6", '0'}, {1279, "7F", '9'},
    };
    for (const auto& c : cases) {
        SimRecord r;
        r.tempTenths = c.tenths;
        const std::string line = EncodeRecord(r, false);
        EXPECT_EQ(line.substr(14, 2), c.wholeHex) << c.tenths;
        EXPECT_EQ(line[7], c.digit) << c.tenths;
        EXPECT_EQ(TempTenths(ReferenceDecode(line)), c.tenths);
    }
}

TEST(RecordEncoder, FieldsRoundTripThroughTheLayout) {
    const SimRecord cases[] = {
        {2024, 12, 31, 23, 59, 59, 99, 9, 127, -128, -1, -1279, 255},
        {2025, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {2026, 2, 28, 13, 7, 48, 50, 5, -20, 20, 10, 1, 1},
        {2027, 7, 15, 9, 30, 17, 1, 3, 5, -5, 64, -1, 7},
    };
    for (const auto& r : cases) {
        for (bool extra : {false, true}) {
            const std::string line = EncodeRecord(r, extra);
            ASSERT_EQ(line.size(), extra ? 21u : 20u);
            for (int i = 0; i < 20; ++i) EXPECT_TRUE(std::isdigit(line[i]) || (line[i] >= 'A' && line[i] <= 'F')) << line;
            const Decoded d = ReferenceDecode(line);
            EXPECT_EQ(d.month, r.month);
            EXPECT_EQ(d.yearBits, r.year % 4);
            EXPECT_EQ(d.day, r.day);
            EXPECT_EQ(d.hour, r.hour);
            EXPECT_EQ(d.minute, r.minute);
            EXPECT_EQ(d.second, r.second);
            EXPECT_EQ(d.hundredths, r.hundredths);
            EXPECT_EQ(d.extra, r.extra);
            EXPECT_EQ(d.x, r.x);
            EXPECT_EQ(d.y, r.y);
            EXPECT_EQ(d.z, r.z);
            EXPECT_EQ(TempTenths(d), r.tempTenths);
            EXPECT_EQ(d.thousandths, extra ? r.thousandths : 0);
        }
    }
}

TEST(RecordEncoder, YearBitsStepWithTheYearAndWrap) {
    int expected[] = {0, 1, 2, 3, 0};
    for (int i = 0; i < 5; ++i) {
        SimRecord r;
        r.year = 2024 + i;
        EXPECT_EQ(ReferenceDecode(EncodeRecord(r, false)).yearBits, expected[i]);
    }
}

// Expected CSV line, formatted from the record's values with the data-line layout.
std::string ExpectedCsv(const SimRecord& r, bool ms) {
    char buf[128];
    const int whole = r.tempTenths < 0 ? -(-r.tempTenths / 10) : r.tempTenths / 10;
    const char digit = static_cast<char>('0' + (r.tempTenths < 0 ? -r.tempTenths : r.tempTenths) % 10);
    if (r.tempTenths < 0 && whole == 0)
        std::snprintf(buf, sizeof buf, "%4d/%02d/%02d %02d:%02d:%02d.%02d%1d,%3d,%3d,%3d, -0.%c", r.year, r.month,
                      r.day, r.hour, r.minute, r.second, r.hundredths, ms ? r.thousandths : 0, r.x, r.y, r.z, digit);
    else
        std::snprintf(buf, sizeof buf, "%4d/%02d/%02d %02d:%02d:%02d.%02d%1d,%3d,%3d,%3d,%3d.%c", r.year, r.month,
                      r.day, r.hour, r.minute, r.second, r.hundredths, ms ? r.thousandths : 0, r.x, r.y, r.z, whole,
                      digit);
    return buf;
}

TEST(RecordEncoder, GeneratedMemoryDecodesWithTheToolsDecoder) {
    struct Case { const char* name; char sampling; char interval; bool rollover; std::set<int> irregular; } cases[] = {
        {"minutes", '0', 'A', false, {}},
        {"year roll-over", '0', 'f', true, {}},
        {"irregular", '0', 'c', false, {7, 30}},
        {"milliseconds", 'A', 'A', false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimConfig config;
        config.recordCount = 60;
        config.start = "2023/12/31 22:00:00";
        config.settings.samplingCode = c.sampling;
        config.settings.intervalCode = c.interval;
        config.yearRollover = c.rollover;
        config.irregular = c.irregular;
        const auto records = GenerateRecords(config);
        ASSERT_EQ(records.size(), 60u);
        const bool ms = c.sampling == 'A';
        RecordDecoderState state;
        ResetDecoderForDownload(state);
        state.BaseYear = records.front().year;
        state.ExtraDigitMode = ms ? 1 : 0;
        bool sawNewYear = false;
        for (std::size_t i = 0; i < records.size(); ++i) {
            LineBuffer line(EncodeRecord(records[i], ms));
            const DecodeOutcome out = DecodeNextRecord(state, line);
            std::string expected = ExpectedCsv(records[i], ms);
            const bool irregular = c.irregular.count(static_cast<int>(i)) > 0;
            if (irregular) expected[0] = IrregularMark;
            EXPECT_EQ(std::string(line.view()), expected) << i;
            EXPECT_EQ(out.markedThis, irregular) << i;
            if (i > 0 && records[i].year != records[i - 1].year) sawNewYear = true;
        }
        EXPECT_EQ(sawNewYear, c.rollover);
        EXPECT_EQ(state.IrregularFound, !c.irregular.empty());
    }
}

// Random records over every field's range: the simulator's encoder and the tool's decoder agree on
// each field, in both record lengths and with and without the extra field.
TEST(RecordEncoder, RandomRecordsRoundTripThroughTheToolsDecoder) {
    std::mt19937 rng(20240501);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int daysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int n = 0; n < 5000; ++n) {
        SimRecord r;
        r.year = pick(2000, 2099);
        r.month = pick(1, 12);
        r.day = pick(1, daysIn[r.month - 1]);
        r.hour = pick(0, 23);
        r.minute = pick(0, 59);
        r.second = pick(0, 59);
        r.hundredths = pick(0, 99);
        r.thousandths = pick(0, 9);
        r.x = pick(-128, 127);
        r.y = pick(-128, 127);
        r.z = pick(-128, 127);
        r.tempTenths = pick(-1279, 1279);
        r.extra = pick(0, 3) == 0 ? pick(1, 255) : 0;
        const bool ms = pick(0, 1) == 1;
        RecordDecoderState state;
        ResetDecoderForDownload(state);
        state.BaseYear = r.year;
        state.ExtraDigitMode = ms ? 1 : 0;
        LineBuffer line(EncodeRecord(r, ms));
        const DecodeOutcome out = DecodeNextRecord(state, line);
        std::string expected = ExpectedCsv(r, ms);
        if (r.extra != 0) {
            char extra[8];
            std::snprintf(extra, sizeof extra, ",%2d", r.extra);
            expected += extra;
        }
        ASSERT_EQ(std::string(line.view()), expected) << "record " << n << ": " << EncodeRecord(r, ms);
        EXPECT_FALSE(out.markedThis);
    }
}

TEST(RecordEncoder, GeneratedTimesFollowTheInterval) {
    using namespace std::chrono;
    SimConfig config;
    config.recordCount = 5;
    config.start = "2024/02/28 23:59:30";
    config.settings.intervalCode = 'c'; // 10 s
    config.irregular = {3};
    const auto records = GenerateRecords(config);
    const sys_seconds start = sys_days{year{2024} / February / 28} + hours{23} + minutes{59} + seconds{30};
    const int offsets[] = {0, 10, 20, 20, 40}; // record 3 repeats record 2's time
    for (int i = 0; i < 5; ++i) {
        const sys_seconds t = start + seconds{offsets[i]};
        const year_month_day ymd{floor<days>(t)};
        const hh_mm_ss hms{t - floor<days>(t)};
        EXPECT_EQ(records[i].year, int(ymd.year()));
        EXPECT_EQ(records[i].month, int(unsigned(ymd.month())));
        EXPECT_EQ(records[i].day, int(unsigned(ymd.day())));
        EXPECT_EQ(records[i].hour, hms.hours().count());
        EXPECT_EQ(records[i].minute, hms.minutes().count());
        EXPECT_EQ(records[i].second, hms.seconds().count()) << i;
    }
}

} // namespace
} // namespace vexa::sim
