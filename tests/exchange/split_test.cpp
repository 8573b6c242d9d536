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
std::unique_ptr<TJFILE> Regions(const std::string& dir)
{
    auto db = Table({{"Name"}, {"Region", kTypeList, {"North", "South", "West"}}, {"Status"}},
                    {{"Ann", "North", "open"},
                     {"Bob", "South", "open"},
                     {"Cy", "", "open"},
                     {"Di", "north", "open"},
                     {"Ed", "North", "held"}});
    exchangetest::SaveAs(*db, dir + "/regions.pdb");
    return db;
}

TSplitChoice AllValues(const TJFILE& db, const std::string& dir)
{
    return {2, SplitValues(db, 2, nullptr), dir, {}, {}};
}

TEST(Split, sends_each_record_to_the_output_of_its_exact_value_and_gives_every_output_the_definitions)
{
    TempDir dir;
    auto db = Regions(dir.Path());
    TSplitChoice choice = AllValues(*db, dir.Path());
    choice.Formats.CSV = true;
    Split(*db, choice);

    const struct {
        const char* file;
        Rows cells;
    } outputs[] = {
        {"North.PDB", {{"Ann", "open"}, {"Ed", "held"}}},
        {"South.PDB", {{"Bob", "open"}}},
        {"West.PDB", {}},
    };
    for (const auto& o : outputs) {
        auto out = OpenReadOnly(dir.File(o.file));
        EXPECT_EQ(CellsOf(*out), o.cells) << o.file;
        EXPECT_EQ(out->FieldCount(), 2) << o.file;
        EXPECT_EQ(out->GetFieldName(2), "Status") << o.file;
        EXPECT_EQ(out->PdbHeader.Name, std::filesystem::path(o.file).stem().string());
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"North.CSV", "North.DEF", "North.PDB", "South.CSV",
                                                        "South.DEF", "South.PDB", "West.CSV", "West.DEF",
                                                        "West.PDB", "regions.pdb"}));
}

TEST(Split, without_the_pdb_format_writes_no_database_file_and_global_values_replace_cells)
{
    TempDir dir;
    auto db = Regions(dir.Path());
    TSplitChoice choice = AllValues(*db, dir.Path());
    choice.Values[1].FileName.clear();
    choice.Values[2].FileName.clear();
    choice.Formats = {false, false, false, true};
    choice.GlobalValues[3] = "closed";
    Split(*db, choice);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"North.TXT", "regions.pdb"}));

    choice.Formats = {true, false, false, false};
    Split(*db, choice);
    EXPECT_EQ(CellsOf(*OpenReadOnly(dir.File("North.PDB"))), (Rows{{"Ann", "closed"}, {"Ed", "closed"}}));
}

TEST(Split, marks_held_values_and_proposes_remembered_or_cleaned_names)
{
    TempDir dir;
    auto db = Table({{"Dept", kTypeList, {"Sales/2003", "R&D", "Stock"}}}, {{"R&D"}});
    db->PdbHeader.Name = "Staff";
    TIniFile ini(dir.File("q.ini"));
    ini.WriteString("Staff", "Stock", "/data/stock-2003");
    const std::vector<TSplitValue> values = SplitValues(*db, 1, &ini);
    ASSERT_EQ(values.size(), 3u);
    const struct {
        bool held;
        const char* name;
    } expected[] = {{false, "Sales2003"}, {true, "RD"}, {false, "/data/stock-2003"}};
    for (size_t v = 0; v < values.size(); ++v) {
        EXPECT_EQ(values[v].Held, expected[v].held) << v;
        EXPECT_EQ(values[v].FileName, expected[v].name) << v;
    }
    EXPECT_EQ(DefaultSplitFileName("a\tb.c\xff\xe9"), "abc\xe9");
}

TEST(Split, reads_column_widths_from_the_def_file_only_when_they_fit)
{
    const struct {
        const char* widths;
        std::vector<int> expected;
        bool refused;
    } cases[] = {
        {"80,40", {80, 40}, false},
        {"80 , 40, 120", {100, 100}, false},  // three numbers for two fields: ignored
        {"80,70000", {}, true},
        {"80,wide", {}, true},
    };
    for (const auto& c : cases) {
        TempDir dir;
        auto db = Regions(dir.Path());
        TIniFile(dir.File("North.DEF")).WriteString("JFilePro", "Widths", c.widths);
        TSplitChoice choice = AllValues(*db, dir.Path());
        if (c.refused) {
            try {
                Split(*db, choice);
                ADD_FAILURE() << c.widths;
            } catch (const std::invalid_argument& e) {
                EXPECT_NE(std::string(e.what()).find("\"Widths\" of \"" + dir.File("North.DEF") + "\""),
                          std::string::npos)
                    << e.what();
            }
            EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"North.DEF", "regions.pdb"})) << c.widths;
            continue;
        }
        Split(*db, choice);
        auto north = OpenReadOnly(dir.File("North.PDB"));
        EXPECT_EQ((std::vector<int>{north->GetColumnWidth(1), north->GetColumnWidth(2)}), c.expected) << c.widths;
    }
}

}  // namespace
}  // namespace quorvil
