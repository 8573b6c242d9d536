// Dates counted in seconds since an epoch year, as the Palm header stores them.
#include "date_arith.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvil {
namespace {

TEST(DateArith, seconds_since_1904_count_leap_years_by_the_gregorian_rule_and_overflow_past_32_bits)
{
    const int before = EpochYear;
    {
        EpochYearScope epoch(1904);
        const struct {
            int y, m, d, h, n, s;
            uint32_t seconds;
        } cases[] = {
            {1904, 3, 1, 0, 0, 0, 60 * 86400},  // 1904 has a 29 February
            {1905, 1, 1, 23, 59, 59, 31622400 + 86399},
            {2000, 3, 1, 12, 30, 15, 3034758615u},  // 2000 is a leap year
            {2040, 2, 6, 6, 28, 15, 4294967295u},   // the last second that fits
        };
        for (const auto& c : cases)
            EXPECT_EQ(SecondsSince(c.y, c.m, c.d, c.h, c.n, c.s), c.seconds) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_THROW(SecondsSince(2040, 2, 6, 6, 28, 16), std::overflow_error);
        EXPECT_THROW(SecondsSince(2000, 1, 0, 0, 0, 0), std::overflow_error) << "day 0";
        EXPECT_THROW(SecondsSince(1903, 12, 31, 0, 0, 0), std::overflow_error) << "a year before the epoch";
    }
    EXPECT_EQ(EpochYear, before) << "the epoch is restored";
    EpochYearScope epoch(1970);
    EXPECT_EQ(SecondsSince(79, 1, 1, 0, 0, 0), 3439756800u) << "79 is 2079";
    EXPECT_EQ(SecondsSince(80, 1, 1, 0, 0, 0), 315532800u) << "80 is 1980";
    TwoDigitYears = false;
    EXPECT_THROW(SecondsSince(80, 1, 1, 0, 0, 0), std::overflow_error);
    TwoDigitYears = true;
}

}  // namespace
}  // namespace quorvil
