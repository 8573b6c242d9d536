#pragma once
// The commands on the records and the definition of the active database:
// the grid, list and record views, View all records, Add, Delete, the
// rearrange mode with Up and Down, Sort and Edit definition, and the grid's
// context menu that holds some of them, and the character set the active
// database is shown in (View > Character set, and the status line's
// suggestion of one).
#include "view_mode.h"

#include <QObject>

class QLabel;
class QMenu;
class QToolButton;
class QWidget;

namespace quorvil {

class TCommandContext;

class TRecordCommands : public QObject {
    Q_OBJECT
public:
    explicit TRecordCommands(TCommandContext& context);

    // Shows the active tab in view `mode`.
    void RecordItemClick(TViewMode mode);
    void AllBtnClick();
    // Shows or hides the active tab's filter row.
    void FilterRowItemClick();
    void AddBtnClick();
    void DelBtnClick();
    void RearrangeItemClick();
    void UpBtnClick();
    void DownBtnClick();
    // Sorts the active database by the fields chosen in the sort dialog.
    void SortBtnClick();
    // Edits the definition of the active database.
    void EditBtnClick();

    // The context menu of the views (Record Format, Rearrange records and
    // the copy submenu).
    QMenu* PopupMenu() const { return popupMenu_; }
    // View > Character set: one choice per set, the active database's checked.
    QMenu* CharsetMenu() const { return charsetMenu_; }

private:
    void CreatePopupMenu();
    void CreateMoveButtons();
    void CreateCharsetChoice();
    // The menu's mark and the suggestion follow the active tab.
    void ShowCharsetChoice();

    TCommandContext& context_;
    QMenu* popupMenu_ = nullptr;
    QMenu* charsetMenu_ = nullptr;
    QWidget* suggestion_ = nullptr;  // in the status line
    QLabel* suggestionText_ = nullptr;
    QToolButton* suggestionButton_ = nullptr;
};

}  // namespace quorvil
