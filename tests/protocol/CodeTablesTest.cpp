// Tests of the interval, sampling and range code tables.
#include "protocol/CodeTables.h"
#include "protocol/IntegerConversion.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vexa {
namespace {

TEST(CodeTables, IntervalCodesNamesAndIndexesAgree) {
    const struct {
        int index;
        const char* name;
        char code;
    } cases[] = {{0, "1min", 'A'},  {4, "5min", 'E'},   {5, "10min", 'J'}, {6, "15min", 'O'},
                 {7, "20min", 'T'}, {8, "30min", '^'},  {9, "1sec", 'a'},  {11, "10sec", 'c'},
                 {14, "30sec", 'f'}};
    for (const auto& c : cases) {
        EXPECT_EQ(IntervalNameAt(c.index), c.name);
        EXPECT_EQ(IntervalIndexOfCode(c.code), c.index);
        EXPECT_EQ(IntervalCodeOfName(c.name), c.code);
    }
    for (int i = 0; i < IntervalCount; ++i)
        EXPECT_EQ(IntervalCodeOfName(IntervalNameAt(i)), IntervalCodes[static_cast<std::size_t>(i)]) << i;
}

TEST(CodeTables, IntervalOutsideTheTable) {
    EXPECT_EQ(IntervalNameAt(-1), "???");
    EXPECT_EQ(IntervalNameAt(15), "???");
    EXPECT_EQ(IntervalIndexOfCode('Z'), std::nullopt);
    EXPECT_EQ(IntervalIndexOfCode('\0'), std::nullopt);
    EXPECT_EQ(IntervalCodeOfName("7min"), std::nullopt);
    EXPECT_EQ(IntervalCodeOfName("???"), std::nullopt);
}

TEST(CodeTables, NextIntervalStepsThroughMinutes) {
    const std::pair<int, int> steps[] = {{0, 1}, {1, 2}, {7, 8}, {8, 0}, {9, 10}, {13, 14}, {14, 0}, {-5, 0}};
    for (const auto& [from, to] : steps)
        EXPECT_EQ(NextIntervalIndex(from), to) << "from " << from;
}

TEST(CodeTables, SamplingReplyCodes) {
    const struct {
        char code;
        const char* text;
        int mode;
    } cases[] = {{'0', "0.5秒", 0},       {'1', "0.16秒", 0},     {'2', "8Hz", 0},    {'3', "16Hz", 0},
                 {'4', "Trace(32Hz)", 0}, {'5', "Real(32Hz)", 0}, {'6', "20msec", 0}, {'7', "10msec", 0},
                 {'8', "20mTRC", 0},      {'9', "10mTRC", 0},     {'A', "5msec", 1},  {'B', "2msec", 1},
                 {'C', "1msec", 1},       {'D', "5mTRC", 1},      {'E', "2mTRC", 1},  {'F', "1mTRC", 1},
                 {'G', "Real(16Hz)", 0},  {'a', "Real(16Hz)", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(SamplingOfCode(c.code), (SamplingSetting{c.text, c.mode})) << "code " << c.code;
}

TEST(CodeTables, SamplingNamesToCommandCodes) {
    for (const char code : std::string_view("23456789ABCDEF"))
        EXPECT_EQ(SamplingCodeOfName(SamplingOfCode(code).text), code) << "code " << code;
    for (const char* other : {"0.5秒", "0.16秒", "Real(16Hz)", "", "5msec ", "5MSEC"})
        EXPECT_EQ(SamplingCodeOfName(other), '0') << other;
}

// What the lists offer must be what the commands can send and the replies can name: every choice has
// its own code, and the code's reply names the choice again.
TEST(CodeTables, EveryListChoiceHasACodeThatNamesItBack) {
    const auto intervals = vexa::IntervalChoices();
    ASSERT_EQ(intervals.size(), size_t(vexa::IntervalCount));
    EXPECT_EQ(intervals.front(), "1sec");
    EXPECT_EQ(intervals.back(), "30min");
    std::string codes;
    for (std::string_view name : intervals) {
        const auto code = vexa::IntervalCodeOfName(name);
        ASSERT_TRUE(code) << name;
        EXPECT_EQ(vexa::IntervalNameAt(*vexa::IntervalIndexOfCode(*code)), name);
        codes += *code;
    }
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(std::unique(codes.begin(), codes.end()), codes.end());

    const auto sampling = vexa::SamplingChoices();
    ASSERT_EQ(sampling.size(), 10u);
    EXPECT_EQ(sampling.front(), "1mTRC");
    EXPECT_EQ(sampling.back(), "20msec");
    for (std::string_view name : sampling) {
        const char code = vexa::SamplingCodeOfName(name);
        EXPECT_NE(code, '0') << name;
        EXPECT_EQ(vexa::SamplingOfCode(code).text, name);
    }
}

TEST(CodeTables, RangeFromTReply) {
    const struct {
        char first, second;
        std::optional<RangeSetting> expected;
    } cases[] = {
        {'0', '0', RangeSetting{1, "00"}},  {'0', '1', RangeSetting{100, "01"}}, {'0', '2', RangeSetting{50, "02"}},
        {'0', '3', std::nullopt},           {'0', 'x', std::nullopt},           {'1', '7', RangeSetting{10, "10"}},
        {'2', '0', RangeSetting{5, "20"}},  {'5', '9', RangeSetting{2, "50"}},  {'7', '0', RangeSetting{10, "10"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RangeOfCodes(c.first, c.second), c.expected) << c.first << c.second;
}

TEST(CodeTables, RangeTextAppliedLocally) {
    const std::pair<const char*, int> cases[] = {{"0", 1},   {"00", 1}, {"01", 100}, {"02", 50},
                                                 {"10", 10}, {"20", 5}, {"50", 2},   {"7", 10}};
    for (const auto& [text, counts] : cases)
        EXPECT_EQ(CountsPerGOfRangeText(text), counts) << text;
    EXPECT_THROW(CountsPerGOfRangeText("abc"), EConvertError);
}

} // namespace
} // namespace vexa
