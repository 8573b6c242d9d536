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
    } cases[] = {
        // Text: contains, every letter of the character set without regard to case.
        {kTypeString, "", "anything", true},
        {kTypeString, "   ", "anything", true},  // blanks only: an empty box
        {kTypeString, "m\xFCller", "Hans M\xDCLLER", true},
        {kTypeString, "=5", "=5 apples", true},  // no comparisons in text fields
        {kTypeString, "=5", "5", false},
        {kTypeString, "pear", "apple", false},
        // Numbers: by value, and still by text without an operator.
        {kTypeFloat, ">=2.5", "2.50", true},
        {kTypeFloat, ">=2.5", "2.4", false},
        {kTypeFloat, "<10", "9.99", true},
        {kTypeFloat, "<10", "10", false},
        {kTypeInteger, "> -1", "0", true},
        {kTypeInteger, "=7", "007", true},
        {kTypeInteger, "2..5", "5", true},  // both ends included
        {kTypeInteger, "5..2", "3", true},  // ends the wrong way round
        {kTypeInteger, "2..5", "6", false},
        {kTypeInteger, "..5", "-100", true},  // an open end
        {kTypeInteger, "3..", "100", true},
        {kTypeInteger, ">1", "many", false},  // an unreadable cell passes no comparison
        {kTypeInteger, ">1", "", false},
        {kTypeInteger, "1", "210", true},  // contains
        {kTypeAutoInc, "<=3", "3", true},
        // Dates and times, in time order.
        {kTypeDate, ">=1/3/2024", "15/03/2024", true},
        {kTypeDate, ">=1/3/2024", "29/02/2024", false},
        {kTypeDate, "1 jan 2024..31 dec 2024", "31.12.2024", true},
        {kTypeDate, "<1/1/2000", "31/02/1999", false},  // no such day
        {kTypeIntDate, ">01 Jan 2020", "02 Feb 2020", true},
        // A date in a box is read as the editors read one, in either date field.
        {kTypeIntDate, ">1 Mar 2025", "02 Mar 2025", true},
        {kTypeIntDate, ">1/3/2025", "02 Mar 2025", true},
        {kTypeIntDate, ">01 Mar 2025", "01 Mar 2025", false},
        {kTypeDate, ">1 Mar 2025", "02/03/2025", true},
        {kTypeDate, ">1/3/2025", "01/03/2025", false},
        {kTypeDate, ">01 Mar 2025", "02/03/25", true},
        {kTypeTime, "<12:00", "9:30", true},
        {kTypeTime, "<12:00", "12:00:01", false},
        {kTypeModTime, "=8:05", "08:05:00", true},
        // Booleans: ticked or not; the stored 1 or the TRUE text.
        {kTypeBoolean, "TRUE", "1", true},
        {kTypeBoolean, "true", "0", false},
        {kTypeBoolean, "=1", "TRUE", false},  // the grid ticks the stored 1 only
        {kTypeBoolean, "FALSE", "0", true},
        {kTypeBoolean, "FALSE", "", true},
        {kTypeBoolean, "0", "1", false},
        // Lists: the drop-down's exact value, or contains as typed.
        {kTypeList, "=North", "North", true},
        {kTypeList, "=North", "north", false},
        {kTypeList, "=North", "North East", false},
        {kTypeList, "=", "", true},  // the empty value
        {kTypeList, "nor", "North East", true},
    };
    for (const auto& c : cases) {
        const TFilterCondition condition(c.type, c.box);
        EXPECT_EQ(condition.Matches(c.cell), c.matches)
            << "type " << c.type << " box \"" << c.box << "\" cell \"" << c.cell << "\"";
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
        {kTypeFloat, ">abc", "\"abc\" is not a number."},  {kTypeFloat, ">=", "\"\" is not a number."},
        {kTypeInteger, "1..x", "\"x\" is not a number."},  {kTypeDate, "<31/02/2024", "\"31/02/2024\" is not a date."},
        {kTypeTime, "=25:00", "\"25:00\" is not a time."}, {kTypeBoolean, "maybe", "type TRUE or FALSE."},
        {kTypeFloat, "<1,5", "\"1,5\" is not a number."},  {kTypeFloat, ">1e3", "\"1e3\" is not a number."},
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
        {kTypeString, nullptr}, {kTypeBinary, nullptr},   {kTypeInteger, "a number"}, {kTypeFloat, "a number"},
        {kTypeDate, "a date"},  {kTypeIntDate, "a date"}, {kTypeModTime, "a time"},
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
    auto db = MemoryDatabase({{"Name"}, {"Qty", kTypeInteger}},
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
    db->SetFieldType(2, kTypeBoolean);
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
        {kTypeString, "contains", "ab", "ab"},     {kTypeString, "=", "ab", std::nullopt},
        {kTypeInteger, ">=", "5", ">=5"},          {kTypeInteger, "..", "1..5", "1..5"},
        {kTypeInteger, "..", "5", std::nullopt},   {kTypeInteger, "~", "5", std::nullopt},
        {kTypeBoolean, "=", "TRUE", "TRUE"},       {kTypeBoolean, "contains", "TRUE", std::nullopt},
        {kTypeBoolean, "<", "1", std::nullopt},    {kTypeList, "=", "North", "=North"},
        {kTypeDate, "<", "1/1/2020", "<1/1/2020"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BoxText(c.type, c.op, c.value), c.box) << c.op << " " << c.value;

    // A literal box reads no operator and keeps its blanks.
    auto db = MemoryDatabase({{"Qty", kTypeInteger}}, {{"1..5"}, {"3"}});
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
