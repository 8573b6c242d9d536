// Inputs on which the import, create and merge fuzz targets stopped: each is
// now refused with one clear message, or reads back after a save as it was
// taken in.
#include "cli_args.h"
#include "cli_exchange.h"
#include "csv_import.h"
#include "db_json.h"
#include "errors.h"
#include "jfile.h"
#include "save_as.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace quorvil::hardening {
namespace {

using testkit::TempDir;

// Written in its layout as the command-line tool writes it, and opened again.
std::unique_ptr<TJFILE> Reloaded(TJFILE& db, const TempDir& dir)
{
    WriteInLayout(db, db.Layout(), dir / "out.PDB");
    return OpenReadOnly(dir / "out.PDB");
}

std::vector<std::string> Popup(const TJFILE& db, int f)
{
    std::vector<std::string> values;
    for (int k = 1; k <= db.PopupCount(f); ++k)
        values.push_back(db.GetPopupItem(f, k));
    return values;
}

TEST(FuzzFinding, settings_files_whose_values_a_save_would_lose_are_refused_or_read_as_the_database_reads_them)
{
    // A saved sort makes the settings those of a 5.5 export.
    const std::string k55 = "[JFilePro]\r\nTypes=LIST,STRING\r\nSort1=\"s\",1,0,0\r\n";
    const std::string kFilter = "Filter1=\"" + std::string(300, 'n') + "\",\"-*-\",\"\",\"\",\"\",\"\",4,1,0,0,0,0\r\n";
    FilterRec cut;
    cut.FilterName = std::string(255, 'n');
    cut.FilterWord = 4;
    cut.FilterCodes = {1, 0, 0, 0, 0};
    const struct {
        const char* Name;
        std::string Def;
        std::string Error;  // after: Cannot import "in.CSV": the settings file "in.DEF"
        std::vector<std::string> Popup;
        FilterRec Filter;
    } cases[] = {
        {"a popup value that would end the list",
         k55 + "Popup1=a,popupb,c\r\n",
         " holds the popup value \"popupb\" for field 1, which would read back as a chunk header.",
         {},
         {}},
        {"a 5.x tag in a Pro 4.x list, read as a header once converted",
         "[JFilePro]\r\nTypes=LIST,STRING\r\nPopup1=deflta\r\n",
         " holds the popup value \"deflta\" for field 1, which would read back as a chunk header.",
         {},
         {}},
        {"a default longer than a cell",
         k55 + "Default2=" + std::string(32001, 'd') + "\r\n",
         " holds a default of 32001 characters for field 2; a cell holds at most 32000.",
         {},
         {}},
        {"stray commas in a popup list", k55 + "Popup1=,a,,b,\r\n", "", {"a", "b"}, {}},
        {"a filter with a long name and the file's empty value", k55 + kFilter, "", {}, cut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        testkit::WriteText(dir / "in.CSV", "\"Part\",\"Note\"\r\n\"a\",\"x\"\r\n");
        testkit::WriteText(dir / "in.DEF", c.Def);
        TJFILE db;
        db.InitNew();
        if (!c.Error.empty()) {
            try {
                ImportCSV(dir / "in.CSV", {}, db);
                ADD_FAILURE() << "imported";
            } catch (const EInOutError& e) {
                EXPECT_EQ(e.what(), "Cannot import \"" + dir / "in.CSV" + "\": the settings file \"" + dir / "in.DEF" +
                                        "\"" + c.Error);
            }
            EXPECT_EQ(db.FieldCount(), 0);
            continue;
        }
        ImportCSV(dir / "in.CSV", {}, db);
        const auto loaded = Reloaded(db, dir);
        for (const TJFILE* d : {&db, loaded.get()}) {
            EXPECT_EQ(Popup(*d, 1), c.Popup);
            EXPECT_EQ(d->GetFilter(1).FilterName, c.Filter.FilterName);
            EXPECT_EQ(d->GetFilter(1).FilterValues, c.Filter.FilterValues);
            EXPECT_TRUE(d->GetFilter(1) == c.Filter) << "word and codes";
        }
    }
}

TEST(FuzzFinding, descriptions_create_would_not_write_as_described_are_refused_and_leave_no_file)
{
    const std::string cell32001 = R"({"fields": [{}], "records": [[")" + std::string(32001, 'x') + R"("]]})";
    const std::string cell4001 = R"({"layout": 1, "fields": [{}], "records": [[")" + std::string(4001, 'x') + R"("]]})";
    const std::string default32001 = R"({"fields": [{"default": ")" + std::string(32001, 'x') + R"("}]})";
    const std::pair<std::string, std::string> cases[] = {
        {R"({"fields": [{}], "records": [["a\u0000b"]]})", "\"records\" must not hold a NUL character"},
        {R"({"title": "Stock\u0000"})", "\"title\" must not hold a NUL character"},
        {R"({"fields": [{"popup": ["a\u0000"]}]})", "\"popup\" must not hold a NUL character"},
        {cell32001, "records[0] field 1 holds 32001 characters; a cell holds at most 32000"},
        {cell4001, "records[0] field 1 holds 4001 characters; a cell holds at most 4000"},
        {default32001, "the default of field 1 holds 32001 characters; a cell holds at most 32000"},
        {R"({"fields": [{}], "filters": [{"slot": 1, "name": "f", "values": ["-*-"]}]})",
         "the filter value \"-*-\" would read back as an empty value"},
        // The reader takes the layout from the creator: these would not open.
        {R"({"creator": "ABCD"})", "\"creator\" must be \"JFi5\" for a JFile 5.5 database"},
        {R"({"layout": 1, "creator": "JFi5"})", "\"creator\" must be \"JFil\" for a JFile Pro 4.x database"},
        {R"({"layout": 4294967299})", "\"layout\" must be 0, 1, 2 or 3"},
    };
    for (const auto& [spec, message] : cases) {
        SCOPED_TRACE(spec.substr(0, 80));
        TempDir dir;
        testkit::WriteText(dir / "spec.json", spec);
        try {
            CreateFromSpec(dir / "spec.json", dir / "out.PDB", std::nullopt);
            ADD_FAILURE() << "created";
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(e.what(), message);
        }
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"spec.json"});
    }
    TempDir dir;
    testkit::WriteText(dir / "spec.json", R"({"layout": 1, "creator": "JFil"})");
    CreateFromSpec(dir / "spec.json", dir / "out.PDB", std::nullopt);
    EXPECT_EQ(OpenReadOnly(dir / "out.PDB")->Layout(), TLayout::JFilePro4) << "the layout's own creator is taken";
}

std::unique_ptr<TJFILE> Described(const char* spec)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    ApplySpec(*db, nlohmann::json::parse(spec), TLayout::JFile55);
    return db;
}

TEST(FuzzFinding, a_merge_map_names_a_new_field_by_the_other_database_and_refuses_a_nul_in_its_name)
{
    const auto other = Described(R"({"fields": [{"name": "ID"}, {"name": "Gr\u00f6\u00dfe"}],
        "records": [["7", "L"]]})");
    const struct {
        const char* Map;
        std::string NewName;  // of master field 2
        std::string Error;
    } cases[] = {
        // The key names the field in UTF-8 and in another case.
        {R"({"fields": {"gr\u00f6\u00dfe": {"to": null}}})",
         "Gr\xF6\xDF"
         "e",
         ""},
        {R"({"fields": {"Gr\u00f6\u00dfe": {"to": null, "name": "\u0000x"}}})", "",
         "The new field for Gr\xC3\xB6\xC3\x9F"
         "e has a name with a NUL character."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Map);
        TempDir dir;
        testkit::WriteText(dir / "map.json", c.Map);
        auto master = Described(R"({"fields": [{"name": "ID"}], "records": [["7"]]})");
        Arguments args;
        args.options["--map"] = dir / "map.json";
        try {
            Merge(*master, *other, MergeChoice(*master, *other, args));
            EXPECT_EQ(Reloaded(*master, dir)->GetFieldName(2), c.NewName);
            EXPECT_EQ(c.Error, "");
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(e.what(), c.Error);
        }
    }
}

}  // namespace
}  // namespace quorvil::hardening
