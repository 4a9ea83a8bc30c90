// Tests of the 5-ms capture: sample decoding, time prefix, temperature field and sample lines.
#include "protocol/CaptureFormat.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(CaptureFormat, DurationFromTheDialogText) {
    const struct {
        const char* text;
        int seconds;
    } cases[] = {{"3", 5},     {"5", 5},     {"30", 30},   {"360", 360}, {"1000", 360}, {" 42", 42},
                 {"-20", 5},   {"+7", 7},    {"abc", 10},  {"", 10},     {"12s", 10},   {"4.5", 10},
                 {"99999999999", 10}};
    for (const auto& c : cases) {
        EXPECT_EQ(CaptureSecondsFromText(c.text), c.seconds) << '"' << c.text << '"';
    }
    // Samples asked for: 200 a second; "3" gives 1,000 samples of which 999 are written as lines.
    EXPECT_EQ(CaptureSecondsFromText("3") * kCaptureSamplesPerSecond, 1000);
    EXPECT_EQ(CaptureSecondsFromText("1000") * kCaptureSamplesPerSecond, 72000);
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

TEST(CaptureFormat, SampleLineCarriesElapsedTime) {
    const std::string prefix = "2024/05/01 09:03:";
    const CaptureSample sample{1, -1, -127};
    const struct {
        int i;
        const char* line;
    } cases[] = {
        {1, "2024/05/01 09:03:00.005,  1, -1,-127, 23.5"},
        {199, "2024/05/01 09:03:00.995,  1, -1,-127, 23.5"},
        {200, "2024/05/01 09:03:01.000,  1, -1,-127, 23.5"},
        {12000, "2024/05/01 09:03:60.000,  1, -1,-127, 23.5"},
        {25000, "2024/05/01 09:03:125.000,  1, -1,-127, 23.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CaptureSampleLine(prefix, c.i, sample, " 23.5"), c.line) << c.i;
}

} // namespace
} // namespace vexa
