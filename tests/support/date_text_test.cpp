// Dates and times typed as text, and the forms columns write them in.
#include "date_text.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(DateText, typed_dates_are_read_day_month_year_or_refused)
{
    const std::pair<const char*, std::optional<TCivilDate>> cases[] = {{"10/07/2023", TCivilDate{2023, 7, 10}},
                                                                       {"7/3/2024", TCivilDate{2024, 3, 7}},
                                                                       {" 7 / 3 / 24 ", TCivilDate{2024, 3, 7}},
                                                                       {"29/02/00", TCivilDate{2000, 2, 29}},
                                                                       {"31/12/79", TCivilDate{2079, 12, 31}},
                                                                       {"01.01.80", TCivilDate{1980, 1, 1}},
                                                                       {"05 Mar 2003", TCivilDate{2003, 3, 5}},
                                                                       {"5 march 1875", TCivilDate{1875, 3, 5}},
                                                                       {"31/02/2024", std::nullopt},
                                                                       {"29/02/1900", std::nullopt},
                                                                       {"10/07", std::nullopt},
                                                                       {"10/07/023", std::nullopt},
                                                                       {"7/3-2024", std::nullopt},
                                                                       {"5 Mrz 2003", std::nullopt},
                                                                       {"/7/3/2024", std::nullopt},
                                                                       {"13/13/2013", std::nullopt},
                                                                       {"7/3/0050", std::nullopt},
                                                                       {"1/1/0999", std::nullopt},
                                                                       {"soon", std::nullopt},
                                                                       {"", std::nullopt}};
    for (const auto& [text, date] : cases)
        EXPECT_EQ(ParseDateText(text), date) << text;
}

TEST(DateText, typed_times_are_read_with_or_without_seconds)
{
    const std::pair<const char*, std::optional<TClockTime>> cases[] = {{"07:45", TClockTime{7, 45, 0}},
                                                                       {"7:45:30", TClockTime{7, 45, 30}},
                                                                       {"23.59", TClockTime{23, 59, 0}},
                                                                       {"0:5", TClockTime{0, 5, 0}},
                                                                       {"24:00", std::nullopt},
                                                                       {"12:60", std::nullopt},
                                                                       {"7", std::nullopt},
                                                                       {"07:45:30:10", std::nullopt},
                                                                       {"745", std::nullopt}};
    for (const auto& [text, time] : cases)
        EXPECT_EQ(ParseTimeText(text), time) << text;
}

TEST(DateText, the_common_form_is_the_one_most_values_have)
{
    EXPECT_EQ(CommonDateForm({"05/12/06", "14/01/2024", "x", "02/02/2024"}), TDateForm{});
    EXPECT_EQ(DatePattern(*CommonDateForm({"5.1.06", "7.3.06", "17.10.2006"})), "d.m.yy");
    EXPECT_EQ(DatePattern(*CommonDateForm({"05 Dec 2006"})), "dd mmm yyyy");
    EXPECT_FALSE(CommonDateForm({"", "n/a"}));
    EXPECT_EQ(TimePattern(*CommonTimeForm({"09:30", "9:30:15", "10:00"})), "hh:mm");
    EXPECT_EQ(TimePattern(*CommonTimeForm({"9:30"})), "h:mm");
}

}  // namespace
}  // namespace quorvil
