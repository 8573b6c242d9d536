// The in-memory model: cells, Booleans, widths, moving fields and records,
// deleting records, popup lists and the modified flag.
#include "engine_helpers.h"
#include "errors.h"
#include "field_types.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvil {
namespace {

using Strings = std::vector<std::string>;

Strings Column(const TJFILE& db, int field)
{
    Strings cells;
    for (int r = 1; r <= db.RecordCount(); ++r)
        cells.push_back(db.GetCell(r, field));
    return cells;
}

// Records whose cells are "1", "t1"; "2", "t2"; ...
std::unique_ptr<TJFILE> Numbered(int count)
{
    auto db = NewDatabase(3, {"N", "Tag"}, count);
    for (int r = 1; r <= count; ++r) {
        db->SetCell(r, 1, std::to_string(r));
        db->SetCell(r, 2, "t" + std::to_string(r));
    }
    db->Modified = false;
    return db;
}

std::string RangeError(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ERangeError& e) {
        return e.what();
    }
    return "(no range error)";
}

TEST(ModelCells, booleans_store_1_and_0_for_the_true_and_false_texts_in_any_case)
{
    auto db = NewDatabase(3, {"Flag", "Text"}, 1, kTypeBoolean);
    db->SetFieldType(2, kTypeString);
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"true", "1", "TRUE"}, {"TrUe", "1", "TRUE"}, {"FALSE", "0", "FALSE"}, {"Yes", "Yes", "Yes"},
        {"1", "1", "TRUE"},    {"", "", ""}};
    for (const auto& [text, stored, shown] : cases) {
        db->SetCell(1, 1, text);
        EXPECT_EQ(db->GetCell(1, 1), stored) << text;
        EXPECT_EQ(db->GetDisplayCell(1, 1), shown) << text;
    }
    db->SetCell(1, 2, "true");
    EXPECT_EQ(db->GetCell(1, 2), "true") << "only Boolean fields translate";
}

TEST(ModelCells, a_real_change_sets_modified_and_out_of_range_writes_raise_range_errors)
{
    auto db = NewDatabase(3, {"A"}, 2);
    db->SetCell(1, 1, "");
    EXPECT_FALSE(db->Modified);
    db->SetCell(1, 1, "x");
    EXPECT_TRUE(db->Modified);
    db->Modified = false;
    db->SetCell(1, 1, "x");
    db->SetFieldName(1, "A");
    db->SetColumnWidth(1, db->GetColumnWidth(1));
    db->SetFieldType(1, db->GetFieldType(1));
    EXPECT_FALSE(db->Modified) << "equal values change nothing";

    EXPECT_EQ(db->GetCell(0, 1) + db->GetCell(3, 1) + db->GetCell(1, 2) + db->GetPopupItem(99, 1), "");
    EXPECT_EQ(db->GetFieldType(2), 0);
    for (int r : {3, 0, -1})
        EXPECT_THROW(db->SetCell(r, 1, "x"), ERangeError) << r;
    EXPECT_EQ(RangeError([&] { db->DeleteRecord(3); }), "Delete: Record index out of range (3)");
}

TEST(ModelCells, fields_are_found_by_name_ignoring_case)
{
    auto db = NewDatabase(3, {"Name", "\xC9t\xE9", "name"});
    EXPECT_EQ(db->FieldIndexByName("NAME"), 1);
    EXPECT_EQ(db->FieldIndexByName("\xE9T\xC9"), 2);
    EXPECT_EQ(db->FieldIndexByName("Nam"), 0);
}

TEST(ModelWidths, widths_follow_the_rule_of_the_layout)
{
    // 5.x: small widths become 20 with their sign, 0 stays 0; before 5.x at
    // least 20 as an unsigned value, read back at most 32767.
    const std::tuple<int, int, int> cases[] = {
        {3, 5, 20},   {3, -7, -20},  {3, 0, 0},   {3, 19, 20},    {3, -20, -20},  {3, 250, 250},
        {3, -32768, -32768}, {2, -7, -20}, {1, 5, 20}, {1, 0, 20}, {1, 32767, 32767}, {1, -20, 32767},
        {0, 10, 20},  {0, 300, 300}, {0, -7, 32767}};
    for (const auto& [layout, set, read] : cases) {
        auto db = NewDatabase(layout, {"A"});
        db->SetColumnWidth(1, set);
        EXPECT_EQ(db->GetColumnWidth(1), read) << layout << ": " << set;
    }
    auto db = NewDatabase(3, {"A", "B"});
    db->SetColumnWidth(2, 0);
    db->ConvertLayout(1);
    EXPECT_EQ(db->GetColumnWidth(2), 20) << "a conversion applies the new layout's rule";
}

TEST(ModelMoveField, moving_a_field_moves_names_cells_widths_types_and_popups_but_not_view_settings)
{
    auto db = NewDatabase(3, {"A", "B", "C"}, 2);
    const uint16_t types[] = {kTypeInteger, kTypeDate, kTypeTime};
    for (int f = 1; f <= 3; ++f) {
        db->SetColumnWidth(f, 100 + f);
        db->SetPopupItem(f, 1, "p" + std::to_string(f));
        db->SetFieldType(f, types[f - 1]);
        for (int r = 1; r <= 2; ++r)
            db->SetCell(r, f, "r" + std::to_string(r) + "f" + std::to_string(f));
    }
    db->Modified = false;
    db->MoveField(1, 3);
    EXPECT_TRUE(db->Modified);
    const int order[] = {2, 3, 1};
    for (int i = 1; i <= 3; ++i) {
        const int old = order[i - 1];
        EXPECT_EQ(std::tuple(db->GetFieldName(i), db->GetColumnWidth(i), db->GetFieldType(i),
                             db->GetPopupItem(i, 1), db->GetCell(2, i)),
                  std::tuple(std::string(1, char('A' + old - 1)), 100 + old, types[old - 1],
                             "p" + std::to_string(old), "r2f" + std::to_string(old)));
    }
    db->MoveField(3, 1);
    EXPECT_EQ(Column(*db, 1), (Strings{"r1f1", "r2f1"}));

    auto loaded = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    loaded->MoveField(1, 6);
    EXPECT_EQ(loaded->GetFieldName(6), "Plant");
    EXPECT_EQ(loaded->GetDefault(1), "Seedling");
    EXPECT_EQ(loaded->GetSortField(1), 2);
    EXPECT_EQ(loaded->FilterField(), 4);
}

TEST(ModelMoveField, indexes_out_of_range_raise_range_errors_with_the_index)
{
    auto db = NewDatabase(3, {"A", "B"});
    EXPECT_EQ(RangeError([&] { db->MoveField(0, 1); }), "MoveField: FromIndex out of range (0)");
    EXPECT_EQ(RangeError([&] { db->MoveField(3, 1); }), "MoveField: FromIndex out of range (3)");
    EXPECT_EQ(RangeError([&] { db->MoveField(1, 3); }), "MoveField: ToIndex out of range (3)");
    EXPECT_EQ(RangeError([&] { db->MoveField(2, -1); }), "MoveField: ToIndex out of range (-1)");
    db->MoveField(2, 2);
    EXPECT_FALSE(db->Modified);
}

TEST(ModelRecords, moved_records_go_before_the_target_among_those_that_stay)
{
    const std::tuple<std::vector<int>, int, Strings> cases[] = {
        {{2}, 1, {"2", "1", "3"}},
        {{1}, 2, {"2", "1", "3"}},
        {{3, 1}, 1, {"3", "1", "2", "4", "5"}},
        {{2, 4}, 3, {"1", "3", "2", "4", "5"}},
        {{5, 0, 1}, 4, {"1", "2", "3", "5", "4"}},  // the list ends at its first 0
        {{2, 2}, 1, {"2", "1", "3"}},               // listed twice, moved once
    };
    for (const auto& [moved, target, order] : cases) {
        auto db = Numbered(int(order.size()));
        db->MoveRecords(moved, target);
        EXPECT_EQ(Column(*db, 1), order);
        EXPECT_EQ(db->GetCell(1, 2), "t" + db->GetCell(1, 1)) << "whole records move";
        EXPECT_TRUE(db->Modified);
    }
    auto db = Numbered(3);
    EXPECT_THROW(db->MoveRecords({1}, 3), ERangeError) << "only two records stay";
    EXPECT_THROW(db->MoveRecords({1}, 0), ERangeError);
    EXPECT_THROW(db->MoveRecords({4}, 1), ERangeError);
    EXPECT_THROW(db->MoveRecords({1, 2, 3}, 1), ERangeError);
    EXPECT_EQ(Column(*db, 1), (Strings{"1", "2", "3"}));
    EXPECT_FALSE(db->Modified);
}

TEST(ModelRecords, deleting_swapping_growing_and_shrinking_keep_records_whole)
{
    auto db = Numbered(4);
    db->DeleteRecord(2);
    EXPECT_TRUE(db->Modified);
    EXPECT_EQ(Column(*db, 1), (Strings{"1", "3", "4"}));
    EXPECT_EQ(db->RecordList.size(), 3u);
    db->SwapRecords(1, 3);
    EXPECT_EQ(Column(*db, 2), (Strings{"t4", "t3", "t1"}));
    db->SetRecordCount(5);
    EXPECT_EQ(Column(*db, 1), (Strings{"4", "3", "1", "", ""}));
    db->SetRecordCount(1);
    EXPECT_EQ(Column(*db, 1), (Strings{"4"}));
    EXPECT_EQ(db->RecordList.size(), 1u);
}

TEST(ModelPopups, the_count_stops_at_the_first_empty_value_and_values_keep_255_bytes)
{
    auto db = NewDatabase(3, {"Kind"});
    db->SetPopupItem(1, 1, "a");
    db->SetPopupItem(1, 2, "b");
    db->SetPopupItem(1, 4, "d");
    EXPECT_EQ(db->PopupCount(1), 2);
    EXPECT_EQ(db->GetPopupItem(1, 4), "d");
    db->SetPopupItem(1, 1, std::string(300, 'x'));
    EXPECT_EQ(db->GetPopupItem(1, 1), std::string(255, 'x'));
}

TEST(ModelPopups, renaming_a_value_renames_cells_only_in_a_loaded_database)
{
    auto fresh = NewDatabase(3, {"Kind"}, 2);
    fresh->SetPopupItem(1, 1, "old");
    fresh->SetCell(1, 1, "old");
    fresh->SetPopupItem(1, 1, "new");
    EXPECT_EQ(fresh->GetCell(1, 1), "old");

    auto loaded = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    loaded->SetPopupItem(4, 3, "Tea room");
    EXPECT_EQ(Column(*loaded, 4), (Strings{"North", "Tea room", ""}));
    EXPECT_TRUE(loaded->Modified);
}

TEST(ModelExtras, defaults_sorts_and_filters_exist_only_in_the_5x_layouts_but_are_kept_while_hidden)
{
    auto db = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    db->ConvertLayout(1);
    EXPECT_EQ(db->GetDefault(1), "");
    EXPECT_EQ(db->GetSavedSortName(1), "");
    EXPECT_EQ(db->GetFilter(2), FilterRec{});
    db->SetDefault(2, "x");
    db->ConvertLayout(3);
    EXPECT_EQ(db->GetDefault(1), "Seedling");
    EXPECT_EQ(db->GetDefault(2), "");
}

TEST(ModelUpdates, batch_operations_notify_once_at_the_end)
{
    struct Counting : TJFILE {
        int calls = 0;
        void SetModified() override
        {
            ++calls;
            TJFILE::SetModified();
        }
    } db;
    db.InitNew();
    db.SetFieldCount(3);
    db.SetRecordCount(3);
    for (int r = 1; r <= 3; ++r)
        for (int f = 1; f <= 3; ++f)
            db.SetCell(r, f, std::to_string(r * f));
    for (const auto& batch : std::vector<std::function<void()>>{[&] { db.MoveField(1, 3); },
                                                                [&] { db.DeleteRecord(1); }}) {
        db.calls = 0;
        batch();
        EXPECT_EQ(db.calls, 1);
    }
}

}  // namespace
}  // namespace quorvil
