// The data line of a recording: its layout is written by FormatCsvLine and read by ParseCsvLine, and
// nowhere else; Sample is what both sides mean by a line.
#include "protocol/CsvLine.h"

#include "protocol/IntegerConversion.h"

#include <algorithm>
#include <array>

namespace vexa {

namespace {

// Days from 1970-01-01 to the first of the month (proleptic Gregorian calendar); the month may lie
// outside 1..12 and moves the year.
std::int64_t DaysToMonth(std::int64_t year, std::int64_t month) {
    const std::int64_t m0 = month - 1;
    const std::int64_t years = m0 >= 0 ? m0 / 12 : -((11 - m0) / 12); // rounded down
    year += years;
    month = m0 - years * 12 + 1;
    // Days before March: the year counted from March puts the leap day last.
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yoe = year - era * 400;
    const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// "00" .. "99", so that the two-digit fields of a line take one copy each.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int v = 0; v < 100; ++v) {
        pairs[std::size_t(2 * v)] = char('0' + v / 10);
        pairs[std::size_t(2 * v + 1)] = char('0' + v % 10);
    }
    return pairs;
}();

// "%3d" of -99 .. 999, three characters each: the axes of a decoded record take one copy.
constexpr int kThreeLowest = -99, kThreeHighest = 999;
constexpr auto kThreeWide = [] {
    std::array<char, 3 * (kThreeHighest - kThreeLowest + 1)> table{};
    for (int v = kThreeLowest; v <= kThreeHighest; ++v) {
        char* out = &table[std::size_t(3 * (v - kThreeLowest))];
        const int m = v < 0 ? -v : v;
        out[0] = v >= 100 ? char('0' + m / 100) : (v <= -10 ? '-' : ' ');
        out[1] = m >= 10 ? char('0' + m / 10 % 10) : (v < 0 ? '-' : ' ');
        out[2] = char('0' + m % 10);
    }
    return table;
}();

// Writes printf-style fields into a buffer of at least kCsvLineBufferBytes bytes.
class LineWriter {
  public:
    explicit LineWriter(char* out) : begin_(out), end_(out) {}
    LineWriter& put(char c) {
        *end_++ = c;
        return *this;
    }
    LineWriter& put(std::string_view text) {
        std::copy(text.begin(), text.end(), end_);
        end_ += text.size();
        return *this;
    }
    // As "%<width>d": right-aligned, blanks in front, the sign before the digits.
    LineWriter& number(int value, int width) {
        // Values of up to four digits, the usual ones, are written from the pair table.
        const bool negative = value < 0;
        const unsigned magnitude =
            negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
        if (magnitude >= 10000) return wide(negative, magnitude, width);
        const int count = (magnitude >= 1000 ? 4 : magnitude >= 100 ? 3 : magnitude >= 10 ? 2 : 1) + negative;
        for (int pad = width - count; pad > 0; --pad)
            *end_++ = ' ';
        if (negative) *end_++ = '-';
        if (magnitude >= 1000)
            end_ = std::copy_n(&kDigitPairs[2 * (magnitude / 100)], 2, end_);
        else if (magnitude >= 100)
            *end_++ = char('0' + magnitude / 100);
        if (magnitude >= 10)
            end_ = std::copy_n(&kDigitPairs[2 * (magnitude % 100)], 2, end_);
        else
            *end_++ = char('0' + magnitude);
        return *this;
    }
    std::size_t length() const { return std::size_t(end_ - begin_); }

  private:
    LineWriter& wide(bool negative, unsigned magnitude, int width) {
        char digits[12];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (negative) digits[count++] = '-';
        for (int pad = width - count; pad > 0; --pad)
            *end_++ = ' ';
        while (count > 0)
            *end_++ = digits[--count];
        return *this;
    }

    char* begin_;
    char* end_;
};

// Month, day, hour, minute, second and hundredths always show two digits.
constexpr std::size_t PaddedPositions[] = {5, 8, 11, 14, 17, 20};

void WriteStamp(LineWriter& w, const Stamp& s) {
    w.number(s.year, 4).put('/').number(s.month, 2).put('/').number(s.day, 2).put(' ');
    w.number(s.hour, 2).put(':').number(s.minute, 2).put(':').number(s.second, 2).put('.');
    w.number(s.hundredths, 2).number(s.thousandths, 1);
}

void PadWithZeros(char* out, std::size_t length) {
    for (const std::size_t p : PaddedPositions)
        if (p < length && out[p] == ' ') out[p] = '0';
}

bool IsPad(char c) {
    return c == ' ';
}

// A whole number field: blanks, an optional minus, one to nine digits and nothing else.
std::optional<int> IntField(std::string_view text) {
    while (!text.empty() && IsPad(text.front()))
        text.remove_prefix(1);
    const std::size_t sign = text.starts_with('-') ? 1 : 0;
    if (sign == text.size() || text.size() - sign > 9) return std::nullopt;
    for (std::size_t i = sign; i < text.size(); ++i)
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

std::int64_t Stamp::Milliseconds() const {
    // The year comes from the logger's "@Y" text and may be any int; counted as it stands, a year past
    // about 292 million would overflow the milliseconds. Years (and months) beyond 100 million count as
    // that many, so the count stays exact for every clock there is and defined for the rest.
    constexpr std::int64_t kYears = 100'000'000;
    const std::int64_t years = std::clamp<std::int64_t>(year, -kYears, kYears);
    const std::int64_t months = std::clamp<std::int64_t>(month, -12 * kYears, 12 * kYears);
    const std::int64_t days = DaysToMonth(years, months) + (std::int64_t(day) - 1);
    const std::int64_t ms = std::int64_t(hundredths) * 10 + thousandths;
    return ((days * 24 + hour) * 60 + minute) * 60000 + std::int64_t(second) * 1000 + ms;
}

Temperature Temperature::FromRecord(int whole, bool minusZero, char tenths) {
    if (minusZero) whole = 0;
    Temperature t;
    const int digit = IsDigit(tenths) ? tenths - '0' : 0;
    const bool negative = minusZero || whole < 0;
    t.known_ = true;
    t.tenths_ = whole * 10 + (negative ? -digit : digit);
    if (whole >= kThreeLowest && whole <= kThreeHighest) {
        // "%3d" from the table (" -0" for minus zero), then "." and the tenths: every usual reading.
        const char* three = minusZero ? " -0" : &kThreeWide[std::size_t(3 * (whole - kThreeLowest))];
        std::copy_n(three, 3, t.text_.begin());
        t.text_[3] = '.';
        t.text_[4] = tenths;
        t.length_ = 5;
        return t;
    }
    char buffer[kCsvLineBufferBytes];
    LineWriter w(buffer);
    if (minusZero)
        w.put(" -0");
    else
        w.number(whole, 3);
    w.put('.').put(tenths);
    // A record's byte gives at most "-127.x": the text always fits.
    t.length_ = std::uint8_t(std::min(w.length(), kMaxText));
    std::copy_n(buffer, t.length_, t.text_.begin());
    return t;
}

std::optional<Temperature> Temperature::FromText(std::string_view text) {
    if (text.size() > kMaxText || text.find(',') != std::string_view::npos) return std::nullopt;
    Temperature t;
    t.length_ = std::uint8_t(text.size());
    std::copy(text.begin(), text.end(), t.text_.begin());
    // Read as the graph reads a value: blanks, a sign, the whole degrees up to the first other character;
    // then the tenths digit after a ".".
    std::size_t p = 0;
    while (p < text.size() && IsPad(text[p]))
        ++p;
    const bool negative = p < text.size() && text[p] == '-';
    if (negative) ++p;
    const std::size_t digits = p;
    int whole = 0;
    while (p < text.size() && IsDigit(text[p]))
        whole = whole * 10 + (text[p++] - '0');
    if (p == digits) return t; // no reading: blanks (a capture without the logger's answer), or other text
    int digit = 0;
    if (p + 1 < text.size() && text[p] == '.' && IsDigit(text[p + 1])) digit = text[p + 1] - '0';
    t.known_ = true;
    t.tenths_ = negative ? -(whole * 10 + digit) : whole * 10 + digit;
    return t;
}

namespace {

bool InPair(int v) {
    return v >= 0 && v <= 99;
}
bool InThree(int v) {
    return v >= kThreeLowest && v <= kThreeHighest;
}

// The line of a sample whose fields all have their usual widths (every decoded record, every line of a
// data file the tool wrote): each field is one copy from a table, and the two-digit fields come out
// with their "0" already. Nothing for any other sample.
std::size_t WriteUsualLine(const Sample& sample, char* out) {
    const Stamp& t = sample.stamp;
    if (t.year < 1000 || t.year > 9999 || !InPair(t.month) || !InPair(t.day) || !InPair(t.hour) ||
        !InPair(t.minute) || !InPair(t.second) || !InPair(t.hundredths) || t.thousandths < 0 ||
        t.thousandths > 9 || !InThree(sample.x) || !InThree(sample.y) || !InThree(sample.z) ||
        (sample.extra != 0 && !InPair(sample.extra)))
        return 0;
    char* o = out;
    const auto pair = [&](int v) { o = std::copy_n(&kDigitPairs[std::size_t(2 * v)], 2, o); };
    const auto three = [&](int v) {
        o = std::copy_n(&kThreeWide[std::size_t(3 * (v - kThreeLowest))], 3, o);
    };
    pair(t.year / 100);
    pair(t.year % 100);
    *o++ = '/';
    pair(t.month);
    *o++ = '/';
    pair(t.day);
    *o++ = ' ';
    pair(t.hour);
    *o++ = ':';
    pair(t.minute);
    *o++ = ':';
    pair(t.second);
    *o++ = '.';
    pair(t.hundredths);
    *o++ = char('0' + t.thousandths);
    *o++ = ',';
    three(sample.x);
    *o++ = ',';
    three(sample.y);
    *o++ = ',';
    three(sample.z);
    *o++ = ',';
    o = std::copy(sample.temperature.Text().begin(), sample.temperature.Text().end(), o);
    if (sample.extra != 0) {
        *o++ = ',';
        if (sample.extra < 10) *o++ = ' ';
        if (sample.extra < 10)
            *o++ = char('0' + sample.extra);
        else
            pair(sample.extra);
    }
    return std::size_t(o - out);
}

} // namespace

std::size_t FormatCsvLine(const Sample& sample, char* buffer) {
    // Hand-written rather than snprintf, which would take most of the time of a 72,000-record download.
    std::size_t length = WriteUsualLine(sample, buffer);
    if (length == 0) {
        LineWriter w(buffer);
        WriteStamp(w, sample.stamp);
        w.put(',').number(sample.x, 3).put(',').number(sample.y, 3).put(',').number(sample.z, 3).put(',');
        w.put(sample.temperature.Text());
        if (sample.extra != 0) w.put(',').number(sample.extra, 2);
        length = std::min(w.length(), LineBuffer::Capacity);
        PadWithZeros(buffer, length);
    }
    if (sample.irregular && length > 0) buffer[0] = IrregularMark;
    return length;
}

void FormatCsvLine(const Sample& sample, LineBuffer& line) {
    char buffer[kCsvLineBufferBytes];
    const std::size_t length = FormatCsvLine(sample, buffer);
    std::copy_n(buffer, length, line.data());
    line.resize(length);
}

std::string FormatCsvLine(const Sample& sample) {
    LineBuffer line;
    FormatCsvLine(sample, line);
    return std::string(line.view());
}

std::size_t FormatTimeLabel(const Stamp& stamp, char* out, std::size_t capacity) {
    char buffer[kCsvLineBufferBytes];
    LineWriter w(buffer);
    WriteStamp(w, stamp);
    const std::size_t length = w.length();
    PadWithZeros(buffer, length);
    const std::size_t n = length > 5 ? std::min({length - 5, std::size_t(18), capacity}) : 0;
    std::copy_n(buffer + 5, n, out);
    return n;
}

std::string FormatTimeLabel(const Stamp& stamp) {
    char label[18];
    return std::string(label, FormatTimeLabel(stamp, label, sizeof label));
}

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
    const bool hasExtra = Cut(rest, ',', temperature);
    if (hasExtra) extra = rest;
    // The fraction is the hundredths (at least two digits) followed by one thousandths digit.
    if (fraction.size() < 3 || !IsDigit(fraction.back())) return std::nullopt;
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
    };
    for (const auto& f : fields)
        if (!f) return std::nullopt;
    const std::optional<Temperature> t = Temperature::FromText(temperature);
    if (!t) return std::nullopt;
    std::optional<int> e;
    if (hasExtra) {
        e = IntField(extra);
        if (!e) return std::nullopt;
    }
    Stamp stamp;
    stamp.year = *fields[0];
    stamp.month = *fields[1];
    stamp.day = *fields[2];
    stamp.hour = *fields[3];
    stamp.minute = *fields[4];
    stamp.second = *fields[5];
    stamp.hundredths = *fields[6];
    stamp.thousandths = fraction.back() - '0';
    s.SetStamp(stamp);
    s.x = *fields[7];
    s.y = *fields[8];
    s.z = *fields[9];
    s.temperature = *t;
    s.extra = e.value_or(0);
    return s;
}

} // namespace vexa
