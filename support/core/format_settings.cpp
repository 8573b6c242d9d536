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

}  // namespace quorvil
