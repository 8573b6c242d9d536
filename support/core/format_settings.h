#pragma once
// The program's date and time conventions, fixed at start-up whatever the
// user's locale: dd/mm/yy, hh:nn:ss, English month names, and two-digit
// years read as 1980 to 2079.
#include <array>
#include <string>

namespace quorvil {

struct TFormatSettings {
    std::array<std::string, 12> ShortMonthNames{};
    char DateSeparator = '/';
    std::string ShortDateFormat = "dd/mm/yy";
    char TimeSeparator = ':';
    std::string ShortTimeFormat = "hh:nn:ss";
    // Two-digit years fall in the hundred years from (current year - window).
    int TwoDigitYearCenturyWindow = 0;
};

// The process-wide conventions.
extern TFormatSettings FormatSettings;

// Sets the fixed conventions; the window becomes currentYear - 1980.
void FixFormatSettings(int currentYear);

}  // namespace quorvil
