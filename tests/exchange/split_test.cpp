#include "exchange_fixtures.h"
#include "field_types.h"
#include "ini_file.h"
#include "split.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvil {
namespace {

using exchangetest::CellsOf;
using exchangetest::Rows;
using exchangetest::Table;
using testkit::TempDir;

// Region holds North twice, South once, a lower-case north, an empty value;
// West is in the list but in no record.
std::unique_ptr<TJFILE> Regions(const TempDir& dir)
{
    auto db = Table({{"Name"}, {"Region", kTypeList, {"North", "South", "West"}}, {"Status"}},
                    {{"Ann", "North", "open"},
                     {"Bob", "South", "open"},
                     {"Cy", "", "open"},
                     {"Di", "north", "open"},
                     {"Ed", "North", "held"}});
    exchangetest::SaveAs(*db, dir / "regions.pdb");
    return db;
}

TEST(Split, sends_each_record_to_the_output_of_its_exact_value_and_gives_every_output_the_definitions)
{
    TempDir dir;
    auto db = Regions(dir);
    TSplitChoice choice = {2, SplitValues(*db, 2, nullptr), dir.Path(), {true, true, false, false}, {}};
    Split(*db, choice);
    const std::pair<const char*, Rows> outputs[] = {
        {"North", {{"Ann", "open"}, {"Ed", "held"}}}, {"South", {{"Bob", "open"}}}, {"West", {}}};
    for (const auto& [name, cells] : outputs) {
        auto out = OpenReadOnly(dir / (name + std::string(".PDB")));
        EXPECT_EQ(CellsOf(*out), cells) << name;
        EXPECT_EQ(out->GetFieldName(2), "Status") << name;
        EXPECT_EQ(out->PdbHeader.Name, name);
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"North.CSV", "North.DEF", "North.PDB", "South.CSV",
                                                        "South.DEF", "South.PDB", "West.CSV", "West.DEF",
                                                        "West.PDB", "regions.pdb"}));

    // Only values with a file name, only the formats asked for; global values replace cells.
    choice.Values[1].FileName.clear();
    choice.Values[2].FileName.clear();
    choice.Formats = {false, false, false, true};
    choice.GlobalValues[3] = "closed";
    std::filesystem::remove(dir / "North.PDB");
    Split(*db, choice);
    EXPECT_FALSE(std::filesystem::exists(dir / "North.PDB"));
    EXPECT_EQ(testkit::ReadText(dir / "North.TXT"), "Name Status\r\nAnn  closed\r\nEd   closed\r\n");
}

TEST(Split, marks_held_values_and_proposes_remembered_or_cleaned_names)
{
    TempDir dir;
    auto db = Table({{"Dept", kTypeList, {"Sales/2003", "R&D", "Stock"}}}, {{"R&D"}});
    db->PdbHeader.Name = "Staff";
    TIniFile ini(dir / "q.ini");
    ini.WriteString("Staff", "Stock", "/data/stock-2003");
    std::vector<std::string> seen;
    for (const TSplitValue& v : SplitValues(*db, 1, &ini))
        seen.push_back(v.FileName + (v.Held ? " held" : ""));
    EXPECT_EQ(seen, (std::vector<std::string>{"Sales2003", "RD held", "/data/stock-2003"}));
    EXPECT_EQ(DefaultSplitFileName("a\tb.c\xff\xe9"), "abc\xe9");
}

TEST(Split, takes_column_widths_from_the_def_file_only_when_they_fit)
{
    TempDir dir;
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"80,40", {80, 40}}, {"80 , 40", {80, 40}}, {"80,40,120", {}}};  // three numbers for two fields
    for (const auto& [widths, expected] : cases) {
        TIniFile(dir / "w.DEF").WriteString("JFilePro", "Widths", widths);
        EXPECT_EQ(WidthsFromDef(dir / "w.DEF", 2), expected) << widths;
    }
    auto db = Regions(dir);
    for (const char* widths : {"80,70000", "80,wide"}) {
        TIniFile(dir / "North.DEF").WriteString("JFilePro", "Widths", widths);
        try {
            Split(*db, {2, SplitValues(*db, 2, nullptr), dir.Path(), {}, {}});
            ADD_FAILURE() << widths;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find("\"Widths\" of \"" + dir / "North.DEF" + "\""), std::string::npos)
                << e.what();
        }
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"North.DEF", "regions.pdb", "w.DEF"})) << widths;
    }
    TIniFile(dir / "North.DEF").WriteString("JFilePro", "Widths", "80,40");
    Split(*db, {2, SplitValues(*db, 2, nullptr), dir.Path(), {}, {}});
    EXPECT_EQ(OpenReadOnly(dir / "North.PDB")->GetColumnWidth(2), 40);
}

}  // namespace
}  // namespace quorvil
