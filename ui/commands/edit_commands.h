#pragma once
// The Edit menu's commands: Undo and Redo of the active tab's history, and
// the clipboard's.
#include <QObject>

#include <memory>

class QUndoGroup;

namespace quorvil {

class TClipboardCommands;
class TCommandContext;

class TEditCommands : public QObject {
    Q_OBJECT
public:
    explicit TEditCommands(TCommandContext& context);
    ~TEditCommands() override;

    void UndoItemClick();
    void RedoItemClick();

private:
    QUndoGroup* group_;
    std::unique_ptr<TClipboardCommands> clipboard_;
};

}  // namespace quorvil
