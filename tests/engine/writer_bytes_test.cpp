// The byte rules of what the writer produces, checked with the independent
// reader and on the raw bytes.
#include "date_arith.h"
#include "engine_helpers.h"
#include "record_pick.h"
#include "streams.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using pdbtest::Parse;
using pdbtest::Parsed;

Bytes B(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

class WriterBytes : public ::testing::TestWithParam<int> {
protected:
    int layout() const { return GetParam(); }
    Parsed Saved(TJFILE& db) const { return Parse(SaveImage(db), 0, layout() == 2); }
};

TEST_P(WriterBytes, block_padding_chunk_terminator_end_mark_and_records_follow_the_layout)
{
    const std::string endMark = layout() == 0 ? "" : std::string("EndJFileData\0\0", 14);
    auto db = MemoryDatabase({{"A", TFieldType::New}, {"B", TFieldType::New}, {"C", TFieldType::New}});
    db->ConvertLayout(TLayout(layout()));
    db->PdbHeader.Name = std::string(31, 'T') + "cut";
    Parsed none = Saved(*db);
    EXPECT_EQ(none.appInfoOffset, 80u) << "78 rounded up to a multiple of 4";
    EXPECT_EQ(none.afterChunks, B(std::string(4, '\0') + endMark)) << "four NULs without chunks";
    EXPECT_EQ(none.db.title, std::string(31, 'T'));
    EXPECT_EQ(none.db.fields[0].type, 0) << "a new field is written as type 0 first";
    EXPECT_EQ(db->GetFieldType(1), TFieldType::String) << "in memory the type changes at once";

    db->SetFieldName(2, "1234567890123456789012345");
    db->SetRecordCount(2);
    db->SetCell(1, 1, "ab");
    db->SetCell(1, 3, "cde");
    db->SetCell(2, 2, std::string("\xE9\0cd", 4));  // a NUL ends the text written
    Bytes image = SaveImage(*db);
    Parsed p = Parse(image, 0, layout() == 2);
    EXPECT_EQ(p.db.fields[0].type, 1) << "and as 1 at the next save";
    EXPECT_EQ(p.db.fields[1].name, "12345678901234567890");
    EXPECT_EQ(p.block[41], 0);
    EXPECT_EQ(p.appInfoOffset, 96u);
    EXPECT_EQ(Bytes(image.begin() + 94, image.begin() + 96), Bytes(2, 0));
    EXPECT_EQ(p.recordOffsets[0], 96 + p.block.size() + 4 + endMark.size()) << "records follow the end mark";
    Bytes first(image.begin() + p.recordOffsets[0], image.begin() + p.recordOffsets[1]);
    EXPECT_EQ(first, B(layout() == 0 ? std::string("ab\0\0cde\0", 8) : std::string("\0\3\0\1\0\4ab\0\0cde\0", 14)));
    EXPECT_EQ(p.db.records[1].cells, (std::vector<std::string>{"", "\xE9", ""}));
    EXPECT_EQ(p.dataEnd, image.size()) << "nothing follows the last record";

    db->SetPopupItem(1, 1, "one");
    p = Saved(*db);
    EXPECT_EQ(p.chunkTexts, (std::vector<std::string>{"popupa", "one"}));
    EXPECT_EQ(p.afterChunks, B(std::string(1, '\0') + endMark)) << "one NUL after a chunk";

    TMemoryStream longer(Bytes(5000, 0xAB));
    db->Save(longer);
    p = Parse(longer.Bytes(), 0, layout() == 2);
    EXPECT_EQ(Bytes(longer.Bytes().begin() + long(p.dataEnd), longer.Bytes().end()), Bytes(5000 - p.dataEnd, 0xAB))
        << "a save into a longer stream leaves the bytes after the last record";
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, WriterBytes, ::testing::Values(0, 1, 2, 3), LayoutParamName);

TEST(WriterBytes, texts_longer_than_the_layout_allows_are_cut_on_writing_only)
{
    const struct {
        int layout;
        size_t length, written;
    } cases[] = {{0, 5000, 4000}, {2, 5000, 4000}, {3, 5000, 5000}, {1, 4000, 4000}, {3, 40000, 32000}};
    for (const auto& c : cases) {
        auto db = MemoryDatabase({{"Long"}, {"After"}}, Rows(1));
        db->ConvertLayout(TLayout(c.layout));
        std::string text;
        for (size_t i = 0; i < c.length; ++i)
            text.push_back(char('a' + i % 26));
        db->SetCell(1, 1, text);
        db->SetCell(1, 2, "after");
        Parsed p = Parse(SaveImage(*db), 0, c.layout == 2);
        EXPECT_EQ(p.db.records[0].cells, (std::vector<std::string>{text.substr(0, c.written), "after"}))
            << c.layout << " " << c.length;
        EXPECT_EQ(db->GetCell(1, 1), text) << "the database keeps the whole text";
    }
}

TEST(WriterBytes, a_nul_inside_a_text_ends_it_wherever_the_record_comes_from)
{
    using namespace std::string_literals;
    // NULs before, inside and in the overlapping last of the eight-byte
    // words the writer reads a text in.
    const std::vector<std::string> raw = {"0123456789\0abcdefgh"s, "abcdefghijklmnopq\0s"s, "\0"s + "lead", "plain"};
    const std::vector<std::string> written = {"0123456789", "abcdefghijklmnopq", "", "plain"};
    pdbtest::Database file;
    file.layout = 3;
    file.fields = {{"A"}, {"B"}, {"C"}, {"D"}};
    file.records = {{raw}};
    for (const int layout : {3, 0}) {
        auto loaded = LoadImage(pdbtest::Build(file));
        loaded->ConvertLayout(TLayout(layout));
        EXPECT_EQ(Parse(SaveImage(*loaded), 0, false).db.records[0].cells, written) << "loaded, saved as " << layout;
    }
    auto own = MemoryDatabase({{"A"}, {"B"}, {"C"}, {"D"}}, {raw});
    EXPECT_EQ(Parse(SaveImage(*own)).db.records[0].cells, written) << "a record of its own";

    // A picked record of a file whose texts hold no NUL, with a fixed text
    // that holds one.
    file.records = {{written}};
    auto source = LoadImage(pdbtest::Build(file));
    TRecordPick pick(*source, {1, 2, 3, 4}, {{4, "fixed\0gone"s}});
    pick.Rows = {1};
    TMemoryStream picked;
    own->Save(picked, pick);
    const Parsed p = Parse(picked.Bytes());
    EXPECT_EQ(p.db.records[0].cells, (std::vector<std::string>{"0123456789", "abcdefghijklmnopq", "", "fixed"}));
    EXPECT_EQ(p.dataEnd - p.recordOffsets[0], 8u + 11 + 18 + 1 + 6) << "nothing of a text after its NUL is written";
}

TEST(WriterChunks, the_5x_chunks_follow_the_popups_as_sorts_defaults_and_filters)
{
    auto db = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    FilterRec rec = db->GetFilter(2);
    rec.FilterCodes = {0, 5, -3, 0, 0};
    db->SetFilter(2, rec);
    const std::vector<std::string> popups = {"popupd", "North", "South", "Caf\xE9"};
    std::vector<std::string> expected = popups;
    expected.insert(
        expected.end(),
        {
            "soorta", "By bed",   "4",      "1",     "0",   "soortc", "By date", "3", "0", "0",  // saved sorts 1 and 3
            "deflta", "Seedling", "defltd", "North",                                   // defaults of fields 1 and 4
            "fllltb", "Open",     "0",      "-*-",   "-*-", "-*-",    "-*-",     "1",  // filter 2: name, values, word
            "-1",     "4",        "-4",     "-1",    "-1",                             // codes, one below memory
        });
    EXPECT_EQ(Parse(SaveImage(*db)).chunkTexts, expected);
    for (TLayout layout : {TLayout::JFile3, TLayout::JFilePro4}) {
        db->ConvertLayout(layout);
        EXPECT_EQ(Parse(SaveImage(*db)).chunkTexts, popups) << "only popups before 5.x";
    }
}

TEST(WriterHeader, a_new_database_has_the_header_defaults_and_saving_keeps_its_dates)
{
    uint32_t before, after;
    TJFILE db;
    {
        EpochYearScope epoch(1904);
        before = NowSeconds();
        db.InitNew();
        after = NowSeconds();
    }
    Parsed p = Parse(SaveImage(db));
    EXPECT_EQ(std::tuple(p.db.title, p.db.attributes, p.db.version, p.db.modificationNumber, p.db.creator, p.db.dbType,
                         p.db.backedUp, p.db.displayWidth, p.db.sortFields),
              std::tuple("Untitled", 8, 1, 2287u, "JFi5", "JfD5", 0u, 100, std::array<uint16_t, 3>{1, 2, 3}));
    EXPECT_EQ(p.db.created, p.db.modified);
    EXPECT_TRUE(p.db.created >= before && p.db.created <= after) << "seconds since 1904";
    EXPECT_EQ(pdbtest::ReadU16(p.block, 1154 + 2 * 49), 100) << "every width is 100";
}

}  // namespace
}  // namespace quorvil
