// Tests of the argument texts built from control texts and of the integer conversions beneath them.
#include "protocol/ArgumentForms.h"
#include "protocol/IntegerConversion.h"

#include <gtest/gtest.h>

#include <climits>

namespace vexa {
namespace {

struct FormCase {
    const char* text;
    const char* expected;
};

TEST(ArgumentForms, SignedTwoDigit) {
    const FormCase cases[] = {
        {"5", "05"},    {" 5", "05"},  {"5 ", "05"},   {"-0", "00"},     {"-3", "-03"},
        {"123", "123"}, {"0", "00"},   {"7", "07"},    {"-7", "-07"},    {"25", "25"},
        {"-125", "-125"}, {"+4", "04"}, {"  12\t ", "12"}, {"-2147483648", "-2147483648"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SignedTwoDigitArgument(c.text), c.expected) << "text '" << c.text << "'";
}

TEST(ArgumentForms, IntegerFormsRejectWhatIsNotAnInteger) {
    const char* bad[] = {"", " ", "5a", "a5", "- 5", "1 2", "+", "-", "0x10", "2147483648", "99999999999"};
    for (const char* text : bad) {
        EXPECT_THROW(SignedTwoDigitArgument(text), EConvertError) << "text '" << text << "'";
        EXPECT_THROW(HundredsArgument(text), EConvertError) << "text '" << text << "'";
    }
}

TEST(ArgumentForms, ConversionErrorNamesTheText) {
    try {
        SignedTwoDigitArgument("5a ");
        FAIL() << "no conversion error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "'5a' is not a valid integer value");
    }
    try {
        StrictToInt("");
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid integer value");
    }
}

TEST(ArgumentForms, OnOff) {
    const FormCase cases[] = {
        {"ON ", "00"}, {"ON", "00"}, {" ON", "01"}, {"on", "01"}, {"OFF", "01"}, {"", "01"}, {"ONE", "01"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OnOffArgument(c.text), c.expected) << "text '" << c.text << "'";
}

TEST(ArgumentForms, Hundreds) {
    const FormCase cases[] = {
        {"99", "00"},   {"3500", "35"},   {"800", "08"},  {"12345", "123"}, {" 100 ", "01"},
        // Negative values keep one sign in front of the digits.
        {"-3500", "-35"}, {"-150", "-01"}, {"-50", "00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HundredsArgument(c.text), c.expected) << "text '" << c.text << "'";
}

TEST(ArgumentForms, TrimmedTextAndDateTime) {
    EXPECT_EQ(TrimmedTextArgument("12"), "12");
    EXPECT_EQ(TrimmedTextArgument(" 12  "), " 12");
    EXPECT_EQ(TrimmedTextArgument("AB12 \r\n"), "AB12");
    EXPECT_EQ(TrimmedTextArgument("   "), "");
    EXPECT_EQ(DateTimeArgument("2024/05/01 09:03:07"), "2024/05/01 09:03:07");
}

TEST(IntegerConversion, StrictAcceptsBlanksAndSignOnly) {
    EXPECT_EQ(StrictToInt(" -42"), -42);
    EXPECT_EQ(StrictToInt("+0"), 0);
    EXPECT_EQ(StrictToInt("2147483647"), INT_MAX);
    EXPECT_EQ(StrictToInt("-2147483648"), INT_MIN);
    EXPECT_THROW(StrictToInt("42 "), EConvertError);
    EXPECT_THROW(StrictToInt("-2147483649"), EConvertError);
}

TEST(IntegerConversion, LenientStopsAtFirstNonDigit) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"20XX", 20},          {"2024", 2024},           {"", 0},   {"abc", 0}, {"  -42x", -42},
        {"+7", 7},             {"- 7", 0},               {"12 34", 12},
        {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LenientToInt(c.text), c.expected) << "text '" << c.text << "'";
}

} // namespace
} // namespace vexa
