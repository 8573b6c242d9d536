// The steps a command's change is recorded as: undoing them in reverse gives
// the database as it was, redoing them in order the database after.
#include "copy_records.h"
#include "database.h"
#include "field_definition.h"
#include "field_types.h"
#include "find_replace.h"
#include "record_sort.h"
#include "session_helpers.h"
#include "undo_steps.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

const std::vector<FieldSpec> kFields = {{"Name", kTypeString, {}}, {"Colour", kTypeList, {"Red", "Green"}}};
const Rows kRows = {{"pear", "Green"}, {"car", "Red"}, {"tree", "Green"}};

// What the user can see of a database: the field names and popup lists,
// then every record's cells and find flag, in record order.
Rows State(const TDataBase& db)
{
    Rows state(1);
    for (int f = 1; f <= db.FieldCount(); ++f) {
        state[0].push_back(db.GetFieldName(f) + ":" + std::to_string(db.GetFieldType(f)));
        for (int k = 1; k <= db.PopupCount(f); ++k)
            state[0].push_back(db.GetPopupItem(f, k));
    }
    for (int r = 1; r <= db.RecordCount(); ++r) {
        state.emplace_back();
        for (int f = 1; f <= db.FieldCount(); ++f)
            state.back().push_back(db.GetCell(r, f));
        state.back().push_back(std::to_string(db.GetShown(r)));
    }
    return state;
}

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
        TDataBase db;
        db.InitNew();
        FillDatabase(db, kFields, kRows);
        db.SetShown(2, 0);
        db.Modified = false;
        const Rows before = State(db);
        std::vector<std::unique_ptr<TUndoStep>> steps;
        {
            TChangeRecorder recorder(db);
            if (command == 0) {
                recorder.TrackCells();
                TReplaceOptions options{"e", "EE", {true, true}, false, false, false};
                ReplaceText(db, options, {});
            } else if (command == 1) {
                WriteDefinition(db, {{"Thing", kTypeString, {}}, {"Hue", kTypeList, {"Blue", "Red", "Green"}}});
            } else if (command == 2) {
                SetPopupList(db, 2, {"Green", "Red"});
                TSortOrder order;
                order.SortList = {"Name"};
                SortRecords(db, order, 1, db.RecordCount());
            } else {
                recorder.TrackCells();
                TJFILE source;
                source.InitNew();
                FillDatabase(source, kFields, {{"car", "Green"}, {"kiwi", "Red"}});
                ASSERT_TRUE(CopyRecords(source, {1, 2}, db).Keyed);
            }
            steps = recorder.Finish();
        }
        const Rows after = State(db);
        EXPECT_NE(after, before);
        ASSERT_FALSE(steps.empty());
        Undo(steps, db);
        EXPECT_EQ(State(db), before);
        Redo(steps, db);
        EXPECT_EQ(State(db), after);
    }
}

}  // namespace
}  // namespace quorvil
