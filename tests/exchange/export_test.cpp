// Save as (the file equals what quorvil-cli convert writes, the open database
// stays as it was, all that the layout does not keep is named first), the
// exports of the chosen fields, the file names a button press and the file
// dialog use, and the directories kept in "SAVE".
#include "cli_helpers.h"
#include "exchange_fixtures.h"
#include "export.h"
#include "file_names.h"
#include "file_system.h"
#include "ini_file.h"
#include "jfile.h"
#include "sample_db.h"
#include "save_as.h"
#include "save_places.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace quorvil {
namespace {

// The fields and cells, then the layout and the modified flag.
test::Rows Take(const TJFILE& db)
{
    test::Rows s = test::Content(db);
    s.push_back({std::to_string(Number(db.Layout())), db.Modified() ? "modified" : ""});
    return s;
}

std::unique_ptr<TJFILE> OpenBuilt(const testkit::TempDir& dir, const pdbtest::Database& d)
{
    testkit::WriteBytes(dir / "open.pdb", pdbtest::Build(d));
    return Open(dir / "open.pdb");
}

class SaveAsLayout : public ::testing::TestWithParam<std::tuple<int, int, bool>> {};

TEST_P(SaveAsLayout, writes_what_convert_writes_and_leaves_the_open_database_alone)
{
    const auto [from, to, modified] = GetParam();
    testkit::TempDir dir;
    auto db = OpenBuilt(dir, pdbtest::SampleDatabase(from));
    if (modified)
        db->SetModified();
    else
        db->ClearModified();
    const auto before = Take(*db);
    ASSERT_TRUE(SaveAs(*db, TLayout(to), dir / "saved.pdb", [](const TLayoutLosses&) { return true; }));
    const CliResult converted = RunInProcess(
        {"convert", dir / "open.pdb", "--layout", std::to_string(to), "-o", dir / "converted.pdb"});
    ASSERT_EQ(converted.code, 0) << converted.err;
    const nlohmann::json saved = InfoJson(dir / "saved.pdb");
    EXPECT_EQ(saved["layout"], to == 2 ? 3 : to);  // 5.x and 5.5 files share their creator
    EXPECT_EQ(saved, InfoJson(dir / "converted.pdb"));
    EXPECT_EQ(Take(*db), before);
    EXPECT_EQ(db->FileName, dir / "open.pdb");
}

INSTANTIATE_TEST_SUITE_P(EachLayoutPair, SaveAsLayout,
                         ::testing::Combine(::testing::Range(0, 4), ::testing::Range(0, 4), ::testing::Bool()));

// A 5.5 database with something that each older layout does not keep: 25
// fields, a saved sort and filter, defaults, an INT.DATE field and long values.
pdbtest::Database Rich()
{
    pdbtest::Database d;
    d.layout = 3;
    for (int f = 1; f <= 25; ++f)
        d.fields.push_back({"F" + std::to_string(f)});
    d.fields[1] = {"Born", pdbtest::kDate, 60, 1};  // an international date
    d.fields[2].name = "Notes";
    d.fields[3].type = pdbtest::kInteger;
    std::vector<std::string> first(25, "x"), second(25, "");
    first[1] = "18 Oct 1950";
    first[2] = std::string(5000, 'n');
    second[1] = "7 Mar 24";
    second[3] = std::string(4001, '9');  // any field's value is cut, not only a String's
    d.records = {{first}, {second}};
    d.defaults = {{1, "new"}, {22, "goes with its field in 3.x"}};
    d.sorts = {{1, "By birth", {2, 1, 0}}};
    d.filters = {{2, "Old", {"x", "", "", "", ""}, 1, {1, -1, -1, -1, -1}}};
    return d;
}

TEST(SaveAs, names_all_that_the_layout_does_not_keep_before_writing_and_cancel_writes_nothing)
{
    const std::string cut = "2 values longer than 4000 characters are cut to 4000: record 1's field \"Notes\" (5000), "
                            "record 2's field \"F4\" (4001)";
    const std::string dates = "INT.DATE field 2 (Born) becomes a DATE field with its dates written as dd/mm/yyyy; ";
    const struct {
        int layout;
        std::string line;
        size_t fields;
        std::vector<std::string> born;  // records 1 and 2
    } cases[] = {
        {0,
         "Fields 21 to 25 (F21, F22, F23, F24, F25), saved sort 1 (By birth), saved filter 2 (Old) and the default "
         "of field 1 (F1) are not kept by JFile 3.x; " +
             dates + cut,
         20,
         {"18/10/1950", "07/03/2024"}},
        {1,
         "Saved sort 1 (By birth), saved filter 2 (Old), and the defaults of fields 1 and 22 (F1, F22) are not kept "
         "by JFile Pro 4.x; " +
             dates + cut,
         25,
         {"18/10/1950", "07/03/2024"}},
        {2, cut, 25, {"18 Oct 1950", "7 Mar 24"}},
        {3, "", 25, {"18 Oct 1950", "7 Mar 24"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        testkit::TempDir dir;
        auto db = OpenBuilt(dir, Rich());
        const auto before = Take(*db);
        testkit::WriteText(dir / "out.pdb", "old");
        int asked = 0;
        EXPECT_EQ(SaveAs(*db, TLayout(c.layout), dir / "out.pdb",
                         [&](const TLayoutLosses& losses) {
                             ++asked;
                             EXPECT_EQ(losses.Line(), c.line);
                             return false;
                         }),
                  c.line.empty());
        EXPECT_EQ(asked, c.line.empty() ? 0 : 1);
        if (!c.line.empty()) {
            EXPECT_EQ(testkit::ReadText(dir / "out.pdb"), "old");
        }
        ASSERT_TRUE(SaveAs(*db, TLayout(c.layout), dir / "out.pdb", [](const TLayoutLosses&) { return true; }));
        EXPECT_EQ(Take(*db), before) << "the open database keeps its layout and values";

        const pdbtest::Database saved = pdbtest::Parse(testkit::ReadBytes(dir / "out.pdb"), 0, c.layout == 2).db;
        ASSERT_EQ(saved.fields.size(), c.fields);
        EXPECT_EQ(std::pair(saved.fields[1].type, saved.fields[1].extra1),
                  std::pair(pdbtest::kDate, c.layout >= 2 ? 1u : 0u));
        EXPECT_EQ((std::vector{saved.records[0].cells[1], saved.records[1].cells[1]}), c.born);
        EXPECT_EQ(saved.records[0].cells[2].size(), c.layout == 3 ? 5000u : 4000u);
        EXPECT_EQ(saved.sorts.size() + saved.filters.size() + saved.defaults.size(), c.layout >= 2 ? 4u : 0u);

        // The command-line tool writes the same and says the same on one line.
        const CliResult r = RunInProcess(
            {"convert", dir / "open.pdb", "--layout", std::to_string(c.layout), "-o", dir / "converted.pdb"});
        EXPECT_EQ(std::pair(r.code, r.err), std::pair(0, c.line.empty() ? "" : "quorvil-cli: " + c.line + "\n"));
        EXPECT_EQ(testkit::ReadBytes(dir / "converted.pdb"), testkit::ReadBytes(dir / "out.pdb"));
    }
}

TEST(SaveAs, says_which_fields_past_the_target_layout_limit_are_not_kept_before_writing)
{
    const std::tuple<int, int, std::string> cases[] = {
        // fields, layout, message
        {30, 0, "Fields 21 to 30 (Notes, \"\", F23, F24, F25, ...) are not kept by JFile 3.x"},
        {22, 0, "Fields 21 and 22 (Notes, \"\") are not kept by JFile 3.x"},
        {21, 0, "Field 21 (Notes) is not kept by JFile 3.x"},
        {20, 0, ""},
        {50, 1, ""},
        {50, 2, ""},
        {50, 3, ""},
    };
    testkit::TempDir dir;
    for (const auto& [count, layout, message] : cases) {
        std::vector<test::FieldSpec> fields;
        for (int f = 1; f <= count; ++f)
            fields.push_back({f == 21 ? "Notes" : f == 22 ? "" : "F" + std::to_string(f)});
        auto db = test::MemoryDatabase(fields, {{"a"}});
        const TSaveAs saveAs(*db, TLayout(layout), dir / "out.pdb");
        EXPECT_EQ(saveAs.Losses().Line(), message);
        std::vector<int> numbers, expected;
        for (const TNamedItem& f : saveAs.Losses().Fields)
            numbers.push_back(f.Number);
        for (int f = 21; !message.empty() && f <= count; ++f)
            expected.push_back(f);
        EXPECT_EQ(numbers, expected) << message;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.pdb"));
    }
}

TEST(Export, writes_the_chosen_fields_in_their_order_and_names_the_file_by_format_and_choice)
{
    testkit::TempDir dir;
    auto db = OpenBuilt(dir, pdbtest::SampleDatabase(3));  // 1 Plant, 2 Done, 3 Sown, 4 Bed, 5 Notes, 6 Count
    for (TExportFormat format : {TExportFormat::CSV, TExportFormat::HTML, TExportFormat::TXT}) {
        Export(*db, format, {6, 1}, dir / "out.x");
        const std::string text = testkit::ReadText(dir / "out.x");
        EXPECT_LT(text.find("Count"), text.find("Plant")) << text;
        EXPECT_LT(text.find("12"), text.find("Tomato")) << text;
        EXPECT_EQ(text.find("Bed"), std::string::npos) << text;
        EXPECT_EQ(text.find("North"), std::string::npos) << text;
    }
    // The names a button press (none: ask) and the file dialog use.
    const std::vector<int> all = {2, 1, 3, 4, 5, 6}, some = {1, 2};
    const std::tuple<TExportFormat, std::vector<int>, std::string, std::string> cases[] = {
        {TExportFormat::CSV, all, dir / "open.CSV", "open.CSV"},
        {TExportFormat::CSV, some, "", "*.CSV"},
        {TExportFormat::HTML, some, dir / "open.HTM", "*.HTM"},
        {TExportFormat::TXT, all, dir / "open.TXT", "open.TXT"},
    };
    for (const auto& [format, fields, direct, offered] : cases) {
        EXPECT_EQ(DirectExportName(*db, format, fields), direct) << offered;
        EXPECT_EQ(OfferedExportName(*db, format, fields), offered);
    }
}

TEST(SavePlaces, each_format_keeps_its_own_directory)
{
    testkit::TempDir dir;
    std::filesystem::create_directories(dir / "out");
    std::filesystem::create_directories(dir / "saved");
    TIniFile ini(dir / "Quorvil.INI");
    const std::string program = RemoveBackslash(ProgramDir());
    EXPECT_EQ(ExportDirectory(ini, TExportFormat::CSV), program);
    RememberSaveAsDirectory(ini, dir / "saved/copy.PDB");
    EXPECT_EQ(ini.ReadString("SAVE", "Dir"), dir / "saved");
    EXPECT_EQ(ExportDirectory(ini, TExportFormat::HTML), dir / "saved");  // "Dir" stands in
    RememberExportDirectory(ini, TExportFormat::CSV, dir / "out/list.CSV");
    EXPECT_EQ(ini.ReadString("SAVE", "CSV"), dir / "out/");
    EXPECT_EQ(ExportDirectory(ini, TExportFormat::CSV), dir / "out");
    EXPECT_EQ(ExportDirectory(ini, TExportFormat::TXT), dir / "saved");
    std::filesystem::remove(dir / "out");
    EXPECT_EQ(ExportDirectory(ini, TExportFormat::CSV), program);
}

TEST(SavePlaces, typed_names_get_the_directory_and_extension)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {{"report", "PDB", "/data/report.PDB"},
                                                                       {"report.old", "PDB", "/data/report.old"},
                                                                       {"/x/report", "PDB", "/x/report.PDB"},
                                                                       {"table", "sqlite", "/data/table.sqlite"}};
    for (const auto& [typed, extension, expected] : cases)
        EXPECT_EQ(CompleteFileName(typed, "/data", extension), expected);
    EXPECT_EQ(OverwriteQuestion("/a b/c.PDB"), "Overwrite existing file \"/a b/c.PDB\"?");
    EXPECT_EQ(OverwriteQuestion("/ab/c.PDB"), "Overwrite existing file /ab/c.PDB?");
    EXPECT_EQ(OverwriteQuestion(std::vector<std::string>{"/a b/c.CSV", "/a b/c.DEF"}),
              "Overwrite existing files \"/a b/c.CSV\" and \"/a b/c.DEF\"?");
}

}  // namespace
}  // namespace quorvil
