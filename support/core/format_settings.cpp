#include "format_settings.h"

namespace quorvil {

TFormatSettings FormatSettings;

void FixFormatSettings(int currentYear)
{
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    for (int m = 0; m < 12; ++m)
        FormatSettings.ShortMonthNames[size_t(m)] = std::string(kMonths + 3 * m, 3);
    FormatSettings.DateSeparator = '/';
    FormatSettings.ShortDateFormat = "dd/mm/yy";
    FormatSettings.TimeSeparator = ':';
    FormatSettings.ShortTimeFormat = "hh:nn:ss";
    FormatSettings.TwoDigitYearCenturyWindow = currentYear - 1980;
}

int ExpandTwoDigitYear(int year, int currentYear)
{
    if (year < 0 || year >= 100)
        return year;
    const int first = currentYear - FormatSettings.TwoDigitYearCenturyWindow;
    int expanded = year + first / 100 * 100;
    if (expanded < first)
        expanded += 100;
    return expanded;
}

}  // namespace quorvil
