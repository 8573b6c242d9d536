#include "numbers.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

struct DecimalCase {
    const char* text;
    int64_t value;
    bool error;
    int position;
};

void PrintTo(const DecimalCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class TextToIntTest : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(TextToIntTest, ConvertsOrReportsTheFirstBadCharacter)
{
    const DecimalCase& c = GetParam();
    ConvertError = !c.error;  // must be overwritten either way
    EXPECT_EQ(TextToInt(c.text), c.value);
    EXPECT_EQ(ConvertError, c.error);
    EXPECT_EQ(ErrorPosition, c.position);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextToIntTest,
                         ::testing::Values(DecimalCase{"42", 42, false, 0}, DecimalCase{"  -17", -17, false, 0},
                                           DecimalCase{"+8", 8, false, 0},
                                           DecimalCase{"2147483647", 2147483647, false, 0},
                                           DecimalCase{"-2147483648", -2147483648LL, false, 0},
                                           DecimalCase{"2147483648", 0, true, 10}, DecimalCase{"12a4", 0, true, 3},
                                           DecimalCase{"12 ", 0, true, 3}, DecimalCase{"", 0, true, 1},
                                           DecimalCase{"-", 0, true, 2}, DecimalCase{"0x10", 0, true, 2}));

TEST(NumbersTest, SixtyFourBitParsingTakesWhatThirtyTwoBitsCannot)
{
    EXPECT_EQ(TextToInt64("4294967296"), 4294967296LL);
    EXPECT_FALSE(ConvertError);
    EXPECT_EQ(TextToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_FALSE(ConvertError);
    EXPECT_EQ(TextToInt64("9223372036854775808"), 0);
    EXPECT_TRUE(ConvertError);
}

TEST(NumbersTest, ZeroPaddingFillsTheWidthAndKeepsLongerNumbers)
{
    EXPECT_EQ(ZeroPadded(7, 3), "007");
    EXPECT_EQ(ZeroPadded(12345, 3), "12345");
    EXPECT_EQ(ZeroPadded(0, 1), "0");
    EXPECT_EQ(ZeroPadded(-5, 4), "-005");
}

TEST(NumbersTest, HexTextIsEightUpperCaseDigits)
{
    EXPECT_EQ(HexText(0x1A), "0000001A");
    EXPECT_EQ(HexText(0xDEADBEEF), "DEADBEEF");
}

TEST(NumbersTest, HexToNumberReadsEitherCaseAndStopsAtOtherCharacters)
{
    EXPECT_EQ(HexToNumber("deadBEEF"), 0xDEADBEEFu);
    EXPECT_FALSE(ConvertError);
    EXPECT_EQ(HexToNumber(HexText(0x0012ABCD)), 0x0012ABCDu);
    EXPECT_EQ(HexToNumber(""), 0u);
    EXPECT_FALSE(ConvertError);

    EXPECT_EQ(HexToNumber("12G4"), 0u);
    EXPECT_TRUE(ConvertError);
    EXPECT_EQ(ErrorPosition, 3);

    EXPECT_EQ(HexToNumber("123456789"), 0u);
    EXPECT_TRUE(ConvertError);
    EXPECT_EQ(ErrorPosition, 9);
    EXPECT_EQ(HexToNumber("000000001"), 1u);
    EXPECT_FALSE(ConvertError);
}

}  // namespace
}  // namespace quorvil
