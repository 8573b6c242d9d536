// CSV for other programs: the bytes of each rule, and the file written safely.
#include "errors.h"
#include "exchange_fixtures.h"
#include "field_types.h"
#include "standard_csv.h"
#include "streams.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quorvil {
namespace {

using test::MemoryDatabase;

std::string Written(const TJFILE& db, const std::vector<int>& fields, const TStandardCsvOptions& options)
{
    TMemoryStream out;
    WriteStandardCsvTo(db, fields, options, out);
    out.Seek(0);
    const std::vector<uint8_t> bytes = out.ReadRest();
    return std::string(bytes.begin(), bytes.end());
}

TEST(StandardCsv, each_cell_is_quoted_only_where_it_must_be)
{
    struct Case {
        const char* cell;
        char separator;
        const char* shown;
        TFieldType type = TFieldType::String;
    };
    const Case cases[] = {
        {"plain", ',', "plain"},
        {"", ',', ""},
        {"a,b", ',', "\"a,b\""},
        {"a,b", ';', "a,b"},
        {"a;b", ';', "\"a;b\""},
        {"\"Gigi\" to her friends", ',', "\"\"\"Gigi\"\" to her friends\""},
        {"two\nlines", ',', "\"two\nlines\""},
        {"caf\xE9 \x80 \x9F", ',', "caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8"},  // Windows-1252 to UTF-8
        // Long cells are looked at eight bytes at a time: a mark in any word.
        {"0123456789abcdef,", ',', "\"0123456789abcdef,\""},
        {"01234567\r9abcdefgh", ',', "\"01234567\r9abcdefgh\""},
        {"0123456789\xE9"
         "xyzdefgh\"",
         ',',
         "\"0123456789\xC3\xA9"
         "xyzdefgh\"\"\""},
        {"0123456789;bcdefgh", ',', "0123456789;bcdefgh"},
        // ... and sixteen at a time, the last sixteen overlapping: one mark
        // alone in the last byte.
        {"0123456789abcdef\xE9", ',', "0123456789abcdef\xC3\xA9"},
        {"0123456789abcdefgh\n", ',', "\"0123456789abcdefgh\n\""},
        {"\r0123456789abcdefghijklmnopqrstuv", ',', "\"\r0123456789abcdefghijklmnopqrstuv\""},
        // Beside ';' the comma is the decimal mark: a Float's number takes it,
        // with no thousands separators and no quotes; other texts stay.
        {"9.25", ';', "9,25", TFieldType::Float},
        {"-1234567.5e-3", ';', "-1234567,5e-3", TFieldType::Float},
        {"9.25", ',', "9.25", TFieldType::Float},
        {"9.25", ';', "9.25"},
        {"1,234.5", ';', "1,234.5", TFieldType::Float},
        {"9.25;x", ';', "\"9.25;x\"", TFieldType::Float},
    };
    for (const Case& c : cases) {
        const auto db = MemoryDatabase({{"Name", c.type}}, {{c.cell}});
        const std::string expected = std::string("Name\r\n") + c.shown + "\r\n";
        EXPECT_EQ(Written(*db, {1}, {c.separator, false}), expected) << c.cell;
    }
}

TEST(StandardCsv, header_field_order_and_mark)
{
    const auto db = MemoryDatabase({{"Name"}, {"Qty"}, {"Note"}}, {{"pear", "3", "ripe"}, {"fig", "12", ""}});
    EXPECT_EQ(Written(*db, {3, 0, 1}, {';', true}), "\xEF\xBB\xBFNote;Name\r\nripe;pear\r\n;fig\r\n");
    EXPECT_EQ(Written(*db, {2}, {}), "Qty\r\n3\r\n12\r\n");
    // A row quoted for another cell, and a field chosen twice, take the decimal comma too.
    const auto prices = MemoryDatabase({{"Name"}, {"Price", TFieldType::Float}}, {{"a;b", "2.5"}});
    EXPECT_EQ(Written(*prices, {1, 2, 2}, {';', false}), "Name;Price;Price\r\n\"a;b\";2,5;2,5\r\n");
}

TEST(StandardCsv, writes_the_file_but_never_over_the_database)
{
    const testkit::TempDir dir;
    const auto db = MemoryDatabase({{"Name"}}, {{"pear"}});
    exchangetest::SaveAs(*db, dir / "db.pdb");
    const std::string csv = dir / "out.csv";
    WriteStandardCsv(*db, {1}, {}, csv);
    std::ifstream in(csv, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "Name\r\npear\r\n");
    const auto before = std::filesystem::file_size(dir / "db.pdb");
    EXPECT_THROW(WriteStandardCsv(*db, {1}, {}, dir / "db.pdb"), EStreamError);
    EXPECT_EQ(std::filesystem::file_size(dir / "db.pdb"), before);
}

}  // namespace
}  // namespace quorvil
