// Decoding of downloaded record lines (hexadecimal) into CSV data lines, with the time-order check.
#include "protocol/RecordDecoder.h"

#include "protocol/IntegerConversion.h"

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
        if (length_ < capacity_) out_[length_] = c;
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
        if (value < 0) digits[count++] = '-';
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

Sample DecodeSample(RecordDecoderState& s, std::string_view record, DecodeOutcome& outcome) {
    const Record rec(record);
    const int b0 = rec.byte(0), b1 = rec.byte(2), b2 = rec.byte(4), b3 = rec.byte(6);

    s.ExtraDigit = s.ExtraDigitMode == 1 ? rec.digit(20) : 0;

    s.PreviousYearBits = s.YearBits;
    s.YearBits = (b0 & 0x0C) >> 2;
    if (s.YearBits == 0 && s.PreviousYearBits == 3) s.YearCarry = 4;
    s.YearBits |= s.YearCarry;

    Sample sample;
    s.RecordMonth = b0 / 16;
    sample.month = s.RecordMonth;
    sample.hour = b1 & 0x1F;
    sample.day = (b0 & 3) * 8 + b1 / 32;
    sample.minute = b2 / 4;
    sample.second = (b3 / 16) | ((b2 & 3) * 16);

    if (s.RecordMonth < s.PreviousRecordMonth) ++s.BaseYear;
    sample.year = s.BaseYear;

    sample.x = rec.signedByte(8);
    sample.y = rec.signedByte(10);
    sample.z = rec.signedByte(12);
    const int temperature = rec.signedByte(14);

    if (rec.has(16)) {
        sample.tenths = rec.at(7);
        if (rec.has(17)) sample.hundredths = rec.hexField(16);
    }
    sample.extra = rec.has(18) ? rec.hexField(18) : 0;
    sample.thousandths = s.ExtraDigit;

    s.PreviousTimeKey = s.TimeKey;
    s.PreviousDateKey = s.DateKey;
    s.DateKey = s.YearBits * 10000 + s.RecordMonth * 100 + sample.day;
    s.TimeKey = sample.hour * 10000000 + sample.minute * 100000 + sample.second * 1000 +
                sample.hundredths * 10 + s.ExtraDigit;

    // -1 stands for minus zero; below that the logger sends one less than the whole degrees.
    sample.minusZero = temperature == -1;
    sample.temperature = temperature <= -2 ? temperature + 1 : (sample.minusZero ? 0 : temperature);

    outcome = DecodeOutcome{};
    if (s.PreviousTimeKey != 0 && s.PreviousTimeKey >= s.TimeKey && s.PreviousDateKey >= s.DateKey &&
        (s.DateKey != 0 || s.RecordMonth == s.PreviousRecordMonth)) {
        s.IrregularFound = true;
        outcome.markedThis = true;
        sample.irregular = true;
    }
    if (sample.hundredths >= 100) s.IrregularFound = true;
    outcome.irregularFound = s.IrregularFound;
    return sample;
}

void FormatCsvLine(const Sample& sample, LineBuffer& line) {
    // Hand-written "%4d/%2d/%2d %2d:%2d:%2d.%2d%1d,%3d,%3d,%3d,%3d.%c[,%2d]": snprintf would take most of
    // the time of a 72,000-record download.
    char* out = line.data();
    LineWriter w(out, LineBuffer::Capacity);
    w.number(sample.year, 4).put('/').number(sample.month, 2).put('/').number(sample.day, 2).put(' ');
    w.number(sample.hour, 2).put(':').number(sample.minute, 2).put(':').number(sample.second, 2).put('.');
    w.number(sample.hundredths, 2).number(sample.thousandths, 1).put(',');
    w.number(sample.x, 3).put(',').number(sample.y, 3).put(',').number(sample.z, 3).put(',');
    if (sample.minusZero)
        w.put(' ').put('-').put('0');
    else
        w.number(sample.temperature, 3);
    w.put('.').put(sample.tenths);
    if (sample.extra != 0) w.put(',').number(sample.extra, 2);
    line.resize(w.length());
    if (sample.irregular && !line.empty()) out[0] = IrregularMark;
    for (const std::size_t p : PaddedPositions)
        if (p < line.size() && out[p] == ' ') out[p] = '0';
}

std::string FormatCsvLine(const Sample& sample) {
    LineBuffer line;
    FormatCsvLine(sample, line);
    return std::string(line.view());
}

DecodeOutcome DecodeRecord(RecordDecoderState& s, LineBuffer& line) {
    // Everything is read from the record before the buffer is overwritten.
    DecodeOutcome outcome;
    const Sample sample = DecodeSample(s, line.view(), outcome);
    FormatCsvLine(sample, line);
    return outcome;
}

namespace {

// A whole number field: blanks, an optional minus, one or more digits and nothing else.
std::optional<int> IntField(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    std::size_t digits = text.starts_with('-') ? 1 : 0;
    if (digits == text.size() || text.size() > 10) return std::nullopt;
    for (std::size_t i = digits; i < text.size(); ++i)
        if (!IsDigit(text[i])) return std::nullopt;
    return LenientToInt(text);
}

// Cuts text at the first sep; the part before goes to head.
bool Cut(std::string_view& text, char sep, std::string_view& head) {
    const std::size_t at = text.find(sep);
    if (at == std::string_view::npos) return false;
    head = text.substr(0, at);
    text.remove_prefix(at + 1);
    return true;
}

} // namespace

std::optional<Sample> ParseCsvLine(std::string_view line) {
    Sample s;
    std::string_view rest = line, year, month, day, hour, minute, second, fraction, x, y, z, temperature;
    if (!line.empty() && line.front() == IrregularMark) {
        // The mark took the place of the year's first digit.
        s.irregular = true;
        rest.remove_prefix(1);
    }
    if (!Cut(rest, '/', year) || !Cut(rest, '/', month) || !Cut(rest, ' ', day) || !Cut(rest, ':', hour) ||
        !Cut(rest, ':', minute) || !Cut(rest, '.', second) || !Cut(rest, ',', fraction) ||
        !Cut(rest, ',', x) || !Cut(rest, ',', y) || !Cut(rest, ',', z))
        return std::nullopt;
    std::string_view extra;
    temperature = rest;
    if (Cut(rest, ',', temperature)) extra = rest;
    // The fraction is the hundredths followed by one thousandths digit.
    if (fraction.size() < 2 || !IsDigit(fraction.back())) return std::nullopt;
    const std::size_t dot = temperature.find('.');
    if (dot == std::string_view::npos || dot + 2 != temperature.size()) return std::nullopt;
    const std::string_view whole = temperature.substr(0, dot);
    const std::optional<int> fields[] = {
        IntField(year),
        IntField(month),
        IntField(day),
        IntField(hour),
        IntField(minute),
        IntField(second),
        IntField(fraction.substr(0, fraction.size() - 1)),
        IntField(x),
        IntField(y),
        IntField(z),
        IntField(whole),
    };
    for (const auto& f : fields)
        if (!f) return std::nullopt;
    s.year = *fields[0];
    s.month = *fields[1];
    s.day = *fields[2];
    s.hour = *fields[3];
    s.minute = *fields[4];
    s.second = *fields[5];
    s.hundredths = *fields[6];
    s.thousandths = fraction.back() - '0';
    s.x = *fields[7];
    s.y = *fields[8];
    s.z = *fields[9];
    s.temperature = *fields[10];
    s.minusZero = s.temperature == 0 && whole.find('-') != std::string_view::npos;
    s.tenths = temperature.back();
    if (!extra.empty()) {
        const auto e = IntField(extra);
        if (!e) return std::nullopt;
        s.extra = *e;
    }
    return s;
}

DecodeOutcome DecodeNextRecord(RecordDecoderState& state, LineBuffer& line) {
    state.PreviousRecordMonth = state.RecordMonth;
    return DecodeRecord(state, line);
}

} // namespace vexa
