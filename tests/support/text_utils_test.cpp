#include "text_utils.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(TextUtilsTest, PadOrCutGivesExactlyNCharacters)
{
    EXPECT_EQ(PadOrCut("abc", 5), "abc  ");
    EXPECT_EQ(PadOrCut("abcdef", 3), "abc");
    EXPECT_EQ(PadOrCut("", 0), "");
}

TEST(TextUtilsTest, RightPartTakesTheLastCharacters)
{
    EXPECT_EQ(RightPart("report.CSV", 3), "CSV");
    EXPECT_EQ(RightPart("ab", 5), "ab");
    EXPECT_EQ(RightPart("ab", 0), "");
}

TEST(TextUtilsTest, TrimsTurnTabsIntoSpaces)
{
    EXPECT_EQ(TrimLeft("\t a\tb "), "a b ");
    EXPECT_EQ(TrimRight(" a\tb \t"), " a b");
    EXPECT_EQ(Trim("\t a b\t "), "a b");
    EXPECT_EQ(Trim(" \t "), "");
}

TEST(TextUtilsTest, WordsAreSeparatedBySpacesOrQuoted)
{
    const char* text = R"(  one "two words"  three "" "open end)";
    EXPECT_EQ(WordCount(text), 5);
    EXPECT_EQ(NthWord(text, 1), "one");
    EXPECT_EQ(NthWord(text, 2), "two words");
    EXPECT_EQ(NthWord(text, 3), "three");
    EXPECT_EQ(NthWord(text, 4), "");
    EXPECT_EQ(NthWord(text, 5), "open end");
    EXPECT_EQ(NthWord(text, 6), "");
    EXPECT_EQ(NthWord(text, 0), "");
    EXPECT_EQ(WordCount("   "), 0);
}

TEST(TextUtilsTest, ColumnWidthsReadAsWordsOnceCommasBecomeSpaces)
{
    std::string widths = "80,40,120";
    EXPECT_EQ(ReplaceAll(widths, ",", " "), 2);
    EXPECT_EQ(WordCount(widths), 3);
    EXPECT_EQ(NthWord(widths, 3), "120");
}

TEST(TextUtilsTest, ReplaceAllCountsAndDoesNotRescanReplacedText)
{
    std::string text = "aaa";
    EXPECT_EQ(ReplaceAll(text, "a", "aa"), 3);
    EXPECT_EQ(text, "aaaaaa");
    text = "abab";
    EXPECT_EQ(ReplaceAll(text, "ab", ""), 2);
    EXPECT_EQ(text, "");
    text = "xyz";
    EXPECT_EQ(ReplaceAll(text, "", "q"), 0);
    EXPECT_EQ(ReplaceAll(text, "none", "q"), 0);
    EXPECT_EQ(text, "xyz");
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

TEST(TextUtilsTest, PluralAddsAnSUnlessTheCountIsOne)
{
    EXPECT_EQ(Plural("record", 1), "record");
    EXPECT_EQ(Plural("record", 0), "records");
    EXPECT_EQ(Plural("record", 2), "records");
}

}  // namespace
}  // namespace quorvil
