#pragma once
// Dates and times counted as whole seconds since 1 January 00:00:00 of a
// settable epoch year, local time, no time-zone correction. Palm headers use
// the epoch 1904.
#include <cstdint>

namespace quorvil {

// Year whose 1 January 00:00:00 is second 0. Program-wide, initially 1970.
extern int EpochYear;
// When on, a year below 1900 given to SecondsSince is a two-digit year:
// below 80 it gets 2000 added, otherwise 1900. Initially on.
extern bool TwoDigitYears;

bool IsLeapYear(int y);
// Throws std::out_of_range for a month outside 1..12.
int DaysInMonth(int y, int m);
bool IsValidDate(int y, int m, int d);
bool IsValidTime(int h, int n, int s);

// Seconds from 1 January EpochYear to the given local date and time.
// Throws std::overflow_error when the count does not fit in 32 unsigned bits,
// for a day of 0 and for a year before EpochYear.
uint32_t SecondsSince(int y, int m, int d, int h, int n, int s);
// SecondsSince of LocalNow() (local_clock.h).
uint32_t NowSeconds();

// Sets EpochYear for a scope and restores it on the way out, also when an
// exception passes.
class EpochYearScope {
public:
    explicit EpochYearScope(int year) : saved_(EpochYear) { EpochYear = year; }
    ~EpochYearScope() { EpochYear = saved_; }
    EpochYearScope(const EpochYearScope&) = delete;
    EpochYearScope& operator=(const EpochYearScope&) = delete;

private:
    int saved_;
};

}  // namespace quorvil
