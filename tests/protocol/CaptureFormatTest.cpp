// Tests of the 5-ms capture: sample decoding, time prefix, temperature field and sample lines.
#include "protocol/CaptureFormat.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(CaptureFormat, DurationFromTheDialogTextSaysWhatReplacedIt) {
    const std::string notANumber = "Capture: the duration is not a number of seconds; 10 s used";
    const struct {
        const char* text;
        int seconds;
        std::string note;
    } cases[] = {
        {"5", 5, ""},
        {"30", 30, ""},
        {"360", 360, ""},
        {" 42", 42, ""},
        {"+7", 7, ""},
        {"3", 5, "Capture: 3 s is outside 5..360 s; 5 s used"},
        {"1000", 360, "Capture: 1000 s is outside 5..360 s; 360 s used"},
        {"-20", 5, "Capture: -20 s is outside 5..360 s; 5 s used"},
        {"abc", 10, notANumber},
        {"", 10, notANumber},
        {"12s", 10, notANumber},
        {"4.5", 10, notANumber},
        {"99999999999", 10, notANumber},
    };
    for (const auto& c : cases) {
        const CaptureDuration d = CaptureDurationFromText(c.text);
        EXPECT_EQ(d.seconds, c.seconds) << '"' << c.text << '"';
        EXPECT_EQ(d.note, c.note) << '"' << c.text << '"';
    }
    // Samples asked for: 200 a second; "3" gives 1,000 samples of which 999 are written as lines.
    EXPECT_EQ(CaptureDurationFromText("3").seconds * kCaptureSamplesPerSecond, 1000);
    EXPECT_EQ(CaptureDurationFromText("1000").seconds * kCaptureSamplesPerSecond, 72000);
}

TEST(CaptureFormat, StartAndEndLines) {
    EXPECT_EQ(CaptureStartLine("2024/05/01 09:03:07", 10), "Start Time=2024/05/01 09:03:07 @1G=10");
    EXPECT_EQ(CaptureStartLine("2024/05/01 09:03:07", 100), "Start Time=2024/05/01 09:03:07 @1G=100");
    EXPECT_EQ(CaptureEndLine("2024/05/01 9:08:09"), "End=>2024/05/01 9:08:09");
}

TEST(CaptureFormat, HexPairsAreSignedBytes) {
    const struct {
        const char* pair;
        int value;
    } cases[] = {{"01", 1},   {"FF", -1},  {"ff", -1}, {"81", -127}, {"80", -128},
                 {"7F", 127}, {"7f", 127}, {"0a", 10}, {"0g", 16},   {"00", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(HexPairToSigned8(c.pair[0], c.pair[1]), c.value) << c.pair;
    EXPECT_EQ(LenientHexDigit('a'), 10);
    EXPECT_EQ(LenientHexDigit('A'), 10);
    EXPECT_EQ(LenientHexDigit('9'), 9);
    EXPECT_EQ(LenientHexDigit('G'), 16);
}

TEST(CaptureFormat, ARecordIsALeadAndExactlySixHexDigits) {
    const struct {
        std::string record;
        bool sample;
    } cases[] = {
        {"S01FF81", true},
        {"*7f80a0", true},
        {std::string("\0abcdef", 7), true}, // the lead may be any byte
        {"S01FF8", false},
        {"S01FF810", false},
        {"", false},
        {"S01FG81", false},
        {"S01 F81", false},
        {std::string("S01\0F81", 7), false},
        {"S01ff8:", false},
        {"S-1FF81", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsCaptureRecord(c.record), c.sample) << c.record;
}

TEST(CaptureFormat, RecordGivesXYZ) {
    EXPECT_EQ(DecodeCaptureRecord("*01FF81"), (CaptureSample{1, -1, -127}));
    EXPECT_EQ(DecodeCaptureRecord("x7f80a0"), (CaptureSample{127, -128, -96}));
    EXPECT_EQ(DecodeCaptureRecord("*01"), (CaptureSample{1, 0, 0}));
    EXPECT_EQ(DecodeCaptureRecord(""), (CaptureSample{0, 0, 0}));
}

TEST(CaptureFormat, TimePrefix) {
    EXPECT_EQ(CaptureTimePrefix("2024/05/01 09:03:07"), "2024/05/01 09:03:");
    EXPECT_EQ(CaptureTimePrefix("2024/05/01 9:03:07"), "2024/05/01  9:03:");
    EXPECT_EQ(CaptureTimePrefix("2024/05"), "2024/05");
    EXPECT_EQ(CaptureTimePrefix(""), "");
}

TEST(CaptureFormat, TemperatureField) {
    const std::string pad(32, '.');
    EXPECT_EQ(CaptureTemperatureField(pad + "23.5C"), " 23.5");
    EXPECT_EQ(CaptureTemperatureField(pad + "23.5"), " 23.5");
    EXPECT_EQ(CaptureTemperatureField(pad + "-3.5"), "-3.5 ");
    EXPECT_EQ(CaptureTemperatureField(pad + "-3.5 x"), "-3.5 ");
    EXPECT_EQ(CaptureTemperatureField("X:  -12 Y:    3 Z:   10"), "     ");
    EXPECT_EQ(CaptureTemperatureField(pad + "-12.3"), "-12.3");
    EXPECT_EQ(CaptureTemperatureField(pad + "23"), " 23  ");
    EXPECT_EQ(CaptureTemperatureField(pad + "-1"), "-1   ");
    EXPECT_EQ(CaptureTemperatureField(""), "     ");
}

TEST(CaptureFormat, TimeStampsKeepTheirLayoutUnder100SecondsAndCarryBeyond) {
    const struct {
        const char* start;
        int lastSample;
        int i;
        const char* stamp;
    } cases[] = {
        // Every sample under 100 s: the elapsed seconds follow the start minute as they always have.
        {"2024/05/01 09:03:07", 19999, 1, "2024/05/01 09:03:00.005"},
        {"2024/05/01 09:03:07", 19999, 200, "2024/05/01 09:03:01.000"},
        {"2024/05/01 09:03:07", 19999, 12000, "2024/05/01 09:03:60.000"},
        {"2024/05/01 09:03:07", 19999, 19999, "2024/05/01 09:03:99.995"},
        {"2024/05/01 9:03:07", 999, 1, "2024/05/01  9:03:00.005"},
        // A capture that reaches 100 s carries every stamp into minutes, hours and the date.
        {"2024/05/01 09:03:07", 20000, 1, "2024/05/01 09:03:00.005"},
        {"2024/05/01 09:03:07", 20000, 12000, "2024/05/01 09:04:00.000"},
        {"2024/05/01 09:03:07", 71999, 20000, "2024/05/01 09:04:40.000"},
        {"2024/05/01 09:03:07", 71999, 71999, "2024/05/01 09:08:59.995"},
        {"2024/05/01 09:58:07", 71999, 71999, "2024/05/01 10:03:59.995"},
        {"2024/05/01 9:58:07", 71999, 400, "2024/05/01  9:58:02.000"},
        {"2024/05/01 9:58:07", 71999, 71999, "2024/05/01 10:03:59.995"},
        {"2024/05/31 23:58:30", 71999, 71999, "2024/06/01 00:03:59.995"},
        {"2024/12/31 23:59:59", 71999, 12000, "2025/01/01 00:00:00.000"},
        {"2024/02/28 23:59:00", 71999, 12000, "2024/02/29 00:00:00.000"},
        {"2023/02/28 23:59:00", 71999, 12000, "2023/03/01 00:00:00.000"},
        {"2100/02/28 23:59:00", 71999, 12000, "2100/03/01 00:00:00.000"},
        {"2000/02/29 23:55:00", 71999, 71999, "2000/03/01 00:00:59.995"},
        // A start that is no date and time cannot be carried: the elapsed time follows it as it is.
        {"2024/13/01 09:03:07", 71999, 20000, "2024/13/01 09:03:100.000"},
        {"", 71999, 1, "00.005"},
    };
    for (const auto& c : cases) {
        const CaptureTimeStamps stamps(c.start, c.lastSample);
        std::string stamp;
        stamps.Append(stamp, c.i);
        EXPECT_EQ(stamp, c.stamp) << c.start << " last " << c.lastSample << " sample " << c.i;
    }
}

TEST(CaptureFormat, SampleLineIsStampValuesAndTemperature) {
    const CaptureTimeStamps stamps("2024/05/01 09:03:07", 999);
    EXPECT_EQ(CaptureSampleLine(stamps, 1, {1, -1, -127}, " 23.5"),
              "2024/05/01 09:03:00.005,  1, -1,-127, 23.5");
    EXPECT_EQ(CaptureSampleLine(stamps, 999, {0, 127, -128}, "-3.5 "),
              "2024/05/01 09:03:04.995,  0,127,-128,-3.5 ");
}

} // namespace
} // namespace vexa
