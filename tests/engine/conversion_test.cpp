// Converting between the four layouts: what every conversion keeps, and
// where category and read-only flag live in each layout.
#include "engine_helpers.h"
#include "field_types.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using pdbtest::Database;
using pdbtest::Parse;

std::unique_ptr<TJFILE> LoadIn(const Database& d)
{
    auto db = LoadImage(pdbtest::Build(d));
    db->ConvertLayout(TLayout(d.layout));  // a 5.x file reads as 5.5
    db->ClearModified();
    return db;
}

class Conversion : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(Conversion, keeps_definitions_view_and_records_and_5x_extras_between_5x_layouts)
{
    const auto [from, to] = GetParam();
    Database d = pdbtest::SampleDatabase(from);
    auto db = LoadIn(d);
    db->ConvertLayout(TLayout(to));
    EXPECT_EQ(db->Modified(), from != to);
    EXPECT_EQ(std::pair(db->Category(), db->ReadOnly()), std::pair(3, true));

    Database saved = Parse(SaveImage(*db), 0, to == 2).db;
    const bool fiveX = from >= 2 && to >= 2;
    Database expected = d;
    expected.layout = to;
    expected.creator = pdbtest::DefaultCreator(to);
    expected.dbType = pdbtest::DefaultDbType(to);
    expected.layoutTag = to == 0 ? 452 : 576;
    for (auto& f : expected.fields)
        f.extra1 = fiveX ? f.extra1 : 0;  // only 5.x to 5.x keeps the international date
    if (!fiveX) {
        expected.defaults.clear();
        expected.sorts.clear();
        expected.filters.clear();
    }
    // Category and read-only move between the flags and the version word.
    saved.version = expected.version;
    saved.flags = expected.flags;
    EXPECT_EQ(saved, expected);
}

INSTANTIATE_TEST_SUITE_P(AllPairs, Conversion, ::testing::Combine(::testing::Range(0, 4), ::testing::Range(0, 4)));

TEST(ConversionFlags, category_and_read_only_move_between_the_5x_version_word_and_the_older_flags_word)
{
    const struct {
        int from;
        uint16_t flags, version, attributes;
        int category;
        bool readOnly;
        uint16_t flagsIn3x, versionIn5x;
    } cases[] = {
        {3, 0, 0x5C01, 0x0008, 5, true, 0x5002, 0x5C01},
        {3, 0, 0x2801, 0x0400, 2, false, 0x2000, 0x2801},       // hex 0400 of the attributes means nothing
        {3, 0, 0xF401, 0xF000, 15, true, 0xF002, 0xFC01},       // back in 5.x with the 5.x mark
        {1, 0x7002, 0x0123, 0x0018, 7, true, 0x7002, 0x7D23},   // bits 0-9 of the version kept
        {0, 0x7000, 0x0523, 0x0018, 7, false, 0x7000, 0x7923},  // not read-only: hex 0400 cleared
        {1, 0x0000, 0xF001, 0x0018, 0, false, 0x0000, 0x0801},  // category 0 clears the old top bits
    };
    for (const auto& c : cases) {
        Database d = pdbtest::SampleDatabase(c.from);
        std::tie(d.flags, d.version, d.attributes) = std::tuple(c.flags, c.version, c.attributes);
        auto db = LoadIn(d);
        EXPECT_EQ(std::pair(db->Category(), db->ReadOnly()), std::pair(c.category, c.readOnly))
            << std::hex << c.version;
        for (int to : {0, 1, 2, 3}) {
            db->ConvertLayout(TLayout(to));
            Database saved = Parse(SaveImage(*db), 0, to == 2).db;
            EXPECT_EQ(to >= 2 ? saved.version : saved.flags, to >= 2 ? c.versionIn5x : c.flagsIn3x)
                << to << " " << std::hex << c.version;
            EXPECT_EQ(saved.attributes, c.attributes) << "the attributes are not touched";
            if (to < 2 && c.from >= 2) {
                EXPECT_EQ(saved.version, c.version) << "nor is the version word on the way out of 5.x";
            }
        }
    }
}

TEST(ConversionFields, thirty_fields_keep_twenty_in_3x_and_field_references_stay_within_them)
{
    Database d = pdbtest::WideDatabase(3, 30);
    d.sortFields = {25, 3, 30};
    d.findField = 22;
    d.filterField = 21;
    d.firstColumn = 28;
    auto db = LoadIn(d);
    db->ConvertLayout(TLayout::JFile3);
    EXPECT_EQ(std::tuple(db->GetSortField(1), db->GetSortField(2), db->GetSortField(3), db->FindField(),
                         db->FilterField(), db->FirstColumn(), db->GetCell(1, 20), db->GetCell(1, 21)),
              std::tuple(20, 3, 20, 20, 20, 20, "r1c20", ""));
    db->SetFieldCount(30);  // the 3.x block takes no more than 20
    Database saved = Parse(SaveImage(*db)).db;
    EXPECT_EQ(std::pair(saved.fields.size(), saved.records[0].cells.size()), std::pair(size_t(20), size_t(20)));
    db->ConvertLayout(TLayout::JFile55);
    EXPECT_EQ(db->FieldCount(), 20) << "no fields come back";
}

}  // namespace
}  // namespace quorvil
