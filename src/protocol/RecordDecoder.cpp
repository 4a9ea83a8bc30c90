// Decoding of downloaded record lines (hexadecimal) into CSV data lines, with the time-order check.
#include "protocol/RecordDecoder.h"

#include "protocol/IntegerConversion.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace vexa {

namespace {

// The record as read: characters past its end are absent and read as "0" in the fixed fields.
class Record {
  public:
    explicit Record(std::string_view text) : text_(text) {
        // The fixed fields are read from a copy padded with "0", so that no read needs a check. A whole
        // record (twenty characters or more) is copied in one fixed-size move.
        if (text.size() >= 20) {
            std::memcpy(chars_.data(), text.data(), 20);
            chars_[20] = text.size() > 20 ? text[20] : '0';
        } else {
            chars_.fill('0');
            std::copy_n(text.begin(), text.size(), chars_.begin());
        }
    }
    bool has(std::size_t i) const { return i < text_.size(); }
    char at(std::size_t i) const { return chars_[i]; }

    // Upper-case digit rule, unchecked: above "9" is code - 55, anything else code - 48.
    int digit(std::size_t i) const {
        const int c = static_cast<unsigned char>(chars_[i]);
        return c > '9' ? c - 55 : c - 48;
    }
    int byte(std::size_t i) const { return 16 * digit(i) + digit(i + 1); }
    int signedByte(std::size_t i) const {
        const int b = byte(i);
        return b > 127 ? b - 256 : b;
    }

    // Up to two hexadecimal digits (either case) from i, stopping at the first other character.
    int hexField(std::size_t i) const {
        int value = 0;
        for (std::size_t k = i; k < i + 2 && has(k); ++k) {
            const char c = text_[k];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else
                break;
            value = value * 16 + d;
        }
        return value;
    }

  private:
    std::string_view text_;
    std::array<char, 21> chars_; // characters 0..20, the last fixed one
};

// The stamp's milliseconds as Stamp::Milliseconds counts them (its day's midnight plus the time of day),
// the midnight worked out once per day.
std::int64_t MillisecondsOf(RecordDecoderState::Reused& r, const Stamp& stamp) {
    if (!r.dayKnown || stamp.year != r.year || stamp.month != r.month || stamp.day != r.day) {
        Stamp midnight;
        midnight.year = stamp.year;
        midnight.month = stamp.month;
        midnight.day = stamp.day;
        r.dayMs = midnight.Milliseconds();
        r.year = stamp.year;
        r.month = stamp.month;
        r.day = stamp.day;
        r.dayKnown = true;
    }
    return r.dayMs + ((std::int64_t(stamp.hour) * 60 + stamp.minute) * 60 + stamp.second) * 1000 +
           std::int64_t(stamp.hundredths) * 10 + stamp.thousandths;
}

} // namespace

void ResetDecoderKeys(RecordDecoderState& state) {
    state.PreviousTimeKey = 0;
    state.TimeKey = 0;
    state.PreviousDateKey = 0;
    state.DateKey = 0;
    state.IrregularFound = false;
    state.PreviousYearBits = 0;
    state.YearCarry = 0;
}

void ResetDecoderForDownload(RecordDecoderState& state) {
    ResetDecoderKeys(state);
    state.RecordMonth = 0;
    state.YearBits = 0;
}

Sample DecodeSample(RecordDecoderState& s, std::string_view record, DecodeOutcome& outcome) {
    const Record rec(record);
    const int b0 = rec.byte(0), b1 = rec.byte(2), b2 = rec.byte(4), b3 = rec.byte(6);

    s.ExtraDigit = s.ExtraDigitMode == 1 ? rec.digit(20) : 0;

    s.PreviousYearBits = s.YearBits;
    s.YearBits = (b0 & 0x0C) >> 2;
    if (s.YearBits == 0 && s.PreviousYearBits == 3) s.YearCarry = 4;
    s.YearBits |= s.YearCarry;

    Stamp stamp;
    s.RecordMonth = b0 / 16;
    stamp.month = s.RecordMonth;
    stamp.hour = b1 & 0x1F;
    stamp.day = (b0 & 3) * 8 + b1 / 32;
    stamp.minute = b2 / 4;
    stamp.second = (b3 / 16) | ((b2 & 3) * 16);

    // The start year comes from the logger's text; at the top of the int range it stays put instead of
    // overflowing.
    if (s.RecordMonth < s.PreviousRecordMonth && s.BaseYear < std::numeric_limits<int>::max()) ++s.BaseYear;
    stamp.year = s.BaseYear;

    Sample sample;
    sample.x = rec.signedByte(8);
    sample.y = rec.signedByte(10);
    sample.z = rec.signedByte(12);
    const int temperature = rec.signedByte(14);

    char tenths = '0';
    if (rec.has(16)) {
        tenths = rec.at(7);
        if (rec.has(17)) stamp.hundredths = rec.hexField(16);
    }
    sample.extra = rec.has(18) ? rec.hexField(18) : 0;
    stamp.thousandths = s.ExtraDigit;
    sample.stamp = stamp;
    sample.timeMs = MillisecondsOf(s.reused, stamp);

    s.PreviousTimeKey = s.TimeKey;
    s.PreviousDateKey = s.DateKey;
    s.DateKey = s.YearBits * 10000 + s.RecordMonth * 100 + stamp.day;
    s.TimeKey = stamp.hour * 10000000 + stamp.minute * 100000 + stamp.second * 1000 + stamp.hundredths * 10 +
                s.ExtraDigit;

    // -1 stands for minus zero; below that the logger sends one less than the whole degrees.
    const bool minusZero = temperature == -1;
    sample.temperature = Temperature::FromRecord(
        temperature <= -2 ? temperature + 1 : (minusZero ? 0 : temperature), minusZero, tenths);

    outcome = DecodeOutcome{};
    if (s.PreviousTimeKey != 0 && s.PreviousTimeKey >= s.TimeKey && s.PreviousDateKey >= s.DateKey &&
        (s.DateKey != 0 || s.RecordMonth == s.PreviousRecordMonth)) {
        s.IrregularFound = true;
        outcome.markedThis = true;
        sample.irregular = true;
    }
    if (stamp.hundredths >= 100) s.IrregularFound = true;
    outcome.irregularFound = s.IrregularFound;
    return sample;
}

DecodeOutcome DecodeRecord(RecordDecoderState& s, LineBuffer& line) {
    // Everything is read from the record before the buffer is overwritten.
    DecodeOutcome outcome;
    const Sample sample = DecodeSample(s, line.view(), outcome);
    FormatCsvLine(sample, line);
    return outcome;
}

DecodeOutcome DecodeNextRecord(RecordDecoderState& state, LineBuffer& line) {
    state.PreviousRecordMonth = state.RecordMonth;
    return DecodeRecord(state, line);
}

} // namespace vexa
