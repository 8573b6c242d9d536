#include "charset.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvil {
namespace {

TEST(CharsetTest, every_byte_comes_back_from_its_utf8)
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    std::string utf8 = Cp1252ToUtf8(bytes);
    const TUtf8ToCp1252 result = Utf8ToCp1252(utf8, utf8.data());
    EXPECT_TRUE(result.Whole());
    EXPECT_EQ(utf8.substr(0, result.Size), bytes);
}

TEST(CharsetTest, utf8_stops_at_characters_without_a_byte_and_at_broken_sequences)
{
    const struct {
        const char* Utf8;
        const char* Bytes;  // written before the stop
        size_t StopAt, StopLength;
        char32_t Missing;
    } cases[] = {
        {"\xE2\x82\xAC \xC5\xB8 \xC2\x9D", "\x80 \x9F \x9D", std::string::npos, 0, 0},
        {"ab\xC4\x80", "ab", 2, 2, 0x100},
        {"\xE6\x97\xA5", "", 0, 3, 0x65E5},
        {"\xC2\x80", "", 0, 2, 0x80},  // a C1 control the set puts no byte on
        {"x\xF0\x9F\x98\x80", "x", 1, 4, 0x1F600},
        {"\xC3\x28", "", 0, 1, 0},          // no continuation byte
        {"\xE9t\xE9", "", 0, 1, 0},         // Windows-1252 taken for UTF-8
        {"a\x80", "a", 1, 1, 0},            // a stray continuation byte
        {"\xE6\x97x", "", 0, 2, 0},         // cut short
        {"\xC0\xAF", "", 0, 1, 0},          // overlong
        {"\xE0\x9F\xBF", "", 0, 1, 0},      // overlong
        {"\xED\xA0\x80", "", 0, 1, 0},      // a surrogate
        {"\xF4\x90\x80\x80", "", 0, 1, 0},  // above U+10FFFF
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Utf8);
        const std::string utf8 = c.Utf8;
        std::string out(utf8.size(), '\0');
        const TUtf8ToCp1252 result = Utf8ToCp1252(utf8, out.data());
        EXPECT_EQ(out.substr(0, result.Size), c.Bytes);
        EXPECT_EQ(result.StopAt, c.StopAt);
        EXPECT_EQ(result.StopLength, c.StopLength);
        EXPECT_EQ(result.Missing, c.Missing);
    }
}

}  // namespace
}  // namespace quorvil
