#include "engine_helpers.h"
#include "find_replace.h"

#include <gtest/gtest.h>

#include <deque>

namespace quorvil {
namespace {

// One-field database of String cells.
std::unique_ptr<TJFILE> Cells(const std::vector<std::string>& values)
{
    auto db = NewDatabase(3, {"Name"}, int(values.size()));
    for (size_t r = 0; r < values.size(); ++r)
        db->SetCell(int(r) + 1, 1, values[r]);
    return db;
}

struct FindCase {
    const char* value;
    const char* text;
    bool caseSensitive;
    bool wordSearch;
    bool matches;
};

TEST(Find, MatchingRules)
{
    const FindCase cases[] = {
        {"M\xFCller", "M\xDCLLER", false, false, true},  // Müller by MÜLLER: every letter folds
        {"M\xFCller", "M\xDCLLER", true, false, false},
        {"abc", "B", false, false, true},
        {"abc", "B", true, false, false},
        {"", "a", false, false, false},
        {"abc", "", false, false, false},  // an empty text occurs nowhere
        {"cat concat cat.", "CAT", false, true, true},
        {"concat cat", "CAT", false, true, false},  // only the first occurrence counts
        {"the cat", "CAT", false, true, true},      // ends the value
        {"one\ncat?", "CAT", false, true, true},
        {"cat;", "CAT", false, true, false},  // ';' is no word end for Find
        {"line1\r\nline2", "1\r\nL", false, false, true},
        {"\x9A" "ab", "\x8A" "AB", false, false, true},  // š / Š
        {"\xFF", "\x9F", false, false, true},            // ÿ / Ÿ
        {"aAaAb", "AAB", false, false, true},
    };
    for (const FindCase& c : cases)
        EXPECT_EQ(FindMatchesValue(c.value, c.text, c.caseSensitive, c.wordSearch), c.matches)
            << c.value << " / " << c.text;
}

TEST(Find, ChosenFieldsOnly)
{
    auto db = NewDatabase(3, {"A", "B"}, 3);
    db->SetCell(1, 1, "x");
    db->SetCell(2, 2, "x");
    db->SetCell(3, 1, "y");
    EXPECT_EQ(FindRecords(*db, "X", false, {true, true}, false), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(FindRecords(*db, "X", false, {false, true}, false), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(FindRecords(*db, "X", false, {false, false}, false), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(FindRecords(*db, "X", false, {true}, false), (std::vector<bool>{true, false, false}));
}

// Answers given in order; every question asked is recorded.
struct Script {
    std::deque<TReplaceAnswer> answers{};
    std::vector<std::pair<TReplaceQuestion, std::string>> asked{};
    TReplaceCallbacks Callbacks()
    {
        return {[this](TReplaceQuestion q, const std::string& text) {
                    asked.emplace_back(q, text);
                    if (answers.empty())
                        return TReplaceAnswer::Yes;
                    TReplaceAnswer a = answers.front();
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

struct ReplaceCase {
    const char* value;
    const char* from;
    const char* to;
    bool caseSensitive;
    bool wordSearch;
    const char* result;
    int count;
};

TEST(Replace, WalksEveryOccurrenceWithoutSearchingInsertedText)
{
    const ReplaceCase cases[] = {
        {"aaa", "a", "b", false, false, "bbb", 3},
        {"abab", "ab", "abab", false, false, "abababab", 2},
        {"a-a-a", "a", "", false, false, "--", 3},
        {"AbC abc", "abc", "x", false, false, "x x", 2},
        {"AbC abc", "abc", "x", true, false, "AbC x", 1},
        {"\xC9t\xE9", "\xE9", "e", false, false, "\xC9te", 1},  // only a-z fold: É stays
        {"cat concat cat.", "cat", "dog", false, true, "dog concat dog.", 2},
        {"cat_cat", "cat", "dog", false, true, "dog_dog", 2},  // '_' is no letter or digit
        {"x", "", "y", false, false, "x", 0},
    };
    for (const ReplaceCase& c : cases) {
        auto db = Cells({c.value});
        TReplaceOptions o = Options(c.from, c.to);
        o.CaseSensitive = c.caseSensitive;
        o.WordSearch = c.wordSearch;
        const TReplaceResult r = ReplaceText(*db, o, {});
        EXPECT_EQ(db->GetCell(1, 1), c.result) << c.value;
        EXPECT_EQ(r.Count, c.count) << c.value;
    }
}

TEST(Replace, PromptAnswers)
{
    auto db = Cells({"a a", "a"});
    Script s{{TReplaceAnswer::No, TReplaceAnswer::Yes, TReplaceAnswer::YesToAll}};
    const TReplaceResult r = ReplaceText(*db, Options("a", "b", true), s.Callbacks());
    EXPECT_EQ(db->GetCell(1, 1), "a b");
    EXPECT_EQ(db->GetCell(2, 1), "b");
    EXPECT_EQ(r.Count, 2);
    ASSERT_EQ(s.asked.size(), 3u);  // none after "All"
    EXPECT_EQ(s.asked[0].second, "Replace in record #1, field \"Name\"?");
    EXPECT_EQ(s.asked[2].second, "Replace in record #2, field \"Name\"?");
}

TEST(Replace, CancelKeepsEarlierChangesAndEndsWithoutSummary)
{
    auto first = Cells({"a", "a"});
    first->Modified = false;
    Script s{{TReplaceAnswer::Cancel}};
    EXPECT_TRUE(ReplaceText(*first, Options("a", "b", true), s.Callbacks()).Cancelled);
    EXPECT_EQ(first->GetCell(1, 1), "a");
    EXPECT_FALSE(first->Modified);

    auto later = Cells({"a", "a"});
    Script t{{TReplaceAnswer::Yes, TReplaceAnswer::Cancel}};
    EXPECT_TRUE(ReplaceText(*later, Options("a", "b", true), t.Callbacks()).Cancelled);
    EXPECT_EQ(later->GetCell(1, 1), "b");
    EXPECT_EQ(later->GetCell(2, 1), "a");
}

TEST(Replace, BoundaryQuestion)
{
    const std::string near(3990, 'x');
    const std::string grown = near + "aa";  // "a" -> 6 letters: 3992 -> 4002
    {
        auto db = Cells({grown, grown, grown});
        Script s{{TReplaceAnswer::NoToAll}};
        const TReplaceResult r = ReplaceText(*db, Options("a", "bbbbbb"), s.Callbacks());
        ASSERT_EQ(s.asked.size(), 1u);
        EXPECT_EQ(s.asked[0].first, TReplaceQuestion::BoundaryCross);
        EXPECT_EQ(s.asked[0].second,
                  "Replacement in record #1, field \"Name\" will result in 4K-Boundary cross. OK?");
        EXPECT_EQ(db->GetCell(3, 1), grown);  // dropped silently
        EXPECT_EQ(r.Count, 0);
        EXPECT_EQ(r.CellsWritten, 0);
    }
    {
        auto db = Cells({grown, grown});
        Script s{{TReplaceAnswer::No, TReplaceAnswer::Yes}};
        const TReplaceResult r = ReplaceText(*db, Options("a", "bbbbbb"), s.Callbacks());
        EXPECT_EQ(s.asked.size(), 2u);
        EXPECT_EQ(db->GetCell(1, 1), grown);
        EXPECT_EQ(db->GetCell(2, 1).size(), 4002u);
        EXPECT_EQ(r.Count, 2);
    }
    {  // a value already over the limit: never asked
        auto db = Cells({grown, std::string(4001, 'y')});
        Script s;
        ReplaceText(*db, Options("a", "bbbbbb"), s.Callbacks());
        EXPECT_TRUE(s.asked.empty());
        EXPECT_EQ(db->GetCell(1, 1).size(), 4002u);
    }
}

TEST(Replace, SummaryTexts)
{
    EXPECT_EQ(ReplaceSummaryText(0), "No replacements were done...");
    EXPECT_EQ(ReplaceSummaryText(1), "One replacement was performed...");
    EXPECT_EQ(ReplaceSummaryText(12), "12 replacements were performed...");
}

}  // namespace
}  // namespace quorvil
