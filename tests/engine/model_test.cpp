// The in-memory model: cells, Booleans, widths, moving fields and records,
// deleting records, popup lists and the modified flag.
#include "engine_helpers.h"
#include "errors.h"
#include "field_types.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorvil {
namespace {

using Strings = std::vector<std::string>;
using ::testing::ThrowsMessage;

TEST(ModelCells, booleans_store_1_and_0_a_real_change_sets_modified_and_bad_indexes_raise_range_errors)
{
    auto db = MemoryDatabase({{"Flag", TFieldType::Boolean}, {"Text"}}, Rows(2));
    db->SetCell(1, 1, "");
    db->SetFieldName(1, "Flag");
    db->SetColumnWidth(1, db->GetColumnWidth(1));
    db->MoveField(2, 2);
    EXPECT_FALSE(db->Modified()) << "equal values change nothing";
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"TrUe", "1", "TRUE"}, {"FALSE", "0", "FALSE"}, {"Yes", "Yes", "Yes"}, {"1", "1", "TRUE"}};
    for (const auto& [text, stored, shown] : cases) {
        db->SetCell(1, 1, text);
        EXPECT_EQ(db->GetCell(1, 1) + "|" + db->GetDisplayCell(1, 1), std::string(stored) + "|" + shown) << text;
    }
    EXPECT_TRUE(db->Modified());
    db->SetCell(1, 2, "true");
    EXPECT_EQ(db->GetCell(1, 2), "true") << "only Boolean fields translate";
    EXPECT_EQ(db->GetCell(0, 1) + db->GetCell(3, 1) + db->GetCell(1, 3) + db->GetPopupItem(99, 1), "");
    for (int r : {3, 0})
        EXPECT_THROW(db->SetCell(r, 1, "x"), ERangeError) << r;
    EXPECT_THAT([&] { db->DeleteRecord(3); }, ThrowsMessage<ERangeError>("Delete: Record index out of range (3)"));
    EXPECT_THAT([&] { db->MoveField(0, 1); }, ThrowsMessage<ERangeError>("MoveField: FromIndex out of range (0)"));
    EXPECT_THAT([&] { db->MoveField(1, 3); }, ThrowsMessage<ERangeError>("MoveField: ToIndex out of range (3)"));
}

TEST(ModelWidths, widths_follow_the_rule_of_the_layout)
{
    // 5.x: small widths become 20 with their sign, 0 stays 0; before 5.x at
    // least 20 as an unsigned value, read back at most 32767.
    const std::tuple<int, int, int> cases[] = {{3, 5, 20},   {3, -7, -20}, {3, 0, 0},         {3, -32768, -32768},
                                               {2, -7, -20}, {1, 0, 20},   {1, 32767, 32767}, {1, -20, 32767}};
    for (const auto& [layout, set, read] : cases) {
        auto db = MemoryDatabase({{"A"}});
        db->ConvertLayout(TLayout(layout));
        db->SetColumnWidth(1, set);
        EXPECT_EQ(db->GetColumnWidth(1), read) << layout << ": " << set;
        db->ConvertLayout(layout == 3 ? TLayout::JFilePro4 : TLayout::JFile55);
        if (layout == 3 && set == 0) {
            EXPECT_EQ(db->GetColumnWidth(1), 20) << "a conversion applies the new layout's rule";
        }
    }
}

TEST(ModelMoveField, moving_a_field_moves_names_cells_widths_types_popups_and_defaults_but_not_view_settings)
{
    const TFieldType types[] = {TFieldType::Integer, TFieldType::Date, TFieldType::Time};
    auto db = MemoryDatabase({{"A", types[0], {"p1"}}, {"B", types[1], {"p2"}}, {"C", types[2], {"p3"}}},
                             {{}, {"f1", "f2", "f3"}});
    for (int f = 1; f <= 3; ++f)
        db->SetColumnWidth(f, 100 + f);
    // Texts that a Boolean field would store otherwise move as they are.
    db->SetFieldType(2, TFieldType::Boolean);
    db->SetCell(1, 3, "TRUE");
    db->MoveField(1, 3);
    EXPECT_EQ(db->GetCell(1, 2), "TRUE");
    db->SetFieldType(1, TFieldType::Date);
    const int order[] = {2, 3, 1};
    for (int i = 1; i <= 3; ++i) {
        const int old = order[i - 1];
        EXPECT_EQ(std::tuple(db->GetFieldName(i), db->GetColumnWidth(i), db->GetFieldType(i), db->GetPopupItem(i, 1),
                             db->GetCell(2, i)),
                  std::tuple(std::string(1, char('A' + old - 1)), 100 + old, types[old - 1], "p" + std::to_string(old),
                             "f" + std::to_string(old)));
    }
    auto loaded = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    loaded->MoveField(1, 6);
    // A default goes with its field: left behind it would fill another field.
    EXPECT_EQ(std::tuple(loaded->GetFieldName(6),
                         loaded->GetDefault(6) + "|" + loaded->GetDefault(1) + "|" + loaded->GetDefault(3),
                         loaded->GetSortField(1), loaded->FilterField()),
              std::tuple("Plant", "Seedling||North", 2, 4));
}

TEST(ModelRecords, moved_records_go_before_the_target_and_deleting_swapping_and_resizing_keep_records_whole)
{
    const std::tuple<std::vector<int>, int, Strings> cases[] = {
        {{2}, 1, {"2", "1", "3"}},
        {{2, 4}, 3, {"1", "3", "2", "4", "5"}},
        {{5, 0, 1}, 4, {"1", "2", "3", "5", "4"}},  // the list ends at its first 0
        {{2, 2}, 1, {"2", "1", "3"}},               // listed twice, moved once
        {{1}, 3, {"1", "2", "3"}},                  // out of range: only two records stay
        {{4}, 1, {"1", "2", "3"}},
    };
    for (const auto& [moved, target, order] : cases) {
        Rows rows;
        for (size_t r = 1; r <= order.size(); ++r)
            rows.push_back({std::to_string(r), "t" + std::to_string(r)});
        auto db = MemoryDatabase({{"N"}, {"Tag"}}, rows);
        const bool valid = order != Column(*db, 1);
        if (valid)
            db->MoveRecords(moved, target);
        else
            EXPECT_THROW(db->MoveRecords(moved, target), ERangeError);
        EXPECT_EQ(Column(*db, 1), order);
        EXPECT_EQ(db->GetCell(1, 2), "t" + db->GetCell(1, 1)) << "whole records move";
        EXPECT_EQ(db->Modified(), valid);
    }
    auto db = MemoryDatabase({{"N"}}, {{"1"}, {"2"}, {"3"}, {"4"}});
    db->DeleteRecord(2);
    db->SwapRecords(1, 3);
    db->SetRecordCount(4);
    EXPECT_EQ(Column(*db, 1), (Strings{"4", "3", "1", ""}));
    db->SetRecordCount(1);
    EXPECT_EQ(std::pair(Column(*db, 1), db->RecordList.size()), std::pair(Strings{"4"}, size_t(1)));
}

TEST(ModelPopups, the_count_stops_at_the_first_empty_value_and_renaming_renames_cells_of_a_loaded_file)
{
    auto db = MemoryDatabase({{"Kind"}}, Rows(1));
    for (int k : {1, 2, 4})
        db->SetPopupItem(1, k, std::string(1, char('a' + k - 1)));
    EXPECT_EQ(std::pair(db->PopupCount(1), db->GetPopupItem(1, 4)), std::pair(2, std::string("d")));
    db->SetCell(1, 1, "a");
    db->SetPopupItem(1, 1, std::string(300, 'x'));
    EXPECT_EQ(db->GetPopupItem(1, 1), std::string(255, 'x'));
    EXPECT_EQ(db->GetCell(1, 1), "a") << "a new database keeps its cells";

    auto loaded = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    loaded->SetPopupItem(4, 3, "Tea room");
    EXPECT_EQ(Column(*loaded, 4), (Strings{"North", "Tea room", ""}));
    loaded->ConvertLayout(TLayout::JFilePro4);
    EXPECT_EQ(loaded->GetDefault(1) + loaded->GetSavedSortName(1), "") << "no 5.x extras in Pro 4.x";
    loaded->ConvertLayout(TLayout::JFile55);
    EXPECT_EQ(loaded->GetDefault(1), "Seedling") << "but kept while hidden";
}

}  // namespace
}  // namespace quorvil
