// The JSON the command line prints: always valid, whatever bytes a logger or a file name brings.
#include "cli/JsonWriter.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using vexa::cli::JsonObject;
using vexa::cli::JsonString;

TEST(Json, StringsAreEscapedAndAlwaysValidUtf8) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"COM3", "\"COM3\""},
        {"say \"hi\" \\ bye", "\"say \\\"hi\\\" \\\\ bye\""},
        {"a\nb\r\tc\x01\x1f\x7f", "\"a\\nb\\r\\tc\\u0001\\u001f\\u007f\""},
        {"0.5秒 開始", "\"0.5秒 開始\""},
        // Shift-JIS bytes that are not UTF-8 (the irregular mark 0x81, a lone lead byte) are replaced.
        {"\x81"
         "2024",
         "\"\xEF\xBF\xBD"
         "2024\""},
        {"\x82\xA0", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
        // Overlong forms, surrogates and a sequence cut short are not UTF-8 either.
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xE6\x97", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonString(c.in), c.out) << c.in;
}

TEST(Json, ObjectKeepsTheOrderAndWritesEachKind) {
    JsonObject o;
    o.String("file", "a.csv").Integer("records", 72000).IntegerOrNull("announced", std::nullopt);
    o.Boolean("complete", false)
        .Decimal("seconds", 1.23456)
        .Decimal("rate", std::numeric_limits<double>::infinity());
    o.Raw("list", vexa::cli::JsonArray({"1", "\"x\""}));
    EXPECT_EQ(o.Text(), "{\"file\":\"a.csv\",\"records\":72000,\"announced\":null,\"complete\":false,"
                        "\"seconds\":1.235,\"rate\":null,\"list\":[1,\"x\"]}");
}

} // namespace
