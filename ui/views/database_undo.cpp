#include "database_undo.h"

#include "database.h"

#include <QSignalBlocker>
#include <QUndoStack>

#include <utility>

namespace quorvil {

namespace {

constexpr int kCellEditId = 1;

}  // namespace

TDatabaseCommand::TDatabaseCommand(const QString& text, TDataBase& db, Applied applied,
                                   std::vector<std::unique_ptr<TUndoStep>> steps)
    : QUndoCommand(text), db_(db), applied_(std::move(applied)), steps_(std::move(steps))
{
}

void TDatabaseCommand::undo()
{
    for (auto step = steps_.rbegin(); step != steps_.rend(); ++step)
        (*step)->Undo(db_);
    Tell();
}

void TDatabaseCommand::redo()
{
    if (!pushed_) {
        pushed_ = true;  // the command itself made the change
        return;
    }
    for (const auto& step : steps_)
        step->Redo(db_);
    Tell();
}

void TDatabaseCommand::Tell() const
{
    if (!applied_)
        return;
    int record = 0;
    int field = 0;
    bool definition = false;
    for (const auto& step : steps_) {
        definition = definition || step->Definition();
        if (record == 0) {
            record = step->Record();
            field = step->Field();
        }
    }
    applied_(record, field, definition);
}

int TDatabaseCommand::id() const
{
    if (!merges_)
        return -1;
    return steps_.size() == 1 && steps_.front()->Merges() ? kCellEditId : -1;
}

bool TDatabaseCommand::mergeWith(const QUndoCommand* other)
{
    // This command keeps the text the cell had before the first of them.
    const auto* next = dynamic_cast<const TDatabaseCommand*>(other);
    if (!next || next->id() != kCellEditId || &next->db_ != &db_ ||
        next->steps_.front()->Record() != steps_.front()->Record() ||
        next->steps_.front()->Field() != steps_.front()->Field())
        return false;
    steps_.front()->Absorb(*next->steps_.front());
    return true;
}

size_t TDatabaseCommand::Bytes() const
{
    // The command itself with its text, and QUndoCommand's private part.
    size_t total = sizeof(*this) + 64 + size_t(text().size()) * sizeof(QChar);
    for (const auto& step : steps_)
        total += step->Bytes();
    return total;
}

std::unique_ptr<TDatabaseCommand> TDatabaseCommand::Renewed()
{
    auto renewed = std::make_unique<TDatabaseCommand>(text(), db_, applied_, std::move(steps_));
    steps_.clear();
    return renewed;
}

size_t UndoBytes(const QUndoStack& stack)
{
    size_t total = 0;
    for (int i = 0; i < stack.count(); ++i)
        total += static_cast<const TDatabaseCommand*>(stack.command(i))->Bytes();
    return total;
}

void BoundUndo(QUndoStack& stack, size_t bound)
{
    const int count = stack.count();
    if (count < 2 || stack.index() != count)
        return;
    std::vector<size_t> bytes(static_cast<size_t>(count));
    size_t total = 0;
    for (int i = 0; i < count; ++i)
        total += bytes[size_t(i)] = static_cast<const TDatabaseCommand*>(stack.command(i))->Bytes();
    if (total <= bound)
        return;
    int dropped = 0;
    while (dropped < count - 1 && total > bound / 4 * 3)
        total -= bytes[size_t(dropped++)];

    // QUndoStack drops commands only by an undo limit, which it takes on an
    // empty stack alone: the kept commands are taken over and pushed again.
    std::vector<std::unique_ptr<TDatabaseCommand>> kept;
    kept.reserve(size_t(count - dropped));
    for (int i = dropped; i < count; ++i) {
        // The stack owns its commands as const; it is cleared right below.
        auto* command = static_cast<TDatabaseCommand*>(const_cast<QUndoCommand*>(stack.command(i)));
        kept.push_back(command->Renewed());
        kept.back()->merges_ = false;  // pushed as they stood, none merged into another
    }
    const int clean = stack.cleanIndex() < 0 ? -1 : stack.cleanIndex() - dropped;
    // The stack shows the same state afterwards (the same top command, the
    // same cleanness), so that nobody needs to hear of the rebuilding.
    const QSignalBlocker quiet(&stack);
    stack.clear();
    std::vector<TDatabaseCommand*> pushed;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (int(i) == clean)
            stack.setClean();
        pushed.push_back(kept[i].get());
        stack.push(kept[i].release());
    }
    if (clean == int(pushed.size()))
        stack.setClean();
    else if (clean < 0)
        stack.resetClean();  // the saved state went with the dropped commands
    for (TDatabaseCommand* command : pushed)
        command->merges_ = true;
}

struct TUndoScope::State {
    TChangeRecorder Recorder;
    QString Text;
    TDatabaseCommand::Applied Applied;
    Sink Output;

    State(TDataBase& db, const QString& text, TDatabaseCommand::Applied applied, Sink sink)
        : Recorder(db), Text(text), Applied(std::move(applied)), Output(std::move(sink))
    {
    }
};

TUndoScope::TUndoScope(TDataBase& db, const QString& text, TDatabaseCommand::Applied applied, Sink sink)
    : state_(std::make_unique<State>(db, text, std::move(applied), std::move(sink)))
{
}

TUndoScope::~TUndoScope()
{
    State& s = *state_;
    TDataBase& db = s.Recorder.DataBase();
    try {
        std::vector<std::unique_ptr<TUndoStep>> steps = s.Recorder.Finish();
        if (!steps.empty() && s.Output)
            s.Output(std::make_unique<TDatabaseCommand>(s.Text, db, s.Applied, std::move(steps)));
    } catch (...) {
        // Out of memory: the change stays, without its undo.
    }
}

void TUndoScope::AddRemoval(int record)
{
    state_->Recorder.AddRemoval(record);
}

void TUndoScope::AddStep(std::unique_ptr<TUndoStep> step)
{
    state_->Recorder.AddStep(std::move(step));
}

void TUndoScope::TrackCells()
{
    state_->Recorder.TrackCells();
}

}  // namespace quorvil
