// The 5-ms capture: decoding of streamed samples and the text lines written after the stream ends.
#include "protocol/CaptureFormat.h"

#include "protocol/IntegerConversion.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace vexa {

CaptureDuration CaptureDurationFromText(std::string_view text) {
    CaptureDuration d;
    int typed = 0;
    try {
        typed = StrictToInt(text);
    } catch (const EConvertError&) {
        d.note = "Capture: the duration is not a number of seconds; " + std::to_string(d.seconds) + " s used";
        return d;
    }
    d.seconds = std::clamp(typed, kCaptureMinSeconds, kCaptureMaxSeconds);
    if (d.seconds != typed)
        d.note = "Capture: " + std::to_string(typed) + " s is outside " + std::to_string(kCaptureMinSeconds) +
                 ".." + std::to_string(kCaptureMaxSeconds) + " s; " + std::to_string(d.seconds) + " s used";
    return d;
}

std::string CaptureStartLine(std::string_view startText, int countsPerG) {
    return "Start Time=" + std::string(startText) + " @1G=" + std::to_string(countsPerG);
}

std::string CaptureEndLine(std::string_view endText) { return "End=>" + std::string(endText); }

int LenientHexDigit(char c) {
    const int code = static_cast<unsigned char>(c);
    if (code >= 'a')
        return code - 87;
    if (code >= 'A')
        return code - 55;
    return code - 48;
}

std::int8_t HexPairToSigned8(char high, char low) {
    const int value = 16 * LenientHexDigit(high) + LenientHexDigit(low);
    // Keep the low eight bits, as the logger's byte would be.
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
}

CaptureSample DecodeCaptureRecord(std::string_view record) {
    const auto at = [&](std::size_t i) { return i < record.size() ? record[i] : '0'; };
    return {HexPairToSigned8(at(1), at(2)), HexPairToSigned8(at(3), at(4)), HexPairToSigned8(at(5), at(6))};
}

bool IsCaptureRecord(std::string_view record) {
    if (record.size() != kCaptureRecordLength) return false;
    for (const char c : record.substr(1))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

std::string CaptureTimePrefix(std::string_view startText) {
    constexpr std::size_t HourPos = 11, PrefixLength = 17;
    std::string text(startText);
    if (text.size() > 12 && text[12] == ':')
        text.insert(HourPos, 1, ' ');
    return text.substr(0, PrefixLength);
}

std::string CaptureTemperatureField(std::string_view answerLine) {
    constexpr std::size_t Offset = 32, Width = 5;
    char field[Width];
    for (std::size_t k = 0; k < Width; ++k)
        field[k] = Offset + k < answerLine.size() ? answerLine[Offset + k] : ' ';
    if (field[0] != '-') {
        for (std::size_t k = Width - 1; k > 0; --k)
            field[k] = field[k - 1];
        field[0] = ' ';
    }
    return std::string(field, Width);
}

namespace {

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The number of `width` characters at pos: digits, optionally led by blanks; nothing otherwise.
std::optional<int> FixedNumber(std::string_view text, std::size_t pos, std::size_t width) {
    if (pos + width > text.size()) return std::nullopt;
    int value = 0;
    bool digits = false;
    for (std::size_t k = pos; k < pos + width; ++k) {
        const char c = text[k];
        if (c == ' ' && !digits) continue;
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        digits = true;
    }
    return digits ? std::optional<int>(value) : std::nullopt;
}

} // namespace

CaptureTimeStamps::CaptureTimeStamps(std::string_view startText, int lastSample)
    : prefix_(CaptureTimePrefix(startText)) {
    if (lastSample < kCaptureCarryFromSample) return;
    // "yyyy/mm/dd hh:mm:" at fixed places; a start that is not a date and time keeps the plain layout.
    const auto year = FixedNumber(prefix_, 0, 4), month = FixedNumber(prefix_, 5, 2),
               day = FixedNumber(prefix_, 8, 2), hour = FixedNumber(prefix_, 11, 2),
               minute = FixedNumber(prefix_, 14, 2);
    if (prefix_.size() != 17 || !year || !month || !day || !hour || !minute || *month < 1 || *month > 12 ||
        *day < 1 || *day > DaysInMonth(*year, *month) || *hour > 23 || *minute > 59)
        return;
    carries_ = true;
    year_ = *year;
    month_ = *month;
    day_ = *day;
    hour_ = *hour;
    minute_ = *minute;
    hourPad_ = prefix_[11] == ' ' ? ' ' : '0';
}

void CaptureTimeStamps::Append(std::string& line, int i) const {
    const long elapsedMs = long(i) * 5;
    char text[40];
    int n = 0;
    if (!carries_) {
        n = std::snprintf(text, sizeof text, "%.2ld.%.3ld", elapsedMs / 1000, elapsedMs % 1000);
        line.append(prefix_).append(text, std::size_t(n));
        return;
    }
    const long totalSeconds = elapsedMs / 1000;
    long minutes = minute_ + totalSeconds / 60;
    long hours = hour_ + minutes / 60;
    int year = year_, month = month_, day = day_;
    // At most one midnight lies within a capture; the loop keeps any length right.
    for (long days = hours / 24; days > 0; --days) {
        if (++day > DaysInMonth(year, month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    minutes %= 60;
    hours %= 24;
    if (hourPad_ == ' ' && hours < 10)
        n = std::snprintf(text, sizeof text, "%04d/%02d/%02d %2ld:%02ld:%02ld.%03ld", year, month, day, hours,
                          minutes, totalSeconds % 60, elapsedMs % 1000);
    else
        n = std::snprintf(text, sizeof text, "%04d/%02d/%02d %02ld:%02ld:%02ld.%03ld", year, month, day,
                          hours, minutes, totalSeconds % 60, elapsedMs % 1000);
    line.append(text, std::size_t(n));
}

std::string CaptureSampleLine(const CaptureTimeStamps& stamps, int i, const CaptureSample& sample,
                              std::string_view temperatureField) {
    char values[48];
    const int n = std::snprintf(values, sizeof values, ",%3d,%3d,%3d,", sample.x, sample.y, sample.z);
    std::string line;
    line.reserve(32 + static_cast<std::size_t>(n) + temperatureField.size());
    stamps.Append(line, i);
    line.append(values, static_cast<std::size_t>(n)).append(temperatureField);
    return line;
}

} // namespace vexa
