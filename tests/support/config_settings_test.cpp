#include "config_settings.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace quorvil {
namespace {

// config/Quorvil.INI is what the editor wrote when it had opened, exported,
// split, imported and created databases (its folder renamed /home/ann/Palm;
// SnapToDefaultButton, which only a person writes, added). Each setting
// reads as the editor wrote it, and from a file without it as its default.
TEST(SettingsTest, a_file_the_editor_wrote_reads_back_every_setting_and_an_empty_one_the_defaults)
{
    const TIniFile written(testkit::TestDataDir() + "/config/Quorvil.INI");
    testkit::TempDir dir;
    const TIniFile empty(dir / "Quorvil.INI");
    const std::string palm = "/home/ann/Palm/";
    const std::string program = ProgramDir();
    const struct {
        const TTextSetting& setting;
        TSettingPlace place;
        std::string written, missing;
    } texts[] = {
        {settings::RecentFile, {.Key = "1"}, palm + "garden.PDB", ""},
        {settings::RecentFile, {.Key = "2"}, palm + "shop.PDB", ""},
        {settings::LastDatabase, {}, palm + "garden.PDB", ""},
        {settings::LoadDirectory, {}, "/home/ann/Palm", ""},
        {settings::WindowPosition, {.Section = "CONFIG.800x800", .Key = "ListForm"}, "0,64,792,640", ""},
        {settings::WindowPosition, {.Section = "CONFIG.800x800", .Key = "SortForm"}, "176,224,440,320", ""},
        {settings::SaveDirectory, {}, palm + "new/", program},
        {settings::NewFileName, {}, "plants.PDB", "NEW"},
        {settings::CsvDirectory, {}, palm + "out/csv/", program},
        {settings::HtmlDirectory, {}, palm + "out/htm/", program},
        {settings::TextDirectory, {}, palm + "out/txt/", program},
        {settings::ProgramExportDirectory, {}, "/home/ann/Palm/programs", ""},
        {settings::CsvSeparator, {}, ";", ","},
        {settings::ColumnWidths, {.Section = "Garden"}, "90,70,50", ""},
        {settings::ColumnWidths, {.Section = "Shop"}, "150", ""},
        {settings::SplitFileName, {.Section = "Garden", .Key = "North"}, "north_beds", ""},
    };
    for (const auto& t : texts) {
        const std::string name = std::string(t.setting.Key) + " " + std::string(t.place.Key);
        EXPECT_EQ(ReadText(written, t.setting, t.place), t.written) << name;
        EXPECT_EQ(ReadText(empty, t.setting, t.place), t.missing) << name;
    }
    const struct {
        const TFlagSetting& setting;
        TSettingPlace place;
        bool written, missing;
    } flags[] = {
        {settings::SnapToDefaultButton, {}, true, false},
        {settings::ImportUtf8, {}, true, false},
        {settings::CsvByteOrderMark, {}, false, true},
        {settings::FilterRow, {.Section = "Garden"}, true, false},
    };
    for (const auto& f : flags) {
        EXPECT_EQ(ReadFlag(written, f.setting, f.place), f.written) << f.setting.Key;
        EXPECT_EQ(ReadFlag(empty, f.setting, f.place), f.missing) << f.setting.Key;
    }
    EXPECT_EQ(ReadWindowPosition(written, "MainForm", "CONFIG.800x800"), "0,64,792,640");
}

}  // namespace
}  // namespace quorvil
