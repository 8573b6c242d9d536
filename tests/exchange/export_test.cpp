// The exports write the chosen fields in the chosen order; the file names a
// button press and the file dialog use; the directories kept in "SAVE".
#include "export.h"
#include "file_names.h"
#include "file_system.h"
#include "ini_file.h"
#include "jfile.h"
#include "sample_db.h"
#include "save_places.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvil {
namespace {

std::string Text(const std::string& path)
{
    const auto bytes = testkit::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::unique_ptr<TJFILE> OpenSample(const testkit::TempDir& dir)
{
    const std::string path = dir.File("garden.PDB");
    testkit::WriteBytes(path, pdbtest::Build(pdbtest::SampleDatabase(3)));
    return Open(path);
}

class ChosenFields : public ::testing::TestWithParam<TExportFormat> {};

// Fields of the garden log: 1 Plant, 2 Done, 3 Sown, 4 Bed, 5 Notes, 6 Count.
TEST_P(ChosenFields, are_written_in_the_chosen_order_and_no_others)
{
    testkit::TempDir dir;
    auto db = OpenSample(dir);
    Export(*db, GetParam(), {6, 1}, dir.File("out.x"));
    const std::string text = Text(dir.File("out.x"));
    const size_t count = text.find("Count"), plant = text.find("Plant"), tomato = text.find("Tomato");
    ASSERT_NE(count, std::string::npos);
    EXPECT_LT(count, plant);
    EXPECT_LT(text.find("12"), tomato);
    EXPECT_EQ(text.find("Bed"), std::string::npos);
    EXPECT_EQ(text.find("North"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(EachFormat, ChosenFields,
                         ::testing::Values(TExportFormat::CSV, TExportFormat::HTML, TExportFormat::TXT));

TEST(Export, file_names_for_a_button_press_and_the_dialog)
{
    testkit::TempDir dir;
    auto db = OpenSample(dir);
    const std::vector<int> all = {2, 1, 3, 4, 5, 6}, some = {1, 2};
    struct Case {
        TExportFormat format;
        std::vector<int> fields;
        std::string direct, offered;
    } cases[] = {
        {TExportFormat::CSV, all, dir.File("garden.CSV"), "garden.CSV"},
        {TExportFormat::CSV, some, "", "*.CSV"},
        {TExportFormat::HTML, some, dir.File("garden.HTM"), "*.HTM"},
        {TExportFormat::TXT, all, dir.File("garden.TXT"), "garden.TXT"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DirectExportName(*db, c.format, c.fields), c.direct) << c.offered;
        EXPECT_EQ(OfferedExportName(*db, c.format, c.fields), c.offered) << c.offered;
    }
}

TEST(SavePlaces, each_format_keeps_its_own_directory)
{
    testkit::TempDir dir;
    std::filesystem::create_directories(dir.File("out"));
    std::filesystem::create_directories(dir.File("saved"));
    TIniFile ini(dir.File("Quorvil.INI"));
    const std::string program = RemoveBackslash(ProgramDir());
    EXPECT_EQ(ExportDirectory(ini, TExportFormat::CSV), program);

    RememberSaveAsDirectory(ini, dir.File("saved/copy.PDB"));
    EXPECT_EQ(ini.ReadString("SAVE", "Dir"), dir.File("saved"));
    EXPECT_EQ(ExportDirectory(ini, TExportFormat::HTML), dir.File("saved"));  // "Dir" stands in

    RememberExportDirectory(ini, TExportFormat::CSV, dir.File("out/list.CSV"));
    EXPECT_EQ(ini.ReadString("SAVE", "CSV"), dir.File("out/"));
    EXPECT_EQ(ExportDirectory(ini, TExportFormat::CSV), dir.File("out"));
    EXPECT_EQ(ExportDirectory(ini, TExportFormat::TXT), dir.File("saved"));

    std::filesystem::remove(dir.File("out"));
    EXPECT_EQ(ExportDirectory(ini, TExportFormat::CSV), program);
}

TEST(SavePlaces, typed_names_get_the_directory_and_extension)
{
    const struct {
        const char* typed;
        const char* expected;
    } cases[] = {{"report", "/data/report.PDB"}, {"report.old", "/data/report.old"}, {"/x/report", "/x/report.PDB"}};
    for (const auto& c : cases)
        EXPECT_EQ(CompleteFileName(c.typed, "/data", "PDB"), c.expected) << c.typed;
    EXPECT_EQ(CompleteFileName("table", "/data", "sqlite"), "/data/table.sqlite");
    EXPECT_EQ(OverwriteQuestion("/a b/c.PDB"), "Overwrite existing file \"/a b/c.PDB\"?");
    EXPECT_EQ(OverwriteQuestion("/ab/c.PDB"), "Overwrite existing file /ab/c.PDB?");
}

}  // namespace
}  // namespace quorvil
