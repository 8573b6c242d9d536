#include "charset.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "sample_db.h"
#include "text_case.h"

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

namespace quorvil {
namespace {

// Each set's bytes as Python's codecs write them, an implementation of its
// own: letters of the script, Shift-JIS and Big5 trail bytes equal to "\"
// and to ASCII letters, Windows-949's Hangul beyond EUC-KR.
const struct {
    TCharset Set;
    const char* Utf8;
    const char* Bytes;
} kSamples[] = {
    {TCharset::Windows1252, "Müller café €5 Œuvre",
     "M\xFCller caf\xE9 \x80"
     "5 \x8Cuvre"},
    {TCharset::Windows1250, "Łódź Žluťoučký kůň",
     "\xA3\xF3"
     "d\x9F \x8Elu\x9Dou\xE8k\xFD k\xF9\xF2"},
    {TCharset::Windows1251, "Москва Ёлка язык", "\xCC\xEE\xF1\xEA\xE2\xE0 \xA8\xEB\xEA\xE0 \xFF\xE7\xFB\xEA"},
    {TCharset::Windows1253, "Αθήνα ΣΩ άλφα", "\xC1\xE8\xDE\xED\xE1 \xD3\xD9 \xDC\xEB\xF6\xE1"},
    {TCharset::Windows1254, "İstanbul ağaç şişe",
     "\xDDstanbul a\xF0"
     "a\xE7 \xFEi\xFE"
     "e"},
    {TCharset::Windows1257, "Rīga Šiauliai ąžuolas", "R\xEEga \xD0iauliai \xE0\xFEuolas"},
    {TCharset::ShiftJis, "東京タワー ソ表\\あ", "\x93\x8C\x8B\x9E\x83^\x83\x8F\x81[ \x83\\\x95\\\\\x82\xA0"},
    {TCharset::Gbk, "北京市 中文 张三", "\xB1\xB1\xBE\xA9\xCA\xD0 \xD6\xD0\xCE\xC4 \xD5\xC5\xC8\xFD"},
    {TCharset::Big5, "臺北市 許功蓋 中文", "\xBBO\xA5_\xA5\xAB \xB3\\\xA5\\\xBB\\ \xA4\xA4\xA4\xE5"},
    {TCharset::EucKr, "서울특별시 김철수 똠방각하",
     "\xBC\xAD\xBF\xEF\xC6\xAF\xBA\xB0\xBD\xC3 \xB1\xE8\xC3\xB6\xBC\xF6 \x8C"
     "c\xB9\xE6\xB0\xA2\xC7\xCF"},
};

TEST(CharsetSetsTest, texts_go_into_each_set_and_back)
{
    for (const auto& s : kSamples) {
        SCOPED_TRACE(CharsetName(s.Set));
        const TToCharset in = Utf8ToCharset(s.Set, s.Utf8);
        EXPECT_TRUE(in.Whole());
        EXPECT_EQ(in.Bytes, s.Bytes);
        EXPECT_EQ(CharsetToUtf8(s.Set, s.Bytes), s.Utf8);
        EXPECT_EQ(CharsetByName(CharsetName(s.Set)), s.Set);
    }
    EXPECT_EQ(CharsetByName("Shift_JIS"), TCharset::ShiftJis);
    EXPECT_EQ(CharsetByName("latin1"), std::nullopt);
}

// Code pages 932 and 950 give some characters two byte sequences (NEC and
// IBM's, say); those come back as the one the platform writes.
TEST(CharsetSetsTest, every_byte_sequence_survives_the_trip_through_utf16)
{
    for (TCharset set : AllCharsets()) {
        SCOPED_TRACE(CharsetName(set));
        std::string bytes;
        for (int lead = 0; lead < 256; ++lead)
            for (int trail : {0x00, 0x40, 0x5C, 0x61, 0x7F, 0xA1, 0xFE, 0xFF, lead})
                bytes += {char(lead), char(trail)};
        bytes += '\x82';  // a lead byte at the end
        const std::u16string text = CharsetToUtf16(set, bytes);
        const TToCharset back = Utf16ToCharset(set, text);
        EXPECT_TRUE(back.Whole());
        if (set != TCharset::ShiftJis && set != TCharset::Big5) {
            EXPECT_EQ(back.Bytes, bytes);
        }
    }
}

TEST(CharsetSetsTest, characters_a_set_lacks_stop_the_text_and_are_named)
{
    const struct {
        TCharset Set;
        const char* Utf8;
        size_t StopAt;
        char32_t Missing;
    } cases[] = {
        {TCharset::Windows1252,
         "x\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         1, 0x141},  // Łódź
        {TCharset::Windows1251, "\xC3\xA9", 0, 0xE9},
        {TCharset::ShiftJis, "a\xC2\xA5", 1, 0xA5},  // the yen sign only an approximation writes
        {TCharset::Gbk, "\xF0\x9F\x98\x80", 0, 0x1F600},
        {TCharset::Windows1250, "\xF4\x8F\xBC\x80", 0, kStrayByteBase},  // a stray-byte code point of no stray byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Utf8);
        const TToCharset result = Utf8ToCharset(c.Set, c.Utf8);
        EXPECT_EQ(result.StopAt, c.StopAt);
        EXPECT_EQ(result.Missing, c.Missing);
    }
}

TEST(CharsetSetsTest, case_folding_touches_only_single_byte_letters)
{
    for (int b = 0; b < 256; ++b)
        ASSERT_EQ(TCodec::Of(TCharset::Windows1252).UpperByte(char(b)), UpperChar1252(char(b))) << b;
    const struct {
        TCharset Set;
        std::string Bytes, Upper;
    } cases[] = {
        {TCharset::Windows1250,
         "\xB3\xF3"
         "d\x9F",
         "\xA3\xD3"
         "D\x8F"},  // łódź
        {TCharset::Windows1251, "\xFF\xE7\xFB\xEA", "\xDF\xC7\xDB\xCA"},
        {TCharset::Windows1253, "\xE1\xEB\xF6\xE1", "\xC1\xCB\xD6\xC1"},
        {TCharset::ShiftJis,
         "a\x83"
         "a\x83",
         "A\x83"
         "a\x83"},  // ャ keeps its trail; the lone lead stays
        {TCharset::Big5,
         "\xA5"
         "a\xA4"
         "b",
         "\xA5"
         "a\xA4"
         "b"},
    };
    for (const auto& c : cases) {
        std::string text = c.Bytes;
        UpperCaseIn(c.Set, text);
        EXPECT_EQ(text, c.Upper) << CharsetName(c.Set);
    }
}

TEST(CharsetSetsTest, the_guess_names_a_multi_byte_set_only_where_western_text_is_implausible)
{
    const auto guess = [](std::initializer_list<std::string_view> texts) {
        TCharsetGuess g;
        for (std::string_view t : texts)
            g.Add(t);
        return g.Result();
    };
    for (const auto& s : kSamples) {
        const std::string bytes = s.Bytes;
        const auto expected = IsMultiByte(s.Set) ? std::optional(s.Set) : std::nullopt;
        EXPECT_EQ(guess({bytes, "Name", bytes}), expected) << CharsetName(s.Set);
    }
    for (const pdbtest::CharsetSample& s : pdbtest::CharsetSamples()) {
        std::vector<std::string_view> texts{s.title.bytes};
        for (const auto& row : s.records)
            for (const pdbtest::SetText& cell : row)
                texts.push_back(cell.bytes);
        TCharsetGuess g;
        for (std::string_view t : texts)
            g.Add(t);
        const TCharset set = *CharsetByName(s.set);
        EXPECT_EQ(g.Result(), IsMultiByte(set) ? std::optional(set) : std::nullopt) << s.set;
    }
    EXPECT_EQ(guess({"Gr\xF6\xDF"
                     "e",
                     "M\xFCller",
                     "Fran\xE7"
                     "ais",
                     "Stra\xDF"
                     "e 12"}),
              std::nullopt);
    EXPECT_EQ(guess({"12,50 \x80", "\xA9 2024", "informa\xE7\xE3o"}), std::nullopt);
    EXPECT_EQ(guess({"plain ASCII"}), std::nullopt);
}

}  // namespace
}  // namespace quorvil
