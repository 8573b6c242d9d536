// The byte rules of what the writer produces, checked with the independent
// reader and on the raw bytes.
#include "date_arith.h"
#include "engine_helpers.h"
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
    std::string EndMark() const { return layout() == 0 ? std::string() : std::string("EndJFileData\0\0", 14); }
};

TEST_P(WriterBytes, the_block_starts_at_the_next_multiple_of_four_after_the_record_list)
{
    const uint32_t expected[] = {80, 88, 96, 104, 112, 120};  // 78 + 8n, rounded up
    for (int records = 0; records <= 5; ++records) {
        auto db = NewDatabase(layout(), {"A"}, records);
        Bytes image = SaveImage(*db);
        Parsed p = Parse(image, 0, layout() == 2);
        EXPECT_EQ(p.appInfoOffset, expected[records]) << records << " records";
        size_t listEnd = 78 + 8 * size_t(records);
        EXPECT_EQ(Bytes(image.begin() + long(listEnd), image.begin() + expected[records]),
                  Bytes(expected[records] - listEnd, 0))
            << "padding is zero";
    }
}

TEST_P(WriterBytes, without_chunks_the_block_is_followed_by_four_nuls_and_the_end_mark)
{
    auto db = NewDatabase(layout(), {"A", "B"}, 1);
    db->SetCell(1, 1, "x");
    Parsed p = Parse(SaveImage(*db), 0, layout() == 2);
    EXPECT_TRUE(p.chunkTexts.empty());
    EXPECT_EQ(p.afterChunks, B(std::string(4, '\0') + EndMark()));
    EXPECT_EQ(p.recordOffsets[0], p.appInfoOffset + p.block.size() + 4 + EndMark().size())
        << "records follow the end mark directly";
}

TEST_P(WriterBytes, after_a_chunk_the_terminator_is_a_single_nul)
{
    auto db = NewDatabase(layout(), {"A"}, 0);
    db->SetPopupItem(1, 1, "one");
    Parsed p = Parse(SaveImage(*db), 0, layout() == 2);
    EXPECT_EQ(p.chunkTexts, (std::vector<std::string>{"popupa", "one"}));
    EXPECT_EQ(p.afterChunks, B(std::string(1, '\0') + EndMark()));
    EXPECT_EQ(p.dataEnd, p.appInfoOffset + p.block.size() + 7 + 4 + 1 + EndMark().size());
}

TEST_P(WriterBytes, records_hold_a_length_table_except_in_jfile_3x)
{
    auto db = NewDatabase(layout(), {"A", "B", "C"}, 2);
    db->SetCell(1, 1, "ab");
    db->SetCell(1, 3, "cde");
    db->SetCell(2, 2, "\xE9");
    Bytes image = SaveImage(*db);
    Parsed p = Parse(image, 0, layout() == 2);
    Bytes first(image.begin() + p.recordOffsets[0], image.begin() + p.recordOffsets[1]);
    if (layout() == 0) {
        EXPECT_TRUE(p.lengthTables.empty());
        EXPECT_EQ(first, B(std::string("ab\0\0cde\0", 8)));
    } else {
        EXPECT_EQ(p.lengthTables, (std::vector<std::vector<uint16_t>>{{3, 1, 4}, {1, 2, 1}}));
        EXPECT_EQ(first, B(std::string("\0\3\0\1\0\4ab\0\0cde\0", 14)));
    }
    EXPECT_EQ(p.dataEnd, image.size()) << "nothing follows the last record";
}

TEST_P(WriterBytes, the_record_list_gets_attribute_hex_40_and_unique_id_zero)
{
    pdbtest::Database d = pdbtest::SampleDatabase(layout());
    d.records[0].attributes = 0x60;
    d.records[0].uniqueId = {1, 2, 3};
    d.records[2].attributes = 0x01;
    auto db = LoadImage(pdbtest::Build(d));
    db->ConvertLayout(layout());
    Parsed p = Parse(SaveImage(*db), 0, layout() == 2);
    for (const auto& rec : p.db.records) {
        EXPECT_EQ(rec.attributes, 0x40);
        EXPECT_EQ(rec.uniqueId, (std::array<uint8_t, 3>{}));
    }
}

TEST_P(WriterBytes, a_nul_inside_a_cell_ends_the_text_written)
{
    auto db = NewDatabase(layout(), {"A", "B"}, 1);
    db->SetCell(1, 1, std::string("ab\0cd", 5));
    db->SetCell(1, 2, "z");
    Parsed p = Parse(SaveImage(*db), 0, layout() == 2);
    EXPECT_EQ(p.db.records[0].cells, (std::vector<std::string>{"ab", "z"}));
}

TEST_P(WriterBytes, a_new_field_is_written_as_type_0_first_and_as_1_or_64_at_the_next_save)
{
    auto db = NewDatabase(layout(), {"Text", "Kind"}, 0, 0);
    db->SetPopupItem(2, 1, "x");
    Parsed first = Parse(SaveImage(*db), 0, layout() == 2);
    EXPECT_EQ(first.db.fields[0].type, 0);
    EXPECT_EQ(first.db.fields[1].type, 0);
    EXPECT_EQ(db->GetFieldType(1), 1) << "in memory the types change at once";
    EXPECT_EQ(db->GetFieldType(2), 64);
    Parsed second = Parse(SaveImage(*db), 0, layout() == 2);
    EXPECT_EQ(second.db.fields[0].type, 1);
    EXPECT_EQ(second.db.fields[1].type, 64);
}

TEST_P(WriterBytes, the_layout_tag_is_written_for_the_layout_whatever_was_read)
{
    pdbtest::Database d = pdbtest::SampleDatabase(layout());
    d.layoutTag = 999;
    auto db = LoadImage(pdbtest::Build(d));
    db->ConvertLayout(layout());
    EXPECT_EQ(Parse(SaveImage(*db), 0, layout() == 2).db.layoutTag, layout() == 0 ? 452 : 576);
}

TEST_P(WriterBytes, names_are_cut_to_31_and_20_characters_and_end_in_nul)
{
    auto db = NewDatabase(layout(), {"12345678901234567890", "1234567890123456789012345"}, 0);
    db->PdbHeader.Name = std::string(31, 'T');
    Parsed exact = Parse(SaveImage(*db), 0, layout() == 2);
    EXPECT_EQ(exact.db.title, std::string(31, 'T'));
    EXPECT_EQ(exact.db.fields[0].name, "12345678901234567890");
    EXPECT_EQ(exact.db.fields[1].name, "12345678901234567890");
    EXPECT_EQ(exact.block[20], 0);
    EXPECT_EQ(exact.block[41], 0);
    db->PdbHeader.Name = std::string(31, 'T') + "cut";
    EXPECT_EQ(Parse(SaveImage(*db), 0, layout() == 2).db.title, std::string(31, 'T'));
}

TEST_P(WriterBytes, writing_into_a_longer_stream_leaves_the_bytes_after_the_last_record)
{
    auto db = NewDatabase(layout(), {"A"}, 1);
    TMemoryStream stream(Bytes(5000, 0xAB));
    db->Save(stream);
    Parsed p = Parse(stream.Bytes(), 0, layout() == 2);
    ASSERT_EQ(stream.Bytes().size(), 5000u);
    EXPECT_EQ(Bytes(stream.Bytes().begin() + long(p.dataEnd), stream.Bytes().end()), Bytes(5000 - p.dataEnd, 0xAB));
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, WriterBytes, ::testing::Values(0, 1, 2, 3), LayoutParamName);

// --- Rules that differ between the layouts ----------------------------------

struct Cut {
    int layout;
    size_t length;
    size_t written;
};

class LongTexts : public ::testing::TestWithParam<Cut> {};

TEST_P(LongTexts, texts_longer_than_the_layout_allows_are_cut_on_writing_only)
{
    const Cut& c = GetParam();
    auto db = NewDatabase(c.layout, {"Long", "After"}, 1);
    std::string text;
    for (size_t i = 0; i < c.length; ++i)
        text.push_back(char('a' + i % 26));
    db->SetCell(1, 1, text);
    db->SetCell(1, 2, "after");
    Parsed p = Parse(SaveImage(*db), 0, c.layout == 2);
    EXPECT_EQ(p.db.records[0].cells[0], text.substr(0, c.written));
    EXPECT_EQ(p.db.records[0].cells[1], "after");
    if (c.layout > 0) {
        EXPECT_EQ(p.lengthTables[0][0], c.written + 1);
    }
    EXPECT_EQ(db->GetCell(1, 1), text) << "the database keeps the whole text";
}

INSTANTIATE_TEST_SUITE_P(Layouts, LongTexts,
                         ::testing::Values(Cut{0, 5000, 4000}, Cut{1, 5000, 4000}, Cut{2, 5000, 4000},
                                           Cut{3, 5000, 5000}, Cut{1, 4000, 4000}, Cut{3, 32000, 32000},
                                           Cut{3, 40000, 32000}));

TEST(WriterChunks, the_5x_chunks_follow_the_popups_as_sorts_defaults_and_filters)
{
    auto db = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    FilterRec rec = db->GetFilter(2);
    rec.FilterCodes = {0, 5, -3, 0, 0};
    db->SetFilter(2, rec);
    Parsed p = Parse(SaveImage(*db));
    std::vector<std::string> expected = {
        "popupd", "North", "South", "Caf\xE9",                                // popup list of field 4
        "soorta", "By bed", "4", "1", "0", "soortc", "By date", "3", "0", "0",  // saved sorts 1 and 3
        "deflta", "Seedling", "defltd", "North",                               // defaults of fields 1 and 4
        "fllltb", "Open", "0", "-*-", "-*-", "-*-", "-*-", "1",                // filter 2: name, values, word
        "-1", "4", "-4", "-1", "-1",                                           // codes, one below memory
    };
    EXPECT_EQ(p.chunkTexts, expected);
}

TEST(WriterChunks, layouts_before_5x_write_only_popup_chunks)
{
    for (int layout : {0, 1}) {
        auto db = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
        db->ConvertLayout(layout);
        Parsed p = Parse(SaveImage(*db));
        EXPECT_EQ(p.chunkTexts, (std::vector<std::string>{"popupd", "North", "South", "Caf\xE9"}));
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
    EXPECT_EQ(EpochYear, 1970) << "the epoch is restored";
    Parsed p = Parse(SaveImage(db));
    EXPECT_EQ(p.db.title, "Untitled");
    EXPECT_EQ(p.db.attributes, 8);
    EXPECT_EQ(p.db.version, 1);
    EXPECT_EQ(p.db.modificationNumber, 2287u);
    EXPECT_EQ(p.db.creator, "JFi5");
    EXPECT_EQ(p.db.dbType, "JfD5");
    EXPECT_EQ(p.db.created, p.db.modified);
    EXPECT_GE(p.db.created, before);
    EXPECT_LE(p.db.created, after);
    EXPECT_EQ(p.db.backedUp, 0u);
    EXPECT_EQ(p.db.sortFields, (std::array<uint16_t, 3>{1, 2, 3}));
    EXPECT_EQ(p.db.displayWidth, 100);
    EXPECT_EQ(pdbtest::ReadU16(p.block, 1154 + 2 * 49), 100) << "every width is 100";
    EXPECT_EQ(Parse(SaveImage(db)).db.created, p.db.created) << "saving does not touch the dates";
}

}  // namespace
}  // namespace quorvil
