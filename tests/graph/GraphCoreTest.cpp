// The chart core without a window: hand-over, parse, time scales, axis labels and the walks.
#include "graph/core/AxisLabels.h"
#include "graph/core/GraphData.h"
#include "graph/core/GraphHandover.h"
#include "graph/core/GraphWalk.h"
#include "graph/core/TimeScale.h"
#include "support/HandOver.h"

#include <gtest/gtest.h>

using namespace vexa;

namespace {

// A data line as a download writes it: "YYYY/MM/DD hh:mm:ss.fff,  x,  y,  z, tt.t".
std::string DataLine(int day, int h, int m, int s, int ms, int x, int y, int z, const char* temp = " 25.5") {
    char line[96];
    std::snprintf(line, sizeof line, "2024/01/%02d %02d:%02d:%02d.%03d,%3d,%3d,%3d,%s", day, h, m, s, ms, x,
                  y, z, temp);
    return line;
}

// Header, column line, samples, and the three trailing lines the parse skips.
std::vector<std::string> DataSet(const std::vector<std::string>& samples) {
    std::vector<std::string> lines = {"Start Year=2024 @1G=10", "date time,x(G),y(G),z(G),temperature(C)",
                                      "pad"};
    lines.insert(lines.end(), samples.begin(), samples.end());
    for (int i = 0; i < 3; ++i)
        lines.push_back("tail");
    return lines;
}

GraphParseResult Parse(const std::vector<std::string>& lines, GraphData& d) {
    return FillGraphData(HandOver(lines), d);
}

} // namespace

TEST(GraphHandover, CountsPerGFromTheStartLine) {
    struct Case {
        const char* header;
        int expected;
    } cases[] = {
        {"Start Year=2024 @1G=100", 100},
        {"Start Year=2024 @1G=5", 5},
        {"Start Year=2024     @1G=50", 7}, // "@" at index 20: ignored
        {"Start Year=2024 @1G=0", 7},      // a zero divisor is refused
        {"Start Year=2024 @1G=-5", 7},
        {"Start Year=2024 @1G=", 7}, // no number
        {"Start Year=2024 @1G=ab", 7},
        {"Start Year=2024", 7}, // no "@"
        {"Sta@1G=9", 7},        // "@" before index 4 is not looked at
        {"Start@1G=2", 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountsPerGFromHeader(c.header, 7), c.expected) << c.header;
}

TEST(GraphHandover, StartCheckCapAndComments) {
    EXPECT_FALSE(PrepareHandOver({"Stat Year=2024", "x"}));
    EXPECT_FALSE(PrepareHandOver({}));

    // Every line the graph's arrays can hold is handed over; what lies beyond is counted, not hidden.
    std::vector<std::string> big(kGraphEntries + 1234, "2024/01/01 00:00:00.000,  1,  2,  3, 20.0");
    big[0] = "Start Year=2024 @1G=100";
    big[100] = "//comment";
    const auto h = PrepareHandOver(big);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->LineCount(), std::size_t(kGraphEntries));
    EXPECT_EQ(h->linesLeftOut, 1233);
    EXPECT_EQ(h->countsPerG, 100);
    EXPECT_EQ(h->recording->LineCount(), big.size()); // the recording itself is not cut
    big.resize(72002);                                // a 360-s capture: all of it
    EXPECT_EQ(PrepareHandOver(big)->LineCount(), 72001u);
    EXPECT_EQ(PrepareHandOver(big)->linesLeftOut, 0);

    // The comment before an irregular record is left out; the marked record itself stays.
    const std::string marked = "\x81"
                               "024/01/01 00:00:01.000,  1,  2,  3, 20.0";
    const auto irregular = PrepareHandOver({"Start Year=2024 @1G=10", "cols",
                                            "//\x81\xab"
                                            "Irregular Record //",
                                            marked, "tail"});
    ASSERT_TRUE(irregular);
    EXPECT_EQ(irregular->lines, (std::vector<std::uint32_t>{0, 1, 3, 4}));
}

TEST(GraphParse, SevenLinesGiveOneSampleAtIndexThree) {
    GraphData d;
    const auto r = Parse(DataSet({DataLine(5, 1, 2, 3, 450, 4, -5, 6)}), d);
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.endIndex, 4);
    EXPECT_EQ(r.LastSample(), 3);
    EXPECT_EQ(r.MiddleSample(), 3);
    EXPECT_EQ(d.timeMs[3], 3723450);
    EXPECT_EQ(d.x[3], 4);
    EXPECT_EQ(d.y[3], -5);
    EXPECT_EQ(d.z[3], 6);
    EXPECT_EQ(d.temperature[3], 25);
    EXPECT_EQ(d.labels[3].View(), "01/05 01:02:03.450");
    EXPECT_EQ(r.firstText, "01/05 01:02:03");
    EXPECT_EQ(r.lastText, "01/05 01:02:03");

    // Fewer than seven lines: no sample, nothing to draw.
    EXPECT_FALSE(Parse({"Start", "c", "p", "a", "b", "c"}, d).HasSamples());
}

TEST(GraphParse, DayChangesReversalsAndValueFields) {
    GraphData d;
    const auto r =
        Parse(DataSet({
                  DataLine(31, 23, 59, 59, 900, 1, 1, 1), DataLine(1, 0, 0, 0, 100, 1, 1, 1),
                  DataLine(1, 0, 0, 0, 50, 1, 1, 1), // earlier than the one before
                  DataLine(1, 0, 0, 1, 0, 1, 1, 1, " -3"), "2024/01/01 00:00:02.000,  1,  1,  1, 19.0,  7",
                  "2024/01/01 00:00:03.0005,1234567,  0, -2, 21.5", // a fourth fraction digit, a wide value
              }),
              d);
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(d.timeMs[3], 86399900);
    EXPECT_EQ(d.timeMs[4], 86400100);
    EXPECT_EQ(r.reversals, 1);
    EXPECT_EQ(d.temperature[3], 25); // " 25.5"
    EXPECT_EQ(d.temperature[6], -3);
    EXPECT_EQ(d.extra[6], 0); // no extra field on the line
    EXPECT_EQ(d.extra[7], 7);
    EXPECT_EQ(d.temperature[7], 19);
    EXPECT_EQ(d.timeMs[8], 86400000 + 3005);
    EXPECT_EQ(d.labels[8].View(), "01/01 00:00:03.005");
    EXPECT_EQ(d.x[8], 1234567);
    EXPECT_EQ(d.z[8], -2);
    EXPECT_EQ(d.temperature[8], 21);
    EXPECT_EQ(r.LastSample(), 8);
    EXPECT_EQ(r.MiddleSample(), 4); // (12 lines - 3) / 2

    // Forty changes of the day field are forty days: past the 32-bit millisecond range, still in order.
    std::vector<std::string> days;
    for (int k = 0; k < 41; ++k)
        days.push_back(DataLine(1 + k % 2, 12, 0, 0, 0, 1, 1, 1));
    const auto manyDays = Parse(DataSet(days), d);
    EXPECT_EQ(manyDays.reversals, 0);
    EXPECT_EQ(d.timeMs[43], 40 * 86400000LL + 12 * 3600000LL);
}

TEST(GraphParse, ALineThatIsNoDataLineStopsTheParseAndTheRangeCoversWhatWasRead) {
    // A bad time stamp, or values that are not numbers: the reading stops at that line instead of drawing
    // values the line does not have.
    for (const char* bad :
         {"2024/01/01 0x:00:02.000,  1,  2,  3, 20.0", "2024/01/01 00:00:02.000,123456789,,  x"}) {
        SCOPED_TRACE(bad);
        GraphData d;
        // A second, longer data set first: its values beyond the new data must be gone after the parse.
        std::vector<std::string> first;
        for (int s = 0; s < 20; ++s)
            first.push_back(DataLine(1, 0, 0, s, 0, 9, 9, 9));
        Parse(DataSet(first), d);
        ASSERT_EQ(d.x[20], 9);

        const auto r = Parse(DataSet({DataLine(1, 0, 0, 0, 0, 1, 2, 3), DataLine(1, 0, 0, 1, 0, 1, 2, 3), bad,
                                      DataLine(1, 0, 0, 3, 0, 1, 2, 3)}),
                             d);
        EXPECT_NE(r.error.find("line 6"), std::string::npos) << r.error;
        EXPECT_EQ(r.LastSample(), 4);
        EXPECT_EQ(r.lastText, "01/01 00:00:01");
        EXPECT_EQ(d.x[6], 0);
        EXPECT_EQ(d.x[20], 0);
        EXPECT_EQ(d.timeMs[20], 0);
    }
}

TEST(TimeScale, ChoicesAndTheirPixelSteps) {
    // Samples one grid division (40 pixels) apart under each scale.
    struct Case {
        const char* item;
        std::int64_t divisionMs;
    } cases[] = {{"0.01秒", 8},       {"0.1秒", 100},      {"0.2秒", 200},       {"0.5秒", 500},
                 {"秒", 1000},        {"10秒", 10000},     {"30秒", 30000},      {"分", 60000},
                 {"10分", 600000},    {"30分", 1800000},   {"時間", 3600000},    {"2時間", 7200000},
                 {"3時間", 10800000}, {"6時間", 21600000}, {"12時間", 43200000}, {"日", 86400000}};
    EXPECT_EQ(PixelX(12000, 0, TimeScale{}, 388), 428); // before any choice: 12 s per division
    for (const Case& c : cases) {
        const TimeScaleChoice choice = ChooseTimeScale(c.item, "junk", TimeScale{});
        ASSERT_TRUE(choice.error.empty()) << c.item;
        EXPECT_EQ(PixelX(c.divisionMs, 0, choice.scale, 388), 428) << c.item;
        EXPECT_EQ(PixelX(-c.divisionMs, 0, choice.scale, 388), 348) << c.item;
        EXPECT_EQ(choice.divisorText, std::to_string(choice.scale.S));
    }
    EXPECT_EQ(TimeScaleItems().size(), 16u);

    // The blank item keeps K and N and reads the box; a bad or zero divisor keeps the previous scale.
    const TimeScale minute = ChooseTimeScale("分", "", TimeScale{}).scale;
    EXPECT_EQ(ChooseTimeScale(" ", "40", minute).scale, (TimeScale{1, 10, 40}));
    for (const char* bad : {"0", "abc", "", "-3", "12x"}) {
        const TimeScaleChoice c = ChooseTimeScale(" ", bad, minute);
        EXPECT_FALSE(c.error.empty()) << bad;
        EXPECT_EQ(c.scale, minute) << bad;
    }
}

TEST(AxisLabels, AccelerationTemperatureAndTimeTexts) {
    struct Case {
        int p, v;
        const char* text;
    } cases[] = {{100, 100, "1.0G"},   {100, 90, "0.90G"},   {100, 10, "0.10G"}, {100, 0, "0.0G"},
                 {100, -10, "-0.10G"}, {100, -100, "-1.0G"}, {50, 100, "2.0G"},  {50, 90, "1.80G"},
                 {50, 80, "1.60G"},    {50, -100, "-2.0G"},  {10, 100, "10G"},   {10, 90, "9G"},
                 {10, -100, "-10G"},   {1, 100, "100G"},     {1, 90, "90G"},     {1, -100, "-100G"}};
    for (const Case& c : cases)
        EXPECT_EQ(AccelerationLabel(c.v, c.p), c.text) << c.p << " " << c.v;
    EXPECT_EQ(TemperatureLabel(-40), "-40℃");
    EXPECT_EQ(TemperatureLabel(20), "20℃");
    EXPECT_EQ(SampleTimeText("01/05 12:34:56.789", 100), "↑12:34:56.78");
    EXPECT_EQ(SampleTimeText("01/05 12:34:56.789", 1), "↑12:34:56");
    EXPECT_EQ(SampleTimeText("", 1), "↑");
}

namespace {

struct Recorder : WalkVisitor {
    std::vector<std::pair<int, int>> labels; // sample, x
    std::vector<Segment> segments;
    void Label(int i, int x) override { labels.push_back({i, x}); }
    void Stroke(const Segment* s, int n) override { segments.insert(segments.end(), s, s + n); }
};

// n samples `stepMs` apart from index 3 on.
GraphData Regular(int n, std::int64_t stepMs) {
    GraphData d;
    for (int k = 0; k < n; ++k) {
        d.timeMs[std::size_t(3 + k)] = k * stepMs;
        d.x[std::size_t(3 + k)] = k % 7;
    }
    return d;
}

WalkParams Params(int centre, int last) {
    WalkParams p;
    p.centre = centre;
    p.lastSample = last;
    p.centreX = 388;
    p.centreY = 275;
    p.width = 800;
    return p;
}

} // namespace

TEST(GraphWalk, CaptionLabelsAndSelection) {
    // 1 s apart at the start scale (12 s per 40 px): 3.33 px per sample, so an 800-pixel window ends
    // the forward walk at sample 152 and the backward walk reaches the first sample.
    GraphData d = Regular(400, 1000);
    Recorder rec;
    WalkParams p = Params(28, 402);
    const WalkResult r = WalkGraph(d, p, rec);
    EXPECT_EQ(GraphCaption(r.start, r.end), "start= 3end=152");
    for (auto [i, x] : rec.labels)
        EXPECT_EQ((x - 388) % 80, 0) << i;
    ASSERT_FALSE(rec.labels.empty());
    EXPECT_EQ(rec.labels.front(), (std::pair<int, int>{28, 388})); // the centre always gets one
    EXPECT_EQ(r.averageStep, 3);

    // A selection 100 px wide ends at the last sample whose successor lies beyond it.
    p.selectionWidth = 100;
    const WalkResult sel = WalkGraph(d, p, rec);
    EXPECT_EQ(sel.selectionStart, 28);
    EXPECT_EQ(sel.selectionEnd, 58); // X(59) = 388 + 310 / 3 = 491 > 488, X(58) = 488
}

TEST(GraphWalk, GapsGreyStepsAndTraceSwitches) {
    // Ten samples a minute apart, then one 29 and one 31 minutes later.
    GraphData d = Regular(12, 60000);
    d.timeMs[15] = d.timeMs[14] + 29 * 60000;
    d.timeMs[16] = d.timeMs[15] + 31 * 60000;
    d.extra[5] = 4;
    WalkParams p = Params(3, 16);
    p.scale = ChooseTimeScale("分", "", TimeScale{}).scale;
    const int avg = AverageStep(d, p);
    EXPECT_EQ(avg, 40);

    Segment s[5];
    auto X = [&](int i) { return int(PixelX(d.timeMs[std::size_t(i)], d.timeMs[3], p.scale, 388)); };
    EXPECT_EQ(StrokeSegments(d, 15, 16, X(15), X(16), avg, p, s), 0); // 31 minutes: not joined
    const int joined = StrokeSegments(d, 14, 15, X(14), X(15), avg, p, s);
    ASSERT_EQ(joined, 4); // 29 minutes: joined
    EXPECT_EQ(s[0].ink, Ink::Red);
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(s[k].ink, Ink::Grey); // a step of 29 divisions is more than twice the usual
    ASSERT_EQ(StrokeSegments(d, 5, 6, X(5), X(6), avg, p, s), 5);
    EXPECT_EQ(s[1].ink, Ink::Highlight);
    EXPECT_EQ(s[1].y1, 275 - 8);
    EXPECT_EQ(s[2].ink, Ink::Fuchsia);
    EXPECT_EQ(s[2].y1, 275 - 2 * d.x[5]);
    p.traces.y = false;
    ASSERT_EQ(StrokeSegments(d, 6, 7, X(6), X(7), avg, p, s), 3); // temperature, X, Z
    EXPECT_EQ(s[2].ink, Ink::Green);

    // Near the end the average uses the steps that exist.
    WalkParams end = Params(13, 14);
    end.scale = p.scale;
    EXPECT_EQ(AverageStep(d, end), 40);
}
