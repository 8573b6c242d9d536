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
    db->ConvertLayout(d.layout);  // a 5.x file reads as 5.5
    db->Modified = false;
    return db;
}

class Conversion : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(Conversion, keeps_definitions_view_and_records_and_5x_extras_between_5x_layouts)
{
    const auto [from, to] = GetParam();
    Database d = pdbtest::SampleDatabase(from);
    auto db = LoadIn(d);
    db->ConvertLayout(to);
    EXPECT_EQ(db->Modified, from != to);
    EXPECT_EQ(db->Category(), 3);
    EXPECT_TRUE(db->ReadOnly());

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

TEST(ConversionFlags, the_5x_category_and_read_only_flag_are_read_from_the_version_word)
{
    const struct {
        uint16_t version, attributes;
        int category;
        bool readOnly;
    } cases[] = {{0x5C01, 0x0008, 5, true}, {0x2801, 0x0400, 2, false}, {0xF401, 0xF000, 15, true}};
    for (const auto& c : cases) {
        Database d = pdbtest::SampleDatabase(3);
        d.version = c.version;
        d.attributes = c.attributes;  // hex 0400 here means nothing
        auto db = LoadImage(pdbtest::Build(d));
        EXPECT_EQ(db->Category(), c.category) << std::hex << c.version;
        EXPECT_EQ(db->ReadOnly(), c.readOnly) << std::hex << c.version;
    }
}

TEST(ConversionFlags, into_5x_the_version_word_gets_category_5x_mark_and_read_only_bit)
{
    const struct {
        uint16_t flags, version, expected;
    } cases[] = {
        {0x7002, 0x0123, 0x7D23},  // category 7, read-only; bits 0-9 kept
        {0x7000, 0x0523, 0x7923},  // not read-only: hex 0400 cleared
        {0x0000, 0xF001, 0x0801},  // category 0 clears the old top bits
    };
    for (int layout : {0, 1})
        for (int to : {2, 3})
            for (const auto& c : cases) {
                Database d = pdbtest::SampleDatabase(layout);
                d.flags = c.flags;
                d.version = c.version;
                d.attributes = 0x0018;
                auto db = LoadIn(d);
                db->ConvertLayout(to);
                EXPECT_EQ(db->PdbHeader.Version, c.expected) << std::hex << c.flags << " " << c.version;
                EXPECT_EQ(db->PdbHeader.Attributes, 0x0018);
                EXPECT_EQ(Parse(SaveImage(*db), 0, to == 2).db.version, c.expected);
            }
}

TEST(ConversionFlags, into_3x_and_pro_4x_the_flags_word_gets_category_and_read_only)
{
    const struct {
        uint16_t version, attributes, flags;
    } cases[] = {{0x5C01, 0x0008, 0x5002}, {0x5801, 0x0400, 0x5000}, {0x0001, 0x0008, 0x0000}};
    for (int to : {0, 1})
        for (const auto& c : cases) {
            Database d = pdbtest::SampleDatabase(3);
            d.version = c.version;
            d.attributes = c.attributes;
            auto db = LoadIn(d);
            db->ConvertLayout(to);
            Database saved = Parse(SaveImage(*db)).db;
            EXPECT_EQ(saved.flags, c.flags) << to << " " << std::hex << c.version;
            EXPECT_EQ(std::tuple(saved.version, saved.attributes), std::tuple(c.version, c.attributes))
                << "the header is not touched";
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
    db->ConvertLayout(0);
    EXPECT_EQ(db->FieldCount(), 20);
    EXPECT_EQ(db->GetCell(1, 20), "r1c20");
    EXPECT_EQ(db->GetCell(1, 21), "");
    EXPECT_EQ(std::tuple(db->GetSortField(1), db->GetSortField(2), db->GetSortField(3), db->FindField(),
                         db->FilterField(), db->FirstColumn()),
              std::tuple(20, 3, 20, 20, 20, 20));
    Database saved = Parse(SaveImage(*db)).db;
    EXPECT_EQ(saved.fields.size(), 20u);
    EXPECT_EQ(saved.records[0].cells.size(), 20u);
    db->ConvertLayout(3);
    EXPECT_EQ(db->FieldCount(), 20) << "no fields come back";

    d.sortFields = {40, 3, 30};
    d.firstColumn = 45;
    auto to4x = LoadIn(d);
    to4x->ConvertLayout(1);
    EXPECT_EQ(to4x->GetSortField(1), 30) << "held within the old field count";
    EXPECT_EQ(to4x->FirstColumn(), 45) << "copied unchanged";
}

}  // namespace
}  // namespace quorvil
