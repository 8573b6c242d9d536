// quorvil-cli import: spreadsheet files, files it must refuse (one message
// naming the line and the limit, nothing written) and the CSV export read back.
#include "cli_helpers.h"
#include "latin1.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quorvil {
namespace {

using nlohmann::json;
using testkit::TempDir;
using Rows = std::vector<std::vector<std::string>>;
using namespace std::string_literals;

// Imports in.CSV holding `csv` (with in.DEF holding `def`, unless empty) into out.PDB.
CliResult Import(const TempDir& dir, const std::string& csv, const std::string& def, std::vector<std::string> options)
{
    testkit::WriteText(dir / "in.CSV", csv);
    if (!def.empty())
        testkit::WriteText(dir / "in.DEF", def);
    options.insert(options.begin(), {"import", dir / "in.CSV", "-o", dir / "out.PDB"});
    return RunInProcess(options);
}

TEST(CsvImport, spreadsheet_files_give_text_fields_in_the_chosen_layout)
{
    const struct {
        const char* Name;
        std::string Csv;
        std::vector<std::string> Options;
        int Layout;
        std::vector<std::string> Names;
        Rows Cells;
    } cases[] = {
        {"doubled quotes and a line break, CR LF",
         "Name,Note\r\n\"a \"\"q\"\" b\",\"x\r\ny\"\r\n",
         {},
         3,
         {"Name", "Note"},
         {{"a \"q\" b", "x\ny"}}},
        {"LF, empty cells, a short line, 3.x",
         "A,B,C\n1,,3\n4\n",
         {"--layout", "0"},
         0,
         {"A", "B", "C"},
         {{"1", "", "3"}, {"4", "", ""}}},
        {"no header line, the widest line counts",
         "1,2\n3,4,5",
         {"--no-header"},
         3,
         {"Field 1", "Field 2", "Field 3"},
         {{"1", "2", ""}, {"3", "4", "5"}}},
        {"byte-order mark", "\xEF\xBB\xBFId\n7\n", {}, 3, {"Id"}, {{"7"}}},
        {"quotes not doubled, as the export writes them",
         "\"Say\"\n\"Say \"hi\"\"\r\n",
         {},
         3,
         {"Say"},
         {{"Say \"hi\""}}},
        {"commas inside quotes, a CR that ends the file",
         "\"a,b\",c\r",
         {"--no-header"},
         3,
         {"Field 1", "Field 2"},
         {{"a,b", "c"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        const CliResult result = Import(dir, c.Csv, "", c.Options);
        ASSERT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(result.err, "");
        const json info = InfoJson(dir / "out.PDB");
        EXPECT_EQ(info["layout"], c.Layout);
        EXPECT_EQ(info["title"], "in");
        std::vector<std::string> names;
        for (const json& field : info["fields"]) {
            names.push_back(field["name"]);
            EXPECT_EQ(field["type"], 1);
        }
        EXPECT_EQ(names, c.Names);
        EXPECT_EQ(info["records"].get<Rows>(), c.Cells);
    }
}

// Standard UTF-8 CSV: chosen by --utf8, by the byte-order mark or by bytes
// beyond ASCII that are all UTF-8 (which is said), the separator found in
// the header line, the cells turned into Windows-1252. Other files stay
// Windows-1252 and the export's dialect.
TEST(CsvImport, utf8_files_give_their_cells_in_the_chosen_character_set)
{
    const std::string guessed = "quorvil-cli: Read as UTF-8 (no byte-order mark).\n";
    const struct {
        const char* Name;
        std::string Csv;
        std::string Def;
        std::vector<std::string> Options;
        std::vector<std::string> Names;
        Rows Cells;
        std::string Warning = "";
    } cases[] = {
        {"no mark, no option, UTF-8 beyond ASCII",
         "Name;Town\nJos\xC3\xA9;Z\xC3\xBCrich\n",
         "",
         {},
         {"Name", "Town"},
         {{"Jos\xE9", "Z\xFCrich"}},
         guessed},
        {"no mark, the export's CSV saved again as UTF-8",
         "\"Item\"\r\n\"\xE2\x82\xAC 5\"\r\n",
         "[JFilePro]\r\nTypes=STRING\r\n",
         {},
         {"Item"},
         {{"\x80 5"}},
         guessed},
        {"Windows-1252 bytes that are not UTF-8",
         "Name,Town\nJos\xE9,Z\xFCrich\n",
         "",
         {},
         {"Name", "Town"},
         {{"Jos\xE9", "Z\xFCrich"}}},
        {"plain ASCII, read as before: ',' alone separates", "A;B\n1;2\n", "", {}, {"A;B"}, {{"1;2"}}},
        {"a mark, no option; quoted separators, doubled quotes, line breaks as they are",
         "\xEF\xBB\xBF\xE2\x82\xAC,Note\r\n\"a,\"\"b\"\"\",\"x\r\ny\nz\"\r\n\xC3\xA9,\"\"\n",
         "",
         {},
         {"\x80", "Note"},
         {{"a,\"b\"", "x\r\ny\nz"}, {"\xE9", ""}}},
        {"';' used more often than ','",
         "Name;Price, EUR;Qty\nBolt;0,5;7",
         "",
         {"--utf8"},
         {"Name", "Price, EUR", "Qty"},
         {{"Bolt", "0,5", "7"}}},
        {"';' chosen, no header",
         "a,b;c\n",
         "",
         {"--utf8", "--separator", ";", "--no-header"},
         {"Field 1", "Field 2"},
         {{"a,b", "c"}}},
        {"into a Windows-1250 database",
         "Miasto\r\n\xC5\x81\xC3\xB3"
         "d\xC5\xBA\r\n",
         "",
         {"--utf8", "--charset", "windows-1250"},
         {"Miasto"},
         {{"\xA3\xF3"
           "d\x9F"}}},
        {"into a Shift-JIS database, names too",
         "\xE5\x90\x8D\xE5\x89\x8D,B\r\n\xE3\x82\xBD\xE8\xA1\xA8\\,x\r\n",
         "",
         {"--utf8", "--charset", "SHIFT_JIS"},
         {"\x96\xBC\x91O", "B"},
         {{"\x83\x5C\x95\x5C\x5C", "x"}}},
        {"types from the settings file, cells as they are",
         "Item,Ok\r\n05 Mar 2003,TRUE\r\n",
         "[JFilePro]\r\nTypes=DATE,BOOLEAN\r\n",
         {"--utf8"},
         {"Item", "Ok"},
         {{"05 Mar 2003", "1"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        const CliResult result = Import(dir, c.Csv, c.Def, c.Options);
        ASSERT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(result.err, c.Warning);
        const json info = InfoJson(dir / "out.PDB");
        std::vector<std::string> names;
        for (const json& field : info["fields"])
            names.push_back(Utf8ToBytes(field["name"].get<std::string>()));
        EXPECT_EQ(names, c.Names);
        Rows cells;
        for (const json& record : info["records"]) {
            cells.emplace_back();
            for (const json& cell : record)
                cells.back().push_back(Utf8ToBytes(cell.get<std::string>()));
        }
        EXPECT_EQ(cells, c.Cells);
    }
}

const char* const kTwoFieldDef = "[JFilePro]\r\nWidths=50,50\r\nTypes=STRING,STRING\r\nTitle=T\r\n";

// A .DEF whose second field is a List of `count` popup values v1, v2, ...
std::string ListDef(int count)
{
    std::string def = "[JFilePro]\r\nTypes=STRING,LIST\r\nPopup2=";
    for (int k = 1; k <= count; ++k)
        def += (k > 1 ? "," : "") + ("v" + std::to_string(k));
    return def + "\r\n";
}

TEST(CsvImport, malformed_or_too_large_files_write_nothing_and_keep_an_older_output)
{
    const std::string kNothing = "The file holds no records and no field names";
    const struct {
        const char* Name;
        std::string Csv;
        std::string Def;
        std::vector<std::string> Options;
        std::string Message;  // after: Cannot import "<file>": ; %DEF% stands for the .DEF file
    } cases[] = {
        {"unclosed quote", "Name,Note\r\na,b\r\n\"c,d\r\n", "", {}, "line 3 opens a quoted cell that is never closed."},
        {"more cells than the header",
         "A,B\n1,2\n1,2,3\n",
         "",
         {},
         "line 3 holds more cells than the 2 fields of the header line."},
        {"more cells than the .DEF's fields",
         "\"A\",\"B\"\r\n\"1\",\"2\",\"3\"\r\n",
         kTwoFieldDef,
         {},
         "line 2 holds 3 cells, more than the 2 fields of the header line."},
        {"a line the export cannot have written",
         "\"A\",\"B\"\r\n1,2\r\n",
         kTwoFieldDef,
         {},
         "line 2 is not a line of quoted cells: a quote is missing at its start or end."},
        {"a header line the .DEF does not describe",
         "\"A\"\r\n\"1\"\r\n",
         kTwoFieldDef,
         {},
         "line 1 names 1 fields; its settings file \"%DEF%\" describes 2."},
        {"a type the .DEF cannot name",
         "\"A\"\r\n",
         "[JFilePro]\r\nTypes=WIDGET\r\n",
         {},
         "the settings file \"%DEF%\" names the unknown field type \"WIDGET\"."},
        {"a 40,000-character cell",
         "A\n" + std::string(40000, 'x') + "\n",
         "",
         {},
         "line 2 holds 40000 characters in field 1; a cell holds at most 32000."},
        {"a 4,001-character cell for Pro 4.x",
         "A\nok\n" + std::string(4001, 'x') + "\n",
         "",
         {"--layout", "1"},
         "line 3 holds 4001 characters in field 1; a cell holds at most 4000."},
        {"70,000 lines",
         "A\n" + std::string(69999, '\n'),
         "",
         {},
         "line 65537 starts record 65536; a database holds at most 65535 records."},
        {"21 fields for 3.x",
         std::string(20, ',') + "\n",
         "",
         {"--layout", "0"},
         "line 1 holds more cells than the 20 fields a JFile 3.x database can hold."},
        {"51 fields without a header",
         ",,\n" + std::string(50, ',') + "\n",
         "",
         {"--no-header"},
         "line 2 holds more cells than the 50 fields a JFile 5.5 database can hold."},
        {"a NUL byte in a cell",
         "A,B\nx,y\0z\n"s,
         "",
         {},
         "line 2 holds a NUL byte in field 2; a database cannot hold one."},
        {"a NUL byte in a field name",
         "A,\"\0B\"\n1,2\n"s,
         "",
         {},
         "line 1 holds a NUL byte in field 2; a database cannot hold one."},
        {"a NUL byte in the export's own CSV",
         "\"A\",\"B\"\r\n\"1\",\"2\"\r\n\"\0\",\"4\"\r\n"s,
         kTwoFieldDef,
         {},
         "line 3 holds a NUL byte in field 1; a database cannot hold one."},
        {"a character without a Windows-1252 byte, in a cell of two lines",
         "A,B\r\n1,2\r\n3,\"x\n\xE6\x97\xA5\"\r\n",
         "",
         {"--utf8"},
         "line 4 holds the character U+65E5 \"\xE6\x97\xA5\" in field 2, which Windows-1252 has no byte for."},
        {"UTF-8 without a mark, a character without a Windows-1252 byte",
         "A\n\xC3\xA9\xE6\x97\xA5\n",
         "",
         {},
         "line 2 holds the character U+65E5 \"\xE6\x97\xA5\" in field 1, which Windows-1252 has no byte for."},
        {"a letter the database's set lacks",
         "Miasto\r\n\xC5\x81\xC3\xB3"
         "d\xC5\xBA\r\n",
         "",
         {"--utf8", "--charset", "windows-1252"},
         "line 2 holds the character U+0141 \"\xC5\x81\" in field 1, which Windows-1252 has no byte for."},
        {"a Shift-JIS database: a letter it lacks after one it has",
         "A\n\xE3\x82\xBD\xC5\x81\n",
         "",
         {"--utf8", "--charset", "shift_jis"},
         "line 2 holds the character U+0141 \"\xC5\x81\" in field 1, which Shift-JIS has no byte for."},
        {"Windows-1252 behind a byte-order mark",
         "\xEF\xBB\xBF"
         "A;Caf\xE9\n",
         "",
         {},
         "line 1 holds the byte hex E9 in field 2, which is not UTF-8."},
        {"a sequence cut short",
         "A\n\xE6\x97",
         "",
         {"--utf8"},
         "line 2 holds the bytes hex E6 97 in field 1, which are not UTF-8."},
        {"text after a closing quote",
         "A,B\n\"x\"y,z\n",
         "",
         {"--utf8"},
         "line 2 holds text after the closing quote of field 1; a quote inside a quoted cell is written twice."},
        {"a UTF-8 header the .DEF does not describe",
         "A\r\n1\r\n",
         kTwoFieldDef,
         {"--utf8"},
         "line 1 names 1 fields; its settings file \"%DEF%\" describes 2."},
        {"an empty file", "", "", {}, kNothing},
        {"blanks and line ends", "\r\n \n\t\r\n", "", {"--no-header"}, kNothing},
        {"a header of empty names alone", ",\r\n", "", {}, kNothing},
        {"a byte-order mark and a line end, with a settings file", "\xEF\xBB\xBF\r\n", kTwoFieldDef, {}, kNothing},
        {"53 popup values, for a list of 50",
         "\"A\",\"B\"\r\n\"1\",\"v1\"\r\n",
         ListDef(53),
         {},
         "the settings file \"%DEF%\" holds 53 popup values for field 2; a list holds 50, so \"v51\", \"v52\" and "
         "\"v53\" would be lost. Remove values from its line \"Popup2\" to import it."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        testkit::WriteText(dir / "out.PDB", "an older database");
        const CliResult result = Import(dir, c.Csv, c.Def, c.Options);
        EXPECT_EQ(result.code, 1);
        std::string message = c.Message;
        if (const size_t at = message.find("%DEF%"); at != std::string::npos)
            message.replace(at, 5, dir / "in.DEF");
        EXPECT_EQ(result.err, "Cannot import \"" + dir / "in.CSV" + "\": " + message + "\n");
        EXPECT_EQ(testkit::ReadText(dir / "out.PDB"), "an older database");
        EXPECT_EQ(dir.Entries().size(), c.Def.empty() ? 2u : 3u);  // no temporary file left beside it
    }
    // A folder named like a CSV file is refused with the reason, not a failed allocation.
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.CSV");
    const CliResult result = RunInProcess({"import", dir / "folder.CSV", "-o", dir / "out.PDB"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "Cannot open file \"" + dir / "folder.CSV" + "\". It is a directory.\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.PDB"));
}

TEST(CsvImport, boolean_cells_of_a_file_with_its_settings_are_stored_as_the_database_stores_them)
{
    TempDir dir;
    const std::string csv = "\"Item\",\"Ok\"\r\n\"a\",\"TRUE\"\r\n\"b\",\"false\"\r\n\"c\",\"1\"\r\n\"d\",\"Yes\"\r\n";
    const CliResult result = Import(dir, csv, "[JFilePro]\r\nTypes=STRING,BOOLEAN\r\n", {});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(InfoJson(dir / "out.PDB")["records"].get<Rows>(),
              (Rows{{"a", "1"}, {"b", "0"}, {"c", "1"}, {"d", "Yes"}}));
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

// Fifty fields of every type, awkward texts, a date the export rewrites and
// the view settings, saved sorts and filters a .DEF carries.
json EdgeSpec()
{
    const int types[] = {1, 2, 4, 8, 16, 32, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 80, 81, 65535};
    const std::string cells[] = {HighBytes(), "Line one\nLine two",    "Say \"hi\"", "\"", "\"\"", "a\"", "\"b", ",",
                                 "a\r\nb",    std::string(32000, 'x'), "  padded  "};
    json fields = json::array(), full = json::array(), empty = json::array(), odd = json::array();
    for (int f = 1; f <= 50; ++f) {
        json field = {{"name", "Field " + std::to_string(f)},
                      {"type", f <= 19 ? types[f - 1] : 1},
                      {"width", f == 3 ? -40 : 10 * f}};
        if (f == 7)
            field["popup"] = {"Bolt", "Nut", Latin1ToUtf8("\xD6l")};
        if (f == 1)
            field["default"] = "none";
        fields.push_back(field);
        full.push_back(Latin1ToUtf8(f == 2 ? "1" : f == 3 ? "05/03/2003" : f == 7 ? "Nut" : cells[size_t(f) % 11]));
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
            {"filters",
             {{{"slot", 1},
               {"name", "Nuts"},
               {"values", {"Nut", "", "", "", ""}},
               {"word", 4},
               {"codes", {1, 0, 0, 0, -3}}}}},
            {"records", {full, empty, odd}}};
}

// All the CSV and its .DEF carry comes back: all but the header's date and
// attribute words and the display width.
TEST(CsvImport, an_export_with_its_settings_file_comes_back_as_the_database_exported)
{
    TempDir dir;
    testkit::WriteText(dir / "edge.json", EdgeSpec().dump());
    ASSERT_EQ(RunInProcess({"create", dir / "edge.json", "-o", dir / "edge.PDB"}).code, 0);
    const std::string samples = QUORVIL_SAMPLES_DIR;
    // A 3.x export cannot be told from a Pro 4.x one by its .DEF alone.
    const std::pair<std::string, std::vector<std::string>> cases[] = {{dir / "edge.PDB", {}},
                                                                      {samples + "/AddressBook.PDB", {}},
                                                                      {samples + "/Inventory.PDB", {"--layout", "0"}},
                                                                      {samples + "/Projects.PDB", {}}};
    for (const auto& [file, options] : cases) {
        SCOPED_TRACE(file);
        TempDir out;
        ASSERT_EQ(RunInProcess({"export", "csv", file, "-o", out / "in"}).code, 0);
        std::vector<std::string> args = {"import", out / "in.CSV", "-o", out / "out.PDB"};
        args.insert(args.end(), options.begin(), options.end());
        ASSERT_EQ(RunInProcess(args).code, 0);
        json want = InfoJson(file), back = InfoJson(out / "out.PDB");
        for (const char* key : {"attributes", "version", "display_width"})
            want.erase(key);
        for (const auto& [key, value] : want.items())
            EXPECT_EQ(back[key], value) << "in " << key;
    }
}

// The .DEF separates popup values by commas: the export names a value that
// holds one, and its field, before it writes (and writes, as scripts expect).
TEST(CsvImport, the_export_names_a_popup_value_its_settings_file_would_split)
{
    TempDir dir;
    const json spec = {{"title", "Stock"},
                       {"fields", {{{"name", "Region"}, {"type", 64}, {"popup", {"West", "North, East"}}}}},
                       {"records", {{"West"}}}};
    testkit::WriteText(dir / "stock.json", spec.dump());
    ASSERT_EQ(RunInProcess({"create", dir / "stock.json", "-o", dir / "stock.PDB"}).code, 0);
    const CliResult result = RunInProcess({"export", "csv", dir / "stock.PDB", "-o", dir / "out"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.err, "quorvil-cli: The popup value \"North, East\" (field Region) holds a comma, which "
                          "separates the values in the .DEF settings file: importing the CSV would split it. Change "
                          "it in the popup list to keep it whole.\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "out.CSV"));
}

}  // namespace
}  // namespace quorvil
