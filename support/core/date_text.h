#pragma once
// Dates and times as cells hold them in text: day, month and year in that
// order ("07/03/2024", "7/3/24", "07 Mar 2024") and hours, minutes and
// optionally seconds ("09:30", "9:30:15"). Reading is lenient about what a
// person types; writing follows the form a column's values already have, so
// that a column never mixes "05/12/06" and "14/01/2024".
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

struct TCivilDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    bool operator==(const TCivilDate&) const = default;
};

struct TClockTime {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    bool operator==(const TClockTime&) const = default;
};

// How a date is written.
struct TDateForm {
    bool MonthName = false;  // "07 Mar 2024": day, English abbreviation, year, with spaces
    bool FourDigitYear = true;
    bool PadDay = true;
    bool PadMonth = true;
    char Separator = '/';
    bool operator==(const TDateForm&) const = default;
};

// How a time is written.
struct TTimeForm {
    bool Seconds = true;
    bool PadHour = true;
    bool operator==(const TTimeForm&) const = default;
};

// Days of month 1..12 by the Gregorian rule for every year (the calendar
// of the texts; the serial day numbers have their own rule).
int GregorianDaysInMonth(int year, int month);

// A date written as day, month and year: three numbers separated by "/",
// ".", "-" or spaces, or a number, an English month name (its first three
// letters are enough, any case) and a number. A year of one or two digits
// stands for 1980 to 2079; other years need four digits (1000 to 9999).
// Empty when the text is no valid date (31/02/2024 is none).
std::optional<TCivilDate> ParseDateText(std::string_view text);
// A date written exactly as INT.DATE fields hold one, "07 Mar 2024": two
// digits, one character, an English month abbreviation (any case), a blank
// and four digits. Empty for any other text ("7 Mar 2024", "07/03/2024")
// and for a day the month lacks.
std::optional<TCivilDate> ParseLongDateText(std::string_view text);
// The form of a text that ParseDateText reads; empty for any other text.
std::optional<TDateForm> DateFormOf(std::string_view text);
std::string DateText(const TCivilDate& date, const TDateForm& form);
// The form written in the notation people read: "dd/mm/yyyy", "d/m/yy",
// "dd mmm yyyy".
std::string DatePattern(const TDateForm& form);

// A time of day: hours and minutes, optionally seconds, separated by ":" or
// "."; one or two digits each. Empty when the text is no valid time.
std::optional<TClockTime> ParseTimeText(std::string_view text);
std::optional<TTimeForm> TimeFormOf(std::string_view text);
std::string TimeText(const TClockTime& time, const TTimeForm& form);
// "hh:mm:ss", "hh:mm", "h:mm".
std::string TimePattern(const TTimeForm& form);

// The form most of `values` are written in (ties go to the earlier one);
// empty when none of them is a date or time.
std::optional<TDateForm> CommonDateForm(const std::vector<std::string_view>& values);
std::optional<TTimeForm> CommonTimeForm(const std::vector<std::string_view>& values);

// The text a date cell whose column writes `form` stores for `typed`: empty
// for a blank text, else the date in that form, with a four-digit year where
// two digits would read as another year. Empty optional when `typed` is no
// valid date.
std::optional<std::string> StoredDateText(std::string_view typed, const TDateForm& form);
// The same for a time; seconds are added where the form has none but the
// typed time does.
std::optional<std::string> StoredTimeText(std::string_view typed, const TTimeForm& form);

}  // namespace quorvil
