// The data line's one writer and one reader, each checked against the other, and the sample's time.
#include "protocol/CsvLine.h"
#include "protocol/CaptureFormat.h"
#include "protocol/RecordDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace vexa {
namespace {

Stamp At(int year, int month, int day, int hour, int minute, int second, int hundredths, int thousandths) {
    Stamp s;
    s.year = year;
    s.month = month;
    s.day = day;
    s.hour = hour;
    s.minute = minute;
    s.second = second;
    s.hundredths = hundredths;
    s.thousandths = thousandths;
    return s;
}

// The line as printf's layout gives it ("%4d/%2d/%2d %2d:%2d:%2d.%2d%1d,%3d,%3d,%3d," and so on), blanks at
// 5, 8, 11, 14, 17, 20 made "0": the oracle of the hand-written writer and its table-driven fast path.
std::string PrintfLine(const Sample& s) {
    const Stamp& t = s.stamp;
    char buffer[256];
    int n =
        std::snprintf(buffer, sizeof buffer, "%4d/%2d/%2d %2d:%2d:%2d.%2d%1d,%3d,%3d,%3d,", t.year, t.month,
                      t.day, t.hour, t.minute, t.second, t.hundredths, t.thousandths, s.x, s.y, s.z);
    std::string line(buffer, std::size_t(n));
    line += s.temperature.Text();
    if (s.extra != 0) {
        n = std::snprintf(buffer, sizeof buffer, ",%2d", s.extra);
        line.append(buffer, std::size_t(n));
    }
    line.resize(std::min<std::size_t>(line.size(), 127));
    if (s.irregular && !line.empty()) line[0] = IrregularMark;
    for (const std::size_t p : {5, 8, 11, 14, 17, 20})
        if (p < line.size() && line[p] == ' ') line[p] = '0';
    return line;
}

// The sample a marked line reads back as has lost its year's first digit; WithYearOf gives it back, as a
// file's reader does from the samples before it.
Sample WithYearOf(Sample back, const Sample& original) {
    Stamp stamp = back.stamp;
    stamp.year = original.stamp.year;
    back.SetStamp(stamp);
    return back;
}

// The sample a line reads back as: a marked line has lost its year's first digit.
Sample AsReadBack(Sample s) {
    if (s.irregular && s.stamp.year >= 1000) {
        int scale = 1;
        while (s.stamp.year / scale >= 10)
            scale *= 10;
        Stamp stamp = s.stamp;
        stamp.year %= scale;
        s.SetStamp(stamp);
    }
    return s;
}

TEST(CsvLine, StampIsMillisecondsOnItsOwnCalendar) {
    struct Case {
        Stamp stamp;
        std::int64_t ms;
    } cases[] = {
        {At(1970, 1, 1, 0, 0, 0, 0, 0), 0},
        {At(2024, 1, 2, 12, 34, 56, 75, 0), 1704198896750},
        {At(2024, 3, 1, 0, 0, 0, 0, 5), 1709251200005},
        {At(2024, 2, 29, 23, 59, 59, 99, 9), 1709251200000 - 1},
        {At(1969, 12, 31, 0, 0, 0, 0, 0), -86400000},
        // Fields beyond their ranges count as they stand, as a damaged record writes them.
        {At(2023, 13, 2, 12, 34, 56, 75, 0), 1704198896750},
        {At(2024, 1, 0, 0, 0, 0, 0, 0), 1704067200000 - 86400000},
        {At(2024, 1, 1, 0, 63, 0, 0, 0), 1704067200000 + 63 * 60000},
        {At(2024, 1, 1, 0, 0, 0, 255, 0), 1704067200000 + 2550},
        {At(2024, 0, 1, 0, 0, 0, 0, 0), 1701388800000}, // month 0: December before
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.stamp.Milliseconds(), c.ms) << c.stamp.year << "/" << c.stamp.month << "/" << c.stamp.day;
    // A start year of a damaged "@Y" reply, as large as an int holds, still gives a defined count that
    // lies after every real one (the sanitizer build catches an overflow here).
    const int most = std::numeric_limits<int>::max(), least = std::numeric_limits<int>::min();
    for (const Stamp& far : {At(most, most, most, most, most, most, 99, 9), At(most, 1, 1, 0, 0, 0, 0, 0)})
        EXPECT_GT(far.Milliseconds(), At(9999, 12, 31, 23, 59, 59, 99, 9).Milliseconds());
    EXPECT_LT(At(least, least, least, 0, 0, 0, 0, 0).Milliseconds(), At(-9999, 1, 1, 0, 0, 0, 0, 0).Milliseconds());
}

TEST(CsvLine, LinesAndWhatTheyMean) {
    const auto t = [](std::string_view text) { return *Temperature::FromText(text); };
    struct Case {
        const char* line;
        Stamp stamp;
        int x, y, z;
        Temperature temperature;
        std::optional<int> tenths;
        int extra;
        bool irregular;
    } cases[] = {
        {"2024/01/02 12:34:56.750,  0, -1, 10, 25.5", At(2024, 1, 2, 12, 34, 56, 75, 0), 0, -1, 10,
         Temperature::FromRecord(25, false, '5'), 255, 0, false},
        {"2024/01/02 12:34:56.757,-128,127,-127, -0.7,31", At(2024, 1, 2, 12, 34, 56, 75, 7), -128, 127, -127,
         Temperature::FromRecord(0, true, '7'), -7, 31, false},
        {"2024/01/02 12:34:56.1555,  0,  0,  0,-12.3", At(2024, 1, 2, 12, 34, 56, 155, 5), 0, 0, 0,
         t("-12.3"), -123, 0, false},
        {"\x81"
         "024/03/04 10:00:00.000,  0,  0,  0, 25.5",
         At(24, 3, 4, 10, 0, 0, 0, 0), 0, 0, 0, t(" 25.5"), 255, 0, true},
        // Capture lines: the temperature is the five characters taken from the logger's answer.
        {"2024/05/01 09:03:00.005,  1, -1,-127, 23.5", At(2024, 5, 1, 9, 3, 0, 0, 5), 1, -1, -127, t(" 23.5"),
         235, 0, false},
        {"2024/05/01 09:03:59.995,  1, -1,-127,-0.4 ", At(2024, 5, 1, 9, 3, 59, 99, 5), 1, -1, -127,
         t("-0.4 "), -4, 0, false},
        {"2024/05/01  9:03:12.000,  1, -1,-127,     ", At(2024, 5, 1, 9, 3, 12, 0, 0), 1, -1, -127,
         t("     "), std::nullopt, 0, false},
        {"2024/05/01 09:03:125.000,  1,  2,  3, 23.5", At(2024, 5, 1, 9, 3, 125, 0, 0), 1, 2, 3, t(" 23.5"),
         235, 0, false},
        {"2024/01/02 12:34:56.750,  0, -1, 10, 25.A", At(2024, 1, 2, 12, 34, 56, 75, 0), 0, -1, 10,
         Temperature::FromRecord(25, false, 'A'), 250, 0, false},
        // A temperature field is read as far as it reads, the graph's way; other text holds no reading.
        {"2024/01/02 12:34:56.750,  0, -1, 10, 25", At(2024, 1, 2, 12, 34, 56, 75, 0), 0, -1, 10, t(" 25"),
         250, 0, false},
        {"2024/05/01 09:03:12.000,  1, -1,-127,p 23.", At(2024, 5, 1, 9, 3, 12, 0, 0), 1, -1, -127,
         t("p 23."), std::nullopt, 0, false},
    };
    for (const Case& c : cases) {
        const std::optional<Sample> s = ParseCsvLine(c.line);
        ASSERT_TRUE(s) << c.line;
        EXPECT_EQ(s->stamp, c.stamp) << c.line;
        EXPECT_EQ(s->timeMs, c.stamp.Milliseconds()) << c.line;
        EXPECT_EQ(std::tie(s->x, s->y, s->z, s->extra, s->irregular),
                  std::tie(c.x, c.y, c.z, c.extra, c.irregular))
            << c.line;
        EXPECT_EQ(s->temperature, c.temperature) << c.line;
        EXPECT_EQ(s->temperature.Tenths(), c.tenths) << c.line;
        // The graph's label is the line's own text where the line is as the writer makes it.
        if (FormatCsvLine(*s) == c.line) {
            EXPECT_EQ(FormatTimeLabel(s->stamp), std::string(c.line).substr(5, 18));
        }
    }
    EXPECT_EQ(FormatCsvLine(*ParseCsvLine(cases[1].line)), cases[1].line);
    EXPECT_EQ(Temperature::FromRecord(-12, false, '3').Text(), "-12.3");
    EXPECT_EQ(Temperature::FromRecord(-12, false, '3').WholeDegrees(), -12);
    EXPECT_EQ(Temperature::FromRecord(0, true, '7').WholeDegrees(), 0);
}

TEST(CsvLine, OtherWorkAreaLinesAreNoSamples) {
    for (const char* line :
         {"Start Year=2024 @1G=10", "date time,x(G),y(G),z(G),temperature(C)", "Date,Xaxis,Yaxis,Zaxis,Temp",
          "//\x81\xabIrregular Record //", "End=>2024/01/02 12:00:00", "",
          "X:    1 Y:   -1 Z:    3         p 23.5", "2024/01/02 12:34:56.750,  0, -1, 10",
          "2024/01/02 12:34:56.750,  0, x1, 10, 25.5", "2024/01/02 12:34:56.75,  0, -1, 10, 25.5",
          "2024/01/02 12:34:56.750,  0, -1, 10, 25.5, 5, 6", "2024/01/02 12:34:56.750,  0, -1, 10, 25.5,",
          "2024/01/02 12:34:56.750,  0, -1, 10, 1234567.5", "2024/01/02 12:3x:56.750,  0, -1, 10, 25.5",
          "2024/01/02 12:34:56.750,1234567890,0,0, 25.5"})
        EXPECT_FALSE(ParseCsvLine(line)) << line;
}

// Every record the logger can send becomes a line that reads back as its sample, irregular ones included;
// and every line the writer makes, also from a damaged record, is written again byte for byte from what
// it reads back as.
TEST(CsvLine, DecodedRecordsRoundTrip) {
    std::mt19937 rng(11);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const std::string hex = "0123456789ABCDEF", damage = "0123456789ABCDEFabcdefGZ ,.-xyz\x81\xfe";
    int irregular = 0, damaged = 0, damagedRead = 0;
    for (int download = 0; download < 40; ++download) {
        RecordDecoderState state;
        state.BaseYear = pick(0, 3) == 0 ? pick(0, 99) : pick(1990, 2099);
        state.ExtraDigitMode = pick(0, 1);
        ResetDecoderForDownload(state);
        std::string record;
        bool isDamaged = false;
        for (int k = 0; k < 200; ++k) {
            // Mostly good records, now and then the same again (its time does not advance) or a damaged one.
            const int kind = pick(0, 19);
            if (kind != 1 || record.empty()) {
                record.clear();
                isDamaged = kind == 0;
                const int length = isDamaged ? pick(0, 22) : pick(16, 21);
                const std::string& alphabet = isDamaged ? damage : hex;
                for (int c = 0; c < length; ++c)
                    record += c == 20 && !isDamaged
                                  ? char('0' + pick(0, 9))
                                  : alphabet[std::size_t(pick(0, int(alphabet.size()) - 1))];
                damaged += isDamaged;
            }
            state.PreviousRecordMonth = state.RecordMonth;
            DecodeOutcome outcome;
            const Sample s = DecodeSample(state, record, outcome);
            irregular += s.irregular;
            const std::string line = FormatCsvLine(s);
            ASSERT_EQ(line, PrintfLine(s)) << record;
            const std::optional<Sample> back = ParseCsvLine(line);
            if (!isDamaged) {
                ASSERT_TRUE(back) << record << " -> " << line;
                EXPECT_EQ(*back, AsReadBack(s)) << record << " -> " << line;
            }
            // A damaged record's line may say what no data line can (a comma for the tenths, a field so
            // wide that the zero padding lands on a separator); it is still written and saved as it stands.
            if (back && *back == AsReadBack(s)) {
                EXPECT_EQ(FormatCsvLine(WithYearOf(*back, s)), line) << record;
                damagedRead += isDamaged;
            }
        }
    }
    EXPECT_GT(irregular, 10);
    EXPECT_GT(damaged, 100);
    EXPECT_GT(damagedRead, 10);
}

// Made-up samples beyond what a record holds: capture temperatures, small years, fields out of range.
TEST(CsvLine, GeneratedSamplesRoundTrip) {
    std::mt19937 rng(7);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const char* captureTemperatures[] = {" 23.5", "-12.5", "-0.4 ", "     ", " 5.0 ", "100.0"};
    for (int i = 0; i < 5000; ++i) {
        Sample s;
        s.SetStamp(At(pick(0, 1) ? pick(1000, 9999) : pick(0, 999), pick(0, 15), pick(0, 31), pick(0, 31),
                      pick(0, 63), pick(0, 400), pick(0, 255), pick(0, 9)));
        s.x = pick(-128, 1000);
        s.y = pick(0, 1) ? pick(-100000, 100000) : pick(-100, 100);
        s.z = pick(-128, 127);
        s.temperature = pick(0, 2) == 0 ? *Temperature::FromText(captureTemperatures[pick(0, 5)])
                                        : Temperature::FromRecord(pick(-127, 127), pick(0, 20) == 0,
                                                                  char('0' + pick(0, 9)));
        s.extra = pick(0, 3) == 0 ? pick(1, 255) : 0;
        s.irregular = pick(0, 9) == 0;
        const std::string line = FormatCsvLine(s);
        ASSERT_EQ(line, PrintfLine(s));
        const auto back = ParseCsvLine(line);
        ASSERT_TRUE(back) << line;
        EXPECT_EQ(*back, AsReadBack(s)) << line;
        EXPECT_EQ(FormatCsvLine(WithYearOf(*back, s)), line);
    }
}

// The capture's lines are data lines of the same layout, in both of its forms: a capture under 100 s
// writes the elapsed seconds after the start minute (60..99 included), a longer one carries them into
// minutes, hours and the date. Every line reads back as the start minute plus 5 ms per sample.
TEST(CsvLine, CaptureLinesReadBack) {
    const struct {
        const char* start;
        int lastSample;
        std::int64_t minuteMs;
    } captures[] = {{"2024/05/01 09:03:17", 19999, At(2024, 5, 1, 9, 3, 0, 0, 0).Milliseconds()},
                    {"2024/12/31 23:58:17", 71999, At(2024, 12, 31, 23, 58, 0, 0, 0).Milliseconds()}};
    for (const auto& c : captures) {
        const CaptureTimeStamps stamps(c.start, c.lastSample);
        for (int i = 1; i <= c.lastSample; ++i) {
            const CaptureSample v{i % 256 - 128, -(i % 100), i % 7};
            const std::string line = CaptureSampleLine(stamps, i, v, " 23.5");
            const auto s = ParseCsvLine(line);
            ASSERT_TRUE(s) << line;
            ASSERT_EQ(std::tie(s->x, s->y, s->z), std::tie(v.x, v.y, v.z)) << line;
            ASSERT_EQ(s->timeMs - c.minuteMs, std::int64_t(i) * 5) << line;
            ASSERT_EQ(FormatCsvLine(*s), line);
        }
    }
}

} // namespace
} // namespace vexa
