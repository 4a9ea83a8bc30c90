// Code page 932 through the Windows API on its own: the shared Shift-JIS table, and UTF-8 names.
#include "platform/WideTextWin32.h"
#include "support/ShiftJisCases.h"

#include <gtest/gtest.h>

namespace {

using vexa::test::kShiftJisCases;
using vexa::test::Way;
using namespace vexa::win;

TEST(WideTextWin32, ShiftJisTableBothWays) {
    for (const auto& c : kShiftJisCases) {
        SCOPED_TRACE(c.name);
        const std::wstring text = WideFromUtf8(c.text);
        if (c.way != Way::EncodeOnly) {
            EXPECT_EQ(Utf8FromWide(WideFromShiftJis(c.bytes)), c.text);
        }
        if (c.way != Way::DecodeOnly) {
            EXPECT_EQ(ShiftJisFromWide(text), c.bytes);
        }
    }
}

TEST(WideTextWin32, Utf8RoundTripKeepsEveryPlane) {
    const std::string utf8 = "a\xc3\xa9\xe3\x83\x86\xf0\x9f\x98\x80"; // a, é, テ, an emoji
    const std::wstring wide = WideFromUtf8(utf8);
    EXPECT_EQ(wide, (std::wstring{L'a', 0xe9, 0x30c6, 0xd83d, 0xde00}));
    EXPECT_EQ(Utf8FromWide(wide), utf8);
    EXPECT_TRUE(WideFromUtf8("").empty());
    EXPECT_TRUE(Utf8FromWide(L"").empty());
}

} // namespace
