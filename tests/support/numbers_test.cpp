#include "numbers.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

struct NumberCase {
    const char* text;
    int64_t value;
    bool error;
    int position;  // checked when not negative
};

TEST(NumbersTest, TextToIntConvertsOrReportsTheFirstBadCharacter)
{
    const NumberCase cases[] = {
        {"42", 42, false, 0},           {"  -17", -17, false, 0},
        {"+8", 8, false, 0},            {"2147483647", 2147483647, false, 0},
        {"-2147483648", -2147483648LL, false, 0}, {"2147483648", 0, true, 10},
        {"12a4", 0, true, 3},           {"12 ", 0, true, 3},
        {"", 0, true, 1},               {"-", 0, true, 2},
        {"0x10", 0, true, 2},
    };
    for (const NumberCase& c : cases) {
        ConvertError = !c.error;  // must be overwritten either way
        EXPECT_EQ(TextToInt(c.text), c.value) << c.text;
        EXPECT_EQ(ConvertError, c.error) << c.text;
        EXPECT_EQ(ErrorPosition, c.position) << c.text;
    }
}

TEST(NumbersTest, SixtyFourBitAndHexTextsConvertOrReportAnError)
{
    const NumberCase cases[] = {
        {"4294967296", 4294967296LL, false, -1},
        {"-9223372036854775808", INT64_MIN, false, -1},
        {"9223372036854775808", 0, true, -1},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(TextToInt64(c.text), c.value) << c.text;
        EXPECT_EQ(ConvertError, c.error) << c.text;
    }
    const NumberCase hex[] = {
        {"deadBEEF", 0xDEADBEEF, false, -1}, {"", 0, false, -1},       {"12G4", 0, true, 3},
        {"123456789", 0, true, 9},           {"000000001", 1, false, -1},
    };
    for (const NumberCase& c : hex) {
        EXPECT_EQ(HexToNumber(c.text), uint32_t(c.value)) << c.text;
        EXPECT_EQ(ConvertError, c.error) << c.text;
        if (c.position >= 0) {
            EXPECT_EQ(ErrorPosition, c.position) << c.text;
        }
    }
}

TEST(NumbersTest, ZeroPaddingAndHexTextHaveTheirWidths)
{
    EXPECT_EQ(ZeroPadded(7, 3), "007");
    EXPECT_EQ(ZeroPadded(12345, 3), "12345");
    EXPECT_EQ(ZeroPadded(-5, 4), "-005");
    EXPECT_EQ(HexText(0x1A), "0000001A");
    EXPECT_EQ(HexText(0xDEADBEEF), "DEADBEEF");
    EXPECT_EQ(HexToNumber(HexText(0x0012ABCD)), 0x0012ABCDu);
}

}  // namespace
}  // namespace quorvil
