// Cells on the clipboard: tab-separated text as spreadsheets write it, read
// back cell for cell, and a pasted block that the fields take whole or not
// at all.
#include "cell_block.h"
#include "cell_paste.h"
#include "database_fixtures.h"
#include "field_types.h"
#include "jfile.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using namespace test;

TEST(TabText, spreadsheet_clipboard_text_reads_back_cell_for_cell)
{
    struct Case {
        const char* what;
        std::string text;
        TCellRows rows;
    };
    const Case cases[] = {
        {"nothing", "", {}},
        {"one value and the line break spreadsheets add", "42\r\n", {{"42"}}},
        {"rows by LF, CR LF and CR", "a\tb\nc\td\r\ne\tf\rg", {{"a", "b"}, {"c", "d"}, {"e", "f"}, {"g"}}},
        {"empty cells at both ends and an empty row", "\ta\t\n\n", {{"", "a", ""}, {""}}},
        {"quoted tab, line breaks and doubled quotes",
         "\"x\ty\"\t\"1\r\n2\"\t\"say \"\"hi\"\"\"\n",
         {{"x\ty", "1\n2", "say \"hi\""}}},
        {"a quote inside a cell is a character", "5\"\t\"a\"b\n", {{"5\"", "ab"}}},
        {"an unclosed quote does not swallow the next rows", "\"open\tb\nc\n", {{"\"open", "b"}, {"c"}}},
        {"ragged rows keep their cells", "a\tb\tc\nd\n", {{"a", "b", "c"}, {"d"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ParseTabText(c.text), c.rows);
        // What the program writes reads back the same, on either platform's line end.
        for (const char* end : {"\n", "\r\n"})
            EXPECT_EQ(ParseTabText(TabText(c.rows, end)), c.rows);
    }
}

const std::vector<FieldSpec> kShopFields = {{"Name", TFieldType::String},
                                            {"Qty", TFieldType::Integer},
                                            {"Paid", TFieldType::Boolean},
                                            {"Colour", TFieldType::List, {"Red", "Green"}},
                                            {"Due", TFieldType::Date}};
const Rows kShopRows = {{"pear", "3", "1", "Red", "07/03/2024"}, {"car", "5", "0", "Blue", "08/03/2024"}};

TEST(PastePlan, every_value_is_taken_as_typing_takes_it_or_nothing_is_pasted)
{
    struct Case {
        const char* what;
        int field;
        TCellRows rows;
        Rows stored;          // of both records afterwards
        std::string problem;  // the start of the refusal, in UTF-8
        TCharset set = TCharset::Windows1252;
    };
    const Case cases[] = {
        {"values in each field's own form",
         1,
         {{"fig", "+7", "true", "green", "9/3/24"},
          {"a\xC2\xA4"
           "b",
           "", "", "", ""}},
         {{"fig", "7", "1", "Green", "09/03/2024"}, {"a\nb", "", "0", "", ""}},
         ""},
        {"a list value outside the list stays only where the cell holds it",
         4,
         {{"Red"}, {"Blue"}},
         {{"pear", "3", "1", "Red", "07/03/2024"}, {"car", "5", "0", "Blue", "08/03/2024"}},
         ""},
        {"a number refused in the second row",
         2,
         {{"4"}, {"1,5"}},
         kShopRows,
         "Field \"Qty\" of record 2: \"1,5\" is not"},
        {"a Boolean that is none", 3, {{"yes"}}, kShopRows, "Field \"Paid\" of record 1: \"yes\" is not a Boolean"},
        {"a value outside the list",
         4,
         {{"Blue"}},
         kShopRows,
         "Field \"Colour\" of record 1: \"Blue\" is not in the popup"},
        {"a character the database's set lacks",
         1,
         {{"a\xC5\x81"
           "b"}},
         kShopRows,
         "Field \"Name\" of record 1: '\xC5\x81' cannot be stored in a Windows-1252 database"},
        {"a character Windows-1250 lacks in the second row",
         1,
         {{"\xC5\x81\xC3\xB3"
           "d\xC5\xBA"},
          {"a\xE2\x86\x92"}},
         kShopRows,
         "Field \"Name\" of record 2: '\xE2\x86\x92' cannot be stored in a Windows-1250 database",
         TCharset::Windows1250},
        {"a Windows-1250 text, filling the block",
         1,
         {{"\xC5\x81\xC3\xB3"
           "d\xC5\xBA"}},
         {{"\xA3\xF3"
           "d\x9F",
           "3", "1", "Red", "07/03/2024"},
          {"\xA3\xF3"
           "d\x9F",
           "5", "0", "Blue", "08/03/2024"}},
         "",
         TCharset::Windows1250},
        {"a date that does not exist in a new row",
         5,
         {{"1/1/24"}, {"2/1/24"}, {"31/2/24"}},
         kShopRows,
         "Field \"Due\" of new record 3: \"31/2/24\" is not a date"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto db = MemoryDatabase(kShopFields, kShopRows);
        db->SetCharset(c.set);
        const TPastePlan plan = PlanPaste(*db, {{1, 2}, c.field, 1}, c.rows);
        EXPECT_EQ(plan.Problem.substr(0, c.problem.size()), c.problem);
        if (plan.Problem.empty())
            ApplyPaste(*db, {{1, 2}, c.field, 1}, plan, false, {});
        EXPECT_EQ(Cells(*db), c.stored);
    }
}

TEST(PastePlan, block_shape_fills_adds_rows_and_drops_columns_past_the_last_field)
{
    struct Case {
        const char* what;
        TPasteTarget target;
        TCellRows rows;
        bool addRows;
        int newRows, droppedColumns;
        std::vector<std::string> names;  // field 1 of every record afterwards
    };
    const Case cases[] = {
        {"one value fills the selected block", {{1, 2}, 1, 1}, {{"x"}}, false, 0, 0, {"x", "x"}},
        {"rows past the end become records", {{2}, 1, 1}, {{"b"}, {"c"}, {"d"}}, true, 2, 0, {"pear", "b", "c", "d"}},
        {"rows past the end left out", {{2}, 1, 1}, {{"b"}, {"c"}}, false, 1, 0, {"pear", "b"}},
        {"columns past the last field", {{1}, 5, 1}, {{"1/1/24", "extra", "more"}}, false, 0, 2, {"pear", "car"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto db = MemoryDatabase(kShopFields, kShopRows);
        const TPastePlan plan = PlanPaste(*db, c.target, c.rows);
        EXPECT_EQ(plan.Problem, "");
        EXPECT_EQ(plan.NewRows, c.newRows);
        EXPECT_EQ(plan.DroppedColumns, c.droppedColumns);
        ApplyPaste(*db, c.target, plan, c.addRows, {});
        EXPECT_EQ(Column(*db, 1), c.names);
    }
}

}  // namespace
}  // namespace quorvil
