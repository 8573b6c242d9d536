// The find's and the filter row's flags on one database: a record is shown
// only while both let it, and each command changes its own flags only.
#include "database.h"
#include "database_fixtures.h"
#include "field_types.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using namespace test;

std::vector<int> Shown(const TDataBase& db)
{
    std::vector<int> shown;
    for (int r = 1; r <= db.RecordCount(); ++r)
        if (db.GetShown(r))
            shown.push_back(r);
    return shown;
}

TEST(ShownFlags, find_and_filter_row_narrow_together_and_apart)
{
    auto tab = MemoryDatabase<TDataBase>({{"Name"}, {"Qty", TFieldType::Integer}},
                                         {{"apple", "3"}, {"apricot", "12"}, {"pear", "12"}, {"grape", "1"}});
    TDataBase& db = *tab;
    auto filter = std::make_shared<const TRecordFilter>(db, std::vector<TFilterBox>{{2, ">5"}});
    db.SetFilter(filter, {0, 1, 1, 0});
    EXPECT_EQ(Shown(db), (std::vector<int>{2, 3}));

    // A find changes its own flags; the filter row's stay.
    for (int r = 1; r <= 4; ++r)
        db.SetShown(r, db.GetCell(r, 1).find("ap") != std::string::npos);
    db.SetLastFind("AP", false, false, {true, false});
    EXPECT_EQ(Shown(db), (std::vector<int>{2}));

    // Flags travel with their records.
    const uint64_t version = db.OrderVersion();
    db.PermuteRecords({2, 1, 4, 3});
    EXPECT_GT(db.OrderVersion(), version);
    EXPECT_EQ(Shown(db), (std::vector<int>{1}));
    db.DeleteRecord(4);  // pear, found by neither
    EXPECT_EQ(Shown(db), (std::vector<int>{1}));
    // A record put back (an undo) is shown as it was, whatever the boxes say.
    TDATA record;
    record.SetField(1, "plum");
    db.InsertRecord(2, record, 1);
    EXPECT_EQ(Shown(db), (std::vector<int>{1, 2}));

    // Highlights: the filter box's cells, and the find's text in its fields only.
    EXPECT_TRUE(db.CellHighlighted(1, 2));   // 12 > 5
    EXPECT_TRUE(db.CellHighlighted(1, 1));   // apricot holds "ap"
    EXPECT_FALSE(db.CellHighlighted(3, 2));  // apple's 3
    db.SetCell(3, 2, "ap");
    EXPECT_FALSE(db.CellHighlighted(3, 2));  // Qty was not searched, and holds no number

    // Ending the filter row keeps the find: grape holds "ap" too.
    db.SetFilter(nullptr, {});
    EXPECT_EQ(Shown(db), (std::vector<int>{1, 2, 3, 4}));
    db.SetShown(4, 0);
    EXPECT_EQ(Shown(db), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(db.CellHighlighted(1, 2));

    db.ShowAll();
    EXPECT_EQ(Shown(db), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_FALSE(db.CellHighlighted(1, 1));
    EXPECT_EQ(db.Filter(), nullptr);
}

}  // namespace
}  // namespace quorvil
