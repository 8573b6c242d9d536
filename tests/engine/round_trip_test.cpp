// The shared round-trip suite: every case runs against each of the four
// layouts, with files made by the independent writer and checked with the
// independent reader.
#include "engine_helpers.h"
#include "errors.h"
#include "streams.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using pdbtest::Database;
using pdbtest::Parse;

class RoundTrip : public ::testing::TestWithParam<int> {
protected:
    int layout() const { return GetParam(); }
    Database Sample() const { return pdbtest::SampleDatabase(layout()); }
    // The engine reads every 5.x file as 5.5; a 5.x database is one converted to 5.x.
    std::unique_ptr<TJFILE> Load(const Bytes& image, uint32_t base = 0) const
    {
        auto db = LoadImage(image, base);
        if (layout() == 2) {
            db->ConvertLayout(2);
            db->Modified = false;
        }
        return db;
    }
};

TEST_P(RoundTrip, a_file_of_the_independent_writer_loads_with_every_value)
{
    Database sample = Sample();
    auto db = LoadImage(pdbtest::Build(sample));
    ExpectMatches(*db, sample);
}

TEST_P(RoundTrip, saving_a_loaded_file_writes_the_same_database)
{
    Database sample = Sample();
    auto db = Load(pdbtest::Build(sample));
    pdbtest::Parsed saved = SaveAndParse(*db);
    EXPECT_EQ(saved.db, sample);
    EXPECT_FALSE(db->Modified);
}

TEST_P(RoundTrip, a_second_save_writes_the_same_bytes)
{
    auto db = Load(pdbtest::Build(Sample()));
    Bytes first = SaveImage(*db);
    Bytes second = SaveImage(*db);
    EXPECT_EQ(first, second);
    EXPECT_EQ(SaveImage(*Load(first)), first);
}

TEST_P(RoundTrip, deleted_records_are_skipped_and_the_rest_numbered_in_list_order)
{
    Database sample = Sample();
    sample.records.clear();
    for (int r = 1; r <= 5; ++r)
        sample.records.push_back({{"rec" + std::to_string(r), "1", "", "", "", ""}});
    sample.records[1].attributes = 0xC0;
    sample.records[3].attributes = 0x80;
    auto db = Load(pdbtest::Build(sample));
    ASSERT_EQ(db->RecordCount(), 3);
    EXPECT_EQ(db->GetCell(1, 1), "rec1");
    EXPECT_EQ(db->GetCell(2, 1), "rec3");
    EXPECT_EQ(db->GetCell(3, 1), "rec5");
    EXPECT_EQ(SaveAndParse(*db).db, AsSaved(sample));
}

TEST_P(RoundTrip, record_data_stored_out_of_order_loads_in_record_list_order)
{
    Database sample = Sample();
    pdbtest::BuildOptions options;
    options.recordsInReverse = true;
    options.gapAfterRecordList = 0;
    auto db = Load(pdbtest::Build(sample, options));
    ExpectMatches(*LoadImage(pdbtest::Build(sample, options)), sample);
    EXPECT_EQ(SaveAndParse(*db).db, sample);
}

TEST_P(RoundTrip, a_database_inside_a_larger_stream_counts_offsets_from_its_start)
{
    Database sample = Sample();
    pdbtest::BuildOptions options;
    options.baseOffset = 37;
    Bytes image = pdbtest::Build(sample, options);
    auto db = Load(image, 37);
    EXPECT_EQ(db->BaseOffset, 37u);
    EXPECT_EQ(db->RecordCount(), 3);

    TMemoryStream out(Bytes(37, 0xEE));
    db->Save(out);
    pdbtest::Parsed saved = Parse(out.Bytes(), 37, layout() == 2);
    EXPECT_EQ(saved.db, sample);
    EXPECT_EQ(saved.appInfoOffset % 4, 0u) << "the block is aligned from the database's start";
    EXPECT_EQ(Bytes(out.Bytes().begin(), out.Bytes().begin() + 37), Bytes(37, 0xEE));
}

TEST_P(RoundTrip, a_database_without_records_or_fields_round_trips)
{
    Database empty = pdbtest::WideDatabase(layout(), 0);
    empty.records.clear();
    auto db = Load(pdbtest::Build(empty));
    EXPECT_EQ(db->RecordCount(), 0);
    EXPECT_EQ(db->FieldCount(), 0);
    EXPECT_EQ(SaveAndParse(*db).db, empty);
}

TEST_P(RoundTrip, every_byte_value_but_nul_survives_in_cells_names_and_popups)
{
    Database d = pdbtest::WideDatabase(layout(), 2);
    std::string all;
    for (int c = 1; c < 256; ++c)
        all.push_back(char(c));
    d.records[0].cells = {all, "\xA4\n\r\t"};
    d.fields[0].name = "N\xE4me \xA4\xFF";
    d.popups[2] = {"\x80", "\xFF\xFE", "popupa is a value"};
    d.fields[1].type = pdbtest::kList;
    auto db = Load(pdbtest::Build(d));
    EXPECT_EQ(db->GetCell(1, 1), all);
    EXPECT_EQ(db->GetPopupItem(2, 3), "popupa is a value");
    EXPECT_EQ(SaveAndParse(*db).db, d);
}

TEST_P(RoundTrip, the_widest_database_of_the_layout_round_trips)
{
    Database d = pdbtest::WideDatabase(layout(), pdbtest::MaxFields(layout()));
    for (int f = 1; f <= pdbtest::MaxFields(layout()); ++f)
        d.popups[f] = {"v" + std::to_string(f)};
    for (auto& field : d.fields)
        field.type = pdbtest::kList;
    auto db = Load(pdbtest::Build(d));
    ExpectMatches(*LoadImage(pdbtest::Build(d)), d);
    pdbtest::Parsed saved = SaveAndParse(*db);
    EXPECT_EQ(saved.db, d);
    if (layout() > 0) {
        EXPECT_EQ(saved.chunkTexts[2 * 26], "popupA") << "field 27 has the letter A";
        EXPECT_EQ(saved.chunkTexts.back(), "v50");
        EXPECT_EQ(saved.chunkTexts[saved.chunkTexts.size() - 2], "popupX") << "field 50 has the letter X";
    }
}

TEST_P(RoundTrip, a_database_built_through_the_model_reads_back_independently)
{
    auto db = NewDatabase(layout(), {"Name", "Paid", "Kind"}, 2);
    db->SetFieldType(2, 2);
    db->SetColumnWidth(1, 150);
    db->SetCell(1, 1, "Ann");
    db->SetCell(1, 2, "true");
    db->SetCell(2, 1, "Bob");
    db->SetCell(2, 2, "FALSE");
    db->SetPopupItem(3, 1, "A");
    db->SetPopupItem(3, 2, "B");
    db->SetCell(2, 3, "B");
    db->PdbHeader.Name = "Model made";

    Database saved = SaveAndParse(*db).db;
    EXPECT_EQ(saved.title, "Model made");
    EXPECT_EQ(saved.creator, pdbtest::DefaultCreator(layout()));
    EXPECT_EQ(saved.dbType, pdbtest::DefaultDbType(layout()));
    ASSERT_EQ(saved.fields.size(), 3u);
    EXPECT_EQ(saved.fields[0].name, "Name");
    EXPECT_EQ(saved.fields[0].width, 150);
    EXPECT_EQ(saved.fields[1].type, pdbtest::kBoolean);
    EXPECT_EQ(saved.popups, (std::map<int, std::vector<std::string>>{{3, {"A", "B"}}}));
    ASSERT_EQ(saved.records.size(), 2u);
    EXPECT_EQ(saved.records[0].cells, (std::vector<std::string>{"Ann", "1", ""}));
    EXPECT_EQ(saved.records[1].cells, (std::vector<std::string>{"Bob", "0", "B"}));
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, RoundTrip, ::testing::Values(0, 1, 2, 3), LayoutParamName);

}  // namespace
}  // namespace quorvil
