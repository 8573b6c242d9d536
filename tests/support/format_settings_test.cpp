// The fixed date conventions of the program.
#include "format_settings.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(FormatSettings, two_digit_years_fall_between_1980_and_2079)
{
    FixFormatSettings(2025);
    EXPECT_EQ(ExpandTwoDigitYear(79, 2025), 2079);
    EXPECT_EQ(ExpandTwoDigitYear(80, 2025), 1980);
    EXPECT_EQ(ExpandTwoDigitYear(2024, 2025), 2024);
    EXPECT_EQ(FormatSettings.ShortMonthNames[1], std::string("Feb"));
    EXPECT_EQ(FormatSettings.ShortDateFormat + " " + FormatSettings.ShortTimeFormat, std::string("dd/mm/yy hh:nn:ss"));
}

}  // namespace
}  // namespace quorvil
