#include "engine_helpers.h"
#include "field_types.h"
#include "find_replace.h"

#include <gtest/gtest.h>

#include <deque>

namespace quorvil {
namespace {

// One-field database of String cells.
std::unique_ptr<TJFILE> Cells(const std::vector<std::string>& values)
{
    return MemoryDatabase({{"Name"}}, OneField(values));
}

TEST(Find, matching_rules)
{
    const struct {
        const char *value, *text;
        bool caseSensitive, wordSearch, matches;
    } cases[] = {
        {"M\xFCller", "M\xDCLLER", false, false, true},  // Müller by MÜLLER: every letter folds
        {"abc", "", false, false, false},                // an empty text occurs nowhere
        {"cat concat cat.", "CAT", false, true, true},
        {"concat cat", "CAT", false, true, false},  // only the first occurrence counts
        {"cat;", "CAT", false, true, false},        // ';' is no word end for Find
        {"line1\r\nline2", "1\r\nL", false, false, true},
        {"\xFF", "\x9F", false, false, true},  // ÿ / Ÿ
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindMatchesValue(c.value, c.text, c.caseSensitive, c.wordSearch), c.matches)
            << c.value << " / " << c.text;
    auto db = MemoryDatabase({{"A"}, {"B"}}, {{"x"}, {"", "x"}, {}});
    EXPECT_EQ(FindRecords(*db, "X", false, {false, true}, false), (std::vector<bool>{false, true, false}));
}

// Answers given in order (then Yes); every question asked is recorded.
struct Script {
    std::deque<TReplaceAnswer> answers{};
    std::vector<std::pair<TReplaceQuestion, std::string>> asked{};
    TReplaceCallbacks Callbacks()
    {
        return {[this](TReplaceQuestion q, const std::string& text) {
                    asked.emplace_back(q, text);
                    TReplaceAnswer a = answers.empty() ? TReplaceAnswer::Yes : answers.front();
                    if (!answers.empty())
                        answers.pop_front();
                    return a;
                },
                {}};
    }
};

TReplaceOptions Options(std::string from, std::string to, bool prompt = false)
{
    TReplaceOptions o;
    o.SearchFor = std::move(from);
    o.ReplaceWith = std::move(to);
    o.FieldFlags = {true};
    o.Prompt = prompt;
    return o;
}

TEST(Replace, walks_every_occurrence_without_searching_inserted_text)
{
    const struct {
        const char *value, *from, *to;
        bool caseSensitive, wordSearch;
        const char* result;
        int count;
    } cases[] = {
        {"abab", "ab", "abab", false, false, "abababab", 2},
        {"AbC abc", "abc", "x", true, false, "AbC x", 1},
        {"\xC9t\xE9", "\xE9", "e", false, false, "\xC9te", 1},  // only a-z fold: É stays
        {"cat concat cat.", "cat", "dog", false, true, "dog concat dog.", 2},
        {"cat_cat", "cat", "dog", false, true, "dog_dog", 2},  // '_' is no letter or digit
    };
    for (const auto& c : cases) {
        auto db = Cells({c.value});
        TReplaceOptions o = Options(c.from, c.to);
        o.CaseSensitive = c.caseSensitive;
        o.WordSearch = c.wordSearch;
        EXPECT_EQ(ReplaceText(*db, o, {}).Count, c.count) << c.value;
        EXPECT_EQ(db->GetCell(1, 1), c.result) << c.value;
    }
    EXPECT_EQ(ReplaceSummaryText(0), "No replacements were done...");
    EXPECT_EQ(ReplaceSummaryText(1), "One replacement was performed...");
    EXPECT_EQ(ReplaceSummaryText(12), "12 replacements were performed...");
}

TEST(Replace, prompt_answers_and_cancel_keeping_earlier_changes)
{
    auto db = Cells({"a a", "a"});
    Script s{{TReplaceAnswer::No, TReplaceAnswer::Yes, TReplaceAnswer::YesToAll}};
    EXPECT_EQ(ReplaceText(*db, Options("a", "b", true), s.Callbacks()).Count, 2);
    EXPECT_EQ(db->GetCell(1, 1) + "|" + db->GetCell(2, 1), "a b|b");
    ASSERT_EQ(s.asked.size(), 3u);  // none after "All"
    EXPECT_EQ(s.asked[2].second, "Replace in record #2, field \"Name\"?\n\"a\" with \"b\" in:\n[a]");
    const struct {
        const char* value;
        size_t at, length;
        const char* question;  // after its first line
    } questions[] = {
        {"big Bolt, small bolt", 4, 4, "\"Bolt\" with \"b\" in:\nbig [Bolt], small bolt"},
        {"first line\nsecond", 11, 6, "\"second\" with \"b\" in:\nfirst line\xA4[second]"},
        {"0123456789012345678901234567890123456789xy0123456789012345678901234567890123456789", 40, 2,
         "\"xy\" with \"b\" in:\n...012345678901234567890123456789[xy]012345678901234567890123456789..."},
    };
    for (const auto& q : questions)
        EXPECT_EQ(ReplaceQuestionText(7, "Note", q.value, q.at, q.length, "b"),
                  std::string("Replace in record #7, field \"Note\"?\n") + q.question)
            << q.value;

    auto later = Cells({"a", "a"});
    later->ClearModified();
    Script t{{TReplaceAnswer::Yes, TReplaceAnswer::Cancel}};
    EXPECT_TRUE(ReplaceText(*later, Options("a", "b", true), t.Callbacks()).Cancelled);
    EXPECT_EQ(later->GetCell(1, 1) + "|" + later->GetCell(2, 1), "b|a");
    EXPECT_TRUE(later->Modified());
}

TEST(Replace, stamps_the_modification_time_of_each_record_it_changed_unless_it_wrote_that_time)
{
    const struct {
        const char *from, *to;
        std::vector<bool> fields;
        bool stamp;
        std::deque<TReplaceAnswer> answers;  // prompted when not empty
        const char* times;
    } cases[] = {
        {"pea", "peas", {true, true, false}, true, {}, "09:26|08:00"},
        {"08", "07", {true, true, true}, true, {}, "07:00|07:00"},
        {"pea", "peas", {true, true, false}, false, {}, "08:00|08:00"},
        {"pea", "peas", {true, true, false}, true, {TReplaceAnswer::Yes, TReplaceAnswer::Cancel}, "09:26|08:00"},
    };
    for (const auto& c : cases) {
        auto db = MemoryDatabase({{"Name"}, {"Note"}, {"Changed", TFieldType::ModTime}},
                                 {{"pea", "pea", "08:00"}, {"bean", "bean", "08:00"}});
        TReplaceOptions o = Options(c.from, c.to, !c.answers.empty());
        o.FieldFlags = c.fields;
        if (c.stamp)
            o.Stamp = TLocalMoment{{2025, 3, 14}, {9, 26, 53}};
        Script s{c.answers};
        ReplaceText(*db, o, s.Callbacks());
        EXPECT_EQ(db->GetCell(1, 3) + "|" + db->GetCell(2, 3), c.times) << c.from;
    }
}

TEST(Replace, boundary_question)
{
    const std::string grown = std::string(3990, 'x') + "aa";  // "a" -> 6 letters: 3992 -> 4002
    auto db = Cells({grown, grown});
    Script s{{TReplaceAnswer::NoToAll}};
    EXPECT_EQ(ReplaceText(*db, Options("a", "bbbbbb"), s.Callbacks()).Count, 0);
    ASSERT_EQ(s.asked.size(), 1u);
    EXPECT_EQ(s.asked[0],
              std::pair(TReplaceQuestion::BoundaryCross,
                        std::string("Replacement in record #1, field \"Name\" will result in 4K-Boundary cross. OK?")));
    EXPECT_EQ(db->GetCell(2, 1), grown) << "dropped silently";

    db = Cells({grown, std::string(4001, 'y')});
    Script never;
    ReplaceText(*db, Options("a", "bbbbbb"), never.Callbacks());
    EXPECT_TRUE(never.asked.empty()) << "a value already over the limit: never asked";
    EXPECT_EQ(db->GetCell(1, 1).size(), 4002u);
}

}  // namespace
}  // namespace quorvil
