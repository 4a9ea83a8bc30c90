// Tests of the monitor answer scan: axis texts, bar positions and temperature.
#include "protocol/MonitorLine.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(MonitorLine, BarPositionIsClampedToTheTrack) {
    const std::pair<int, int> cases[] = {{-12, 8}, {0, 20}, {20, 40}, {35, 40}, {-20, 0}, {-35, 0}, {99999, 40}};
    for (const auto& [value, position] : cases)
        EXPECT_EQ(BarPosition(value), position) << value;
}

TEST(MonitorLine, AxisFieldsAndNumbers) {
    const struct {
        const char* buffer;
        const char* text;
        std::optional<int> bar;
    } cases[] = {
        {"X:  -12", "  -12", 8},
        {"X:   35", "   35", 40},
        {"X:123456", "12345", 40},
        {"X: abcde", " abcd", std::nullopt},
        {"X:  -", "  -", std::nullopt},
        {"X: 7", " 7", 27},
        {"abcX", "", std::nullopt},
        {"X", "", std::nullopt},
    };
    for (const auto& c : cases) {
        const MonitorScan scan = ScanMonitorLines(c.buffer);
        ASSERT_TRUE(scan.x) << c.buffer;
        EXPECT_EQ(*scan.x, (AxisReading{c.text, c.bar})) << c.buffer;
        EXPECT_FALSE(scan.y);
        EXPECT_FALSE(scan.z);
    }
}

TEST(MonitorLine, LaterOccurrencesOverrideAcrossAccumulatedLines) {
    const MonitorScan scan = ScanMonitorLines("X:    1Y:   -2Z:    3Temp 21.0X:    4Temp 23.5");
    EXPECT_EQ(scan.x, (AxisReading{"    4", 24}));
    EXPECT_EQ(scan.y, (AxisReading{"   -2", 18}));
    EXPECT_EQ(scan.z, (AxisReading{"    3", 23}));
    EXPECT_EQ(scan.temperatureText, "23.5");
}

TEST(MonitorLine, TemperatureTextRunsToTheEnd) {
    EXPECT_EQ(ScanMonitorLines("Temp 23.5").temperatureText, "23.5");
    EXPECT_EQ(ScanMonitorLines("p").temperatureText, "");
    const MonitorScan nothing = ScanMonitorLines("abc");
    EXPECT_FALSE(nothing.temperatureText);
    EXPECT_FALSE(nothing.x);
}

} // namespace
// The line the 5-ms capture takes its temperature from: "X" first, three readable axes, a temperature
// beginning in the five characters at offset 32.
TEST(MonitorLine, ParsesAsMonitorLineOnlyWhereTheCaptureCanReadIt) {
    const struct {
        std::string line;
        bool parses;
    } cases[] = {
        {"X:   -3 Y:    0 Z:   10       p 23.5", true},
        {"X:   -3 Y:    0 Z:   10       p -12.5", true},
        {"X:    0 Y:    0 Z:   10         23.5", true},
        {"X:    0 Y:    0 Z:   10             5", true},
        // Stray stream records in front of it move the temperature away from its place.
        {"S13ED01S14EC02X:    0 Y:    0 Z:   10       p 23.5", false},
        {"X:    0 Y:    0 Z:   10       p", false},
        {"X:    0 Y:    0 Z:   10       p    ", false},
        {"X:    0 Y:    0 Z:   10              5", false},
        {"X:    0 Y:   ab Z:   10       p 23.5", false},
        {"X:    0 Z:   10               p 23.5", false},
        {"", false},
        {"Z", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParsesAsMonitorLine(c.line), c.parses) << c.line;
}

} // namespace vexa
