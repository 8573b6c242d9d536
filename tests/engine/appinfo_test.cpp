// The application-info block classes: their byte layouts, their type rules,
// and a block read and written again.
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

TEST(AppInfoTypes, an_international_date_is_a_date_with_table_1_entry_1_in_55_only)
{
    TAppInfo6 info;
    info.SetFieldCount(3);
    info.SetFieldType(3, kTypeIntDate);
    info.SetFieldType(1, kTypeIntDate);
    info.SetFieldType(1, kTypeDate);
    EXPECT_EQ(info.GetFieldType(1), kTypeDate) << "set back to a date";
    EXPECT_EQ(info.GetExtraValue(1, 1), 0u);
    Bytes block = Saved(info);
    EXPECT_EQ(ReadU16(block, 1050 + 2 * 2), kTypeDate);
    EXPECT_EQ(ReadU32(block, 1302 + 4 * 2), 1u);
    EXPECT_EQ(ReadU32(block, 1302), 0u);
    TAppInfo5 five;
    LoadBlock(five, block);
    EXPECT_EQ(five.GetFieldType(3), kTypeDate) << "JFile 5.x knows no international date";
    for (int layout : {0, 1, 2}) {
        auto older = MakeAppInfo(layout);
        older->SetFieldType(1, kTypeIntDate);
        older->SetFieldType(2, 81);
        EXPECT_EQ(older->GetFieldType(1), kTypeDate);
        EXPECT_EQ(older->GetFieldType(2), 81);
        EXPECT_EQ(older->GetExtraValue(1, 1), 0u);
    }
}

TEST(AppInfoTexts, names_keep_20_characters_the_find_texts_15_and_the_3x_extra_text_11)
{
    for (int layout = 0; layout <= 3; ++layout) {
        auto info = MakeAppInfo(layout);
        info->SetFieldName(1, "12345678901234567890xyz");
        info->SetFindText("1234567890123456789");
        info->SetFieldName(info->MaxFields() + 1, "ignored");
        EXPECT_EQ(info->GetFieldName(1), "12345678901234567890");
        EXPECT_EQ(info->GetFindText(), "123456789012345");
        EXPECT_EQ(info->GetFieldName(info->MaxFields() + 1), "");
        info->SetExtraText("abcdefghijklmno");
        EXPECT_EQ(info->GetExtraText(), layout == 0 ? "abcdefghijk" : "");
    }
    TAppInfo3 info;
    info.SetExtraText("abcdefghijklmno");
    Bytes block = Saved(info);
    EXPECT_EQ(block[552], 11) << "a length byte before the text";
    EXPECT_EQ(std::string(block.begin() + 553, block.begin() + 564), "abcdefghijk");
}

TEST(AppInfoFlags, the_category_is_the_top_four_bits_of_the_flags_which_5x_ignores_but_carries)
{
    TAppInfo4 info;
    info.SetFlags(0x0F02);
    info.SetCategory(0x15);
    EXPECT_EQ(info.GetCategory(), 5) << "only the low four bits count";
    EXPECT_EQ(ReadU16(Saved(info), 1298), 0x5F02);

    Bytes block(1702, 0);
    pdbtest::WriteU16(block, 1298, 0x3002);
    TAppInfo6 five;
    LoadBlock(five, block);
    EXPECT_EQ(five.GetFlags(), 0);
    EXPECT_EQ(five.GetCategory(), 0);
    five.SetFlags(0x7777);
    EXPECT_EQ(ReadU16(Saved(five), 1298), 0x3002);
}

class AppInfoBlock : public ::testing::TestWithParam<int> {};

TEST_P(AppInfoBlock, a_block_read_and_written_keeps_every_byte_but_the_name_fill)
{
    const int layout = GetParam();
    const auto& o = pdbtest::OffsetsOf(layout);
    std::mt19937 random(20240 + unsigned(layout));
    for (int round = 0; round < 20; ++round) {
        Bytes block(o.size);
        for (auto& b : block)
            b = uint8_t(random() % 4 == 0 ? 0 : random());
        auto info = MakeAppInfo(layout);
        LoadBlock(*info, block);
        // Written again: zeros after each name's NUL, a name without NUL cut
        // to 20 characters, the two short texts ending in a NUL.
        for (size_t i = 0; i < o.maxFields; ++i) {
            auto name = block.begin() + long(i * 21);
            std::fill(std::find(name, name + 20, uint8_t(0)), name + 21, uint8_t(0));
        }
        for (size_t at : {o.findText, o.filterText})
            if (std::find(block.begin() + long(at), block.begin() + long(at + 15), 0) == block.begin() + long(at + 15))
                block[at + 15] = 0;
        EXPECT_EQ(Saved(*info), block) << "round " << round;
    }
    Bytes part(100, 'x');
    auto info = MakeAppInfo(layout);
    LoadBlock(*info, part);
    EXPECT_EQ(info->GetFieldCount(), 0) << "a short block reads the rest as zeros";
    EXPECT_EQ(info->GetFieldName(1), "xxxxxxxxxxxxxxxxxxxx");
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, AppInfoBlock, ::testing::Values(0, 1, 2, 3), LayoutParamName);

TEST(FieldTypes, every_code_has_its_display_name)
{
    const std::pair<uint16_t, const char*> cases[] = {
        {0, "STRING"},   {1, "STRING"},   {2, "BOOLEAN"},  {4, "DATE"},      {8, "INTEGER"},  {16, "FLOAT"},
        {32, "TIME"},    {64, "LIST"},    {65, "AUTODATE"}, {66, "AUTOTIME"}, {67, "AUTOINC"}, {68, "BINARY"},
        {69, "RELLIST"}, {70, "CALC"},    {71, "CALC_V1"}, {72, "CALC_V2"},   {73, "MODDATE"}, {80, "MODTIME"},
        {81, "MULTLIST"}, {65535, "INT.DATE"}, {3, "[3]"}, {74, "[74]"},     {65534, "[65534]"},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(TypeName(code), name) << code;
    EXPECT_EQ(TypeCodeByName("STRING"), 1);
    EXPECT_EQ(TypeCodeByName("INT.DATE"), 65535);
    EXPECT_EQ(TypeCodeByName("[3]"), -1);
}

}  // namespace
}  // namespace quorvil
