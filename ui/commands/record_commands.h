#pragma once
// The commands on the records and the definition of the active database:
// the grid, list and record views, View all records, Add, Delete, the
// rearrange mode with Up and Down, Sort and Edit definition, and the grid's
// context menu that holds some of them.
#include "view_mode.h"

#include <QObject>

class QMenu;

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

private:
    void CreatePopupMenu();
    void CreateMoveButtons();

    TCommandContext& context_;
    QMenu* popupMenu_ = nullptr;
};

}  // namespace quorvil
