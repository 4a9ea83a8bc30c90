// The simulated logger splits unterminated commands by letter and argument shape, and rejects the rest.
#include "sim/BootLoader.h"
#include "sim/CommandParser.h"

#include <gtest/gtest.h>

namespace vexa::sim {
namespace {

TEST(CommandParser, RecognisesEachCommandShape) {
    struct Case { std::string input; bool idle; ParseStatus status; std::size_t length; std::string name, arg; };
    const Case cases[] = {
        {"p", false, ParseStatus::Command, 1, "p", ""},
        {"pn", false, ParseStatus::Command, 1, "p", ""},
        {"jc", false, ParseStatus::Command, 2, "j", "c"},
        {"j^", false, ParseStatus::Command, 2, "j", "^"},
        {"jZ", false, ParseStatus::Malformed, 2, "j", "Z"},
        {"j", false, ParseStatus::NeedMore, 0, "j", ""},
        {"j", true, ParseStatus::Malformed, 1, "j", ""},
        {"iF", false, ParseStatus::Command, 2, "i", "F"},
        {"iG", false, ParseStatus::Malformed, 2, "i", "G"},
        {"d25", false, ParseStatus::Command, 3, "d", "25"},
        {"d2x", false, ParseStatus::Malformed, 3, "d", "2x"},
        {"z1", false, ParseStatus::Command, 2, "z", "1"},
        {"k2", false, ParseStatus::Malformed, 2, "k", "2"},
        {"s2024/05/01 09:03:07", false, ParseStatus::Command, 20, "s", "2024/05/01 09:03:07"},
        {"s2024/13/01 09:03:07", false, ParseStatus::Malformed, 20, "s", "2024/13/01 09:03:07"},
        {"l05/01 12:30", false, ParseStatus::Command, 12, "l", "05/01 12:30"},
        {"Ox-07", false, ParseStatus::NeedMore, 0, "Ox", ""},
        {"Ox-07", true, ParseStatus::Command, 5, "Ox", "-07"},
        {"OZ-125p", false, ParseStatus::Command, 6, "OZ", "-125"},
        {"Oy7", true, ParseStatus::Malformed, 3, "Oy", "7"},
        {"Oq01", false, ParseStatus::Malformed, 2, "Oq", "q"},
        {"FX 12", true, ParseStatus::Command, 5, "FX", " 12"},
        {"FXab", true, ParseStatus::Malformed, 4, "FX", "ab"},
        {"L-07", true, ParseStatus::Command, 4, "L", "-07"},
        {"r35", true, ParseStatus::Command, 3, "r", "35"},
        {"Y042", false, ParseStatus::Command, 4, "Y", "042"},
        {"Y256", false, ParseStatus::Malformed, 4, "Y", "256"},
        {"w05", false, ParseStatus::Command, 3, "w", "05"},
        {"Kr", false, ParseStatus::Command, 2, "Kr", ""},
        {"KwAB12\r", false, ParseStatus::Command, 7, "Kw", "AB12"},
        {"KwAB12", false, ParseStatus::NeedMore, 0, "Kw", ""},
        {"KwA#\r", false, ParseStatus::Malformed, 5, "Kw", "A#"},
        {"te", false, ParseStatus::Command, 2, "te", ""},
        {"t", true, ParseStatus::Command, 1, "t", ""},
        {"tp", false, ParseStatus::Command, 1, "t", ""},
        {"vp", false, ParseStatus::Command, 2, "vp", "p"},
        {"hAAA", false, ParseStatus::Command, 4, "hAAA", "AAA"},
        {"N01", false, ParseStatus::Command, 3, "N", "01"},
        {"q5", false, ParseStatus::Command, 2, "q", "5"},
        {"q3", false, ParseStatus::Malformed, 2, "q", "3"},
        {"b1", false, ParseStatus::Command, 2, "b", "1"},
        {"20", false, ParseStatus::Command, 2, "range", "20"},
        {"33", false, ParseStatus::Malformed, 2, "range", "33"},
        {"\x06", false, ParseStatus::Command, 1, "ACK", ""},
        {"\x03\x06\x03\x06\x03", false, ParseStatus::Command, 5, "boot", "\x03\x06\x03\x06\x03"},
        {"Q!", false, ParseStatus::NeedMore, 0, "?", ""},
        {"Q!", true, ParseStatus::Unknown, 2, "?", "Q!"},
    };
    for (const auto& c : cases) {
        const ParsedCommand got = ParseCommand(c.input, c.idle);
        SCOPED_TRACE(EscapeBytes(c.input) + (c.idle ? " (idle)" : ""));
        EXPECT_EQ(got.status, c.status);
        EXPECT_EQ(got.length, c.length);
        if (c.status != ParseStatus::NeedMore) {
            EXPECT_EQ(got.name, c.name);
            EXPECT_EQ(got.arg, c.arg);
        }
    }
}

TEST(BootLoader, DelimitsLinesAndChecksTheirChecksums) {
    BootLoader boot(BootFaults{{2}});
    struct Step { std::string input; bool idle; std::size_t length; std::string reply; };
    const Step steps[] = {
        {"e", false, 1, "#"},
        {":020000040001F9", false, 15, "."},            // line 0, good
        {":020000040001F8", false, 15, "!"},            // line 1, bad checksum
        {":10000000", false, 0, ""},                    // incomplete: wait
        {":00000001FF:0200", false, 11, "!"},           // line 2 asked to fail; delimited by its length
        {";CRC=719E  CREATED=\"26-12-23 17:11\"", false, 0, ""},
        {";CRC=719E  CREATED=\"26-12-23 17:11\"", true, 35, "."},
        {"qs", false, 2, "\r\nBOOT END\r\nM"},
    };
    for (const auto& s : steps) {
        const BootStep got = boot.step(s.input, s.idle);
        EXPECT_EQ(got.length, s.length) << s.input;
        EXPECT_EQ(got.reply, s.reply) << s.input;
    }
    EXPECT_EQ(boot.linesReceived(), 4);
}

TEST(BootLoader, AnswersChosenLinesWithRepeatedErrorsThenFallsSilentOrHangsUp) {
    const std::string good = ":020000040001F9";
    struct Case {
        const char* what;
        BootFaults faults;
        std::vector<std::string> replies; // to lines 0..4
        int hangupLine;                   // -1 = none
    } cases[] = {
        {"none", {}, {".", ".", ".", ".", "."}, -1},
        {"two bangs at 1 and 3", {{1, 3}, 2}, {".", "!!", ".", "!!", "."}, -1},
        {"silent from 2", {{1}, 1, 2}, {".", "!", "", "", ""}, -1},
        {"hang-up at 3", {{}, 1, -1, 3}, {".", ".", ".", "", ""}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BootLoader boot(c.faults);
        ASSERT_EQ(boot.step("e", false).reply, "#");
        for (int i = 0; i < 5; ++i) {
            const BootStep s = boot.step(good, false);
            EXPECT_EQ(s.length, good.size());
            EXPECT_EQ(s.reply, c.replies[static_cast<std::size_t>(i)]) << i;
            EXPECT_EQ(s.hangup, c.hangupLine >= 0 && i >= c.hangupLine) << i;
        }
        // "qs" ends with "M" as the last byte of one burst, or, when asked, with "M" and more, then "M" alone.
        const BootStep end = boot.step("qs", false);
        EXPECT_TRUE(end.leave);
        EXPECT_EQ(end.reply.back(), 'M');
        EXPECT_EQ(end.lateReply, "");
    }
    BootLoader late(BootFaults{{}, 1, -1, -1, true});
    const BootStep end = late.step("qs", false);
    EXPECT_EQ(end.reply, "\r\nBOOT END\r\nM\r\n");
    EXPECT_EQ(end.lateReply, "M");
}

} // namespace
} // namespace vexa::sim
