// Tests of reply field access, the "@" status replies and the model line.
#include "protocol/ReplyFields.h"
#include "protocol/StatusReply.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

template <typename T>
T As(std::string_view line) {
    const StatusReply reply = ParseStatusReply(line);
    if (!std::holds_alternative<T>(reply)) {
        ADD_FAILURE() << "line '" << line << "' gave alternative " << reply.index();
        return T{};
    }
    return std::get<T>(reply);
}

TEST(ReplyFields, AnchorsSearchFromPositionOne) {
    EXPECT_EQ(AnchorV("@R=c"), 3u);
    EXPECT_EQ(AnchorV("==x"), 2u);
    EXPECT_EQ(AnchorV("=x"), std::nullopt);
    EXPECT_EQ(AnchorV(""), std::nullopt);
    EXPECT_EQ(AnchorW("@G=1 top"), 5u);
    EXPECT_EQ(AnchorW(" a b"), 3u);
    EXPECT_EQ(AnchorW("@G=1"), std::nullopt);
}

TEST(ReplyFields, BoundedReads) {
    EXPECT_EQ(CharAt("abc", 2), 'c');
    EXPECT_EQ(CharAt("abc", 3), std::nullopt);
    EXPECT_EQ(TextFrom("abc", 1), "bc");
    EXPECT_EQ(TextFrom("abc", 3), "");
    EXPECT_EQ(TextFrom("abc", 4), std::nullopt);
    EXPECT_EQ(OffOnText(" 00"), "OFF");
    EXPECT_EQ(OffOnText("000"), "ON");
    EXPECT_EQ(OffOnText(" 0"), "ON");
}

TEST(ReplyFields, GroupValuesNeedAllThreeGroups) {
    // Groups of five after w + 2, each followed by a separator; value = 1st, 4th, 5th character.
    const std::string line = "@A h +1 05, ab00,1ab23,";
    const auto values = GroupValues(line, 3);
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[0], "+05");
    EXPECT_EQ((*values)[1], " 00");
    EXPECT_EQ((*values)[2], "123");
    EXPECT_TRUE(GroupValues(line.substr(0, 3 + 19), 3)); // ends with the last character read
    EXPECT_FALSE(GroupValues(line.substr(0, 3 + 18), 3));
}

TEST(StatusReply, AdjustAndFineAdjustGroups) {
    const auto h = As<AdjustReplyH>("@A h +1 05, ab00,1ab23,");
    EXPECT_EQ(h.level, "+05");
    EXPECT_EQ(h.gravity, "OFF");
    EXPECT_EQ(h.endless, "ON");
    const auto plain = As<AdjustReply>("@A x  ab00,+1 05,1ab23,");
    EXPECT_EQ(plain.hundredHz, "OFF");
    EXPECT_EQ(plain.display, "+05");
    EXPECT_EQ(plain.df, "123");
    const auto fine = As<FineAdjustReply>("@F x +1 05, ab00,1ab23");
    EXPECT_EQ(fine.x, "+05");
    EXPECT_EQ(fine.y, " 00");
    EXPECT_EQ(fine.z, "123");
}

TEST(StatusReply, RecordCount) {
    const auto count = As<CountReply>("@C= 1234 32000");
    EXPECT_EQ(count.countText, "1234");
    EXPECT_EQ(count.recordCount, 1234);
    EXPECT_EQ(count.afterCountText, "32000");
    EXPECT_FALSE(count.negative);

    const auto negative = As<CountReply>("@C=   -5   32000 rec");
    EXPECT_EQ(negative.countText, "-5");
    EXPECT_EQ(negative.recordCount, 5);
    EXPECT_EQ(negative.afterCountText, "32000 rec");
    EXPECT_TRUE(negative.negative);

    const auto bare = As<CountReply>("@C=77");
    EXPECT_EQ(bare.recordCount, 77);
    EXPECT_EQ(bare.afterCountText, "");
}

TEST(StatusReply, SingleCharacterCodes) {
    EXPECT_TRUE(As<BuzzerReply>("@B=xxxx0").buzzerOn);
    EXPECT_EQ(As<BuzzerReply>("@B=xxxx0").stateText(), "BZ-ON");
    EXPECT_EQ(As<BuzzerReply>("@B=xxxx1").stateText(), "BZ-OFF");
    EXPECT_EQ(As<ThresholdReply>("@D=1x2").threshold, "12");
    EXPECT_EQ(As<ThresholdReply>("@d=34").threshold, "34");
    EXPECT_EQ(As<StartModeReply>("@s=xxxx0").startMode, "Sleep");
    EXPECT_EQ(As<StartModeReply>("@s=xxxx1").startMode, "開始");
    EXPECT_FALSE(As<ThresholdDetectReply>("@W=xxxx0").detectOn);
    EXPECT_TRUE(As<ThresholdDetectReply>("@W=xxxx1").detectOn);
}

TEST(StatusReply, IntervalSamplingAndRange) {
    const auto ten = As<IntervalReply>("@R=c");
    EXPECT_EQ(ten.intervalIndex, 11);
    EXPECT_EQ(ten.intervalName, "10sec");
    const auto thirty = As<IntervalReply>("@R=^");
    EXPECT_EQ(thirty.intervalIndex, 8);
    EXPECT_EQ(thirty.intervalName, "30min");

    EXPECT_EQ(As<SamplingReply>("@I=A").sampling, (SamplingSetting{"5msec", 1}));
    EXPECT_EQ(As<SamplingReply>("@I=3").sampling, (SamplingSetting{"16Hz", 0}));

    EXPECT_EQ(As<RangeReply>("@T=xxx01").range, (RangeSetting{100, "01"}));
    EXPECT_EQ(As<RangeReply>("@T=xxx5").range, (RangeSetting{2, "50"}));
    EXPECT_EQ(As<RangeReply>("@T=xxx7").range, (RangeSetting{10, "10"}));
    EXPECT_EQ(As<RangeReply>("@T=xxx09").range, std::nullopt);
}

TEST(StatusReply, TextCodes) {
    EXPECT_EQ(As<TitleReply>("@G=1 Hello world").text, "Hello world");
    const auto g5 = As<TitleRangeReply>("@g=5 Title");
    EXPECT_TRUE(g5.countsPerGIs2);
    EXPECT_EQ(g5.text, "Title");
    EXPECT_TRUE(As<TitleRangeReply>("@g=M T").countsPerGIs2); // 'M' & 7 == 5
    EXPECT_FALSE(As<TitleRangeReply>("@g=D T").countsPerGIs2);
    EXPECT_EQ(As<IdTextReply>("@K AB12").idText, "AB12");
    EXPECT_EQ(As<LReply>("@L=abc-05").lValue, "-05");
    EXPECT_EQ(As<LoggerIdReply>("@M=0123456 tail").loggerId, "23456");
    EXPECT_EQ(As<LoggerIdReply>("@M=xy").loggerId, "");
    EXPECT_EQ(As<RecReply>("@r=x35").recValue, "35");
    EXPECT_EQ(As<StartSettingReply>("@w=x予約").startSetting, "予約");
    EXPECT_EQ(As<StartYearReply>("@Y=2024").year, "2024");
}

TEST(StatusReply, LinesLackingWhatTheirCodeReadsAreIgnored) {
    const char* lines[] = {
        "",         "@",          "@Q=1",      "K@=1",      "X@R=c",  "@A h +1 05, ab00,1ab2", "@A +1 05",
        "@F",       "@B=xxx",     "@B",        "@C=",       "@C=   ", "@D=1x",                 "@d=3",
        "@G=1",     "@g=",        "@g=5",      "@I",        "@K",     "@L=ab",                 "@M=",
        "@M=1",     "@R=z",       "@R=",       "@r",        "@s=xx",  "@T=xxx0",               "@T=xx",
        "@W=xxx",   "@w",         "@Y",
    };
    for (const char* line : lines)
        EXPECT_TRUE(std::holds_alternative<IgnoredReply>(ParseStatusReply(line))) << "line '" << line << "'";
}

TEST(ModelLine, AcceptsTheModelDigitsAtEitherPlace) {
    const struct {
        const char* line;
        bool accepted;
        std::optional<std::string> versionText;
        int version;
    } cases[] = {
        {"KTZ-770 Ver=20231226abcdef", true, "20231226abc", 20231226},
        {"KTZ770=5", true, "5", 5},
        {"KTZ-770", true, std::nullopt, 0},
        {"KT770=1", false, "1", 1},
        {"KTZ-771=1", false, "1", 1},
        {"K", false, std::nullopt, 0},
        {"KTZ-770=V2", true, "V2", 0},
    };
    for (const auto& c : cases) {
        const auto model = ParseModelLine(c.line);
        ASSERT_TRUE(model) << c.line;
        EXPECT_EQ(model->accepted, c.accepted) << c.line;
        EXPECT_EQ(model->firmwareVersionText, c.versionText) << c.line;
        EXPECT_EQ(model->firmwareVersion, c.version) << c.line;
    }
    EXPECT_FALSE(ParseModelLine("PTZ-770=1"));
    EXPECT_FALSE(ParseModelLine(""));
}

} // namespace
} // namespace vexa
