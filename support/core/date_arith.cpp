#include "date_arith.h"

#include "local_clock.h"

#include <stdexcept>

namespace quorvil {

int EpochYear = 1970;
bool TwoDigitYears = true;

bool IsLeapYear(int y)
{
    if (y < 1900)
        return y % 4 == 0;
    return y % 400 == 0 || (y % 4 == 0 && y % 100 != 0);
}

int DaysInMonth(int y, int m)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12)
        throw std::out_of_range("Range check error");
    return (m == 2 && IsLeapYear(y)) ? 29 : days[m - 1];
}

bool IsValidDate(int y, int m, int d)
{
    return m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

bool IsValidTime(int h, int n, int s)
{
    return h >= 0 && h < 24 && n >= 0 && n < 60 && s >= 0 && s < 60;
}

namespace {

[[noreturn]] void Overflow()
{
    throw std::overflow_error("Arithmetic overflow");
}

// Every step of the count is checked so that a date out of range raises
// instead of wrapping to a plausible but wrong second count.
uint64_t Checked(uint64_t v)
{
    if (v > UINT32_MAX)
        Overflow();
    return v;
}

}  // namespace

uint32_t SecondsSince(int y, int m, int d, int h, int n, int s)
{
    if (TwoDigitYears && y < 1900)
        y += (y < 80) ? 2000 : 1900;
    if (y < EpochYear || d < 1 || h < 0 || n < 0 || s < 0)
        Overflow();
    uint64_t total = 0;
    for (int year = EpochYear; year < y; ++year)
        total = Checked(total + (IsLeapYear(year) ? 31622400u : 31536000u));
    for (int month = 1; month < m; ++month)
        total = Checked(total + uint64_t(DaysInMonth(y, month)) * 86400u);
    total = Checked(total + uint64_t(d - 1) * 86400u);
    total = Checked(total + uint64_t(h) * 3600u + uint64_t(n) * 60u + uint64_t(s));
    return uint32_t(total);
}

uint32_t NowSeconds()
{
    const TLocalMoment now = LocalNow();
    return SecondsSince(now.Date.Year, now.Date.Month, now.Date.Day, now.Time.Hour, now.Time.Minute, now.Time.Second);
}

}  // namespace quorvil
