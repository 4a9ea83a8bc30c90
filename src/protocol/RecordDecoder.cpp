// Decoding of downloaded record lines (hexadecimal) into CSV data lines, with the time-order check.
#include "protocol/RecordDecoder.h"

#include <limits>

namespace vexa {

namespace {

// The record as read: characters past its end are absent and read as "0" in the fixed fields.
class Record {
  public:
    explicit Record(std::string_view text) : text_(text) {}
    bool has(std::size_t i) const { return i < text_.size(); }
    char at(std::size_t i) const { return has(i) ? text_[i] : '0'; }

    // Upper-case digit rule, unchecked: above "9" is code - 55, anything else code - 48.
    int digit(std::size_t i) const {
        const int c = static_cast<unsigned char>(at(i));
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
};

// Writes printf-style fields into a fixed buffer, dropping what does not fit.
class LineWriter {
  public:
    LineWriter(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {}
    LineWriter& put(char c) {
        if (length_ < capacity_)
            out_[length_] = c;
        ++length_;
        return *this;
    }
    // As "%<width>d": right-aligned, blanks in front, the sign before the digits.
    LineWriter& number(int value, int width) {
        char digits[12];
        int count = 0;
        unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0)
            digits[count++] = '-';
        for (int pad = width - count; pad > 0; --pad)
            put(' ');
        while (count > 0)
            put(digits[--count]);
        return *this;
    }
    std::size_t length() const { return length_ < capacity_ ? length_ : capacity_; }

  private:
    char* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

constexpr std::size_t PaddedPositions[] = {5, 8, 11, 14, 17, 20};

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

DecodeOutcome DecodeRecord(RecordDecoderState& s, LineBuffer& line) {
    // Everything is read from the record before the buffer is overwritten.
    const Record rec(line.view());
    const int b0 = rec.byte(0), b1 = rec.byte(2), b2 = rec.byte(4), b3 = rec.byte(6);

    s.ExtraDigit = s.ExtraDigitMode == 1 ? rec.digit(20) : 0;

    s.PreviousYearBits = s.YearBits;
    s.YearBits = (b0 & 0x0C) >> 2;
    if (s.YearBits == 0 && s.PreviousYearBits == 3)
        s.YearCarry = 4;
    s.YearBits |= s.YearCarry;

    s.RecordMonth = b0 / 16;
    const int hour = b1 & 0x1F;
    const int day = (b0 & 3) * 8 + b1 / 32;
    const int minute = b2 / 4;
    const int second = (b3 / 16) | ((b2 & 3) * 16);

    // The start year comes from the logger's text; at the top of the int range it stays put instead of
    // overflowing.
    if (s.RecordMonth < s.PreviousRecordMonth && s.BaseYear < std::numeric_limits<int>::max())
        ++s.BaseYear;

    const int x = rec.signedByte(8), y = rec.signedByte(10), z = rec.signedByte(12);
    int temperature = rec.signedByte(14);

    int hundredths = 0;
    char tenths = '0';
    if (rec.has(16)) {
        tenths = rec.at(7);
        if (rec.has(17))
            hundredths = rec.hexField(16);
    }
    const int extra = rec.has(18) ? rec.hexField(18) : 0;

    s.PreviousTimeKey = s.TimeKey;
    s.PreviousDateKey = s.DateKey;
    s.DateKey = s.YearBits * 10000 + s.RecordMonth * 100 + day;
    s.TimeKey = hour * 10000000 + minute * 100000 + second * 1000 + hundredths * 10 + s.ExtraDigit;

    // -1 stands for minus zero; below that the logger sends one less than the whole degrees.
    const bool minusZero = temperature == -1;
    if (temperature <= -2)
        temperature += 1;

    // Hand-written "%4d/%2d/%2d %2d:%2d:%2d.%2d%1d,%3d,%3d,%3d,%3d.%c[,%2d]": snprintf would take most of
    // the time of a 72,000-record download.
    char* out = line.data();
    LineWriter w(out, LineBuffer::Capacity);
    w.number(s.BaseYear, 4).put('/').number(s.RecordMonth, 2).put('/').number(day, 2).put(' ');
    w.number(hour, 2).put(':').number(minute, 2).put(':').number(second, 2).put('.');
    w.number(hundredths, 2).number(s.ExtraDigit, 1).put(',');
    w.number(x, 3).put(',').number(y, 3).put(',').number(z, 3).put(',');
    if (minusZero)
        w.put(' ').put('-').put('0');
    else
        w.number(temperature, 3);
    w.put('.').put(tenths);
    if (extra != 0)
        w.put(',').number(extra, 2);
    line.resize(w.length());

    DecodeOutcome outcome;
    if (s.PreviousTimeKey != 0 && s.PreviousTimeKey >= s.TimeKey && s.PreviousDateKey >= s.DateKey &&
        (s.DateKey != 0 || s.RecordMonth == s.PreviousRecordMonth)) {
        s.IrregularFound = true;
        outcome.markedThis = true;
        if (!line.empty())
            out[0] = IrregularMark;
    }
    if (hundredths >= 100)
        s.IrregularFound = true;

    for (const std::size_t p : PaddedPositions)
        if (p < line.size() && out[p] == ' ')
            out[p] = '0';

    outcome.irregularFound = s.IrregularFound;
    return outcome;
}

DecodeOutcome DecodeNextRecord(RecordDecoderState& state, LineBuffer& line) {
    state.PreviousRecordMonth = state.RecordMonth;
    return DecodeRecord(state, line);
}

} // namespace vexa
