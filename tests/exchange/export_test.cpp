// Save as (the file equals what quorvil-cli convert writes, the open database
// stays as it was, the questions about values the layout would cut), the
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

// The cells, then the layout, the modified flag, the field names and types.
exchangetest::Rows Take(const TJFILE& db)
{
    exchangetest::Rows s = exchangetest::CellsOf(db);
    s.push_back({std::to_string(Number(db.Layout)), db.Modified ? "modified" : ""});
    for (int f = 1; f <= db.FieldCount(); ++f)
        s.back().push_back(db.GetFieldName(f) + ":" + std::to_string(db.GetFieldType(f)));
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
    db->Modified = modified;
    const auto before = Take(*db);
    ASSERT_TRUE(SaveAs(*db, TLayout(to), dir / "saved.pdb", [](const TLongValue&) {
        ADD_FAILURE();
        return TLengthAnswer::Cancel;
    }));
    const CliResult converted =
        RunInProcess({"convert", dir / "open.pdb", "--layout", std::to_string(to), "-o", dir / "converted.pdb"});
    ASSERT_EQ(converted.code, 0) << converted.err;
    const nlohmann::json saved = InfoJson(dir / "saved.pdb");
    EXPECT_EQ(saved["layout"], to == 2 ? 3 : to);  // 5.x and 5.5 files share their creator
    EXPECT_EQ(saved, InfoJson(dir / "converted.pdb"));
    EXPECT_EQ(Take(*db), before);
    EXPECT_EQ(db->FileName, dir / "open.pdb");
}

INSTANTIATE_TEST_SUITE_P(EachLayoutPair, SaveAsLayout,
                         ::testing::Combine(::testing::Range(0, 4), ::testing::Range(0, 4), ::testing::Bool()));

using A = TLengthAnswer;

TEST(SaveAs, asks_about_each_long_string_value_and_cuts_it_in_the_file_only)
{
    const struct {
        const char* name;
        std::vector<std::vector<size_t>> lengths;  // of fields A, B, Kind (a list), Notes
        int layout;
        std::vector<A> answers;
        std::vector<std::pair<int, int>> asked;  // (record, field) in order
    } cases[] = {
        {"one value truncated", {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 4100}}, 2, {A::Truncate}, {{3, 4}}},
        {"none in 5.5", {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 4100}}, 3, {}, {}},
        {"truncate all skips the rest of the record", {{4001, 5000, 1, 1}, {1, 4500, 1, 1}}, 0,
         {A::TruncateAll, A::Truncate}, {{1, 1}, {2, 2}}},
        {"truncate goes on in the record", {{4001, 5000, 1, 1}, {1, 4500, 1, 1}}, 1,
         {A::Truncate, A::Truncate, A::Truncate}, {{1, 1}, {1, 2}, {2, 2}}},
        {"list values are cut unasked", {{1, 1, 4200, 1}}, 2, {}, {}},
        {"cancel writes nothing", {{4001, 5000, 1, 1}}, 0, {A::Cancel}, {{1, 1}}},
    };
    for (const auto& c : cases) {
        testkit::TempDir dir;
        pdbtest::Database d;
        d.layout = 3;
        d.fields = {{"A"}, {"B"}, {"Kind", pdbtest::kList}, {"Notes"}};
        for (const auto& row : c.lengths) {
            d.records.emplace_back();
            for (size_t n : row)
                d.records.back().cells.push_back(std::string(n, 'x'));
        }
        auto db = OpenBuilt(dir, d);
        const auto before = Take(*db);
        testkit::WriteText(dir / "out.pdb", "old");
        std::vector<std::pair<int, int>> asked;
        const bool written = SaveAs(*db, TLayout(c.layout), dir / "out.pdb", [&](const TLongValue& v) {
            EXPECT_EQ(v.Length, c.lengths[size_t(v.Record - 1)][size_t(v.Field - 1)]) << c.name;
            EXPECT_EQ(v.Max, c.layout == 3 ? 32000u : 4000u) << c.name;
            asked.emplace_back(v.Record, v.Field);
            return c.answers[asked.size() - 1];
        });
        EXPECT_EQ(asked, c.asked) << c.name;
        EXPECT_EQ(Take(*db), before) << c.name;
        const bool cancelled = !c.answers.empty() && c.answers.back() == A::Cancel;
        EXPECT_EQ(written, !cancelled) << c.name;
        if (cancelled) {
            EXPECT_EQ(testkit::ReadText(dir / "out.pdb"), "old");
            continue;
        }
        const pdbtest::Database saved = pdbtest::Parse(testkit::ReadBytes(dir / "out.pdb"), 0, c.layout == 2).db;
        for (size_t r = 0; r < c.lengths.size(); ++r)
            for (size_t f = 0; f < 4; ++f)
                EXPECT_EQ(saved.records[r].cells[f].size(),
                          std::min(c.lengths[r][f], size_t(c.layout == 3 ? 32000 : 4000)))
                    << c.name;
    }
}

TEST(SaveAs, says_which_fields_past_the_target_layout_limit_are_not_kept_before_writing)
{
    const std::tuple<int, int, std::string> cases[] = {  // fields, layout, message
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
        std::vector<exchangetest::Field> fields;
        for (int f = 1; f <= count; ++f)
            fields.push_back({f == 21 ? "Notes" : f == 22 ? "" : "F" + std::to_string(f)});
        auto db = exchangetest::Table(fields, {{"a"}});
        const TSaveAs saveAs(*db, TLayout(layout), dir / "out.pdb");
        EXPECT_EQ(saveAs.DroppedFields().Message, message);
        std::vector<int> numbers, expected;
        for (const TDroppedField& f : saveAs.DroppedFields().Fields)
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
