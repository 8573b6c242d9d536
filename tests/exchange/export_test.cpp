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

// Fields of the garden log: 1 Plant, 2 Done, 3 Sown, 4 Bed, 5 Notes, 6 Count.
std::unique_ptr<TJFILE> OpenSample(const testkit::TempDir& dir)
{
    testkit::WriteBytes(dir / "garden.PDB", pdbtest::Build(pdbtest::SampleDatabase(3)));
    return Open(dir / "garden.PDB");
}

TEST(Export, writes_the_chosen_fields_in_the_chosen_order_and_no_others)
{
    testkit::TempDir dir;
    auto db = OpenSample(dir);
    for (TExportFormat format : {TExportFormat::CSV, TExportFormat::HTML, TExportFormat::TXT}) {
        Export(*db, format, {6, 1}, dir / "out.x");
        const std::string text = testkit::ReadText(dir / "out.x");
        EXPECT_LT(text.find("Count"), text.find("Plant")) << text;
        EXPECT_LT(text.find("12"), text.find("Tomato")) << text;
        EXPECT_EQ(text.find("Bed"), std::string::npos) << text;
        EXPECT_EQ(text.find("North"), std::string::npos) << text;
    }
}

TEST(Export, file_names_for_a_button_press_and_the_dialog)
{
    testkit::TempDir dir;
    auto db = OpenSample(dir);
    const std::vector<int> all = {2, 1, 3, 4, 5, 6}, some = {1, 2};
    const std::tuple<TExportFormat, std::vector<int>, std::string, std::string> cases[] = {
        {TExportFormat::CSV, all, dir / "garden.CSV", "garden.CSV"},
        {TExportFormat::CSV, some, "", "*.CSV"},
        {TExportFormat::HTML, some, dir / "garden.HTM", "*.HTM"},
        {TExportFormat::TXT, all, dir / "garden.TXT", "garden.TXT"},
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
}

}  // namespace
}  // namespace quorvil
