#pragma once
// Undo and redo of the editor's changes to one tab's database, as commands
// of the tab's QUndoStack; the steps themselves are Qt-free.
#include "undo_steps.h"

#include <QUndoCommand>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QUndoStack;

namespace quorvil {

class TDataBase;

// What one tab's history may hold; the oldest commands go first beyond it.
inline constexpr size_t kUndoBytes = size_t(64) << 20;

// One command the user gave, as steps applied in order (undone in reverse).
// Pushing it does not apply it again: the command did that already.
class TDatabaseCommand : public QUndoCommand {
public:
    // Told after every undo and redo: the record (from 1; -1 the last) and
    // field to show (0: none in particular), and whether the field
    // definitions changed.
    using Applied = std::function<void(int record, int field, bool definition)>;

    TDatabaseCommand(const QString& text, TDataBase& db, Applied applied,
                     std::vector<std::unique_ptr<TUndoStep>> steps);
    void undo() override;
    void redo() override;
    // Consecutive edits of one cell made by merging steps (keystrokes in the
    // record view) are undone as one.
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    // The memory the command holds, about.
    size_t Bytes() const;
    // The same command, not applied again when pushed, with this one's steps
    // (this one is left empty, for a stack about to drop it).
    std::unique_ptr<TDatabaseCommand> Renewed();

private:
    friend void BoundUndo(QUndoStack& stack, size_t bound);
    void Tell() const;

    TDataBase& db_;
    Applied applied_;
    std::vector<std::unique_ptr<TUndoStep>> steps_;
    bool pushed_ = false;
    bool merges_ = true;
};

// The memory the commands of `stack` (all of them TDatabaseCommand) hold.
size_t UndoBytes(const QUndoStack& stack);
// Drops the oldest commands of `stack`, where every command is done (just
// after a push), until what stays holds at most three quarters of `bound`
// (so that the next pushes do not drop again at once). The newest command
// always stays; the saved state stays reachable when its command stays.
void BoundUndo(QUndoStack& stack, size_t bound);

// Gathers what one command changes in `db` and hands it over as one
// command when it ends, also when it ends by an exception half-way (what
// changed before the failure can be undone). Records appended at the end,
// permutations, definition changes and, after TrackCells, changed cells
// are found by the scope; removals are added by the caller before they
// happen.
class TUndoScope {
public:
    using Sink = std::function<void(std::unique_ptr<TDatabaseCommand>)>;

    TUndoScope(TDataBase& db, const QString& text, TDatabaseCommand::Applied applied, Sink sink);
    ~TUndoScope();
    TUndoScope(const TUndoScope&) = delete;
    TUndoScope& operator=(const TUndoScope&) = delete;

    void AddRemoval(int record);
    // A step the scope does not find by itself, applied after the others.
    void AddStep(std::unique_ptr<TUndoStep> step);
    // For commands that write cells (replace, merge, copy) and neither
    // remove nor reorder records: the cells are compared with those before
    // when the scope ends, and only the changed ones are kept.
    void TrackCells();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quorvil
