#include "text_utils.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(TextUtilsTest, trimming_and_words_separated_by_spaces_or_quoted)
{
    EXPECT_EQ(TrimLeft("\t a\tb "), "a b ") << "tabs become spaces";
    EXPECT_EQ(Trim("\t a b\t "), "a b");
    const char* text = R"(  one "two words"  three "" "open end)";
    EXPECT_EQ(WordCount(text), 5);
    const char* words[] = {"", "one", "two words", "three", "", "open end", ""};
    for (int n = 0; n <= 6; ++n)
        EXPECT_EQ(NthWord(text, n), words[n]) << n;
}

TEST(TextUtilsTest, replace_all_counts_and_does_not_rescan_replaced_text)
{
    const std::tuple<const char*, const char*, const char*, int, const char*> cases[] = {
        {"aaa", "a", "aa", 3, "aaaaaa"}, {"abab", "ab", "", 2, ""}, {"xyz", "", "q", 0, "xyz"}};
    for (const auto& [before, from, to, count, after] : cases) {
        std::string text = before;
        EXPECT_EQ(ReplaceAll(text, from, to), count) << before;
        EXPECT_EQ(text, after) << before;
    }
}

}  // namespace
}  // namespace quorvil
