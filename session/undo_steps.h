#pragma once
// The data of undo and redo: a change is kept as the little it needs to be
// reversed (the old text of a cell, the permutation of a sort or move, a
// removed record, a moved field, the definition blocks before the change).
// Every step swaps or inverts, so one object serves undo and redo alike.
#include "field_layout.h"
#include "new_record.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorvil {

class TDataBase;

class TUndoStep {
public:
    virtual ~TUndoStep() = default;
    virtual void Undo(TDataBase& db) = 0;
    virtual void Redo(TDataBase& db) = 0;
    // The record (from 1) to show after the step, 0 for none in particular.
    virtual int Record() const { return 0; }
    virtual int Field() const { return 0; }
    // True when the field definitions change with the step.
    virtual bool Definition() const { return false; }
    // True when the step is an edit of one cell (with the cells stamped
    // with it) and joins the edit of the same cell just before it.
    virtual bool Merges() const { return false; }
    // Takes over what `next`, a merging step of the same cell, changed
    // beside this step's cells.
    virtual void Absorb(const TUndoStep& /*next*/) {}
    // The memory the step holds, about.
    virtual size_t Bytes() const = 0;
};

// The cells of record `record` held the texts of `before` until an edit:
// first the cell the user edited, then those stamped with it (StampEdit).
// A merging step joins the edit of the same cell just before it.
std::unique_ptr<TUndoStep> CellStep(int record, std::vector<TCellBefore> before, bool merges = false);
// Field `from` was moved to position `to` (both from 1); `move` moves a
// field (from, to) so that what shows the fields follows (empty: the
// database alone).
std::unique_ptr<TUndoStep> FieldMoveStep(int from, int to, std::function<void(int, int)> move = {});
// The cells of fields added, deleted or put in another order: `back` puts
// them back (RearrangeCells); `follow` hears every order applied, so that
// what shows the fields follows (empty: the database alone).
std::unique_ptr<TUndoStep> FieldCellsStep(TFieldCells back, std::function<void(const TFieldSources&)> follow = {});
// Record `record` is about to be removed; taken while it is still there.
std::unique_ptr<TUndoStep> RemovalStep(const TDataBase& db, int record);

// Gathers what one command changes in `db`: records appended at the end,
// permutations, definition changes and, after TrackCells, changed cells are
// found by comparing with the start; removals are added by the caller
// before they happen.
class TChangeRecorder {
public:
    explicit TChangeRecorder(TDataBase& db);
    ~TChangeRecorder();
    TChangeRecorder(const TChangeRecorder&) = delete;
    TChangeRecorder& operator=(const TChangeRecorder&) = delete;

    TDataBase& DataBase() const;
    void AddRemoval(int record);
    // A step the recording does not find by itself, applied after the others.
    void AddStep(std::unique_ptr<TUndoStep> step);
    // For commands that write cells (replace, merge, copy) and neither
    // remove nor reorder records: the cells are compared with those before
    // when the recording ends, and only the changed ones are kept.
    void TrackCells();
    // Ends the recording: the steps that take `db` back to where it was, in
    // the order they were applied (none when nothing changed).
    std::vector<std::unique_ptr<TUndoStep>> Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quorvil
