#include "copy_records.h"
#include "exchange_fixtures.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using exchangetest::CellsOf;
using exchangetest::Rows;
using exchangetest::Table;

TEST(CopyRecords, updates_every_target_record_of_the_key_and_appends_the_rest)
{
    const struct {
        const char* name;
        const char* phoneName;  // of the source's second field
        Rows selected;
        Rows target;  // Phone, Name, City after the copy
        int copied;
    } cases[] = {
        {"both Ann records updated, Bob appended", "Phone", {{"Ann", "555"}, {"Bob", "777"}},
         {{"555", "Ann", "Oslo"}, {"1", "Cy", ""}, {"555", "Ann", "Rome"}, {"777", "Bob", ""}}, 4},
        {"phone matches Phone only when appending", "phone", {{"Ann", "555"}, {"Bob", "777"}},
         {{"111", "Ann", "Oslo"}, {"1", "Cy", ""}, {"222", "Ann", "Rome"}, {"777", "Bob", ""}}, 2},
        {"a second new record of one key updates the first", "Phone", {{"Bob", "777"}, {"Bob", "888"}},
         {{"111", "Ann", "Oslo"}, {"1", "Cy", ""}, {"222", "Ann", "Rome"}, {"888", "Bob", ""}}, 3},
        {"identical records copy nothing", "Phone", {{"Cy", "1"}},
         {{"111", "Ann", "Oslo"}, {"1", "Cy", ""}, {"222", "Ann", "Rome"}}, 0},
    };
    for (const auto& c : cases) {
        auto source = Table({{"Name"}, {c.phoneName}}, c.selected);
        auto target = Table({{"Phone"}, {"Name"}, {"City"}},
                            {{"111", "Ann", "Oslo"}, {"1", "Cy", ""}, {"222", "Ann", "Rome"}});
        const TCopyResult result = CopyRecords(*source, c.selected.size() == 1 ? std::vector{1} : std::vector{1, 2},
                                               *target);
        EXPECT_TRUE(result.Keyed) << c.name;
        EXPECT_EQ(result.Copied, c.copied) << c.name;
        EXPECT_EQ(CellsOf(*target), c.target) << c.name;
    }
}

TEST(CopyRecords, finds_the_key_by_exact_name_in_source_field_order)
{
    auto source = Table({{"city"}, {"Name"}, {"Phone"}}, {});
    auto target = Table({{"Phone"}, {"City"}, {"Name"}}, {});
    EXPECT_EQ(FindKeyFields(*source, *target).Source, 2);
    EXPECT_EQ(FindKeyFields(*source, *target).Target, 3);
    EXPECT_EQ(FindKeyFields(*source, *target, "Phone").Target, 1);
    EXPECT_EQ(FindKeyFields(*source, *target, "City").Source, 0);
    EXPECT_EQ(CopyMessage(0) + CopyMessage(1) + CopyMessage(12), "No fields copied.1 field copied.12 fields copied.");
}

TEST(CopyRecords, into_a_file_without_a_shared_field_rewrites_it_unchanged)
{
    testkit::TempDir dir;
    exchangetest::SaveAs(*Table({{"Phone"}}, {{"555"}}), dir / "t.pdb");
    const auto before = testkit::ReadBytes(dir / "t.pdb");
    EXPECT_FALSE(CopyRecordsToFile(*Table({{"Name"}}, {{"Ann"}}), {1}, dir / "t.pdb").Keyed);
    EXPECT_EQ(testkit::ReadBytes(dir / "t.pdb"), before);
}

}  // namespace
}  // namespace quorvil
