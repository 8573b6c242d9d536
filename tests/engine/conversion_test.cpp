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

TEST_P(Conversion, keeps_names_widths_types_popups_and_records)
{
    const auto [from, to] = GetParam();
    Database d = pdbtest::SampleDatabase(from);
    auto db = LoadIn(d);
    db->ConvertLayout(to);
    EXPECT_EQ(db->Layout, to);
    EXPECT_EQ(db->CreatorText(), pdbtest::DefaultCreator(to));
    EXPECT_EQ(db->DbTypeText(), pdbtest::DefaultDbType(to));
    EXPECT_EQ(db->Modified, from != to);

    Database saved = Parse(SaveImage(*db), 0, to == 2).db;
    ASSERT_EQ(saved.fields.size(), d.fields.size());
    for (size_t f = 0; f < d.fields.size(); ++f) {
        EXPECT_EQ(saved.fields[f].name, d.fields[f].name);
        EXPECT_EQ(saved.fields[f].width, d.fields[f].width);
        EXPECT_EQ(saved.fields[f].type, d.fields[f].type);
        // Only a conversion between the two 5.x layouts keeps the international date.
        EXPECT_EQ(saved.fields[f].extra1, from >= 2 && to >= 2 ? d.fields[f].extra1 : 0u) << f;
    }
    EXPECT_EQ(saved.popups, d.popups);
    EXPECT_EQ(saved.records, d.records);
    EXPECT_EQ(saved.sortFields, d.sortFields);
    EXPECT_EQ(saved.findText, d.findText);
    EXPECT_EQ(saved.filterText, d.filterText);
    EXPECT_EQ(saved.findField, d.findField);
    EXPECT_EQ(saved.filterField, d.filterField);
    EXPECT_EQ(saved.firstColumn, d.firstColumn);
    EXPECT_EQ(saved.displayWidth, d.displayWidth);
    EXPECT_EQ(saved.layoutTag, to == 0 ? 452 : 576);
    const bool extras = from >= 2 && to >= 2;
    EXPECT_EQ(saved.defaults, extras ? d.defaults : Database{}.defaults);
    EXPECT_EQ(saved.sorts, extras ? d.sorts : Database{}.sorts);
    EXPECT_EQ(saved.filters, extras ? d.filters : Database{}.filters);
    EXPECT_EQ(db->Category(), 3);
    EXPECT_TRUE(db->ReadOnly());
}

INSTANTIATE_TEST_SUITE_P(AllPairs, Conversion, ::testing::Combine(::testing::Range(0, 4), ::testing::Range(0, 4)),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& p) {
                             return LayoutName(std::get<0>(p.param)) + "_to_" + LayoutName(std::get<1>(p.param));
                         });

struct VersionCase {
    uint16_t version;
    uint16_t attributes;
    int category;
    bool readOnly;
};

TEST(ConversionFlags, the_5x_category_and_read_only_flag_are_read_from_the_version_word)
{
    const VersionCase cases[] = {
        {0x5C01, 0x0008, 5, true},
        {0x2801, 0x0400, 2, false},  // hex 0400 in Attributes means nothing here
        {0xF401, 0xF000, 15, true},
        {0x0001, 0x0008, 0, false},
    };
    for (const auto& c : cases) {
        Database d = pdbtest::SampleDatabase(3);
        d.version = c.version;
        d.attributes = c.attributes;
        auto db = LoadImage(pdbtest::Build(d));
        EXPECT_EQ(db->Category(), c.category) << std::hex << c.version;
        EXPECT_EQ(db->ReadOnly(), c.readOnly) << std::hex << c.version;
    }
}

TEST(ConversionFlags, into_5x_the_version_word_gets_category_5x_mark_and_read_only_bit)
{
    struct Case {
        uint16_t flags, version, expected;
    } const cases[] = {
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
                int category = db->Category();
                bool readOnly = db->ReadOnly();
                db->ConvertLayout(to);
                EXPECT_EQ(db->PdbHeader.Version, c.expected) << std::hex << c.flags << " " << c.version;
                EXPECT_EQ(db->PdbHeader.Attributes, 0x0018) << "Attributes stay as they were";
                EXPECT_EQ(db->Category(), category);
                EXPECT_EQ(db->ReadOnly(), readOnly);
                EXPECT_EQ(Parse(SaveImage(*db), 0, to == 2).db.version, c.expected);
            }
}

TEST(ConversionFlags, into_3x_and_pro_4x_the_flags_word_gets_category_and_read_only)
{
    struct Case {
        uint16_t version, attributes, flags;
    } const cases[] = {{0x5C01, 0x0008, 0x5002}, {0x5801, 0x0400, 0x5000}, {0x0001, 0x0008, 0x0000}};
    for (int to : {0, 1})
        for (const auto& c : cases) {
            Database d = pdbtest::SampleDatabase(3);
            d.version = c.version;
            d.attributes = c.attributes;
            auto db = LoadIn(d);
            db->ConvertLayout(to);
            Database saved = Parse(SaveImage(*db)).db;
            EXPECT_EQ(saved.flags, c.flags) << to << " " << std::hex << c.version;
            EXPECT_EQ(saved.version, c.version) << "the header is not touched";
            EXPECT_EQ(saved.attributes, c.attributes);
        }
}

TEST(ConversionFlags, between_the_5x_layouts_only_the_layout_changes)
{
    auto db = LoadIn(pdbtest::SampleDatabase(3));
    const TAppInfo* block = db->AppInfo.get();
    db->ConvertLayout(2);
    EXPECT_EQ(db->AppInfo.get(), block);
    EXPECT_EQ(db->GetFieldType(3), kTypeIntDate);
    EXPECT_EQ(db->PdbHeader.Version, 0x3C01);
    db->ConvertLayout(3);
    EXPECT_EQ(db->AppInfo.get(), block);
}

TEST(ConversionFields, a_30_field_database_keeps_20_in_3x_and_gets_no_more_back)
{
    auto db = LoadIn(pdbtest::WideDatabase(3, 30));
    db->ConvertLayout(0);
    EXPECT_EQ(db->FieldCount(), 20);
    EXPECT_EQ(db->GetCell(1, 20), "r1c20");
    EXPECT_EQ(db->GetCell(1, 21), "");
    Database saved = Parse(SaveImage(*db)).db;
    EXPECT_EQ(saved.fields.size(), 20u);
    EXPECT_EQ(saved.records[0].cells.size(), 20u);
    db->ConvertLayout(3);
    EXPECT_EQ(db->FieldCount(), 20);
    EXPECT_EQ(db->GetFieldName(21), "");
}

TEST(ConversionFields, field_references_are_kept_within_the_remaining_fields)
{
    Database d = pdbtest::WideDatabase(3, 30);
    d.sortFields = {25, 3, 30};
    d.findField = 22;
    d.filterField = 21;
    d.firstColumn = 28;
    auto to3x = LoadIn(d);
    to3x->ConvertLayout(0);
    EXPECT_EQ(to3x->GetSortField(1), 20);
    EXPECT_EQ(to3x->GetSortField(2), 3);
    EXPECT_EQ(to3x->GetSortField(3), 20);
    EXPECT_EQ(to3x->FindField(), 20);
    EXPECT_EQ(to3x->FilterField(), 20);
    EXPECT_EQ(to3x->FirstColumn(), 20);

    d.sortFields = {40, 3, 30};
    d.firstColumn = 45;
    auto to4x = LoadIn(d);
    to4x->ConvertLayout(1);
    EXPECT_EQ(to4x->GetSortField(1), 30) << "held within the old field count";
    EXPECT_EQ(to4x->FirstColumn(), 45) << "copied unchanged";
}

TEST(ConversionFields, widths_follow_the_rule_of_the_new_layout)
{
    auto db = NewDatabase(3, {"A", "B"});
    db->SetColumnWidth(1, 0);
    db->SetColumnWidth(2, 300);
    db->ConvertLayout(1);
    EXPECT_EQ(db->GetColumnWidth(1), 20);
    EXPECT_EQ(db->GetColumnWidth(2), 300);
}

}  // namespace
}  // namespace quorvil
