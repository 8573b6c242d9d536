// The fixed date conventions of the program.
#include "format_settings.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(FormatSettings, the_fixed_format_settings_read_two_digit_years_from_1980)
{
    FixFormatSettings(2025);
    EXPECT_EQ(FormatSettings.TwoDigitYearCenturyWindow, 45);
    EXPECT_EQ(FormatSettings.ShortMonthNames[1], std::string("Feb"));
    EXPECT_EQ(FormatSettings.ShortDateFormat + " " + FormatSettings.ShortTimeFormat, std::string("dd/mm/yy hh:nn:ss"));
}

}  // namespace
}  // namespace quorvil
