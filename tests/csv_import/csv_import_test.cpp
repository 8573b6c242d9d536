// CSV files of spreadsheets, and files the import must refuse: each refusal
// gives one message naming the line and the limit, and writes nothing.
#include "cli_helpers.h"
#include "csv_import.h"
#include "jfile.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quorvil {
namespace {

using testkit::TempDir;
using testkit::WriteText;
using Rows = std::vector<std::vector<std::string>>;

struct SheetCase {
    const char* Name;
    std::string Csv;
    bool HeaderLine;
    std::vector<std::string> Names;
    Rows Cells;
};

TEST(CsvImport, SpreadsheetFilesGiveTextFields)
{
    const SheetCase cases[] = {
        {"doubled quotes and a line break, CR LF", "Name,Note\r\n\"a \"\"q\"\" b\",\"x\r\ny\"\r\n", true,
         {"Name", "Note"}, {{"a \"q\" b", "x\ny"}}},
        {"LF, empty cells, a short line", "A,B,C\n1,,3\n4\n", true, {"A", "B", "C"}, {{"1", "", "3"}, {"4", "", ""}}},
        {"no header line, the widest line counts", "1,2\n3,4,5", false, {"Field 1", "Field 2", "Field 3"},
         {{"1", "2", ""}, {"3", "4", "5"}}},
        {"byte-order mark", "\xEF\xBB\xBFId\n7\n", true, {"Id"}, {{"7"}}},
        {"quotes not doubled, as the export writes them", "\"Say\"\n\"Say \"hi\"\"\r\n", true, {"Say"},
         {{"Say \"hi\""}}},
        {"commas inside quotes, a CR that ends the file", "\"a,b\",c\r", false, {"Field 1", "Field 2"},
         {{"a,b", "c"}}},
    };
    for (const SheetCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        WriteText(dir / "sheet.csv", c.Csv);
        TJFILE db;
        db.InitNew();
        ImportCSV(dir / "sheet.csv", {-1, c.HeaderLine}, db);
        EXPECT_EQ(db.Layout, 3);
        EXPECT_EQ(db.PdbHeader.Name, "sheet");
        ASSERT_EQ(db.FieldCount(), int(c.Names.size()));
        for (int f = 1; f <= db.FieldCount(); ++f) {
            EXPECT_EQ(db.GetFieldName(f), c.Names[size_t(f - 1)]);
            EXPECT_EQ(db.GetFieldType(f), 1);
        }
        ASSERT_EQ(db.RecordCount(), int(c.Cells.size()));
        for (int r = 1; r <= db.RecordCount(); ++r)
            for (int f = 1; f <= db.FieldCount(); ++f)
                EXPECT_EQ(db.GetCell(r, f), c.Cells[size_t(r - 1)][size_t(f - 1)]) << r << "," << f;
    }
}

std::string Repeat(const std::string& line, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line;
    return text;
}

std::string Cells(int count)
{
    std::string line;
    for (int i = 1; i <= count; ++i)
        line += (i > 1 ? "," : "") + std::to_string(i);
    return line + "\n";
}

const char* const kTwoFieldDef = "[JFilePro]\r\nWidths=50,50\r\nTypes=STRING,STRING\r\nTitle=T\r\n";

struct BadCase {
    const char* Name;
    std::string Csv;
    std::string Def;  // none when empty
    std::vector<std::string> Options;
    std::string Message;  // after: Cannot import "<file>": ; %DEF% stands for the .DEF file
};

TEST(CsvImport, MalformedOrTooLargeFilesWriteNothing)
{
    const BadCase cases[] = {
        {"unclosed quote", "Name,Note\r\na,b\r\n\"c,d\r\n", "", {}, "line 3 opens a quoted cell that is never closed."},
        {"more cells than the header", "A,B\n1,2\n1,2,3\n", "", {}, "line 3 holds more cells than the 2 fields of the header line."},
        {"more cells than the .DEF's fields", "\"A\",\"B\"\r\n\"1\",\"2\",\"3\"\r\n", kTwoFieldDef, {},
         "line 2 holds 3 cells, more than the 2 fields of the header line."},
        {"a line the export cannot have written", "\"A\",\"B\"\r\n1,2\r\n", kTwoFieldDef, {},
         "line 2 is not a line of quoted cells: a quote is missing at its start or end."},
        {"a header line the .DEF does not describe", "\"A\"\r\n\"1\"\r\n", kTwoFieldDef, {},
         "line 1 names 1 fields; its settings file \"%DEF%\" describes 2."},
        {"a type the .DEF cannot name", "\"A\"\r\n", "[JFilePro]\r\nTypes=WIDGET\r\n", {},
         "the settings file \"%DEF%\" names the unknown field type \"WIDGET\"."},
        {"a 40,000-character cell", "A\n" + std::string(40000, 'x') + "\n", "", {},
         "line 2 holds 40000 characters in field 1; a cell holds at most 32000."},
        {"a 4,001-character cell for Pro 4.x", "A\nok\n" + std::string(4001, 'x') + "\n", "", {"--layout", "1"},
         "line 3 holds 4001 characters in field 1; a cell holds at most 4000."},
        {"70,000 lines", "A\n" + Repeat("x\n", 69999), "", {}, "line 65537 starts record 65536; a database holds at most 65535 records."},
        {"21 fields for 3.x", Cells(21), "", {"--layout", "0"}, "line 1 holds more cells than the 20 fields a JFile 3.x database can hold."},
        {"51 fields without a header", Cells(3) + Cells(51), "", {"--no-header"},
         "line 2 holds more cells than the 50 fields a JFile 5.5 database can hold."},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        const std::string csv = dir / "in.CSV", out = dir / "out.PDB";
        WriteText(csv, c.Csv);
        if (!c.Def.empty())
            WriteText(dir / "in.DEF", c.Def);
        std::vector<std::string> args = {"import", csv, "-o", out};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        const CliResult result = RunInProcess(args);
        EXPECT_EQ(result.code, 1);
        std::string message = c.Message;
        if (const size_t at = message.find("%DEF%"); at != std::string::npos)
            message.replace(at, 5, dir / "in.DEF");
        EXPECT_EQ(result.err, "Cannot import \"" + csv + "\": " + message + "\n");
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST(CsvImport, CommandLineWritesTheDatabaseInTheChosenLayout)
{
    TempDir dir;
    WriteText(dir / "list.csv", "Name,Qty\r\nBolt,7\r\nNut,12\r\n");
    const CliResult result = RunInProcess({"import", dir / "list.csv", "-o", dir / "list.PDB", "--layout", "0"});
    ASSERT_EQ(result.code, 0) << result.err;
    const nlohmann::json info = InfoJson(dir / "list.PDB");
    EXPECT_EQ(info["layout"], 0);
    EXPECT_EQ(info["title"], "list");
    EXPECT_EQ(info["records"], nlohmann::json::parse(R"([["Bolt", "7"], ["Nut", "12"]])"));
}

}  // namespace
}  // namespace quorvil
