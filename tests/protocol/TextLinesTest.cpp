// Work-area text files: line splitting on any line end, CR LF joining, the ".csv" rule.
#include "protocol/TextLines.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(TextLines, SplitsOnEveryKindOfLineEnd) {
    struct Case {
        std::string content;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {std::string("\x81" "2024/01/02\r\n", 13), {std::string("\x81" "2024/01/02", 11)}},
    };
    for (const auto& c : cases) EXPECT_EQ(vexa::SplitLines(c.content), c.lines) << ::testing::PrintToString(c.content);
}

TEST(TextLines, JoinPutsCrLfAfterEveryLineAndRoundTrips) {
    EXPECT_EQ(vexa::JoinLinesCrLf({}), "");
    EXPECT_EQ(vexa::JoinLinesCrLf({""}), "\r\n");
    const Lines lines{"Start Year=2024 @1G=10", "", std::string("\x81\xab" "x", 3), "last"};
    const std::string text = vexa::JoinLinesCrLf(lines);
    EXPECT_EQ(text, std::string("Start Year=2024 @1G=10\r\n\r\n\x81\xab" "x\r\nlast\r\n", 37));
    EXPECT_EQ(vexa::SplitLines(text), lines);
}

TEST(TextLines, CsvExtensionOnlyWhenTheFileNameHasNoDot) {
    struct Case {
        const char* path;
        const char* result;
    } cases[] = {
        {"/home/u/data", "/home/u/data.csv"},
        {"/home/u/data.txt", "/home/u/data.txt"},
        {"/home/u.v/data", "/home/u.v/data.csv"},  // a dot in a folder name does not count
        {"data", "data.csv"},
        {"/home/u/.hidden", "/home/u/.hidden"},
        {"/home/u/data.", "/home/u/data."},
    };
    for (const auto& c : cases) EXPECT_EQ(vexa::WithCsvExtension(c.path), c.result) << c.path;
}

} // namespace
