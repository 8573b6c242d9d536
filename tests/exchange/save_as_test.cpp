// Save as: the file equals what quorvil-cli convert writes, the open database
// stays as it was, and the questions about values the layout would cut.
#include "cli_helpers.h"
#include "exchange_fixtures.h"
#include "jfile.h"
#include "sample_db.h"
#include "save_as.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <tuple>

namespace quorvil {
namespace {

// The cells, then the layout, the modified flag, the field names and types.
exchangetest::Rows Take(const TJFILE& db)
{
    exchangetest::Rows s = exchangetest::CellsOf(db);
    s.push_back({std::to_string(db.Layout), db.Modified ? "modified" : ""});
    for (int f = 1; f <= db.FieldCount(); ++f)
        s.back().push_back(db.GetFieldName(f) + ":" + std::to_string(db.GetFieldType(f)));
    return s;
}

std::unique_ptr<TJFILE> OpenBuilt(const testkit::TempDir& dir, const pdbtest::Database& d)
{
    testkit::WriteBytes(dir / "open.pdb", pdbtest::Build(d));
    return Open(dir / "open.pdb");
}

class SaveAsLayout : public ::testing::TestWithParam<std::tuple<int, int, bool>> {};

TEST_P(SaveAsLayout, writes_what_convert_writes_and_leaves_the_open_database_alone)
{
    const auto [from, to, modified] = GetParam();
    testkit::TempDir dir;
    auto db = OpenBuilt(dir, pdbtest::SampleDatabase(from));
    db->Modified = modified;
    const auto before = Take(*db);
    ASSERT_TRUE(SaveAs(*db, to, dir / "saved.pdb", [](const TLongValue&) {
        ADD_FAILURE();
        return TLengthAnswer::Cancel;
    }));
    const CliResult converted =
        RunInProcess({"convert", dir / "open.pdb", "--layout", std::to_string(to), "-o", dir / "converted.pdb"});
    ASSERT_EQ(converted.code, 0) << converted.err;
    const nlohmann::json saved = InfoJson(dir / "saved.pdb");
    EXPECT_EQ(saved["layout"], to == 2 ? 3 : to);  // 5.x and 5.5 files share their creator
    EXPECT_EQ(saved, InfoJson(dir / "converted.pdb"));
    EXPECT_EQ(Take(*db), before);
    EXPECT_EQ(db->FileName, dir / "open.pdb");
}

INSTANTIATE_TEST_SUITE_P(EachLayoutPair, SaveAsLayout,
                         ::testing::Combine(::testing::Range(0, 4), ::testing::Range(0, 4), ::testing::Bool()));

using A = TLengthAnswer;

TEST(SaveAs, asks_about_each_long_string_value_and_cuts_it_in_the_file_only)
{
    const struct {
        const char* name;
        std::vector<std::vector<size_t>> lengths;  // of fields A, B, Kind (a list), Notes
        int layout;
        std::vector<A> answers;
        std::vector<std::pair<int, int>> asked;  // (record, field) in order
    } cases[] = {
        {"one value truncated", {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 4100}}, 2, {A::Truncate}, {{3, 4}}},
        {"none in 5.5", {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 4100}}, 3, {}, {}},
        {"truncate all skips the rest of the record", {{4001, 5000, 1, 1}, {1, 4500, 1, 1}}, 0,
         {A::TruncateAll, A::Truncate}, {{1, 1}, {2, 2}}},
        {"truncate goes on in the record", {{4001, 5000, 1, 1}, {1, 4500, 1, 1}}, 1,
         {A::Truncate, A::Truncate, A::Truncate}, {{1, 1}, {1, 2}, {2, 2}}},
        {"list values are cut unasked", {{1, 1, 4200, 1}}, 2, {}, {}},
        {"cancel writes nothing", {{4001, 5000, 1, 1}}, 0, {A::Cancel}, {{1, 1}}},
    };
    for (const auto& c : cases) {
        testkit::TempDir dir;
        pdbtest::Database d;
        d.layout = 3;
        d.fields = {{"A"}, {"B"}, {"Kind", pdbtest::kList}, {"Notes"}};
        for (const auto& row : c.lengths) {
            d.records.emplace_back();
            for (size_t n : row)
                d.records.back().cells.push_back(std::string(n, 'x'));
        }
        auto db = OpenBuilt(dir, d);
        const auto before = Take(*db);
        testkit::WriteText(dir / "out.pdb", "old");
        std::vector<std::pair<int, int>> asked;
        const bool written = SaveAs(*db, c.layout, dir / "out.pdb", [&](const TLongValue& v) {
            EXPECT_EQ(v.Length, c.lengths[size_t(v.Record - 1)][size_t(v.Field - 1)]) << c.name;
            EXPECT_EQ(v.Max, c.layout == 3 ? 32000u : 4000u) << c.name;
            asked.emplace_back(v.Record, v.Field);
            return c.answers[asked.size() - 1];
        });
        EXPECT_EQ(asked, c.asked) << c.name;
        EXPECT_EQ(Take(*db), before) << c.name;
        const bool cancelled = !c.answers.empty() && c.answers.back() == A::Cancel;
        EXPECT_EQ(written, !cancelled) << c.name;
        if (cancelled) {
            EXPECT_EQ(testkit::ReadText(dir / "out.pdb"), "old");
            continue;
        }
        const pdbtest::Database saved = pdbtest::Parse(testkit::ReadBytes(dir / "out.pdb"), 0, c.layout == 2).db;
        for (size_t r = 0; r < c.lengths.size(); ++r)
            for (size_t f = 0; f < 4; ++f)
                EXPECT_EQ(saved.records[r].cells[f].size(), std::min(c.lengths[r][f], LongestValue(c.layout)))
                    << c.name;
    }
}

}  // namespace
}  // namespace quorvil
