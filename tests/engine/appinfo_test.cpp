// The application-info block classes: their byte layouts, their type and
// width rules, and a block read and written again.
#include "appinfo.h"
#include "byte_io.h"
#include "engine_helpers.h"
#include "field_types.h"
#include "streams.h"

#include <gtest/gtest.h>

#include <random>

namespace quorvil {
namespace {

using pdbtest::ReadU16;
using pdbtest::ReadU32;

Bytes Saved(const TAppInfo& info)
{
    TMemoryStream out;
    info.SaveToStream(out);
    return out.Bytes();
}

void LoadBlock(TAppInfo& info, const Bytes& block)
{
    ByteReader in(block.data(), block.size());
    info.LoadFromStream(in);
}

TEST(AppInfoTypes, an_international_date_in_55_is_a_date_with_table_1_entry_1)
{
    TAppInfo6 info;
    info.SetFieldCount(3);
    info.SetFieldType(3, kTypeIntDate);
    EXPECT_EQ(info.GetFieldType(3), kTypeIntDate);
    Bytes block = Saved(info);
    EXPECT_EQ(ReadU16(block, 1050 + 2 * 2), kTypeDate);
    EXPECT_EQ(ReadU32(block, 1302 + 4 * 2), 1u);

    TAppInfo5 five;
    LoadBlock(five, block);
    EXPECT_EQ(five.GetFieldType(3), kTypeDate) << "JFile 5.x knows no international date";
}

TEST(AppInfoTypes, setting_date_after_international_date_reads_back_as_date)
{
    TAppInfo6 info;
    info.SetFieldType(1, kTypeIntDate);
    info.SetFieldType(1, kTypeDate);
    EXPECT_EQ(info.GetFieldType(1), kTypeDate);
    EXPECT_EQ(info.GetExtraValue(1, 1), 0u);
    info.SetFieldType(2, kTypeIntDate);
    info.SetFieldType(2, kTypeInteger);
    EXPECT_EQ(info.GetFieldType(2), kTypeInteger);
}

TEST(AppInfoTypes, layouts_before_55_store_an_international_date_as_date)
{
    std::unique_ptr<TAppInfo> blocks[] = {MakeAppInfo(0), MakeAppInfo(1), MakeAppInfo(2)};
    for (auto& info : blocks) {
        info->SetFieldType(1, kTypeIntDate);
        info->SetFieldType(2, 81);
        EXPECT_EQ(info->GetFieldType(1), kTypeDate);
        EXPECT_EQ(info->GetFieldType(2), 81);
        EXPECT_EQ(info->GetExtraValue(1, 1), 0u);
    }
}

struct WidthCase {
    int layout;
    int16_t set;
    int16_t read;
};

class AppInfoWidths : public ::testing::TestWithParam<WidthCase> {};

TEST_P(AppInfoWidths, column_widths_follow_the_rule_of_the_layout)
{
    auto info = MakeAppInfo(GetParam().layout);
    info->SetColumnWidth(7, GetParam().set);
    EXPECT_EQ(info->GetColumnWidth(7), GetParam().read);
}

// 3.x and Pro 4.x: at least 20 as an unsigned value, read back at most 32767;
// 5.x: signed, unchanged.
INSTANTIATE_TEST_SUITE_P(Layouts, AppInfoWidths,
                         ::testing::Values(WidthCase{0, 10, 20}, WidthCase{0, 20, 20}, WidthCase{0, 0, 20},
                                           WidthCase{0, 300, 300}, WidthCase{0, -7, 32767},
                                           WidthCase{1, 10, 20}, WidthCase{1, 32767, 32767},
                                           WidthCase{1, -20, 32767}, WidthCase{2, 10, 10}, WidthCase{2, -7, -7},
                                           WidthCase{3, 0, 0}, WidthCase{3, -32768, -32768}));

TEST(AppInfoTexts, names_keep_20_characters_and_the_find_texts_15)
{
    for (int layout = 0; layout <= 3; ++layout) {
        auto info = MakeAppInfo(layout);
        info->SetFieldName(1, "12345678901234567890xyz");
        info->SetFieldName(2, "short");
        info->SetFindText("1234567890123456789");
        info->SetFilterText("abc");
        EXPECT_EQ(info->GetFieldName(1), "12345678901234567890");
        EXPECT_EQ(info->GetFieldName(2), "short");
        EXPECT_EQ(info->GetFindText(), "123456789012345");
        EXPECT_EQ(info->GetFilterText(), "abc");
        EXPECT_EQ(info->GetFieldName(0), "");
        EXPECT_EQ(info->GetFieldName(info->MaxFields() + 1), "");
        info->SetFieldName(info->MaxFields() + 1, "ignored");  // out of range does nothing
    }
}

TEST(AppInfoTexts, the_3x_extra_text_holds_eleven_characters_after_a_length_byte)
{
    TAppInfo3 info;
    info.SetExtraText("abcdefghijklmno");
    EXPECT_EQ(info.GetExtraText(), "abcdefghijk");
    Bytes block = Saved(info);
    EXPECT_EQ(block[552], 11);
    EXPECT_EQ(std::string(block.begin() + 553, block.begin() + 564), "abcdefghijk");
    TAppInfo4 four;
    four.SetExtraText("abc");
    EXPECT_EQ(four.GetExtraText(), "");
}

TEST(AppInfoFlags, the_category_lives_in_the_top_four_bits_of_the_flags)
{
    TAppInfo4 info;
    info.SetFlags(0x0F02);
    info.SetCategory(5);
    EXPECT_EQ(info.GetFlags(), 0x5F02);
    EXPECT_EQ(info.GetCategory(), 5);
    info.SetCategory(0x1C);
    EXPECT_EQ(info.GetCategory(), 0xC) << "only the low four bits count";
    EXPECT_EQ(ReadU16(Saved(info), 1298), 0xCF02);
}

TEST(AppInfoFlags, the_5x_layouts_ignore_the_flags_word_but_carry_its_bytes)
{
    Bytes block(1702, 0);
    pdbtest::WriteU16(block, 1298, 0x3002);
    TAppInfo6 info;
    LoadBlock(info, block);
    EXPECT_EQ(info.GetFlags(), 0);
    EXPECT_EQ(info.GetCategory(), 0);
    info.SetFlags(0x7777);
    EXPECT_EQ(ReadU16(Saved(info), 1298), 0x3002);
}

// What a block read from a file looks like when written again: the bytes
// after each name's NUL are zero, a name without NUL is cut to 20
// characters, and the two short texts end in a NUL.
Bytes Normalised(Bytes block, size_t fields, size_t findText)
{
    for (size_t i = 0; i < fields; ++i) {
        auto name = block.begin() + long(i * 21);
        auto nul = std::find(name, name + 20, uint8_t(0));
        std::fill(nul, name + 21, uint8_t(0));
    }
    for (size_t at : {findText, findText + 16})
        if (std::find(block.begin() + long(at), block.begin() + long(at + 15), uint8_t(0)) ==
            block.begin() + long(at + 15))
            block[at + 15] = 0;
    return block;
}

class AppInfoBlock : public ::testing::TestWithParam<int> {};

TEST_P(AppInfoBlock, a_block_read_and_written_keeps_every_byte_but_the_name_fill)
{
    const int layout = GetParam();
    const bool small = layout == 0;
    std::mt19937 random(20240 + unsigned(layout));
    for (int round = 0; round < 20; ++round) {
        Bytes block(small ? 564 : 1702);
        for (auto& b : block)
            b = uint8_t(random() % 4 == 0 ? 0 : random());
        auto info = MakeAppInfo(layout);
        LoadBlock(*info, block);
        EXPECT_EQ(Saved(*info), Normalised(block, small ? 20 : 50, small ? 516 : 1266)) << "round " << round;
    }
}

TEST_P(AppInfoBlock, a_block_shorter_than_its_layout_reads_the_rest_as_zeros)
{
    Bytes part(100, 'x');
    auto info = MakeAppInfo(GetParam());
    LoadBlock(*info, part);
    EXPECT_EQ(info->GetFieldCount(), 0);
    EXPECT_EQ(info->GetFieldName(1), "xxxxxxxxxxxxxxxxxxxx");
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, AppInfoBlock, ::testing::Values(0, 1, 2, 3), LayoutParamName);

struct TypeNameCase {
    uint16_t code;
    const char* name;
};

TEST(FieldTypes, every_code_has_its_display_name)
{
    const TypeNameCase cases[] = {
        {0, "STRING"},     {1, "STRING"},     {2, "BOOLEAN"},  {4, "DATE"},      {8, "INTEGER"},
        {16, "FLOAT"},     {32, "TIME"},      {64, "LIST"},    {65, "AUTODATE"}, {66, "AUTOTIME"},
        {67, "AUTOINC"},   {68, "BINARY"},    {69, "RELLIST"}, {70, "CALC"},     {71, "CALC_V1"},
        {72, "CALC_V2"},   {73, "MODDATE"},   {80, "MODTIME"}, {81, "MULTLIST"}, {65535, "INT.DATE"},
        {3, "[3]"},        {74, "[74]"},      {65534, "[65534]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TypeName(c.code), c.name) << c.code;
    EXPECT_EQ(TypeCodeByName("STRING"), 1);
    EXPECT_EQ(TypeCodeByName("INT.DATE"), 65535);
    EXPECT_EQ(TypeCodeByName("[3]"), -1);
}

}  // namespace
}  // namespace quorvil
