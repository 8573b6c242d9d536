#include "undo_history.h"

#include "database.h"
#include "database_model.h"
#include "text_convert.h"

#include <QUndoStack>

namespace quorvil {

TUndoHistory::TUndoHistory(int tab, TDatabaseModel* model, TDatabaseCommand::Applied shown, QObject* parent)
    : QObject(parent), model_(model), shown_(std::move(shown)), stack_(new QUndoStack(this))
{
    stack_->setObjectName(FromUtf8("UndoStack%1").arg(tab));
    connect(stack_, &QUndoStack::cleanChanged, this, &TUndoHistory::CleanChanged);
}

void TUndoHistory::Reset(const TDataBase* db)
{
    resetting_ = true;
    stack_->clear();
    stack_->setClean();
    bytes_ = 0;
    resetting_ = false;
    cleanModified_ = db && db->Modified();
}

TUndoScope TUndoHistory::Change(const QString& text)
{
    return TUndoScope(*model_->DataBase(), text, shown_,
                      [this](std::unique_ptr<TDatabaseCommand> command) { Push(std::move(command)); });
}

void TUndoHistory::Push(std::unique_ptr<TDatabaseCommand> command)
{
    // Summing the whole history at every push would cost a long session
    // dearly; the sum of what was pushed since the last count bounds it.
    bytes_ += command->Bytes();
    stack_->push(command.release());
    if (bytes_ > kUndoBytes) {
        BoundUndo(*stack_, kUndoBytes);
        bytes_ = UndoBytes(*stack_);
    }
}

void TUndoHistory::Push(const QString& text, std::unique_ptr<TUndoStep> step)
{
    std::vector<std::unique_ptr<TUndoStep>> steps;
    steps.push_back(std::move(step));
    Push(std::make_unique<TDatabaseCommand>(text, *model_->DataBase(), shown_, std::move(steps)));
}

void TUndoHistory::MarkSaved()
{
    const TDataBase* db = model_->DataBase();
    cleanModified_ = db && db->Modified();
    stack_->setClean();
}

void TUndoHistory::CleanChanged(bool clean)
{
    TDataBase* db = model_->DataBase();
    const bool modified = clean ? cleanModified_ : true;
    if (resetting_ || !db || db->Modified() == modified)
        return;
    if (modified)
        db->SetModified();
    else
        db->ClearModified();
    emit ModifiedChanged();
}

}  // namespace quorvil
