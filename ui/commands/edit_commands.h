#pragma once
// The Edit menu's commands: Undo and Redo of the active tab's history.
#include <QObject>

class QUndoGroup;

namespace quorvil {

class TCommandContext;

class TEditCommands : public QObject {
    Q_OBJECT
public:
    explicit TEditCommands(TCommandContext& context);

    void UndoItemClick();
    void RedoItemClick();

private:
    QUndoGroup* group_;
};

}  // namespace quorvil
