// Reading the monitor's answer: axis values for the bars and the temperature text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// One axis as the monitor shows it: the five characters after the letter's separator, and the bar
// position when a number could be read there.
struct AxisReading {
    std::string text;
    std::optional<int> barPosition;
    bool operator==(const AxisReading&) const = default;
};

// What one scan of the accumulated answer found; an empty member leaves its control as it is.
struct MonitorScan {
    std::optional<std::string> temperatureText; // shown followed by "C"
    std::optional<AxisReading> x, y, z;
};

// Bars run from 0 to 40 with 0 G at 20; values beyond ±20 stay at the ends.
int BarPosition(int value);

// Scans all lines of the answer so far (they accumulate without separators). Every "p" takes the text
// from two places after it, every "X", "Y", "Z" the five characters from two places after it; a later
// occurrence replaces an earlier one.
MonitorScan ScanMonitorLines(std::string_view buffer);

// One line of the monitor's answer as the logger sends it: "X" first, a number after each of "X", "Y"
// and "Z", and a temperature (blanks, an optional "-", digits) beginning within the five characters at
// offset 32, which the 5-ms capture takes as its temperature field. Stray bytes in front of the line (the
// end of an earlier stream) fail the test.
bool ParsesAsMonitorLine(std::string_view line);

} // namespace vexa
