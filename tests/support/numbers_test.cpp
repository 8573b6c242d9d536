#include "numbers.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(NumbersTest, text_to_int_converts_or_reports_the_first_bad_character)
{
    const struct {
        const char* text;
        int64_t value;
        bool error;
        int position;
    } cases[] = {
        {"  -17", -17, false, 0},
        {"+8", 8, false, 0},
        {"-2147483648", -2147483648LL, false, 0},
        {"2147483648", 0, true, 10},
        {"12a4", 0, true, 3},
        {"12 ", 0, true, 3},
        {"", 0, true, 1},
        {"-", 0, true, 2},
        {"0x10", 0, true, 2},
    };
    for (const auto& c : cases) {
        ConvertError = !c.error;  // must be overwritten either way
        EXPECT_EQ(std::tuple(TextToInt(c.text), ConvertError, ErrorPosition), std::tuple(c.value, c.error, c.position))
            << c.text;
    }
    EXPECT_EQ(TextToInt64("-9223372036854775808"), INT64_MIN);
    TextToInt64("9223372036854775808");
    EXPECT_TRUE(ConvertError);
}

}  // namespace
}  // namespace quorvil
