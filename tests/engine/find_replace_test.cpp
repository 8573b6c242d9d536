#include "engine_helpers.h"
#include "field_types.h"
#include "find_replace.h"
#include "record_filter.h"

#include <gtest/gtest.h>

#include <deque>

namespace quorvil {
namespace {

// Thirty katakana ア (83 41).
#define K10 "\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41\x83\x41"
#define K30 K10 K10 K10

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
        TCharset set = TCharset::Windows1252;
    } cases[] = {
        {"M\xFCller", "M\xDCLLER", false, false, true},  // Müller by MÜLLER: every letter folds
        {"abc", "", false, false, false},                // an empty text occurs nowhere
        {"cat concat cat.", "CAT", false, true, true},
        {"concat cat", "CAT", false, true, false},  // only the first occurrence counts
        {"cat;", "CAT", false, true, false},        // ';' is no word end for Find
        {"line1\r\nline2", "1\r\nL", false, false, true},
        {"\xFF", "\x9F", false, false, true},  // ÿ / Ÿ
        // Letters of the other single-byte sets fold in their own set.
        {"\xB3\xF3\x64\x9F", "\xA3\xD3\x44\x8F", false, false, false},  // łódź / ŁÓDŹ read as Western
        {"\xB3\xF3\x64\x9F", "\xA3\xD3\x44\x8F", false, false, true, TCharset::Windows1250},
        {"\xEC\xEE\xF1\xEA\xE2\xE0", "\xCC\xCE\xD1", false, false, true, TCharset::Windows1251},  // москва / МОС
        {"\xEC\xEE\xF1\xEA\xE2\xE0", "\xCC\xCE\xD1", true, false, false, TCharset::Windows1251},
        {"\xE1\xEB\xF6\xE1", "\xCB\xD6", false, false, true, TCharset::Windows1253},  // αλφα / ΛΦ
        {"I\xF0\x64\xFDr", "D\xDDR", false, false, false, TCharset::Windows1254},     // dır is no DİR
        // A two-byte character is never matched in part: ア is 83 41, ソ 83 5C,
        // 臺 BB 4F, 北 A5 5F, 功 A5 5C, 丂 81 40, 똠 8C 63.
        {"\x83\x41", "A", true, false, false, TCharset::ShiftJis},
        {"\x83\x41", "a", false, false, false, TCharset::ShiftJis},
        {"\x83\x5C", "\\", true, false, false, TCharset::ShiftJis},
        {"\x83\x5C\x95\x5C\x5C\x82\xA0", "\\", true, false, true, TCharset::ShiftJis},  // the third "\\"
        {"\x83\x41\x62\x63", "BC", false, false, true, TCharset::ShiftJis},
        {"A\x83\x41", "A\x83", true, false, false, TCharset::ShiftJis},  // would end inside ア
        {"\x83\x41 cat", "CAT", false, true, true, TCharset::ShiftJis},
        {"\xBB\x4F", "o", false, false, false, TCharset::Big5},
        {"\xA5_", "_", true, false, false, TCharset::Big5},
        {"\xA5\x5C", "\\", true, false, false, TCharset::Big5},
        {"\xBB\x4F\xA5_", "\xA5_", true, false, true, TCharset::Big5},
        {"\x81\x40", "@", true, false, false, TCharset::Gbk},
        {"\x8C\x63", "C", false, false, false, TCharset::EucKr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindMatchesValue(c.value, c.text, c.caseSensitive, c.wordSearch, c.set), c.matches)
            << CharsetName(c.set) << ": " << c.value << " / " << c.text;
    // Every text of a database written in each set is found in its record,
    // by Find and by the filter row, any case, in the database's set.
    for (const pdbtest::CharsetSample& sample : pdbtest::CharsetSamples()) {
        auto db = LoadImage(pdbtest::Build(pdbtest::CharsetDatabase(sample)));
        db->SetCharset(*CharsetByName(sample.set));
        for (size_t r = 0; r < sample.records.size(); ++r)
            for (size_t f = 0; f < sample.records[r].size(); ++f) {
                const std::string& text = sample.records[r][f].bytes;
                EXPECT_TRUE(FindRecords(*db, text, false, {true, true, true}, false)[r]) << sample.set << " " << text;
                const TRecordFilter filter(*db, {{int(f) + 1, text}});
                EXPECT_TRUE(filter.Matches(*db, int(r) + 1)) << sample.set << " " << text;
            }
    }
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
        TCharset set = TCharset::Windows1252;
    } cases[] = {
        {"abab", "ab", "abab", false, false, "abababab", 2},
        {"AbC abc", "abc", "x", true, false, "AbC x", 1},
        {"\xC9t\xE9", "\xE9", "e", false, false, "\xC9te", 1},  // only a-z fold: É stays
        {"cat concat cat.", "cat", "dog", false, true, "dog concat dog.", 2},
        {"cat_cat", "cat", "dog", false, true, "dog_dog", 2},  // '_' is no letter or digit
        // Never inside a two-byte character (ア 83 41, ャ 83 61, ソ 83 5C, ァ 83 40,
        // 功 A5 5C), which counts as a letter of a word.
        {"\x83\x41\x41", "a", "b", false, false, "\x83\x41\x62", 1, TCharset::ShiftJis},
        {"\x83\x61", "A", "b", false, false, "\x83\x61", 0, TCharset::ShiftJis},
        {"\x83\x5C\\", "\\", "/", true, false, "\x83\x5C/", 1, TCharset::ShiftJis},
        {"\x83@cat cat\x83@ cat", "cat", "dog", false, true, "\x83@cat cat\x83@ dog", 1, TCharset::ShiftJis},
        {"\xA5\x5C\\", "\\", "/", true, false, "\xA5\x5C/", 1, TCharset::Big5},
    };
    for (const auto& c : cases) {
        auto db = Cells({c.value});
        db->SetCharset(c.set);
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
        TCharset set = TCharset::Windows1252;
    } questions[] = {
        {"big Bolt, small bolt", 4, 4, "\"Bolt\" with \"b\" in:\nbig [Bolt], small bolt"},
        {"first line\nsecond", 11, 6, "\"second\" with \"b\" in:\nfirst line\xA4[second]"},
        {"0123456789012345678901234567890123456789xy0123456789012345678901234567890123456789", 40, 2,
         "\"xy\" with \"b\" in:\n...012345678901234567890123456789[xy]012345678901234567890123456789..."},
        // 30 characters around, never half of one (ア is 83 41); the set's own
        // mark of a line break.
        {"\x83\x41" K30 "xy" K30 "\x83\x41", 62, 2, "\"xy\" with \"b\" in:\n..." K30 "[xy]" K30 "...",
         TCharset::ShiftJis},
        {"a\nb", 1, 1, "\"\xA1\xE8\" with \"b\" in:\na[\xA1\xE8]b", TCharset::Gbk},
    };
    for (const auto& q : questions)
        EXPECT_EQ(ReplaceQuestionText(7, "Note", q.value, q.at, q.length, "b", q.set),
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
