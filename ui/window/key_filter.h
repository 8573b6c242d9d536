#pragma once
// The keys the main window takes wherever the focus is in it: Insert, Ctrl+H
// and Ctrl+F click their buttons, and Undo and Redo pressed in a record
// view's editor reach the tab's history.
#include <QObject>

class QKeyEvent;
class QWidget;

namespace quorvil {

class TCommandContext;

class TKeyFilter : public QObject {
    Q_OBJECT
public:
    // Watches every key pressed anywhere in `window` (FormKeyDown).
    TKeyFilter(QWidget& window, const TCommandContext& context);
    ~TKeyFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was one of the button keys (it is then consumed).
    bool FormKeyDown(const QKeyEvent& key);

    QWidget& window_;
    const TCommandContext& context_;
};

// True when Undo or Redo pressed in a record view's editor is to reach the
// tab's history (its keystrokes are in the database already) rather than
// the editor's own.
bool UndoKeyForHistory(QObject* watched, const QKeyEvent& key);

}  // namespace quorvil
