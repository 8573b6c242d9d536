// The in-memory model: cells, Booleans, widths, moving fields and records,
// deleting records, popup lists and the modified flag.
#include "engine_helpers.h"
#include "errors.h"
#include "field_types.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

std::vector<std::string> Column(const TJFILE& db, int field)
{
    std::vector<std::string> cells;
    for (int r = 1; r <= db.RecordCount(); ++r)
        cells.push_back(db.GetCell(r, field));
    return cells;
}

// Three records whose first cells are "1", "2", "3".
std::unique_ptr<TJFILE> Numbered(int count = 3)
{
    auto db = NewDatabase(3, {"N", "Tag"}, count);
    for (int r = 1; r <= count; ++r) {
        db->SetCell(r, 1, std::to_string(r));
        db->SetCell(r, 2, "t" + std::to_string(r));
    }
    db->Modified = false;
    return db;
}

TEST(ModelCells, booleans_store_1_and_0_for_the_true_and_false_texts_in_any_case)
{
    auto db = NewDatabase(3, {"Flag", "Text"}, 1, kTypeBoolean);
    db->SetFieldType(2, kTypeString);
    const std::pair<const char*, const char*> cases[] = {
        {"true", "1"}, {"TrUe", "1"}, {"FALSE", "0"}, {"false", "0"}, {"Yes", "Yes"}, {"1", "1"}, {"", ""},
    };
    for (const auto& [text, stored] : cases) {
        db->SetCell(1, 1, text);
        EXPECT_EQ(db->GetCell(1, 1), stored) << text;
    }
    db->SetCell(1, 1, "Yes");
    EXPECT_EQ(db->GetDisplayCell(1, 1), "Yes");
    db->SetCell(1, 1, "true");
    EXPECT_EQ(db->GetDisplayCell(1, 1), "TRUE");
    db->SetCell(1, 2, "true");
    EXPECT_EQ(db->GetCell(1, 2), "true") << "only Boolean fields translate";
    EXPECT_EQ(db->GetDisplayCell(1, 2), "true");
}

TEST(ModelCells, a_real_change_sets_modified_and_an_equal_text_does_not)
{
    auto db = NewDatabase(3, {"A"}, 1);
    db->SetCell(1, 1, "");
    EXPECT_FALSE(db->Modified);
    db->SetCell(1, 1, "x");
    EXPECT_TRUE(db->Modified);
    db->Modified = false;
    db->SetCell(1, 1, "x");
    db->SetFieldName(1, "A");
    db->SetColumnWidth(1, db->GetColumnWidth(1));
    db->SetFieldType(1, db->GetFieldType(1));
    EXPECT_FALSE(db->Modified);
}

TEST(ModelCells, out_of_range_reads_are_empty_and_writes_raise_range_errors)
{
    auto db = NewDatabase(3, {"A"}, 2);
    EXPECT_EQ(db->GetCell(0, 1), "");
    EXPECT_EQ(db->GetCell(3, 1), "");
    EXPECT_EQ(db->GetCell(1, 2), "");
    EXPECT_EQ(db->GetFieldType(2), 0);
    EXPECT_EQ(db->GetPopupItem(99, 1), "");
    EXPECT_THROW(db->SetCell(3, 1, "x"), ERangeError);
    EXPECT_THROW(db->SetCell(0, 1, "x"), ERangeError);
    EXPECT_THROW(db->SetCell(-1, 1, "x"), ERangeError);
}

TEST(ModelCells, fields_are_found_by_name_ignoring_case)
{
    auto db = NewDatabase(3, {"Name", "\xC9t\xE9", "name"});
    EXPECT_EQ(db->FieldIndexByName("NAME"), 1);
    EXPECT_EQ(db->FieldIndexByName("\xE9T\xC9"), 2);
    EXPECT_EQ(db->FieldIndexByName("Nam"), 0);
}

struct WidthCase {
    int layout;
    int set;
    int read;
};

class ModelWidths : public ::testing::TestWithParam<WidthCase> {};

TEST_P(ModelWidths, small_widths_become_20_with_their_sign_and_0_stays_0)
{
    auto db = NewDatabase(GetParam().layout, {"A"});
    db->SetColumnWidth(1, GetParam().set);
    EXPECT_EQ(db->GetColumnWidth(1), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ModelWidths,
                         ::testing::Values(WidthCase{3, 5, 20}, WidthCase{3, -7, -20}, WidthCase{3, 0, 0},
                                           WidthCase{3, 19, 20}, WidthCase{3, -20, -20}, WidthCase{3, 250, 250},
                                           WidthCase{2, -7, -20}, WidthCase{1, 5, 20}, WidthCase{1, 0, 20},
                                           WidthCase{0, 10, 20}));

TEST(ModelTypes, an_international_date_set_back_to_date_stays_a_date_after_saving)
{
    auto db = NewDatabase(3, {"When"}, 1);
    db->SetFieldType(1, kTypeIntDate);
    auto reloaded = LoadImage(SaveImage(*db));
    EXPECT_EQ(reloaded->GetFieldType(1), kTypeIntDate);
    reloaded->SetFieldType(1, kTypeDate);
    EXPECT_EQ(reloaded->GetFieldType(1), kTypeDate);
    EXPECT_EQ(LoadImage(SaveImage(*reloaded))->GetFieldType(1), kTypeDate);
}

TEST(ModelMoveField, moving_field_1_to_3_moves_names_cells_widths_types_and_popups)
{
    auto db = NewDatabase(3, {"A", "B", "C"}, 2);
    for (int f = 1; f <= 3; ++f) {
        db->SetColumnWidth(f, 100 + f);
        db->SetPopupItem(f, 1, "p" + std::to_string(f));
        for (int r = 1; r <= 2; ++r)
            db->SetCell(r, f, "r" + std::to_string(r) + "f" + std::to_string(f));
    }
    db->SetFieldType(1, kTypeInteger);
    db->SetFieldType(2, kTypeDate);
    db->SetFieldType(3, kTypeTime);
    db->Modified = false;
    db->MoveField(1, 3);
    EXPECT_TRUE(db->Modified);
    const int order[] = {2, 3, 1};
    const uint16_t types[] = {0, kTypeInteger, kTypeDate, kTypeTime};
    for (int i = 1; i <= 3; ++i) {
        int old = order[i - 1];
        EXPECT_EQ(db->GetFieldName(i), std::string(1, char('A' + old - 1)));
        EXPECT_EQ(db->GetColumnWidth(i), 100 + old);
        EXPECT_EQ(db->GetFieldType(i), types[old]);
        EXPECT_EQ(db->GetPopupItem(i, 1), "p" + std::to_string(old));
        EXPECT_EQ(db->GetCell(2, i), "r2f" + std::to_string(old));
    }
    db->MoveField(3, 1);
    EXPECT_EQ(db->GetFieldName(1), "A");
    EXPECT_EQ(db->GetCell(1, 1), "r1f1");
    EXPECT_EQ(db->GetCell(1, 3), "r1f3");
}

TEST(ModelMoveField, view_settings_and_defaults_keep_their_positions)
{
    auto db = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    db->MoveField(1, 6);
    EXPECT_EQ(db->GetFieldName(6), "Plant");
    EXPECT_EQ(db->GetDefault(1), "Seedling");
    EXPECT_EQ(db->GetSortField(1), 2);
    EXPECT_EQ(db->FilterField(), 4);
}

TEST(ModelMoveField, indexes_out_of_range_raise_range_errors_with_the_index)
{
    auto db = NewDatabase(3, {"A", "B"});
    const std::tuple<int, int, const char*> cases[] = {
        {0, 1, "MoveField: FromIndex out of range (0)"},
        {3, 1, "MoveField: FromIndex out of range (3)"},
        {1, 3, "MoveField: ToIndex out of range (3)"},
        {2, -1, "MoveField: ToIndex out of range (-1)"},
    };
    for (const auto& [from, to, message] : cases) {
        try {
            db->MoveField(from, to);
            ADD_FAILURE() << from << " -> " << to << " did not raise";
        } catch (const ERangeError& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
    db->MoveField(2, 2);
    EXPECT_FALSE(db->Modified);
}

struct MoveCase {
    std::vector<int> moved;
    int target;
    std::vector<std::string> order;
};

class ModelMoveRecords : public ::testing::TestWithParam<MoveCase> {};

TEST_P(ModelMoveRecords, moved_records_go_before_the_target_among_those_that_stay)
{
    auto db = Numbered(int(GetParam().order.size()));
    db->MoveRecords(GetParam().moved, GetParam().target);
    EXPECT_EQ(Column(*db, 1), GetParam().order);
    EXPECT_EQ(db->GetCell(1, 2), "t" + db->GetCell(1, 1)) << "whole records move";
    EXPECT_TRUE(db->Modified);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModelMoveRecords,
    ::testing::Values(MoveCase{{2}, 1, {"2", "1", "3"}}, MoveCase{{1}, 2, {"2", "1", "3"}},
                      MoveCase{{3, 1}, 1, {"3", "1", "2", "4", "5"}}, MoveCase{{2, 4}, 3, {"1", "3", "2", "4", "5"}},
                      MoveCase{{5, 0, 1}, 4, {"1", "2", "3", "5", "4"}},  // the list ends at its first 0
                      MoveCase{{2, 2}, 1, {"2", "1", "3"}}));              // listed twice, moved once

TEST(ModelMoveRecords, a_target_or_record_out_of_range_raises_a_range_error)
{
    auto db = Numbered(3);
    EXPECT_THROW(db->MoveRecords({1}, 3), ERangeError) << "only two records stay";
    EXPECT_THROW(db->MoveRecords({1}, 0), ERangeError);
    EXPECT_THROW(db->MoveRecords({4}, 1), ERangeError);
    EXPECT_THROW(db->MoveRecords({1, 2, 3}, 1), ERangeError);
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_FALSE(db->Modified);
}

TEST(ModelRecords, deleting_a_record_closes_the_gap)
{
    auto db = Numbered(4);
    db->DeleteRecord(2);
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"1", "3", "4"}));
    EXPECT_EQ(db->RecordList.size(), 3u);
    EXPECT_TRUE(db->Modified);
    db->DeleteRecord(3);
    db->DeleteRecord(1);
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"3"}));
    try {
        db->DeleteRecord(2);
        ADD_FAILURE();
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "Delete: Record index out of range (2)");
    }
}

TEST(ModelRecords, swapping_exchanges_every_cell)
{
    auto db = Numbered(2);
    db->SwapRecords(1, 2);
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"2", "1"}));
    EXPECT_EQ(Column(*db, 2), (std::vector<std::string>{"t2", "t1"}));
}

TEST(ModelRecords, growing_adds_empty_records_and_shrinking_drops_the_last)
{
    auto db = Numbered(2);
    db->SetRecordCount(4);
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"1", "2", "", ""}));
    db->SetRecordCount(1);
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"1"}));
    EXPECT_EQ(db->RecordList.size(), 1u);
}

TEST(ModelPopups, the_count_stops_at_the_first_empty_value)
{
    auto db = NewDatabase(3, {"Kind"});
    EXPECT_EQ(db->PopupCount(1), 0);
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

    pdbtest::Database d = pdbtest::SampleDatabase(3);
    auto loaded = LoadImage(pdbtest::Build(d));
    loaded->SetPopupItem(4, 3, "Tea room");
    EXPECT_EQ(loaded->GetCell(2, 4), "Tea room");
    EXPECT_EQ(loaded->GetCell(1, 4), "North");
    EXPECT_EQ(loaded->GetPopupItem(4, 3), "Tea room");
    EXPECT_TRUE(loaded->Modified);
}

TEST(ModelExtras, defaults_sorts_and_filters_exist_only_in_the_5x_layouts)
{
    auto db = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    db->ConvertLayout(1);
    EXPECT_EQ(db->GetDefault(1), "");
    EXPECT_EQ(db->GetSavedSortName(1), "");
    EXPECT_EQ(db->GetFilter(2), FilterRec{});
    db->SetDefault(2, "x");
    db->ConvertLayout(3);
    EXPECT_EQ(db->GetDefault(1), "Seedling") << "the values are kept while hidden";
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
    db.calls = 0;
    db.MoveField(1, 3);
    EXPECT_EQ(db.calls, 1);
    db.calls = 0;
    db.DeleteRecord(1);
    EXPECT_EQ(db.calls, 1);
}

}  // namespace
}  // namespace quorvil
