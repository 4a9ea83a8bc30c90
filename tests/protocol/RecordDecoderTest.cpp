// Tests of record decoding: line formats, temperature rule, padding, year handling and time order.
#include "protocol/RecordDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace vexa {
namespace {

// Builds a record line from its fields, following the logger's bit layout.
std::string Encode(int month, int day, int hour, int minute, int second, int hundredths = 0, int yearBits = 0,
                   int temperature = 25, char tenths = '5') {
    const int b0 = (month << 4) | (yearBits << 2) | ((day >> 3) & 3);
    const int b1 = ((day & 7) << 5) | hour;
    const int b2 = (minute << 2) | (second >> 4);
    char text[32];
    std::snprintf(text, sizeof text, "%02X%02X%02X%X%c000000%02X%02X00", b0, b1, b2, second & 15, tenths,
                  temperature & 0xFF, hundredths);
    return text;
}

class RecordDecoderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state.BaseYear = 2024;
        ResetDecoderForDownload(state);
    }
    std::string Decode(std::string_view record, DecodeOutcome* outcome = nullptr) {
        LineBuffer line(record);
        const DecodeOutcome result = DecodeNextRecord(state, line);
        if (outcome)
            *outcome = result;
        return std::string(line.view());
    }
    RecordDecoderState state;
};

TEST_F(RecordDecoderTest, LineFormats) {
    const struct {
        const char* record;
        int extraDigitMode;
        const char* line;
    } cases[] = {
        {"104C8B8500FF0A194B00", 0, "2024/01/02 12:34:56.750,  0, -1, 10, 25.5"},
        {"104C8B8300FF0AFE4B00", 0, "2024/01/02 12:34:56.750,  0, -1, 10, -1.3"},
        {"104C8B8700FF0AFF4B00", 0, "2024/01/02 12:34:56.750,  0, -1, 10, -0.7"},
        {"104C8B8500FF0A194B05", 0, "2024/01/02 12:34:56.750,  0, -1, 10, 25.5, 5"},
        {"104C8B8700FF0AFF4B1F", 0, "2024/01/02 12:34:56.750,  0, -1, 10, -0.7,31"},
        {"104C8B85807F81004b00", 0, "2024/01/02 12:34:56.750,-128,127,-127,  0.5"},
        {"104C8B8500FF0A194B007", 1, "2024/01/02 12:34:56.757,  0, -1, 10, 25.5"},
        {"104C8B8500FF0A194B007", 0, "2024/01/02 12:34:56.750,  0, -1, 10, 25.5"},
        // Without hundredths the tenths digit is "0".
        {"104C8B8500FF0A19", 0, "2024/01/02 12:34:56.000,  0, -1, 10, 25.0"},
        {"104C8B8500FF0A194", 0, "2024/01/02 12:34:56.000,  0, -1, 10, 25.5"},
        // Month, day, hour, minute, second and hundredths are zero-padded.
        {"10630415000000000600", 0, "2024/01/03 03:01:01.060,  0,  0,  0,  0.5"},
    };
    for (const auto& c : cases) {
        SetUp();
        state.ExtraDigitMode = c.extraDigitMode;
        EXPECT_EQ(Decode(c.record), c.line) << c.record;
    }
}

TEST_F(RecordDecoderTest, TimeThatDoesNotAdvanceIsMarkedAndFlagsTheRest) {
    DecodeOutcome first, second, third;
    Decode(Encode(3, 4, 10, 0, 0), &first);
    const std::string repeated = Decode(Encode(3, 4, 10, 0, 0), &second);
    const std::string later = Decode(Encode(3, 4, 10, 0, 1), &third);

    EXPECT_FALSE(first.irregularFound);
    EXPECT_FALSE(first.markedThis);
    EXPECT_TRUE(second.irregularFound);
    EXPECT_TRUE(second.markedThis);
    ASSERT_FALSE(repeated.empty());
    EXPECT_EQ(repeated[0], IrregularMark);
    EXPECT_EQ(repeated.substr(1), "024/03/04 10:00:00.000,  0,  0,  0, 25.5");
    EXPECT_TRUE(third.irregularFound);
    EXPECT_FALSE(third.markedThis);
    EXPECT_EQ(later[0], '2');
}

TEST_F(RecordDecoderTest, AdvancingTimesAreRegular) {
    const std::string records[] = {Encode(3, 4, 10, 0, 0, 50), Encode(3, 4, 10, 0, 0, 51), Encode(3, 4, 10, 1, 0),
                                   Encode(3, 5, 0, 0, 0), Encode(4, 1, 0, 0, 0)};
    for (const auto& record : records) {
        DecodeOutcome outcome;
        Decode(record, &outcome);
        EXPECT_FALSE(outcome.irregularFound) << record;
    }
}

TEST_F(RecordDecoderTest, HundredthsOfHundredOrMoreFlagWithoutMark) {
    DecodeOutcome outcome;
    const std::string line = Decode(Encode(3, 4, 10, 0, 0, 0xFF), &outcome);
    EXPECT_TRUE(outcome.irregularFound);
    EXPECT_FALSE(outcome.markedThis);
    EXPECT_EQ(line[0], '2');
}

TEST_F(RecordDecoderTest, MonthRollOverStartsANewYear) {
    EXPECT_EQ(Decode(Encode(12, 31, 23, 59, 59, 0, 1)).substr(0, 10), "2024/12/31");
    DecodeOutcome outcome;
    EXPECT_EQ(Decode(Encode(1, 1, 0, 0, 0, 0, 2), &outcome).substr(0, 10), "2025/01/01");
    EXPECT_FALSE(outcome.irregularFound);
    EXPECT_EQ(state.BaseYear, 2025);
}

TEST_F(RecordDecoderTest, YearBitsCarryFromThreeToZero) {
    Decode(Encode(12, 31, 23, 59, 59, 0, 3));
    DecodeOutcome outcome;
    Decode(Encode(1, 1, 0, 0, 0, 0, 0), &outcome);
    EXPECT_EQ(state.YearCarry, 4);
    EXPECT_EQ(state.YearBits, 4);
    EXPECT_EQ(state.DateKey, 40101);
    EXPECT_FALSE(outcome.irregularFound); // without the carry the new year's date key would be lower
    Decode(Encode(1, 1, 0, 0, 1, 0, 1));
    EXPECT_EQ(state.YearBits, 5); // the carry stays for the rest of the download
}

TEST_F(RecordDecoderTest, ResetsDifferInWhatTheyKeep) {
    Decode(Encode(12, 31, 23, 59, 59, 0, 3));

    ResetDecoderKeys(state);
    state.BaseYear = 2030;
    EXPECT_EQ(state.RecordMonth, 12);
    EXPECT_EQ(state.YearBits, 3);
    EXPECT_EQ(Decode(Encode(6, 1, 0, 0, 0)).substr(0, 4), "2031"); // compared with the last download's month

    ResetDecoderForDownload(state);
    state.BaseYear = 2030;
    EXPECT_EQ(state.RecordMonth, 0);
    EXPECT_EQ(state.YearBits, 0);
    EXPECT_EQ(state.TimeKey, 0);
    EXPECT_FALSE(state.IrregularFound);
    EXPECT_EQ(Decode(Encode(6, 1, 0, 0, 0)).substr(0, 4), "2030");
}

// The decoder writes its fields by hand; every field width and sign must match the printf layout.
TEST_F(RecordDecoderTest, FieldsMatchThePrintfLayoutForRandomRecords) {
    std::mt19937 random(20240501);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int k = 0; k < 2000; ++k) {
        const int month = pick(1, 12), day = pick(1, 31), hour = pick(0, 23), minute = pick(0, 59),
                  second = pick(0, 59), hundredths = pick(0, 255), extra = pick(0, 3) == 0 ? pick(1, 255) : 0;
        const int x = pick(-128, 127), y = pick(-128, 127), z = pick(-128, 127), t = pick(-128, 127);
        const char tenths = static_cast<char>('0' + pick(0, 9));
        const int b0 = (month << 4) | ((day >> 3) & 3), b1 = ((day & 7) << 5) | hour,
                  b2 = (minute << 2) | (second >> 4);
        char record[32];
        std::snprintf(record, sizeof record, "%02X%02X%02X%X%c%02X%02X%02X%02X%02X%02X", b0, b1, b2, second & 15,
                      tenths, x & 0xFF, y & 0xFF, z & 0xFF, t & 0xFF, hundredths, extra);
        char expected[128];
        const int shown = t <= -2 ? t + 1 : t;
        int n = t == -1 ? std::snprintf(expected, sizeof expected, "%4d/%2d/%2d %2d:%2d:%2d.%2d%1d,%3d,%3d,%3d, -0.%c",
                                        2024, month, day, hour, minute, second, hundredths, 0, x, y, z, tenths)
                        : std::snprintf(expected, sizeof expected, "%4d/%2d/%2d %2d:%2d:%2d.%2d%1d,%3d,%3d,%3d,%3d.%c",
                                        2024, month, day, hour, minute, second, hundredths, 0, x, y, z, shown, tenths);
        if (extra != 0)
            std::snprintf(expected + n, sizeof expected - static_cast<std::size_t>(n), ",%2d", extra);
        for (const int p : {5, 8, 11, 14, 17, 20})
            if (expected[p] == ' ')
                expected[p] = '0';
        SetUp(); // a fresh download each time: no year roll-over, no time-order mark
        EXPECT_EQ(Decode(record), expected) << record;
    }
}

TEST_F(RecordDecoderTest, ShortAndOverlongInputStayInsideTheBuffer) {
    const std::string inputs[] = {"", "1", "104C8B85", std::string(LineBuffer::Capacity, 'F'),
                                  std::string(LineBuffer::Capacity, '\xFF')};
    for (const auto& input : inputs) {
        LineBuffer line(input);
        DecodeNextRecord(state, line);
        EXPECT_LE(line.size(), LineBuffer::Capacity);
        EXPECT_EQ(line.view().size(), line.size());
    }
    // Absent characters read as "0": an empty record is the zero time stamp.
    LineBuffer empty("");
    ResetDecoderForDownload(state);
    state.BaseYear = 2024;
    DecodeNextRecord(state, empty);
    EXPECT_EQ(empty.view(), "2024/00/00 00:00:00.000,  0,  0,  0,  0.0");
}

} // namespace
} // namespace vexa
