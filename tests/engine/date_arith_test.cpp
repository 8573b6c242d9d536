// Dates counted in seconds since an epoch year, as the Palm header stores them.
#include "date_arith.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvil {
namespace {

TEST(DateArith, seconds_since_1904_count_leap_years_by_the_gregorian_rule_and_overflow_past_32_bits)
{
    EpochYearScope epoch(1904);
    const struct {
        int y, m, d, h, n, s;
        uint32_t seconds;
    } cases[] = {
        {1904, 1, 1, 0, 0, 0, 0},
        {1904, 3, 1, 0, 0, 0, 60 * 86400},  // 1904 has a 29 February
        {1905, 1, 1, 0, 0, 0, 31622400},
        {1904, 1, 1, 23, 59, 59, 86399},
        {2000, 3, 1, 12, 30, 15, 3034758615u},  // 2000 is a leap year
        {2040, 2, 6, 6, 28, 15, 4294967295u},   // the last second that fits
    };
    for (const auto& c : cases)
        EXPECT_EQ(SecondsSince(c.y, c.m, c.d, c.h, c.n, c.s), c.seconds) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_THROW(SecondsSince(2040, 2, 6, 6, 28, 16), std::overflow_error);
    EXPECT_THROW(SecondsSince(1903, 12, 31, 0, 0, 0), std::overflow_error) << "a year before the epoch";
    EXPECT_THROW(SecondsSince(2000, 1, 0, 0, 0, 0), std::overflow_error) << "day 0";
}

TEST(DateArith, two_digit_years_below_80_are_in_the_2000s_and_the_rest_in_the_1900s)
{
    EpochYearScope epoch(1970);
    EXPECT_EQ(SecondsSince(79, 1, 1, 0, 0, 0), 3439756800u);
    EXPECT_EQ(SecondsSince(80, 1, 1, 0, 0, 0), 315532800u);
    TwoDigitYears = false;
    EXPECT_THROW(SecondsSince(80, 1, 1, 0, 0, 0), std::overflow_error);
    TwoDigitYears = true;
}

TEST(DateArith, leap_years_valid_dates_and_times)
{
    for (int year : {2000, 1800, 2024})
        EXPECT_TRUE(IsLeapYear(year)) << year;
    for (int year : {1900, 2100, 1803})
        EXPECT_FALSE(IsLeapYear(year)) << year;
    EXPECT_TRUE(IsValidDate(2004, 2, 29));
    EXPECT_TRUE(IsValidDate(2004, 12, 31));
    for (auto [y, m, d] : {std::tuple{2003, 2, 29}, {2004, 4, 31}, {2004, 13, 1}, {2004, 0, 1}, {2004, 1, 0}})
        EXPECT_FALSE(IsValidDate(y, m, d)) << y << "-" << m << "-" << d;
    EXPECT_TRUE(IsValidTime(23, 59, 59));
    EXPECT_FALSE(IsValidTime(24, 0, 0));
    EXPECT_FALSE(IsValidTime(0, 60, 0));
    EXPECT_FALSE(IsValidTime(0, 0, 60));
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_THROW(DaysInMonth(2000, 13), std::out_of_range);
}

TEST(DateArith, the_epoch_is_restored_when_an_exception_passes)
{
    const int before = EpochYear;
    EXPECT_THROW(
        {
            EpochYearScope epoch(1904);
            SecondsSince(1800, 1, 1, 0, 0, 0);
        },
        std::overflow_error);
    EXPECT_EQ(EpochYear, before);
}

}  // namespace
}  // namespace quorvil
