// The steps a command's change is recorded as: undoing them in reverse gives
// the database as it was, redoing them in order the database after.
#include "copy_records.h"
#include "database.h"
#include "database_fixtures.h"
#include "field_definition.h"
#include "field_types.h"
#include "find_replace.h"
#include "record_sort.h"
#include "undo_steps.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using namespace test;

const std::vector<FieldSpec> kFields = {{"Name", TFieldType::String, {}},
                                        {"Colour", TFieldType::List, {"Red", "Green"}}};
const Rows kRows = {{"pear", "Green"}, {"car", "Red"}, {"tree", "Green"}};

void Undo(const std::vector<std::unique_ptr<TUndoStep>>& steps, TDataBase& db)
{
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        (*step)->Undo(db);
}

void Redo(const std::vector<std::unique_ptr<TUndoStep>>& steps, TDataBase& db)
{
    for (const auto& step : steps)
        step->Redo(db);
}

TEST(UndoSteps, recorded_commands_undo_and_redo)
{
    const char* const commands[] = {"replace in every record", "definition and popup list", "popup order, then sort",
                                    "copy keyed records in: one updates, one appends"};
    for (int command = 0; command < 4; ++command) {
        SCOPED_TRACE(commands[command]);
        auto tab = MemoryDatabase<TDataBase>(kFields, kRows);
        TDataBase& db = *tab;
        db.SetShown(2, 0);
        const Rows before = ContentAndShown(db);
        std::vector<std::unique_ptr<TUndoStep>> steps;
        {
            TChangeRecorder recorder(db);
            if (command == 0) {
                recorder.TrackCells();
                TReplaceOptions options{"e", "EE", {true, true}, false, false, false, {}};
                ReplaceText(db, options, {});
            } else if (command == 1) {
                WriteDefinition(
                    db, {{"Thing", TFieldType::String, {}}, {"Hue", TFieldType::List, {"Blue", "Red", "Green"}}});
            } else if (command == 2) {
                db.SetPopupList(2, {"Green", "Red"});
                TSortOrder order;
                order.SortList = {"Name"};
                SortRecords(db, order, 1, db.RecordCount());
            } else {
                recorder.TrackCells();
                const auto source = MemoryDatabase(kFields, {{"car", "Green"}, {"kiwi", "Red"}});
                ASSERT_TRUE(CopyRecords(*source, {1, 2}, db, {"Name"}).Shared);
            }
            steps = recorder.Finish();
        }
        const Rows after = ContentAndShown(db);
        EXPECT_NE(after, before);
        ASSERT_FALSE(steps.empty());
        Undo(steps, db);
        EXPECT_EQ(ContentAndShown(db), before);
        Redo(steps, db);
        EXPECT_EQ(ContentAndShown(db), after);
    }
}

// Keystrokes in the record view merge into one edit; a stamp that only a
// later keystroke changed (the day turned meanwhile) is undone with them.
TEST(UndoSteps, merged_edits_of_one_cell_undo_every_cell_any_of_them_stamped)
{
    TDataBase db;
    db.InitNew();
    FillDatabase(
        db, {{"Name", TFieldType::String, {}}, {"Changed", TFieldType::ModDate, {}}, {"At", TFieldType::ModTime, {}}},
        {{"pear", "14/03/2025", "08:00"}});
    const auto cells = [&] { return db.GetCell(1, 1) + "|" + db.GetCell(1, 2) + "|" + db.GetCell(1, 3); };
    auto first = CellStep(1, {{1, "pear"}, {3, "08:00"}}, true);
    auto second = CellStep(1, {{1, "f"}, {2, "14/03/2025"}, {3, "23:59"}}, true);
    db.SetCell(1, 1, "fi");
    db.SetCell(1, 2, "15/03/2025");
    db.SetCell(1, 3, "00:01");
    ASSERT_TRUE(first->Merges() && second->Merges());
    first->Absorb(*second);
    first->Undo(db);
    EXPECT_EQ(cells(), "pear|14/03/2025|08:00");
    first->Redo(db);
    EXPECT_EQ(cells(), "fi|15/03/2025|00:01");
}

// The find's fields follow a field its undo step moves back and forth, as
// they follow the grid's move.
TEST(UndoSteps, a_field_move_undone_and_redone_keeps_the_finds_fields_in_step)
{
    TDataBase db;
    db.InitNew();
    FillDatabase(db,
                 {{"Name", TFieldType::String, {}}, {"Town", TFieldType::String, {}}, {"Note", TFieldType::String, {}}},
                 {{"pear", "Bern", "tree"}});
    db.SetLastFind("e", false, false, {true, false, false});
    const auto highlighted = [&] {
        std::vector<int> fields;
        for (int f = 1; f <= db.FieldCount(); ++f)
            if (db.CellHighlighted(1, f))
                fields.push_back(f);
        return fields;
    };
    auto step = FieldMoveStep(1, 3);
    step->Redo(db);
    EXPECT_EQ(db.GetCell(1, 3), "pear");
    EXPECT_EQ(highlighted(), std::vector<int>{3});
    step->Undo(db);
    EXPECT_EQ(highlighted(), std::vector<int>{1});
}

}  // namespace
}  // namespace quorvil
