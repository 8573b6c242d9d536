// What opening a database checks and repairs, the texts it keeps in the
// configuration, the recent-file list and the command-line file names.
#include "command_line.h"
#include "database_fixtures.h"
#include "field_types.h"
#include "open_checks.h"
#include "recent_list.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace quorvil {
namespace {

using namespace test;

TEST(OpenRules, popup_report_quotes_values_with_spaces)
{
    auto db = MemoryDatabase({{"Name", TFieldType::String, {}}, {"Colour", TFieldType::List, {"Red", "Green"}}},
                             {{"car", "Red Car"}, {"bike", "Blue"}, {"boat", "Red"}, {"cart", ""}, {"bus", "red"}});
    const std::vector<std::string> report = CheckPopupValues(*db);
    ASSERT_EQ(report.size(), size_t(3));  // "red" too: the check minds case
    EXPECT_EQ(report[0], std::string("In field #2 (Colour), record #1 (car) has the following value: \"Red Car\""));
    EXPECT_EQ(report[1], std::string("In field #2 (Colour), record #2 (bike) has the following value: Blue"));
}

TEST(OpenRules, fix_adds_each_missing_value_once_in_record_order)
{
    auto db = MemoryDatabase({{"Colour", TFieldType::List, {"Red"}}, {"Size", TFieldType::List, {}}},
                             {{"Blue", "S"}, {"Red", ""}, {"Teal", "S"}, {"Blue", "M"}});
    FixPopupValues(*db);
    EXPECT_EQ(db->PopupCount(1), 3);
    EXPECT_EQ(db->GetPopupItem(1, 2) + db->GetPopupItem(1, 3), std::string("BlueTeal"));
    EXPECT_EQ(db->PopupCount(2), 2);
    EXPECT_TRUE(CheckPopupValues(*db).empty());
    EXPECT_TRUE(db->Modified());
    std::vector<std::string> items;  // a full list takes no more
    for (int k = 1; k <= 50; ++k)
        items.push_back("v" + std::to_string(k));
    auto full = MemoryDatabase({{"Code", TFieldType::List, items}}, {{"extra"}});
    FixPopupValues(*full);
    EXPECT_EQ(full->PopupCount(1), 50);
    EXPECT_EQ(full->GetCell(1, 1), std::string("extra"));
}

TEST(OpenRules, currency_rule_turns_float_fields_of_dollar_amounts_into_strings)
{
    // Rows of Price and Weight.
    const std::tuple<const char*, Rows, bool> cases[] = {
        {"all dollars", {{"$12.50", ""}, {"$3", ""}, {"", ""}}, true},
        {"one plain number", {{"$12.50", ""}, {"7", ""}}, false},
        {"no values", {{"", ""}, {"", ""}}, false},
        {"a dollar in one field, a plain number in the other", {{"$1", "2.5"}}, false},
    };
    for (const auto& [name, rows, becomesString] : cases) {
        auto db = MemoryDatabase({{"Price", TFieldType::Float, {}}, {"Weight", TFieldType::Float, {}}}, rows);
        EXPECT_EQ(ApplyCurrencyRule(*db), becomesString) << name;
        EXPECT_EQ(db->GetFieldType(1), becomesString ? TFieldType::String : TFieldType::Float) << name;
    }
}

TEST(OpenRules, counter_field_and_dbid_field)
{
    const std::vector<std::tuple<std::string, TFieldType, TFieldType>> cases = {
        {"#", TFieldType::Integer, TFieldType::AutoInc},
        {"No.", TFieldType::Integer, TFieldType::AutoInc},
        {"Count", TFieldType::Integer, TFieldType::Integer},
        {"#", TFieldType::String, TFieldType::String}};
    for (const auto& [name, type, after] : cases) {
        auto db = MemoryDatabase({{name, type, {}}, {"Other", TFieldType::Integer, {}}});
        MakeCounterField(*db);
        EXPECT_EQ(std::pair(db->GetFieldType(1), db->GetFieldType(2)), std::pair(after, TFieldType::Integer)) << name;
    }
    EXPECT_EQ(
        FindDbidField(*MemoryDatabase(
            {{"DBID", TFieldType::String, {}}, {"dbid", TFieldType::String, {}}, {"DBID", TFieldType::String, {}}})),
        3);
    EXPECT_EQ(FindDbidField(*MemoryDatabase({{"Id", TFieldType::String, {}}})), 0);
}

TEST(OpenRules, column_widths_are_read_up_to_the_first_piece_that_is_no_width)
{
    const std::tuple<const char*, const char*, int, const char*> cases[] = {
        {"stops at a word", "80,abc,90", 3, "80"},
        {"no more than columns", "64,120,40", 2, "64,120"},
        {"fewer than columns", "64", 3, "64"},
        {"empty piece", "10,,20", 3, "10"},
        {"negative", "-5,20", 2, ""},
    };
    for (const auto& [name, text, columns, widths] : cases)
        EXPECT_EQ(JoinColumnWidths(ParseColumnWidths(text, columns)), widths) << name;
}

TEST(OpenRules, tab_captions_and_the_recent_list)
{
    EXPECT_EQ(TabCaption("/d/my_data.pdb"), std::string("my data"));
    EXPECT_EQ(TabCaption("/d/a.b.PDB"), std::string("a.b"));
    EXPECT_EQ(TabCaption("/d/plain"), std::string("plain"));
#ifdef _WIN32
    EXPECT_EQ(TabCaption("Z:\\d\\Inventory.pdb"), std::string("Inventory"));
#endif
    TRecentList list;
    for (int k = 1; k <= 11; ++k)
        list.Add("/f" + std::to_string(k));
    list.Add("/f5");  // moves first; nine are kept
    ASSERT_EQ(list.Paths().size(), size_t(9));
    EXPECT_EQ(list.Paths()[0] + list.Paths()[1] + list.Paths().back(), std::string("/f5/f11/f3"));
    list.Add(list.Paths()[2]);  // a recent file opened again: its own entry
    EXPECT_EQ(list.Paths()[0] + list.Paths()[1], std::string("/f10/f5"));
}

TEST(OpenRules, database_arguments_name_files_folders_and_wildcards)
{
    testkit::TempDir dir;
    for (const char* name : {"a.pdb", "notes.txt", ".hidden.PDB", "data.pdb", "data", "stock1.PDB", "stock2.pdb",
                             "Stock3.PDB", "stock10.PDB"})
        testkit::WriteText(dir / name, "");
    std::filesystem::create_directory(dir / "sub.PDB");
    using Names = std::vector<std::string>;
    const std::tuple<const char*, std::string, Names> cases[] = {
        {"a directory: every database in it",
         "",
         {".hidden.PDB", "Stock3.PDB", "a.pdb", "data.pdb", "stock1.PDB", "stock10.PDB", "stock2.pdb"}},
        {"no extension gets .pdb", "/data", {"data.pdb"}},
        {"? is one character", "/stock?.PDB", {"stock1.PDB", "stock2.pdb"}},
        {"* and the extension in any case", "/stock*.pdb", {"stock1.PDB", "stock10.PDB", "stock2.pdb"}},
        {"missing file", "/x.PDB", {}},
    };
    for (const auto& [name, argument, names] : cases) {
        Names found;
        for (const std::string& path : ExpandDatabaseArgument(dir.Path() + argument))
            found.push_back(std::filesystem::path(path).filename().string());
        EXPECT_EQ(found, names) << name;
    }
}

}  // namespace
}  // namespace quorvil
