#include "date_text.h"

#include "text_utils.h"

#include <array>
#include <cstdio>

namespace quorvil {

namespace {

constexpr int kFirstWindowYear = 1980;  // two-digit years read as 1980..2079
constexpr std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                     "May",       "June",     "July",     "August",
                                                     "September", "October",  "November", "December"};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The runs of digits and of letters of a text, and the first character that
// separated two of them; false when another character stands between them.
struct TPieces {
    std::vector<std::string_view> Runs;
    char Separator = 0;
};

bool SplitPieces(std::string_view text, std::string_view separators, TPieces& pieces)
{
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (IsDigit(c) || IsLetter(c)) {
            const bool digits = IsDigit(c);
            size_t end = i;
            while (end < text.size() && (digits ? IsDigit(text[end]) : IsLetter(text[end])))
                ++end;
            pieces.Runs.push_back(text.substr(i, end - i));
            i = end;
            continue;
        }
        if (separators.find(c) == std::string_view::npos || pieces.Runs.empty())
            return false;
        // Spaces may pad another separator ("7 / 3 / 2024"); one other kept.
        if (c != ' ' && pieces.Separator != 0 && pieces.Separator != ' ' && pieces.Separator != c)
            return false;
        if (pieces.Separator == 0 || (pieces.Separator == ' ' && c != ' '))
            pieces.Separator = c;
        ++i;
    }
    return text.empty() || IsDigit(text.back()) || IsLetter(text.back());
}

int Number(std::string_view digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

int MonthOfName(std::string_view name)
{
    if (name.size() < 3)
        return 0;
    for (size_t m = 0; m < kMonthNames.size(); ++m) {
        const std::string_view full = kMonthNames[m];
        if (name.size() > full.size())
            continue;
        bool same = true;
        for (size_t k = 0; k < name.size() && same; ++k)
            same = Lower(name[k]) == Lower(full[k]);
        if (same)
            return int(m) + 1;
    }
    return 0;
}

bool ValidDate(const TCivilDate& d)
{
    // Years of four digits: one of fewer would be written as a year of the
    // two-digit window, or be no year that text could hold.
    if (d.Year < 1000 || d.Year > 9999 || d.Month < 1 || d.Month > 12 || d.Day < 1)
        return false;
    return d.Day <= GregorianDaysInMonth(d.Year, d.Month);
}

struct TParsedDate {
    TCivilDate Date;
    TDateForm Form;
};

std::optional<TParsedDate> ReadDate(std::string_view text)
{
    TPieces pieces;
    if (!SplitPieces(TrimBlanks(text), "/.- ", pieces) || pieces.Runs.size() != 3)
        return {};
    const std::string_view day = pieces.Runs[0];
    const std::string_view month = pieces.Runs[1];
    const std::string_view year = pieces.Runs[2];
    if (!IsDigit(day[0]) || !IsDigit(year[0]) || day.size() > 2 || (year.size() != 4 && year.size() > 2))
        return {};
    TParsedDate parsed;
    parsed.Form.MonthName = IsLetter(month[0]);
    parsed.Form.PadDay = day.size() == 2;
    parsed.Form.FourDigitYear = year.size() == 4;
    parsed.Form.Separator = parsed.Form.MonthName ? ' ' : pieces.Separator;
    if (parsed.Form.MonthName) {
        parsed.Date.Month = MonthOfName(month);
    } else if (month.size() <= 2) {
        parsed.Date.Month = Number(month);
        parsed.Form.PadMonth = month.size() == 2;
    }
    parsed.Date.Day = Number(day);
    parsed.Date.Year = Number(year);
    if (year.size() <= 2)
        parsed.Date.Year += parsed.Date.Year < kFirstWindowYear % 100 ? 2000 : 1900;
    if (!ValidDate(parsed.Date))
        return {};
    return parsed;
}

struct TParsedTime {
    TClockTime Time;
    TTimeForm Form;
};

std::optional<TParsedTime> ReadTime(std::string_view text)
{
    TPieces pieces;
    if (!SplitPieces(TrimBlanks(text), ":.", pieces) || pieces.Runs.size() < 2 || pieces.Runs.size() > 3)
        return {};
    for (std::string_view run : pieces.Runs)
        if (!IsDigit(run[0]) || run.size() > 2)
            return {};
    TParsedTime parsed;
    parsed.Time.Hour = Number(pieces.Runs[0]);
    parsed.Time.Minute = Number(pieces.Runs[1]);
    parsed.Time.Second = pieces.Runs.size() == 3 ? Number(pieces.Runs[2]) : 0;
    parsed.Form.Seconds = pieces.Runs.size() == 3;
    parsed.Form.PadHour = pieces.Runs[0].size() == 2;
    const TClockTime& t = parsed.Time;
    if (t.Hour > 23 || t.Minute > 59 || t.Second > 59)
        return {};
    return parsed;
}

std::string Padded(int value, bool pad)
{
    char text[16];
    std::snprintf(text, sizeof text, pad ? "%02d" : "%d", value);
    return text;
}

template <class Form>
std::optional<Form> CommonForm(const std::vector<std::string_view>& values,
                               std::optional<Form> (*formOf)(std::string_view))
{
    std::vector<std::pair<Form, int>> counts;
    for (std::string_view value : values) {
        const std::optional<Form> form = formOf(value);
        if (!form)
            continue;
        auto it = counts.begin();
        while (it != counts.end() && !(it->first == *form))
            ++it;
        if (it == counts.end())
            counts.emplace_back(*form, 1);
        else
            ++it->second;
    }
    std::optional<Form> best;
    int most = 0;
    for (const auto& [form, count] : counts)
        if (count > most) {
            best = form;
            most = count;
        }
    return best;
}

}  // namespace

int GregorianDaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::optional<TCivilDate> ParseDateText(std::string_view text)
{
    const std::optional<TParsedDate> parsed = ReadDate(text);
    return parsed ? std::optional(parsed->Date) : std::nullopt;
}

std::optional<TCivilDate> ParseLongDateText(std::string_view text)
{
    if (text.size() != 11 || !IsDigit(text[0]) || !IsDigit(text[1]) || text[6] != ' ')
        return std::nullopt;
    for (size_t p = 7; p < 11; ++p)
        if (!IsDigit(text[p]))
            return std::nullopt;
    // Without allocating: every record of a date key comes through here.
    int month = 0;
    for (size_t m = 0; m < kMonthNames.size() && month == 0; ++m) {
        bool same = true;
        for (size_t k = 0; k < 3 && same; ++k)
            same = Lower(text[3 + k]) == Lower(kMonthNames[m][k]);
        if (same)
            month = int(m) + 1;
    }
    const TCivilDate date{Number(text.substr(7, 4)), month, Number(text.substr(0, 2))};
    if (month == 0 || date.Day < 1 || date.Day > GregorianDaysInMonth(date.Year, month))
        return std::nullopt;
    return date;
}

std::optional<TDateForm> DateFormOf(std::string_view text)
{
    const std::optional<TParsedDate> parsed = ReadDate(text);
    return parsed ? std::optional(parsed->Form) : std::nullopt;
}

std::string DateText(const TCivilDate& date, const TDateForm& form)
{
    const bool fourDigits = form.FourDigitYear || date.Year < kFirstWindowYear || date.Year >= kFirstWindowYear + 100;
    const std::string year = fourDigits ? Padded(date.Year, false) : Padded(date.Year % 100, true);
    if (form.MonthName)
        return Padded(date.Day, form.PadDay) + " " + std::string(kMonthNames[size_t(date.Month - 1)], 3) + " " + year;
    const std::string separator(1, form.Separator);
    return Padded(date.Day, form.PadDay) + separator + Padded(date.Month, form.PadMonth) + separator + year;
}

std::string DatePattern(const TDateForm& form)
{
    const std::string day = form.PadDay ? "dd" : "d";
    const std::string year = form.FourDigitYear ? "yyyy" : "yy";
    if (form.MonthName)
        return day + " mmm " + year;
    const std::string separator(1, form.Separator);
    return day + separator + (form.PadMonth ? "mm" : "m") + separator + year;
}

std::optional<TClockTime> ParseTimeText(std::string_view text)
{
    const std::optional<TParsedTime> parsed = ReadTime(text);
    return parsed ? std::optional(parsed->Time) : std::nullopt;
}

std::optional<TTimeForm> TimeFormOf(std::string_view text)
{
    const std::optional<TParsedTime> parsed = ReadTime(text);
    return parsed ? std::optional(parsed->Form) : std::nullopt;
}

std::string TimeText(const TClockTime& time, const TTimeForm& form)
{
    std::string text = Padded(time.Hour, form.PadHour) + ":" + Padded(time.Minute, true);
    if (form.Seconds)
        text += ":" + Padded(time.Second, true);
    return text;
}

std::string TimePattern(const TTimeForm& form)
{
    return std::string(form.PadHour ? "hh" : "h") + ":mm" + (form.Seconds ? ":ss" : "");
}

std::optional<TDateForm> CommonDateForm(const std::vector<std::string_view>& values)
{
    return CommonForm<TDateForm>(values, &DateFormOf);
}

std::optional<TTimeForm> CommonTimeForm(const std::vector<std::string_view>& values)
{
    return CommonForm<TTimeForm>(values, &TimeFormOf);
}

std::optional<std::string> StoredDateText(std::string_view typed, const TDateForm& form)
{
    if (TrimBlanks(typed).empty())
        return std::string();
    const std::optional<TCivilDate> date = ParseDateText(typed);
    if (!date)
        return std::nullopt;
    return DateText(*date, form);
}

std::optional<std::string> StoredTimeText(std::string_view typed, const TTimeForm& form)
{
    if (TrimBlanks(typed).empty())
        return std::string();
    const std::optional<TClockTime> time = ParseTimeText(typed);
    if (!time)
        return std::nullopt;
    TTimeForm written = form;
    written.Seconds = written.Seconds || time->Second != 0;
    return TimeText(*time, written);
}

}  // namespace quorvil
