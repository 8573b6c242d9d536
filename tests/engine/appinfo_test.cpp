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
        auto info = MakeAppInfo(TLayout(layout));
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
    auto info = MakeAppInfo(TLayout(layout));
    LoadBlock(*info, Bytes(100, 'x'));
    EXPECT_EQ(std::pair(info->GetFieldCount(), info->GetFieldName(1)), std::pair(0, std::string(20, 'x')))
        << "a short block reads the rest as zeros";
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, AppInfoBlock, ::testing::Values(0, 1, 2, 3), LayoutParamName);

TEST(FieldTypes, every_code_has_its_display_name)
{
    const std::pair<uint16_t, const char*> cases[] = {{0, "STRING"},   {16, "FLOAT"},    {67, "AUTOINC"},
                                                      {80, "MODTIME"}, {81, "MULTLIST"}, {65535, "INT.DATE"},
                                                      {74, "[74]"}};
    for (const auto& [code, name] : cases)
        EXPECT_EQ(TypeName(TFieldType(code)), name) << code;
    EXPECT_EQ(std::tuple(TypeCodeByName("STRING"), TypeCodeByName("INT.DATE"), TypeCodeByName("[3]")),
              std::tuple(1, 65535, -1));
}

}  // namespace
}  // namespace quorvil
