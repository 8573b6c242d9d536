#include "engine_helpers.h"
#include "errors.h"
#include "field_types.h"
#include "record_filter.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(FilterBox, rules_by_field_type)
{
    const struct {
        TFieldType type;
        const char* box;
        const char* cell;
        bool matches;
        TCharset set = TCharset::Windows1252;
    } cases[] = {
        // Text: contains, every letter of the character set without regard to case.
        {TFieldType::String, "", "anything", true},
        {TFieldType::String, "   ", "anything", true},  // blanks only: an empty box
        {TFieldType::String, "m\xFCller", "Hans M\xDCLLER", true},
        {TFieldType::String, "=5", "=5 apples", true},  // no comparisons in text fields
        {TFieldType::String, "=5", "5", false},
        {TFieldType::String, "pear", "apple", false},
        {TFieldType::String, "\xEC\xEE\xF1", "\xCC\xCE\xD1\xCA\xC2\xC0", true, TCharset::Windows1251},  // мос
        // never half of a two-byte character (ア 83 41, 臺 BB 4F)
        {TFieldType::String, "a", "\x83\x41", false, TCharset::ShiftJis},
        {TFieldType::List, "o", "\xBB\x4F", false, TCharset::Big5},
        // Numbers: by value, and still by text without an operator.
        {TFieldType::Float, ">=2.5", "2.50", true},
        {TFieldType::Float, ">=2.5", "2.4", false},
        {TFieldType::Float, "<10", "9.99", true},
        {TFieldType::Float, "<10", "10", false},
        {TFieldType::Integer, "> -1", "0", true},
        {TFieldType::Integer, "=7", "007", true},
        {TFieldType::Integer, "2..5", "5", true},  // both ends included
        {TFieldType::Integer, "5..2", "3", true},  // ends the wrong way round
        {TFieldType::Integer, "2..5", "6", false},
        {TFieldType::Integer, "..5", "-100", true},  // an open end
        {TFieldType::Integer, "3..", "100", true},
        {TFieldType::Integer, ">1", "many", false},  // an unreadable cell passes no comparison
        {TFieldType::Integer, ">1", "", false},
        {TFieldType::Integer, "1", "210", true},  // contains
        {TFieldType::AutoInc, "<=3", "3", true},
        // Dates and times, in time order.
        {TFieldType::Date, ">=1/3/2024", "15/03/2024", true},
        {TFieldType::Date, ">=1/3/2024", "29/02/2024", false},
        {TFieldType::Date, "1 jan 2024..31 dec 2024", "31.12.2024", true},
        {TFieldType::Date, "<1/1/2000", "31/02/1999", false},  // no such day
        {TFieldType::IntDate, ">01 Jan 2020", "02 Feb 2020", true},
        // A date in a box is read as the editors read one, in either date field.
        {TFieldType::IntDate, ">1 Mar 2025", "02 Mar 2025", true},
        {TFieldType::IntDate, ">1/3/2025", "02 Mar 2025", true},
        {TFieldType::IntDate, ">01 Mar 2025", "01 Mar 2025", false},
        {TFieldType::Date, ">1 Mar 2025", "02/03/2025", true},
        {TFieldType::Date, ">1/3/2025", "01/03/2025", false},
        {TFieldType::Date, ">01 Mar 2025", "02/03/25", true},
        {TFieldType::Time, "<12:00", "9:30", true},
        {TFieldType::Time, "<12:00", "12:00:01", false},
        {TFieldType::ModTime, "=8:05", "08:05:00", true},
        // Booleans: ticked or not; the stored 1 or the TRUE text.
        {TFieldType::Boolean, "TRUE", "1", true},
        {TFieldType::Boolean, "true", "0", false},
        {TFieldType::Boolean, "=1", "TRUE", false},  // the grid ticks the stored 1 only
        {TFieldType::Boolean, "FALSE", "0", true},
        {TFieldType::Boolean, "FALSE", "", true},
        {TFieldType::Boolean, "0", "1", false},
        // Lists: the drop-down's exact value, or contains as typed.
        {TFieldType::List, "=North", "North", true},
        {TFieldType::List, "=North", "north", false},
        {TFieldType::List, "=North", "North East", false},
        {TFieldType::List, "=", "", true},  // the empty value
        {TFieldType::List, "nor", "North East", true},
    };
    for (const auto& c : cases) {
        const TFilterCondition condition(c.type, c.box, "TRUE", "FALSE", c.set);
        EXPECT_EQ(condition.Matches(c.cell), c.matches)
            << CharsetName(c.set) << " type " << c.type << " box \"" << c.box << "\" cell \"" << c.cell << "\"";
        EXPECT_TRUE(condition.Problem().empty()) << c.box;
    }
}

TEST(FilterBox, texts_that_cannot_match_say_why)
{
    const struct {
        TFieldType type;
        const char* box;
        const char* problem;
    } cases[] = {
        {TFieldType::Float, ">abc", "\"abc\" is not a number."},
        {TFieldType::Float, ">=", "\"\" is not a number."},
        {TFieldType::Integer, "1..x", "\"x\" is not a number."},
        {TFieldType::Date, "<31/02/2024", "\"31/02/2024\" is not a date."},
        {TFieldType::Time, "=25:00", "\"25:00\" is not a time."},
        {TFieldType::Boolean, "maybe", "type TRUE or FALSE."},
        {TFieldType::Float, "<1,5", "\"1,5\" is not a number."},
        {TFieldType::Float, ">1e3", "\"1e3\" is not a number."},
    };
    for (const auto& c : cases) {
        const TFilterCondition condition(c.type, c.box);
        EXPECT_EQ(condition.Problem(), c.problem) << c.box;
        EXPECT_FALSE(condition.Matches("1")) << c.box;
        EXPECT_FALSE(condition.Matches("")) << c.box;
    }
}

TEST(FilterBox, the_tip_names_what_the_fields_values_compare_by)
{
    const struct {
        TFieldType type;
        const char* value;  // what follows the operators; none for a text field
    } cases[] = {
        {TFieldType::String, nullptr},   {TFieldType::Binary, nullptr}, {TFieldType::Integer, "a number"},
        {TFieldType::Float, "a number"}, {TFieldType::Date, "a date"},  {TFieldType::IntDate, "a date"},
        {TFieldType::ModTime, "a time"},
    };
    for (const auto& c : cases) {
        const std::string tip = FilterHelp(c.type);
        if (c.value)
            EXPECT_NE(tip.find(std::string("=, <, >, <= or >= ") + c.value), std::string::npos) << tip;
        else
            EXPECT_EQ(tip, "Filter: a text the cells contain");
    }
}

TEST(RecordFilter, boxes_together_pass_a_record_only_when_every_one_matches)
{
    auto db = MemoryDatabase({{"Name"}, {"Qty", TFieldType::Integer}},
                             {{"apple", "3"}, {"Apricot", "12"}, {"pear", "12"}, {"grape", "x"}});

    const TRecordFilter both(*db, {{1, "ap"}, {2, ">5"}});
    EXPECT_EQ(RecordsPassing(*db, both, {4, 3, 2, 1}), (std::vector<int>{2}));
    std::vector<uint8_t> flags(4, 7);
    FilterRecords(*db, both, 2, 3, flags);
    EXPECT_EQ(flags, (std::vector<uint8_t>{7, 1, 0, 7}));  // only the slice asked for

    // The highlight: a cell of a field with a box, passing it.
    EXPECT_TRUE(both.CellMatches(1, "grape"));
    EXPECT_FALSE(both.CellMatches(2, "x"));
    EXPECT_TRUE(both.ProblemOf(3).empty());

    // Empty boxes and boxes of fields the database lacks filter nothing.
    const TRecordFilter none(*db, {{1, ""}, {9, "x"}, {0, "x"}});
    EXPECT_FALSE(none.Active());
    EXPECT_EQ(RecordsPassing(*db, none, {1, 2, 3, 4}).size(), 4u);

    const TRecordFilter wrong(*db, {{1, "a"}, {2, "<many"}});
    EXPECT_EQ(wrong.Problem(), "Qty: \"many\" is not a number.");
    EXPECT_EQ(wrong.ProblemOf(2), "\"many\" is not a number.");
    EXPECT_TRUE(RecordsPassing(*db, wrong, {1, 2, 3, 4}).empty());

    // The database's own TRUE text ticks a box too.
    db->SetFieldType(2, TFieldType::Boolean);
    db->SetBooleanTexts("Yes", db->FalseText());
    db->SetCell(1, 2, "Yes");
    EXPECT_EQ(RecordsPassing(*db, TRecordFilter(*db, {{2, "yes"}}), {1, 2, 3, 4}), (std::vector<int>{1}));
}

TEST(RecordFilter, command_line_conditions_become_box_texts)
{
    const struct {
        TFieldType type;
        const char *op, *value;
        std::optional<std::string> box;
    } cases[] = {
        {TFieldType::String, "contains", "ab", "ab"},     {TFieldType::String, "=", "ab", std::nullopt},
        {TFieldType::Integer, ">=", "5", ">=5"},          {TFieldType::Integer, "..", "1..5", "1..5"},
        {TFieldType::Integer, "..", "5", std::nullopt},   {TFieldType::Integer, "~", "5", std::nullopt},
        {TFieldType::Boolean, "=", "TRUE", "TRUE"},       {TFieldType::Boolean, "contains", "TRUE", std::nullopt},
        {TFieldType::Boolean, "<", "1", std::nullopt},    {TFieldType::List, "=", "North", "=North"},
        {TFieldType::Date, "<", "1/1/2020", "<1/1/2020"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BoxText(c.type, c.op, c.value), c.box) << c.op << " " << c.value;

    // A literal box reads no operator and keeps its blanks.
    auto db = MemoryDatabase({{"Qty", TFieldType::Integer}}, {{"1..5"}, {"3"}});
    EXPECT_EQ(RecordsPassing(*db, TRecordFilter(*db, {{1, "1..5", true}}), {1, 2}), (std::vector<int>{1}));
    EXPECT_EQ(RecordsPassing(*db, TRecordFilter(*db, {{1, "1..5"}}), {1, 2}), (std::vector<int>{2}));
}

TEST(CopyDatabase, chosen_records_in_their_order)
{
    auto db = MemoryDatabase({{"Name"}}, {{"r1"}, {"r2"}, {"r3"}});
    for (TRecordCopy mode : {TRecordCopy::Own, TRecordCopy::Borrow}) {
        const auto part = CopyDatabase(*db, {3, 1}, mode);
        ASSERT_EQ(part->RecordCount(), 2);
        EXPECT_EQ(part->RecordList.size(), 2u);
        EXPECT_EQ(part->GetCell(1, 1), "r3");
        EXPECT_EQ(part->GetCell(2, 1), "r1");
        EXPECT_EQ(part->GetFieldName(1), "Name");
        EXPECT_EQ(CopyDatabase(*db, {}, mode)->RecordCount(), 0);
    }
    EXPECT_THROW(CopyDatabase(*db, {1, 4}), ERangeError);
    EXPECT_EQ(db->RecordCount(), 3);
}

}  // namespace
}  // namespace quorvil
