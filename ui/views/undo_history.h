#pragma once
// A tab's undo history: the QUndoStack of the commands given to its
// database, kept within kUndoBytes, and the database's modified flag in
// step with it (undoing back to the saved state clears the flag).
#include "database_undo.h"

#include <QObject>

#include <cstddef>
#include <memory>

class QUndoStack;

namespace quorvil {

class TDataBase;
class TDatabaseModel;

class TUndoHistory : public QObject {
    Q_OBJECT
public:
    // The history of the database `model` shows (object name
    // "UndoStack<tab>"); `shown` is told after every undo and redo.
    TUndoHistory(int tab, TDatabaseModel* model, TDatabaseCommand::Applied shown, QObject* parent);

    QUndoStack* Stack() const { return stack_; }
    // Empties the history for `db`, about to be shown, whose present state
    // is the clean one.
    void Reset(const TDataBase* db);
    // Gathers the changes of one command to the database (which must be
    // shown) into one undo step, pushed when the scope ends.
    TUndoScope Change(const QString& text);
    // One step the database already took, as a command of its own.
    void Push(const QString& text, std::unique_ptr<TUndoStep> step);
    // The database was saved: its present state is the clean one.
    void MarkSaved();

signals:
    // An undo or redo set or cleared the database's modified flag.
    void ModifiedChanged();

private:
    void Push(std::unique_ptr<TDatabaseCommand> command);
    void CleanChanged(bool clean);

    TDatabaseModel* model_;
    TDatabaseCommand::Applied shown_;
    QUndoStack* stack_;
    size_t bytes_ = 0;            // at least what stack_ holds
    bool cleanModified_ = false;  // the database's flag in the clean state
    bool resetting_ = false;      // the history is emptied for another database
};

}  // namespace quorvil
