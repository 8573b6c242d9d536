// A CSV export with its .DEF imported back gives the database that was
// exported: the samples and a database of every awkward value.
#include "cli_helpers.h"
#include "csv_import.h"
#include "db_json.h"
#include "export.h"
#include "jfile.h"
#include "save_as.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvil {
namespace {

using nlohmann::json;
using testkit::TempDir;

// Everything the CSV and its .DEF carry: all but the header's date and
// attribute words and the display width.
nlohmann::ordered_json Carried(const TJFILE& db)
{
    nlohmann::ordered_json j = DatabaseToJson(db, true);
    for (const char* key : {"attributes", "version", "display_width"})
        j.erase(key);
    return j;
}

void ExpectSameDatabase(const TJFILE& back, const TJFILE& original)
{
    const nlohmann::ordered_json got = Carried(back), want = Carried(original);
    for (const auto& [key, value] : want.items())
        EXPECT_EQ(got[key], value) << "in " << key;
}

// Exports every field of `db`, imports the CSV and reads the saved import
// back from its file.
std::unique_ptr<TJFILE> ExportAndImport(TJFILE& db, const TempDir& dir, int layout)
{
    Export(db, TExportFormat::CSV, AllFields(db), dir / "table.CSV");
    TJFILE imported;
    imported.InitNew();
    ImportCSV(dir / "table.CSV", {layout, true}, imported);
    EXPECT_TRUE(imported.Modified);
    WriteInLayout(imported, imported.Layout, dir / "back.PDB");
    return OpenReadOnly(dir / "back.PDB");
}

struct SampleCase {
    const char* File;
    int Layout;  // the import's choice; -1 where the .DEF tells
};

TEST(CsvRoundTrip, EachSampleComesBackEqual)
{
    // A 3.x export cannot be told from a Pro 4.x one by its .DEF alone.
    const SampleCase cases[] = {{"AddressBook.PDB", -1}, {"Inventory.PDB", 0}, {"Projects.PDB", -1}};
    for (const SampleCase& c : cases) {
        SCOPED_TRACE(c.File);
        TempDir dir;
        auto original = OpenReadOnly(std::string(QUORVIL_SAMPLES_DIR) + "/" + c.File);
        ExpectSameDatabase(*ExportAndImport(*original, dir, c.Layout), *original);
    }
}

// Bytes 80..FF but CF, which the CSV uses for line feeds.
std::string HighBytes()
{
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        if (b != 0xCF)
            bytes += char(b);
    return bytes;
}

json EdgeSpec()
{
    const int types[] = {1, 2, 4, 8, 16, 32, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 80, 81, 65535};
    json fields = json::array();
    for (int f = 1; f <= 50; ++f) {
        json field = {{"name", "Field " + std::to_string(f)}, {"type", f <= 19 ? types[f - 1] : 1},
                      {"width", f == 3 ? -40 : 10 * f}};
        if (f == 7)
            field["popup"] = {"Bolt", "Nut", Latin1ToUtf8("\xD6l")};
        if (f == 1)
            field["default"] = "none";
        fields.push_back(field);
    }
    json full = json::array(), empty = json::array(), odd = json::array();
    const std::string cells[] = {HighBytes(), "Line one\nLine two", "Say \"hi\"", "\"", "\"\"", "a\"", "\"b",
                                 ",", "a\r\nb", std::string(32000, 'x'), "  padded  "};
    for (int f = 1; f <= 50; ++f) {
        std::string text = f == 2 ? "1" : f == 3 ? "05/03/2003" : f == 7 ? "Nut" : cells[size_t(f) % 11];
        full.push_back(Latin1ToUtf8(text));
        empty.push_back("");
        odd.push_back(f == 3 ? "31/02/2003" : f == 19 ? "05 Mar 2003" : f == 4 ? "2003-03-05" : "");
    }
    return {{"title", Latin1ToUtf8("Edge \xE9 \"cases\"")},
            {"fields", fields},
            {"sort_fields", {3, 1, 0}},
            {"find_field", 2},
            {"find_text", "bolt, nut"},
            {"filter_field", 7},
            {"filter_text", "Nut"},
            {"first_column", 4},
            {"category", 5},
            {"read_only", true},
            {"saved_sorts", {{{"slot", 2}, {"name", "By date"}, {"fields", {3, 1, 0}}}}},
            {"filters", {{{"slot", 1}, {"name", "Nuts"}, {"values", {"Nut", "", "", "", ""}}, {"word", 4},
                          {"codes", {1, 0, 0, 0, -3}}}}},
            {"records", {full, empty, odd}}};
}

TEST(CsvRoundTrip, EveryTypeAndAwkwardValueComesBackEqual)
{
    TempDir dir;
    {
        auto db = CreateNew(dir / "edge.PDB");
        ApplySpec(*db, EdgeSpec(), 3);
        db->SaveWithName(db->PdbHeader.Name);
    }
    auto original = OpenReadOnly(dir / "edge.PDB");
    ASSERT_EQ(original->FieldCount(), 50);
    auto back = ExportAndImport(*original, dir, -1);
    ExpectSameDatabase(*back, *original);
    EXPECT_EQ(back->GetCell(1, 3), "05/03/2003");  // exported as 05 Mar 2003
}

}  // namespace
}  // namespace quorvil
