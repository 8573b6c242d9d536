#include "text_utils.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(TextUtilsTest, PaddingCuttingAndTrimming)
{
    EXPECT_EQ(PadOrCut("abc", 5), "abc  ");
    EXPECT_EQ(PadOrCut("abcdef", 3), "abc");
    EXPECT_EQ(RightPart("report.CSV", 3), "CSV");
    EXPECT_EQ(RightPart("ab", 5), "ab");
    EXPECT_EQ(TrimLeft("\t a\tb "), "a b ") << "tabs become spaces";
    EXPECT_EQ(TrimRight(" a\tb \t"), " a b");
    EXPECT_EQ(Trim("\t a b\t "), "a b");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(Plural("record", 1), "record");
    EXPECT_EQ(Plural("record", 0), "records");
}

TEST(TextUtilsTest, WordsAreSeparatedBySpacesOrQuoted)
{
    const char* text = R"(  one "two words"  three "" "open end)";
    EXPECT_EQ(WordCount(text), 5);
    const char* words[] = {"", "one", "two words", "three", "", "open end", ""};
    for (int n = 0; n <= 6; ++n)
        EXPECT_EQ(NthWord(text, n), words[n]) << n;
    EXPECT_EQ(WordCount("   "), 0);
    std::string widths = "80,40,120";
    EXPECT_EQ(ReplaceAll(widths, ",", " "), 2);
    EXPECT_EQ(NthWord(widths, 3), "120");
}

TEST(TextUtilsTest, ReplaceAllCountsAndDoesNotRescanReplacedText)
{
    const std::tuple<const char*, const char*, const char*, int, const char*> cases[] = {
        {"aaa", "a", "aa", 3, "aaaaaa"}, {"abab", "ab", "", 2, ""}, {"xyz", "", "q", 0, "xyz"},
        {"xyz", "none", "q", 0, "xyz"}};
    for (const auto& [before, from, to, count, after] : cases) {
        std::string text = before;
        EXPECT_EQ(ReplaceAll(text, from, to), count) << before;
        EXPECT_EQ(text, after) << before;
    }
}

TEST(TextUtilsTest, FindFromCountsFromOneAndReturnsZeroWhenAbsent)
{
    EXPECT_EQ(FindFrom(',', "a,b,c", 1), 2u);
    EXPECT_EQ(FindFrom(',', "a,b,c", 2), 2u);
    EXPECT_EQ(FindFrom(',', "a,b,c", 3), 4u);
    EXPECT_EQ(FindFrom(',', "a,b,c", 5), 0u);
    EXPECT_EQ(FindFrom("bc", "abcabc", 3), 5u);
    EXPECT_EQ(FindFrom("bc", "abcabc", 99), 0u);
}

}  // namespace
}  // namespace quorvil
