// Tests of the 5-ms capture: sample decoding, time prefix, temperature field and sample lines.
#include "protocol/CaptureFormat.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

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
