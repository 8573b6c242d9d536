// Every case runs in each of the four layouts, with files made by the
// independent writer and checked with the independent reader.
#include "engine_helpers.h"
#include "streams.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using pdbtest::Database;
using pdbtest::Parse;

class RoundTrip : public ::testing::TestWithParam<int> {
protected:
    int layout() const { return GetParam(); }
    // The engine reads every 5.x file as 5.5; a 5.x database is one converted to 5.x.
    std::unique_ptr<TJFILE> Load(const Bytes& image, uint32_t base = 0) const
    {
        auto db = LoadImage(image, base);
        if (layout() == 2) {
            db->ConvertLayout(TLayout::JFile5);
            db->ClearModified();
        }
        return db;
    }
};

TEST_P(RoundTrip, a_file_laid_out_otherwise_saves_every_value_in_the_writers_layout_and_the_same_bytes_again)
{
    Database sample = pdbtest::SampleDatabase(layout());
    for (int r = 4; r <= 5; ++r)
        sample.records.push_back({{"rec" + std::to_string(r), "1", "", "", "", ""}});
    sample.records[1].attributes = 0xC0;  // deleted
    sample.records[3].attributes = 0x80;
    sample.records[0].attributes = 0x60;
    sample.records[0].uniqueId = {1, 2, 3};
    sample.layoutTag = 999;
    pdbtest::BuildOptions options;
    options.recordsInReverse = true;
    options.gapAfterRecordList = 0;
    const Bytes image = pdbtest::Build(sample, options);
    EXPECT_FALSE(LoadImage(image)->Modified());
    auto db = Load(image);
    const Bytes first = SaveImage(*db);
    EXPECT_EQ(Parse(first, 0, layout() == 2).db, AsSaved(sample));
    EXPECT_EQ(SaveImage(*db), first);
    EXPECT_EQ(SaveImage(*Load(first)), first);
}

TEST_P(RoundTrip, a_database_inside_a_larger_stream_counts_offsets_from_its_start)
{
    Database sample = pdbtest::SampleDatabase(layout());
    pdbtest::BuildOptions options;
    options.baseOffset = 37;
    auto db = Load(pdbtest::Build(sample, options), 37);
    TMemoryStream out(Bytes(37, 0xEE));
    db->Save(out);
    pdbtest::Parsed saved = Parse(out.Bytes(), 37, layout() == 2);
    EXPECT_EQ(saved.db, sample);
    EXPECT_EQ(saved.appInfoOffset % 4, 0u) << "the block is aligned from the database's start";
    EXPECT_EQ(Bytes(out.Bytes().begin(), out.Bytes().begin() + 37), Bytes(37, 0xEE));
}

TEST_P(RoundTrip, empty_odd_and_widest_databases_round_trip)
{
    Database empty = pdbtest::WideDatabase(layout(), 0);
    empty.records.clear();
    EXPECT_EQ(Parse(SaveImage(*Load(pdbtest::Build(empty))), 0, layout() == 2).db, empty);

    Database odd = pdbtest::WideDatabase(layout(), 2);
    std::string all;
    for (int c = 1; c < 256; ++c)
        all.push_back(char(c));
    odd.records[0].cells = {all, "\xA4\n\r\t"};
    odd.fields[0].name = "N\xE4me \xA4\xFF";
    odd.fields[1].type = pdbtest::kList;
    odd.popups[2] = {"\x80", "\xFF\xFE", "popupa is a value"};
    EXPECT_EQ(Parse(SaveImage(*Load(pdbtest::Build(odd))), 0, layout() == 2).db, odd);

    const int maxFields = int(pdbtest::OffsetsOf(layout()).maxFields);
    Database wide = pdbtest::WideDatabase(layout(), maxFields);
    for (int f = 1; f <= maxFields; ++f) {
        wide.popups[f] = {"v" + std::to_string(f)};
        wide.fields[size_t(f - 1)].type = pdbtest::kList;
    }
    pdbtest::Parsed saved = Parse(SaveImage(*Load(pdbtest::Build(wide))), 0, layout() == 2);
    EXPECT_EQ(saved.db, wide);
    if (layout() > 0) {
        EXPECT_EQ(saved.chunkTexts[2 * 26], "popupA") << "field 27 has the letter A";
        EXPECT_EQ(saved.chunkTexts[2 * 49], "popupX") << "field 50 has the letter X";
    }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, RoundTrip, ::testing::Values(0, 1, 2, 3), LayoutParamName);

}  // namespace
}  // namespace quorvil
