// Save as: the file equals what quorvil-cli convert writes, the open database
// stays as it was, and the questions about values the layout would cut.
#include "cli_helpers.h"
#include "errors.h"
#include "jfile.h"
#include "sample_db.h"
#include "save_as.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace quorvil {
namespace {

using pdbtest::Database;

struct Snapshot {
    int layout;
    bool modified;
    std::vector<std::pair<std::string, uint16_t>> fields;
    std::vector<std::vector<std::string>> cells;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const TJFILE& db)
{
    Snapshot s{db.Layout, db.Modified, {}, {}};
    for (int f = 1; f <= db.FieldCount(); ++f)
        s.fields.emplace_back(db.GetFieldName(f), db.GetFieldType(f));
    for (int r = 1; r <= db.RecordCount(); ++r) {
        s.cells.emplace_back();
        for (int f = 1; f <= db.FieldCount(); ++f)
            s.cells.back().push_back(db.GetCell(r, f));
    }
    return s;
}

std::unique_ptr<TJFILE> OpenBuilt(const testkit::TempDir& dir, const Database& d)
{
    const std::string path = dir.File("open.pdb");
    testkit::WriteBytes(path, pdbtest::Build(d));
    return Open(path);
}

const TLengthQuestion kNeverAsked = [](const TLongValue& v) {
    ADD_FAILURE() << "asked about record " << v.Record << " field " << v.Field;
    return TLengthAnswer::Cancel;
};

class SaveAsLayout : public ::testing::TestWithParam<std::tuple<int, int, bool>> {};

TEST_P(SaveAsLayout, writes_what_convert_writes_and_leaves_the_open_database_alone)
{
    const auto [from, to, modified] = GetParam();
    testkit::TempDir dir;
    auto db = OpenBuilt(dir, pdbtest::SampleDatabase(from));
    db->Modified = modified;
    const Snapshot before = Take(*db);

    ASSERT_TRUE(SaveAs(*db, to, dir.File("saved.pdb"), kNeverAsked));
    const CliResult converted = RunInProcess(
        {"convert", dir.File("open.pdb"), "--layout", std::to_string(to), "-o", dir.File("converted.pdb")});
    ASSERT_EQ(converted.code, 0) << converted.err;

    const nlohmann::json saved = InfoJson(dir.File("saved.pdb"));
    EXPECT_EQ(saved["layout"], to == 2 ? 3 : to);  // 5.x and 5.5 files share their creator
    EXPECT_EQ(saved, InfoJson(dir.File("converted.pdb")));
    EXPECT_EQ(Take(*db), before);
    EXPECT_EQ(db->FileName, dir.File("open.pdb"));
}

INSTANTIATE_TEST_SUITE_P(EachLayoutPair, SaveAsLayout,
                         ::testing::Combine(::testing::Range(0, 4), ::testing::Range(0, 4), ::testing::Bool()));

TEST(SaveAs, to_3x_of_a_30_field_database_writes_20_fields_and_keeps_30_open)
{
    testkit::TempDir dir;
    auto db = OpenBuilt(dir, pdbtest::WideDatabase(3, 30));
    ASSERT_TRUE(SaveAs(*db, 0, dir.File("old.pdb"), kNeverAsked));
    EXPECT_EQ(InfoJson(dir.File("old.pdb"))["field_count"], 20);
    EXPECT_EQ(db->FieldCount(), 30);
    EXPECT_EQ(db->GetCell(1, 30), "r1c30");
    EXPECT_FALSE(db->Modified);
}

TEST(SaveAs, refuses_the_open_database_s_own_file)
{
    testkit::TempDir dir;
    auto db = OpenBuilt(dir, pdbtest::SampleDatabase(3));
    const auto image = testkit::ReadBytes(dir.File("open.pdb"));
    EXPECT_THROW(SaveAs(*db, 0, dir.File("./open.pdb"), kNeverAsked), EStreamError);
    EXPECT_EQ(testkit::ReadBytes(dir.File("open.pdb")), image);
}

// Fields: 1 A (String), 2 B (String), 3 Kind (List), 4 Notes (String).
Database LongValues(const std::vector<std::vector<size_t>>& lengths)
{
    Database d;
    d.layout = 3;
    d.fields = {{"A"}, {"B"}, {"Kind", pdbtest::kList}, {"Notes"}};
    for (const auto& row : lengths) {
        pdbtest::Record rec;
        for (size_t n : row)
            rec.cells.push_back(std::string(n, 'x'));
        d.records.push_back(rec);
    }
    return d;
}

struct LengthCase {
    const char* name;
    std::vector<std::vector<size_t>> lengths;
    int layout;
    std::vector<TLengthAnswer> answers;
    std::vector<std::pair<int, int>> asked;  // (record, field) in order
    bool written;
};

class LengthQuestions : public ::testing::TestWithParam<LengthCase> {};

TEST_P(LengthQuestions, ask_about_each_long_string_value)
{
    const LengthCase& c = GetParam();
    testkit::TempDir dir;
    auto db = OpenBuilt(dir, LongValues(c.lengths));
    const Snapshot before = Take(*db);
    testkit::WriteBytes(dir.File("out.pdb"), {'o', 'l', 'd'});

    std::vector<std::pair<int, int>> asked;
    const bool written = SaveAs(*db, c.layout, dir.File("out.pdb"), [&](const TLongValue& v) {
        EXPECT_EQ(v.Length, c.lengths[size_t(v.Record - 1)][size_t(v.Field - 1)]);
        EXPECT_EQ(v.Max, c.layout == 3 ? 32000u : 4000u);
        asked.emplace_back(v.Record, v.Field);
        return c.answers[asked.size() - 1];
    });
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(Take(*db), before);
    const auto file = testkit::ReadBytes(dir.File("out.pdb"));
    if (!c.written) {
        EXPECT_EQ(file, (std::vector<uint8_t>{'o', 'l', 'd'}));
        return;
    }
    // The values are cut in the file only.
    const Database saved = pdbtest::Parse(file, 0, c.layout == 2).db;
    for (size_t r = 0; r < c.lengths.size(); ++r)
        for (size_t f = 0; f < 4; ++f)
            EXPECT_EQ(saved.records[r].cells[f].size(), std::min(c.lengths[r][f], LongestValue(c.layout)));
}

using A = TLengthAnswer;
INSTANTIATE_TEST_SUITE_P(
    Cases, LengthQuestions,
    ::testing::Values(
        LengthCase{"one_value_truncated", {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 4100}}, 2, {A::Truncate},
                   {{3, 4}}, true},
        LengthCase{"none_in_5_5", {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 4100}}, 3, {}, {}, true},
        LengthCase{"truncate_all_skips_the_rest_of_the_record", {{4001, 5000, 1, 1}, {1, 4500, 1, 1}}, 0,
                   {A::TruncateAll, A::Truncate}, {{1, 1}, {2, 2}}, true},
        LengthCase{"truncate_goes_on_in_the_record", {{4001, 5000, 1, 1}, {1, 4500, 1, 1}}, 1,
                   {A::Truncate, A::Truncate, A::Truncate}, {{1, 1}, {1, 2}, {2, 2}}, true},
        LengthCase{"list_values_are_cut_unasked", {{1, 1, 4200, 1}}, 2, {}, {}, true},
        LengthCase{"cancel_writes_nothing", {{4001, 5000, 1, 1}}, 0, {A::Cancel}, {{1, 1}}, false}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace quorvil
