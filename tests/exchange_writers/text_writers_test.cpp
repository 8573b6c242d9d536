// The CSV, HTML and text writers and quorvil-cli export: the edge-case
// database and the bundled samples against hand-written expected files, and
// the behaviours beyond them.
#include "cli_helpers.h"
#include "db_json.h"
#include "errors.h"
#include "export.h"
#include "field_types.h"
#include "ini_file.h"
#include "jfile.h"
#include "streams.h"
#include "test_files.h"
#include "text_output.h"
#include "text_writers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#if defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace quorvil {
namespace {

using testkit::ReadText;
using testkit::TempDir;

// The database the edge-case golden files were written for, described beside
// them: "Parts & Notes", six fields, three records, view settings, a saved
// sort and a filter.
const std::string kEdge = testkit::TestDataDir() + "/golden/edge.json";

template <class Db = TJFILE>
std::unique_ptr<Db> MakeEdgeDatabase()
{
    auto db = std::make_unique<Db>();
    db->InitNew();
    std::ifstream in(kEdge);
    ApplySpec(*db, nlohmann::json::parse(in), TLayout::JFile55);
    return db;
}

void SaveEdgeDatabase(const std::string& path)
{
    const CliResult r = RunInProcess({"create", kEdge, "-o", path});
    ASSERT_EQ(r.code, 0) << r.err;
}

// A copy of a sample database the build made, as an open database locks its
// file against other test runs.
std::unique_ptr<TJFILE> OpenSample(const std::string& file, const TempDir& scratch)
{
    const char* env = std::getenv("QUORVIL_SAMPLES");
    std::filesystem::copy_file(std::string(env ? env : QUORVIL_SAMPLES_DIR) + "/" + file, scratch / file);
    return Open(scratch / file);
}

// Fields 3 and 1 of the edge database; quotes inside a value are not doubled.
const char* const kQtyAndName =
    "\"Qty\",\"Name\"\r\n\"1200\",\"Hex bolt\"\r\n\"7\",\"Say \"hi\"\"\r\n\"1234567\",\"\"\r\n";

class GoldenExport : public testing::TestWithParam<std::pair<const char*, const char*>> {};

// The edge database through quorvil-cli with all fields, the samples through the writers.
TEST_P(GoldenExport, every_format_matches_byte_for_byte)
{
    const auto [name, sample] = GetParam();
    TempDir dir;
    if (*sample) {
        auto db = OpenSample(sample, dir);
        WriteCSV(*db, AllFields(*db), dir / "out");
        WriteHTML(*db, dir / "out", AllFields(*db));
        WriteTXT(*db, dir / "out", AllFields(*db));
    } else {
        SaveEdgeDatabase(dir / "edge.PDB");
        for (const char* format : {"csv", "html", "txt"}) {
            const CliResult r = RunInProcess({"export", format, dir / "edge.PDB", "-o", dir / "out"});
            EXPECT_EQ(r.code, 0) << r.err;
        }
    }
    for (const char* extension : {"CSV", "HTM", "TXT"})
        EXPECT_EQ(ReadText(dir / ("out." + std::string(extension))),
                  ReadText(testkit::TestDataDir() + "/golden/" + name + "." + extension))
            << extension;
    // The settings file keeps the line ends it is given.
    EXPECT_EQ(ReadText(dir / "out.DEF"), ReadText(testkit::TestDataDir() + "/golden/" + name + ".DEF"));
}

INSTANTIATE_TEST_SUITE_P(Databases, GoldenExport,
                         testing::Values(std::pair{"edge", ""}, std::pair{"inventory", "Inventory.PDB"},
                                         std::pair{"address_book", "AddressBook.PDB"},
                                         std::pair{"projects", "Projects.PDB"}),
                         [](const auto& p) { return std::string(p.param.first); });

TEST(CsvDate, is_rewritten_only_when_it_is_a_real_day_month_year)
{
    const std::pair<const char*, const char*> cases[] = {
        {"5/3/2003", "05 Mar 2003"},
        {"05/03/2003", "05 Mar 2003"},
        {"007/03/2003", "07 Mar 2003"},
        {"31/2/2003", nullptr},
        {"30/4/2003", "30 Apr 2003"},
        {"31/4/2003", nullptr},
        {"29/2/2004", "29 Feb 2004"},
        {"29/2/2000", "29 Feb 2000"},
        {"29/2/1900", nullptr},
        {"29/2/00", "29 Feb 2000"},
        {"1/1/79", "01 Jan 2079"},
        {"31/12/80", "31 Dec 1980"},
        {"1/12/0", "01 Dec 2000"},
        {"5/13/2003", nullptr},
        {"0/3/2003", nullptr},
        {"x/3/2003", nullptr},
        {"2003-03-05", nullptr},
        {"5/3", nullptr},
        {"", nullptr},
        {"5/3/", nullptr},
        {"5/3/20/03", nullptr},
        {"5/3/2003 ", nullptr},
        {"1/1/12345", nullptr},
        {"/3/2003", nullptr},
        {"5//2003", nullptr},
        {"99999999999/1/2003", nullptr},
        // The common shapes, read from where their slashes may stand.
        {"5/10/2003", "05 Oct 2003"},
        {"15/3/2003", "15 Mar 2003"},
        {"10/12/1999", "10 Dec 1999"},
        {"1/1/0098", "01 Jan 1998"},
        {"1/1/0079", "01 Jan 2079"},
        {"31/12/9999", "31 Dec 9999"},
        {"1x/3/2003", nullptr},
        {"5/x3/2003", nullptr},
        {"5/3x/2003", nullptr},
        {"5/3/20x3", nullptr},
        {"5/3/200/", nullptr},
        {"5/3//2003", nullptr},
        {"5//3/2003", nullptr},
        {"/5/3/2003", nullptr},
        {"15/3/2003/", nullptr},
        {"1/2/3/2003", nullptr},
        {"12/13/2003", nullptr},
        {"5/3/-003", nullptr},
    };
    for (const auto& [cell, csv] : cases)  // no rewriting keeps the text
        EXPECT_EQ(CsvDateText(cell), csv ? csv : cell) << cell;
}

TEST(CsvExport, skips_zero_entries_and_writes_lines_longer_than_its_buffer_whole)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    WriteCSV(*db, {0, 3, 0, 1, 0}, dir / "list");
    EXPECT_EQ(ReadText(dir / "list.CSV"), kQtyAndName);
    const TIniFile def(dir / "list.DEF");
    EXPECT_EQ(def.ReadString("JFilePro", "Widths"), "30,80");
    EXPECT_EQ(def.ReadString("JFilePro", "Types"), "INTEGER,STRING");

    db->SetRecordCount(1);
    std::string line;
    for (int f = 1; f <= 6; ++f) {
        db->SetCell(1, f, std::string(31000, 'a') + "\n" + std::string(999, 'b'));
        line += (f > 1 ? ",\"" : "\"") + std::string(31000, 'a') + "\xCF" + std::string(999, 'b') + "\"";
    }
    WriteCSV(*db, AllFields(*db), dir / "long");
    const std::string csv = ReadText(dir / "long.CSV");
    EXPECT_EQ(csv.substr(csv.find("\r\n") + 2), line + "\r\n");
}

TEST(CsvExport, names_the_settings_file_after_the_csv_never_over_it_and_updates_it_key_by_key)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    EXPECT_THROW(WriteCSV(*db, {1}, dir / "list.DEF"), EStreamError);
    WriteCSV(*db, {1}, dir / "other.txt");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"other.DEF", "other.txt"}));

    testkit::WriteText(dir / "list.DEF", "[Mine]\r\nWidths=keep\r\n[JFilePro]\r\nWidths=1,2\r\nExtra=stays\r\n"
                                         "Default1=stale\r\nDefault2=\r\n");
    db->SetDefault(2, "two\nlines");
    WriteCSV(*db, {1, 2, 3, 6}, dir / "list");
    const TIniFile def(dir / "list.DEF");
    EXPECT_EQ(def.ReadString("Mine", "Widths"), "keep");
    const std::pair<const char*, const char*> keys[] = {
        {"Widths", "80,120,30,-40"},  {"Extra", "stays"},        {"Default1", ""},  // a stale default is cleared
        {"Default2", "two\xCFlines"}, {"Default3", "<missing>"}, {"Default6", "Bolt"},
        {"Popup1", "<missing>"},      {"Popup6", "Bolt,Nut"},
    };
    for (const auto& [key, value] : keys)
        EXPECT_EQ(def.ReadString("JFilePro", key, "<missing>"), value) << key;
}

class RecordingDatabase : public TJFILE {
public:
    void Status(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

struct Writer {
    void (*write)(TJFILE&, const std::string&);
    const char* extension;
};

class EveryWriter : public testing::TestWithParam<Writer> {};

TEST_P(EveryWriter, adds_its_extension_only_to_a_name_without_one_shows_progress_and_never_writes_over_the_database)
{
    TempDir dir;
    const std::string ext = GetParam().extension;
    auto edge = MakeEdgeDatabase<RecordingDatabase>();
    GetParam().write(*edge, dir / "table");
    GetParam().write(*edge, dir / "table.out");
    EXPECT_EQ(ReadText(dir / "table.out"), ReadText(dir / ("table" + ext)));
    EXPECT_THROW(GetParam().write(*edge, dir / "missing/table"), EStreamError);
    // Each file is named while it is written, the text cleared after, also on a failure.
    ASSERT_EQ(edge->texts.size(), ext == ".CSV" ? 10u : 6u);
    EXPECT_EQ(edge->texts[0], "\nWriting " + dir / ("table" + ext));
    EXPECT_EQ(edge->texts[1], "");
    EXPECT_EQ(edge->texts[edge->texts.size() - 2], "\nWriting " + dir / ("missing/table" + ext));
    EXPECT_EQ(edge->texts.back(), "");

    SaveEdgeDatabase(dir / ("data" + ext));
    const std::string before = ReadText(dir / ("data" + ext));
    auto db = Open(dir / ("data" + ext));
    EXPECT_THROW(GetParam().write(*db, dir / ("data" + ext)), EStreamError);
    EXPECT_EQ(ReadText(dir / ("data" + ext)), before);
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryWriter,
                         testing::Values(Writer{[](TJFILE& db, const std::string& file) {
                                                    WriteCSV(db, {1, 2}, file);
                                                },
                                                ".CSV"},
                                         Writer{[](TJFILE& db, const std::string& file) {
                                                    WriteHTML(db, file, {1, 2});
                                                },
                                                ".HTM"},
                                         Writer{[](TJFILE& db, const std::string& file) {
                                                    WriteTXT(db, file, {1, 2});
                                                },
                                                ".TXT"}),
                         [](const auto& p) { return std::string(p.param.extension + 1); });

TEST(HtmlExport, heads_every_entry_fills_only_real_fields_and_marks_spaced_hyphens)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    db->SetRecordCount(1);
    db->SetCell(1, 1, "a - b - - c\nd -e");
    WriteHTML(*db, dir / "t", {3, 0, 1});
    EXPECT_EQ(ReadText(dir / "t.HTM"),
              "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>\r\n<TR>\r\n"
              "  <TD COLSPAN=3 ALIGN=CENTER><CENTER><H1>Parts & Notes</H1></CENTER></TD>\r\n</TR>\r\n"
              "<TR>\r\n  <TD>Qty</TD>\r\n  <TD></TD>\r\n  <TD>Name</TD>\r\n</TR>\r\n"
              "<TR>\r\n  <TD>1200</TD>\r\n  <TD>a&nbsp;-&nbsp;b&nbsp;-&nbsp;- c<BR>d -e</TD>\r\n</TR>\r\n"
              "</TABLE>\r\n");
}

// The body rows of both tables for one record of a text field and a Boolean
// one: cells and lines longer than the output buffer go out whole, and a
// Boolean shown as a text of its own is escaped as that text.
TEST(TextExport, copies_a_text_exactly_and_never_reads_past_what_holds_it)
{
    // Two runs of bytes, each ending where readable memory ends, the first
    // below the second: a read past a text's run faults.
    size_t page = 4096;
    char* memory = nullptr;
#if defined(__unix__)
    page = size_t(sysconf(_SC_PAGESIZE));
    void* pages = mmap(nullptr, 4 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    memory = static_cast<char*>(pages);
    ASSERT_EQ(mprotect(memory + page, page, PROT_NONE), 0);
    ASSERT_EQ(mprotect(memory + 3 * page, page, PROT_NONE), 0);
#else
    std::vector<char> buffer(4 * page);
    memory = buffer.data();
#endif
    for (size_t i : {size_t(0), 2 * page})
        for (size_t k = 0; k < page; ++k)
            memory[i + k] = char('a' + k % 26);
    const std::string_view lower(memory + page - 64, 64), within(memory + 3 * page - 64, 64);
    for (size_t length = 0; length <= 40; ++length)
        for (size_t from = 0; from + length <= within.size(); ++from) {
            std::string out(length + kCopySlack, '#');
            // A text in `within`; one right after it, one further on, and
            // one below it, elsewhere.
            for (const auto& [text, holder] : {std::pair{within.substr(from, length), within},
                                               std::pair{within.substr(from, length), within.substr(0, from)},
                                               std::pair{within.substr(from, length), within.substr(0, from / 2)},
                                               std::pair{lower.substr(from, length), within}}) {
                char* end = CopyText(out.data(), text, holder);
                ASSERT_EQ(std::string_view(out.data(), size_t(end - out.data())), text) << from;
            }
        }
#if defined(__unix__)
    munmap(memory, 4 * page);
#endif
}

TEST(TextExport, writes_cells_beyond_the_buffer_whole_and_escapes_boolean_texts)
{
    const std::string big(200000, 'x'), spaced = std::string(70000, 'y') + " - \n";
    const struct {
        std::string text, flag, trueText, html, txt;
    } cases[] = {
        {"a - b", "1", "yes - no", "a&nbsp;-&nbsp;b</TD>\r\n  <TD>yes&nbsp;-&nbsp;no", "a - b yes - no"},
        {"ab", "1", "yes\n", "ab</TD>\r\n  <TD>yes<BR>", "ab yes\xCF"},
        // Hyphens without both spaces, at the ends and before a spaced one.
        {"- x -y - z", "1", "-T-", "- x -y&nbsp;-&nbsp;z</TD>\r\n  <TD>-T-", "- x -y - z -T-"},
        {big, "0", "T", big + "</TD>\r\n  <TD>FALSE", big + " FALSE"},
        {spaced, "", "T", std::string(70000, 'y') + "&nbsp;-&nbsp;<BR></TD>\r\n  <TD>&nbsp;",
         std::string(70000, 'y') + " - \xCF"},
    };
    for (const auto& c : cases) {
        TJFILE db;
        db.InitNew();
        db.SetFieldCount(2);
        db.SetFieldName(1, "A");
        db.SetFieldName(2, "B");
        db.SetFieldType(2, TFieldType::Boolean);
        db.SetBooleanTexts(c.trueText, db.FalseText());
        db.SetRecordCount(1);
        db.SetCell(1, 1, c.text);
        db.SetCell(1, 2, c.flag);
        TMemoryStream html, txt;
        WriteHTMLTo(db, {1, 2}, html);
        WriteTXTTo(db, {1, 2}, txt);
        const std::string htmlText(html.Bytes().begin(), html.Bytes().end());
        const std::string txtText(txt.Bytes().begin(), txt.Bytes().end());
        const size_t row = htmlText.find("<TR>\r\n  <TD>", htmlText.find("<TD>B</TD>"));
        EXPECT_EQ(htmlText.substr(row), "<TR>\r\n  <TD>" + c.html + "</TD>\r\n</TR>\r\n</TABLE>\r\n")
            << c.text.substr(0, 10);
        EXPECT_EQ(txtText.substr(txtText.find("\r\n") + 2), c.txt + "\r\n") << c.text.substr(0, 10);
    }
}

TEST(TextExport, pads_all_but_the_last_column_trims_line_ends_and_uses_at_most_fifty_entries)
{
    TempDir dir;
    auto db = MakeEdgeDatabase();
    db->ClearModified();
    std::vector<int> fifty(49, 0);
    fifty.insert(fifty.end(), {3, 1});
    const std::pair<std::vector<int>, const char*> cases[] = {
        {{3, 0, 1, 0}, "Qty     Name\r\n1200    Hex bolt\r\n7       Say \"hi\"\r\n1234567\r\n"},
        {fifty, "Qty\r\n1200\r\n7\r\n1234567\r\n"},
    };
    for (const auto& [fields, text] : cases) {
        WriteTXT(*db, dir / "t", fields);
        EXPECT_EQ(ReadText(dir / "t.TXT"), text);
    }
    WriteTXT(*db, dir / "t", {2});
    WriteCSV(*db, {2}, dir / "t");
    EXPECT_EQ(db->GetCell(1, 2), "Line one\nLine two");  // the export's line breaks are its own
    EXPECT_FALSE(db->Modified());
}

TEST(ExportCommand, writes_the_listed_fields_or_fails_with_one_line_or_a_usage_error)
{
    TempDir dir;
    const std::string db = dir / "parts.PDB", x = dir / "x";
    SaveEdgeDatabase(db);
    const struct {
        std::vector<std::string> args;
        int code;
        std::string said;
    } cases[] = {
        {{"export", "csv", db, "-o", dir / "out", "--fields", "3,1"}, 0, ""},
        {{"export", "txt", db, "-o", dir / "nowhere/out"}, 1, "\"" + dir / "nowhere/out.TXT\""},
        {{"export", "csv", dir / "absent.PDB", "-o", x}, 1, "absent.PDB"},
        {{"export", "csv", db, "-o", x, "--fields", "7"}, 2, "usage:"},
        {{"export", "csv", db, "-o", x, "--fields", "0,1"}, 2, "usage:"},
        {{"export", "csv", db, "-o", x, "--fields", "1,,2"}, 2, "usage:"},
        {{"export", "csv", db, "-o", x, "--fields", "a"}, 2, "usage:"},
        {{"export", "xml", db, "-o", x}, 2, "usage:"},
        {{"export", "csv", db}, 2, "usage:"},
        {{"export", db, "-o", x}, 2, "usage:"},
    };
    for (const auto& c : cases) {
        CliResult r = RunInProcess(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.back() << ": " << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_TRUE(c.code != 1 || r.err.find('\n') == r.err.size() - 1) << r.err;  // one line
    }
    EXPECT_EQ(ReadText(dir / "out.CSV"), kQtyAndName);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"out.CSV", "out.DEF", "parts.PDB"}));
}

}  // namespace
}  // namespace quorvil
