// Reading the monitor's answer: axis values for the bars and the temperature text.
#include "protocol/MonitorLine.h"

#include "protocol/IntegerConversion.h"

#include <algorithm>

namespace vexa {

namespace {

constexpr std::size_t ValueOffset = 2;
constexpr std::size_t ValueWidth = 5;

// A decimal number inside the field: leading spaces, a sign, digits; nothing if no digit follows.
std::optional<int> ReadNumber(std::string_view field) {
    std::size_t pos = std::min(field.find_first_not_of(' '), field.size());
    if (pos < field.size() && (field[pos] == '-' || field[pos] == '+'))
        ++pos;
    if (pos >= field.size() || !IsDigit(field[pos]))
        return std::nullopt;
    return LenientToInt(field);
}

AxisReading ReadAxis(std::string_view buffer, std::size_t letter) {
    const std::size_t start = std::min(letter + ValueOffset, buffer.size());
    const std::string_view field = buffer.substr(start, ValueWidth);
    AxisReading reading{std::string(field), std::nullopt};
    if (const auto number = ReadNumber(field))
        reading.barPosition = BarPosition(*number);
    return reading;
}

} // namespace

int BarPosition(int value) { return std::clamp(value + 20, 0, 40); }

MonitorScan ScanMonitorLines(std::string_view buffer) {
    MonitorScan scan;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        switch (buffer[i]) {
        case 'p':
            // A "p" in the last place has no text after its separator.
            scan.temperatureText = std::string(buffer.substr(std::min(i + ValueOffset, buffer.size())));
            break;
        case 'X':
            scan.x = ReadAxis(buffer, i);
            break;
        case 'Y':
            scan.y = ReadAxis(buffer, i);
            break;
        case 'Z':
            scan.z = ReadAxis(buffer, i);
            break;
        default:
            break;
        }
    }
    return scan;
}

bool ParsesAsMonitorLine(std::string_view line) {
    constexpr std::size_t TemperatureOffset = 32;
    if (line.empty() || line[0] != 'X' || line.size() <= TemperatureOffset) return false;
    const MonitorScan scan = ScanMonitorLines(line);
    const auto readable = [](const std::optional<AxisReading>& a) { return a && a->barPosition; };
    if (!readable(scan.x) || !readable(scan.y) || !readable(scan.z)) return false;
    std::size_t pos = TemperatureOffset;
    // The capture reads five characters there, so the number must begin inside them.
    while (pos < line.size() && pos < TemperatureOffset + 4 && line[pos] == ' ')
        ++pos;
    if (pos < line.size() && line[pos] == '-') ++pos;
    return pos < line.size() && IsDigit(line[pos]);
}

} // namespace vexa
