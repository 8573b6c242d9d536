// Behaviours of the CSV, HTML and text writers beyond the golden files.
#include "errors.h"
#include "text_writers.h"
#include "writer_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvil::test {
namespace {

namespace fs = std::filesystem;

struct DateCase {
    const char* cell;
    const char* csv;
};

class CsvDate : public testing::TestWithParam<DateCase> {};

TEST_P(CsvDate, IsRewrittenOnlyWhenItIsARealDayMonthYear)
{
    EXPECT_EQ(CsvDateText(GetParam().cell), GetParam().csv);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvDate,
    testing::Values(DateCase{"5/3/2003", "05 Mar 2003"}, DateCase{"05/03/2003", "05 Mar 2003"},
                    DateCase{"007/03/2003", "07 Mar 2003"}, DateCase{"31/2/2003", "31/2/2003"},
                    DateCase{"30/4/2003", "30 Apr 2003"}, DateCase{"31/4/2003", "31/4/2003"},
                    DateCase{"29/2/2004", "29 Feb 2004"}, DateCase{"29/2/2000", "29 Feb 2000"},
                    DateCase{"29/2/1900", "29/2/1900"}, DateCase{"29/2/00", "29 Feb 2000"},
                    DateCase{"1/1/79", "01 Jan 2079"}, DateCase{"31/12/80", "31 Dec 1980"},
                    DateCase{"1/12/0", "01 Dec 2000"}, DateCase{"5/13/2003", "5/13/2003"},
                    DateCase{"0/3/2003", "0/3/2003"}, DateCase{"x/3/2003", "x/3/2003"},
                    DateCase{"2003-03-05", "2003-03-05"}, DateCase{"5/3", "5/3"}, DateCase{"", ""},
                    DateCase{"5/3/", "5/3/"}, DateCase{"5/3/20/03", "5/3/20/03"},
                    DateCase{"5/3/2003 ", "5/3/2003 "}, DateCase{"1/1/12345", "1/1/12345"}));

TEST(CsvExport, NamesTheFilesAfterTheGivenName)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    WriteCSV(*db, {1}, dir / "list");
    EXPECT_TRUE(fs::exists(dir / "list.CSV"));
    EXPECT_TRUE(fs::exists(dir / "list.DEF"));

    WriteCSV(*db, {1}, dir / "other.txt");
    EXPECT_EQ(ReadBytes(dir / "other.txt"), ReadBytes(dir / "list.CSV"));
    EXPECT_TRUE(fs::exists(dir / "other.DEF"));
    EXPECT_FALSE(fs::exists(dir / "other.CSV"));
}

TEST(CsvExport, SkipsZeroEntries)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    WriteCSV(*db, {0, 3, 0, 1, 0}, dir / "list");
    EXPECT_EQ(ReadBytes(dir / "list.CSV"),
              "\"Qty\",\"Name\"\r\n\"1200\",\"Hex bolt\"\r\n\"7\",\"Say \"hi\"\"\r\n\"1234567\",\"\"\r\n");
    IniKeys keys = SectionKeys(ReadBytes(dir / "list.DEF"), "JFilePro");
    EXPECT_EQ(KeyValue(keys, "Widths"), "30,80");
    EXPECT_EQ(KeyValue(keys, "Types"), "INTEGER,STRING");
}

TEST(CsvExport, WritesLinesLongerThanItsBufferWhole)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    db->SetRecordCount(1);
    std::string cell = std::string(31000, 'a') + "\n" + std::string(999, 'b');
    std::string expectedLine;
    for (int f = 1; f <= 6; ++f) {
        db->SetCell(1, f, cell);
        if (f > 1)
            expectedLine += ",";
        expectedLine += "\"" + std::string(31000, 'a') + "\xCF" + std::string(999, 'b') + "\"";
    }
    WriteCSV(*db, {1, 2, 3, 4, 5, 6}, dir / "long");
    std::string csv = ReadBytes(dir / "long.CSV");
    size_t lineStart = csv.find("\r\n") + 2;
    EXPECT_EQ(csv.substr(lineStart), expectedLine + "\r\n");
}

TEST(CsvExport, UpdatesTheSettingsFileKeyByKey)
{
    TempDir dir;
    WriteBytes(dir / "list.DEF",
               "[Mine]\r\nWidths=keep\r\n[JFilePro]\r\nWidths=1,2\r\nExtra=stays\r\nDefault1=stale\r\n"
               "Default2=\r\n");
    auto db = MakeEdgeDatabase();
    WriteCSV(*db, {1, 6}, dir / "list");
    std::string def = ReadBytes(dir / "list.DEF");
    IniKeys keys = SectionKeys(def, "JFilePro");
    EXPECT_EQ(KeyValue(SectionKeys(def, "Mine"), "Widths"), "keep");
    EXPECT_EQ(KeyValue(keys, "Widths"), "80,-40");
    EXPECT_EQ(KeyValue(keys, "Extra"), "stays");
    EXPECT_EQ(KeyValue(keys, "Default1"), "");  // a stale default is cleared
    EXPECT_EQ(KeyValue(keys, "Default2"), "");
    EXPECT_EQ(KeyValue(keys, "Default6"), "Bolt");
    EXPECT_EQ(KeyValue(keys, "Popup6"), "Bolt,Nut");
}

TEST(CsvExport, AddsNoKeyForAFieldWithoutDefault)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    WriteCSV(*db, {1, 6}, dir / "list");
    IniKeys keys = SectionKeys(ReadBytes(dir / "list.DEF"), "JFilePro");
    EXPECT_EQ(KeyValue(keys, "Default1"), "<missing>");
    EXPECT_EQ(KeyValue(keys, "Popup1"), "<missing>");
}

TEST(CsvExport, KeepsLineBreaksOfSettingsOnOneLine)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    db->SetDefault(2, "two\nlines");
    WriteCSV(*db, {2}, dir / "list");
    EXPECT_EQ(KeyValue(SectionKeys(ReadBytes(dir / "list.DEF"), "JFilePro"), "Default2"), "two\xCFlines");
}

TEST(CsvExport, RefusesANameWhoseSettingsFileIsItself)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    EXPECT_THROW(WriteCSV(*db, {1}, dir / "list.DEF"), EStreamError);
    EXPECT_FALSE(fs::exists(dir / "list.DEF"));
}

class RecordingDatabase : public TJFILE {
public:
    void Status(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

TEST(ExportProgress, ShowsEachFileWhileItIsWritten)
{
    TempDir dir;
    RecordingDatabase db;
    db.InitNew();
    FillEdgeDatabase(db);
    WriteCSV(db, {1}, dir / "a");
    WriteHTML(db, dir / "b", {1});
    WriteTXT(db, dir / "c", {1});
    std::vector<std::string> expected = {"\nWriting " + (dir / "a.CSV"), "", "\nWriting " + (dir / "a.DEF"), "",
                                         "\nWriting " + (dir / "b.HTM"), "", "\nWriting " + (dir / "c.TXT"), ""};
    EXPECT_EQ(db.texts, expected);
}

TEST(ExportProgress, IsClearedWhenWritingFails)
{
    TempDir dir;
    RecordingDatabase db;
    db.InitNew();
    EXPECT_THROW(WriteHTML(db, dir / "missing/b", {}), EStreamError);
    EXPECT_EQ(db.texts, (std::vector<std::string>{"\nWriting " + (dir / "missing/b.HTM"), ""}));
}

struct Writer {
    const char* name;
    void (*write)(TJFILE&, const std::string&);
    const char* extension;
};

const Writer kWriters[] = {
    {"Csv", [](TJFILE& db, const std::string& file) { WriteCSV(db, {1, 2}, file); }, ".CSV"},
    {"Html", [](TJFILE& db, const std::string& file) { WriteHTML(db, file, {1, 2}); }, ".HTM"},
    {"Txt", [](TJFILE& db, const std::string& file) { WriteTXT(db, file, {1, 2}); }, ".TXT"},
};

class EveryWriter : public testing::TestWithParam<Writer> {};

TEST_P(EveryWriter, AppendsItsExtensionOnlyToANameWithoutOne)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    GetParam().write(*db, dir / "table");
    GetParam().write(*db, dir / "table.out");
    EXPECT_EQ(ReadBytes(dir / "table.out"), ReadBytes(dir / ("table" + std::string(GetParam().extension))));
}

TEST_P(EveryWriter, NamesTheFileWhenItsDirectoryIsMissing)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    std::string target = dir / ("missing/table" + std::string(GetParam().extension));
    try {
        GetParam().write(*db, dir / "missing/table");
        FAIL() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_NE(std::string(e.what()).find("\"" + target + "\""), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST_P(EveryWriter, ReplacesAnExistingFileCompletely)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    std::string target = dir / ("table" + std::string(GetParam().extension));
    WriteBytes(target, std::string(5000, 'x'));
    GetParam().write(*db, target);
    std::string bytes = ReadBytes(target);
    EXPECT_EQ(bytes.find('x' + std::string(9, 'x')), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST_P(EveryWriter, NeverWritesOverTheDatabaseItExports)
{
    TempDir dir;
    std::string path = dir / ("data" + std::string(GetParam().extension));
    SaveEdgeDatabase(path);
    std::string before = ReadBytes(path);
    auto db = Open(path);
    EXPECT_THROW(GetParam().write(*db, path), EStreamError);
    EXPECT_EQ(ReadBytes(path), before);
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryWriter, testing::ValuesIn(kWriters),
                         [](const testing::TestParamInfo<Writer>& p) { return std::string(p.param.name); });

TEST(HtmlExport, HeadsEveryEntryButFillsOnlyRealFields)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    db->SetRecordCount(1);
    WriteHTML(*db, dir / "t", {3, 0, 1});
    EXPECT_EQ(ReadBytes(dir / "t.HTM"),
              "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>\r\n<TR>\r\n"
              "  <TD COLSPAN=3 ALIGN=CENTER><CENTER><H1>Parts & Notes</H1></CENTER></TD>\r\n</TR>\r\n"
              "<TR>\r\n  <TD>Qty</TD>\r\n  <TD></TD>\r\n  <TD>Name</TD>\r\n</TR>\r\n"
              "<TR>\r\n  <TD>1200</TD>\r\n  <TD>Hex bolt</TD>\r\n</TR>\r\n</TABLE>\r\n");
}

TEST(HtmlExport, MarksEverySpacedHyphen)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    db->SetCell(1, 1, "a - b - - c\nd -e");
    WriteHTML(*db, dir / "t", {1});
    EXPECT_NE(ReadBytes(dir / "t.HTM").find("  <TD>a&nbsp;-&nbsp;b&nbsp;-&nbsp;- c<BR>d -e</TD>\r\n"),
              std::string::npos);
}

TEST(TextExport, PadsAllButTheLastColumnAndTrimsLineEnds)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    WriteTXT(*db, dir / "t", {3, 0, 1, 0});
    EXPECT_EQ(ReadBytes(dir / "t.TXT"),
              "Qty     Name\r\n1200    Hex bolt\r\n7       Say \"hi\"\r\n1234567\r\n");
}

TEST(TextExport, UsesAtMostFiftyEntries)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    std::vector<int> fields(49, 0);
    fields.push_back(3);
    fields.push_back(1);
    WriteTXT(*db, dir / "t", fields);
    EXPECT_EQ(ReadBytes(dir / "t.TXT"), "Qty\r\n1200\r\n7\r\n1234567\r\n");
}

TEST(TextExport, LeavesTheLineFeedsOfTheDatabaseAlone)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    db->Modified = false;
    WriteTXT(*db, dir / "t", {2});
    WriteCSV(*db, {2}, dir / "t");
    EXPECT_EQ(db->GetCell(1, 2), "Line one\nLine two");
    EXPECT_FALSE(db->Modified);
}

}  // namespace
}  // namespace quorvil::test
