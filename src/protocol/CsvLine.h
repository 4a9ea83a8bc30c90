// The data line of a recording: its layout is written by FormatCsvLine and read by ParseCsvLine, and
// nowhere else; Sample is what both sides mean by a line.
#pragma once

#include "protocol/LineBuffer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// A data line's date and time, field by field as the line writes them. Nothing checks them against the
// calendar: a damaged record gives month 15 or minute 63, and its line says so.
struct Stamp {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    // The fraction is written as the hundredths (two digits, more on a damaged record) and one
    // thousandths digit.
    int hundredths = 0;
    int thousandths = 0;

    int Millisecond() const { return hundredths * 10 + thousandths; }
    // Milliseconds since 1970-01-01 00:00 on the stamp's own clock (no time zone). Fields beyond their
    // ranges count as they stand: minute 63 is three minutes into the next hour, month 13 the next
    // January, day 0 the last day of the month before.
    std::int64_t Milliseconds() const;
    bool operator==(const Stamp&) const = default;
};

// A temperature as its line writes it: "%3d.%c" or " -0.%c" after a download, the five characters a
// capture took from the logger's answer. The text is kept as written; the reading is taken from it.
class Temperature {
  public:
    static constexpr std::size_t kMaxText = 7;

    Temperature() = default;
    // From a record: whole degrees after the offset rule, minus zero, and the tenths character as sent.
    static Temperature FromRecord(int whole, bool minusZero, char tenths);
    // A field as written, at most kMaxText characters and no comma (nothing otherwise). Its reading is
    // taken as the graph reads a value: blanks, a sign, the whole degrees up to the first other
    // character, then the tenths digit after a "."; blanks only or other text hold no reading.
    static std::optional<Temperature> FromText(std::string_view text);

    std::string_view Text() const { return {text_.data(), length_}; }
    // Tenths of a degree (a tenths character that is not a digit counts as 0); nothing without a reading.
    std::optional<int> Tenths() const { return known_ ? std::optional<int>(tenths_) : std::nullopt; }
    // Whole degrees, truncated toward zero as the graph shows them; 0 without a reading.
    int WholeDegrees() const { return known_ ? tenths_ / 10 : 0; }
    bool operator==(const Temperature&) const = default;

  private:
    std::array<char, kMaxText> text_{};
    std::uint8_t length_ = 0;
    bool known_ = false;
    std::int32_t tenths_ = 0;
};

// One data line: its time, the three axes in raw counts (1 G = counts per G), the temperature, the
// extra field and the irregular mark.
struct Sample {
    Stamp stamp;
    // stamp.Milliseconds(), kept with the sample so that consumers need no calendar; SetStamp sets both.
    std::int64_t timeMs = 0;
    int x = 0, y = 0, z = 0;
    Temperature temperature;
    int extra = 0;          // 0: the line has no extra field
    bool irregular = false; // the time did not advance: the line's first byte is the mark 0x81

    void SetStamp(const Stamp& s) {
        stamp = s;
        timeMs = s.Milliseconds();
    }
    bool operator==(const Sample&) const = default;
};

// The one writer of a data line: "%4d/%2d/%2d %2d:%2d:%2d.%2d%1d,%3d,%3d,%3d,<temperature>[,%2d]", a
// blank at positions 5, 8, 11, 14, 17 and 20 written as "0", the extra field only when it is not 0, and
// the first byte replaced by the mark when the sample is irregular.
void FormatCsvLine(const Sample& sample, LineBuffer& line);
// The longest text a line's fields can make (twelve numbers of at most eleven characters, the temperature
// and the separators): lines are written into a buffer of this size without a check per character, then
// cut to LineBuffer::Capacity.
inline constexpr std::size_t kCsvLineBufferBytes = 12 * 11 + Temperature::kMaxText + 16;
// The same into out, which holds at least kCsvLineBufferBytes; answers the line's length.
std::size_t FormatCsvLine(const Sample& sample, char* out);
std::string FormatCsvLine(const Sample& sample);

// The one reader of a data line: nothing for any other line (headers, comments, replies, a line whose
// values are not numbers). On a marked line the mark stands in the year's first digit, which the line
// no longer has: the year reads as its last three digits.
std::optional<Sample> ParseCsvLine(std::string_view line);

// "MM/DD hh:mm:ss.fff" as the line writes it (its characters 5 to 22), the label of a sample in the graph.
std::string FormatTimeLabel(const Stamp& stamp);
// The same into out (18 characters at most, as many as fit); returns how many were written.
std::size_t FormatTimeLabel(const Stamp& stamp, char* out, std::size_t capacity);

// Mark that replaces the first byte of a record whose time did not advance.
inline constexpr char IrregularMark = '\x81';

} // namespace vexa
