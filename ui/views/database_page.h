#pragma once
// The contents of one database tab: its three views of one database (the
// grid, with editing in place, the long-text editor and the calendar on a
// double click; the list beside the record's fields; the record's fields
// with Previous and Next), which of them is shown, the header clicks that
// sort and reverse, the column moves that move the field, and the moving
// of selected rows. The filter of the grid's filter row (TFilterRun) and
// the tab's undo history (TUndoHistory) are rooms of their own.
#include "database_undo.h"
#include "view_mode.h"

#include <QWidget>

#include <optional>
#include <vector>

class QListView;
class QUndoStack;
class QModelIndex;
class QSplitter;

namespace quorvil {

class TDataBase;
class TDatabaseModel;
class TExtendedGrid;
class TFilterRun;
class TRecordListModel;
class TRecordPanel;
class TUndoHistory;

class TDatabasePage : public QWidget {
    Q_OBJECT
public:
    explicit TDatabasePage(int tab, QWidget* parent = nullptr);

    // Shows `db` (null: nothing) with columns of the default width, set up
    // by field type; no header sort is in force.
    void SetDatabase(TDataBase* db);
    TDataBase* DataBase() const;
    // Fills the grid again from the database (FillGrid): column titles,
    // kinds and lists by field, rows from the find filter.
    void RefreshView();
    // The field definitions changed (names, types, popup lists): every view
    // of the page shows them again.
    void DefinitionChanged();
    // The columns of fields a change dropped (or, for its undo, adds back):
    // their widths and filter boxes, in field order.
    struct TColumnsAside {
        std::vector<int> Widths;
        QStringList Filters;
    };
    // Fields were added, deleted or put in another order (position p took
    // field sources[p - 1]; 0: a field added): the columns' widths, the
    // filter row's boxes and the current cell follow their fields at the
    // next DefinitionChanged. The added columns take what `aside` holds
    // (else a new column's width and an empty box), and `aside` then holds
    // the columns dropped.
    void FollowFields(const std::vector<int>& sources, TColumnsAside& aside);
    // The records were reordered in the database: the views show its order,
    // and no header sort is in force.
    void RecordsReordered();
    // The widths of the columns, one per field in field order.
    std::vector<int> ColumnWidths() const;
    // Width k goes to column k; columns without a width keep theirs.
    void SetColumnWidths(const std::vector<int>& widths);
    bool GridVisible() const;
    TExtendedGrid* Grid() const { return grid_; }
    TDatabaseModel* Model() const { return model_; }

    // The grid; the list beside the record's fields; or the record's fields
    // with Previous and Next. The views are refilled.
    void SetViewMode(TViewMode mode);
    TViewMode ViewMode() const { return viewMode_; }
    // Refills the list and rebuilds the field editors, then shows the first
    // record (FillRecordView).
    void FillRecordView();
    // The record of the list's selected line into the fields.
    void ListBoxClick();
    // Row `row` becomes the current one in the view shown: the grid's cell
    // in column `column`, else the record's fields (and the list's line).
    void ShowRow(int row, int column);
    QListView* ListBox() const { return listBox_; }
    TRecordListModel* ListModel() const { return listModel_; }
    TRecordPanel* EditPanel() const { return editPanel_; }

    // Rearrange mode of the grid: whole rows selected, no editing in place.
    void SetRearrange(bool on);
    // The first and last selected grid rows; false when none is selected.
    bool SelectedRows(int& top, int& bottom) const;
    // Moves the records of the selected rows one row up (-1) or down (+1)
    // and keeps them selected; nothing at either end.
    void MoveSelection(int delta);

    // Column and row (from 0; -1 for the title row or none) under the mouse
    // when the context menu was last asked for; the list view shows the
    // field of ContextCol.
    int ContextCol() const { return contextCol_; }
    int ContextRow() const { return contextRow_; }

    // Commands of the grid, each showing its own failures.
    // A double click on the current cell: the long-text editor for a
    // "STRING" field, the calendar for an "INT.DATE" field holding a date.
    void GridDblClick();
    // A click on the title of column `col`: sorts by its field, then field
    // 1; a second click on the same title reverses the rows.
    void HeaderClick(int col);
    // The user dragged column `from` to position `to`: the field moves in
    // the database, and the grid's column order is the field order again.
    void GridColumnMoved(int from, int to);

    // The tab's undo history, emptied when another database is shown.
    QUndoStack* UndoStack() const;
    // Gathers the changes of one command to the database (which must be
    // shown) into one undo step, pushed when the scope ends.
    TUndoScope Change(const QString& text);
    // The database was saved: its present state is the clean one.
    void MarkSaved();

    // The grid's filter row; hiding it ends its filter.
    void SetFilterRowVisible(bool visible);
    bool FilterRowVisible() const;
    // A filter still waiting for a pause in typing, or still running over
    // the records, is completed at once: the views then show its result.
    void FinishFilter();
    // Empties the filter row's boxes; the records they hid are shown once
    // the database's flags say so (View all).
    void ClearFilterRow();
    // The grid rows' records, in the order the rows show them.
    std::vector<int> ShownRecords() const;

    // How many typed texts were refused so far, in any tab: a command that
    // commits what is being typed stops when its commit was refused.
    static int Refusals() { return refusals_; }

signals:
    // The filter row's result is in the views (the status line counts it).
    void FilterApplied();
    // The database changed through the grid (an edit, a sort, a column move).
    void DatabaseEdited();
    // The context menu was asked for at `globalPos` (ContextCol and
    // ContextRow are set).
    void ContextPopup(const QPoint& globalPos);

private:
    void SetUpColumns();
    void EditLongText(const QModelIndex& index);
    void EditIntDate(const QModelIndex& index);
    void SortByColumn(int col);
    // The header's arrow on the column of the header sort in force, pointing
    // down once the rows are reversed; none without one.
    void ShowSortIndicator();
    void SectionMoved(int logical, int oldVisual, int newVisual);
    void ShowEditError(const QString& message);
    // Shows the refusal, then the typed text again in the editor it came
    // from, on its record, for correction.
    void ShowInputRefused(const QString& message, int record, int field, const QString& typed);

    void SelectRows(int top, int bottom);
    // After an undo or redo: every view shows the database again, with the
    // changed record (-1: the last) current where it is shown.
    void ShowChange(int record, int field, bool definition);
    // Puts what FollowFields kept in place once the columns are the new
    // fields'; false when nothing was kept.
    bool ApplyFollowedFields();

    TExtendedGrid* grid_;
    TDatabaseModel* model_;
    QSplitter* recordPanel_;  // the list and the record's fields
    QListView* listBox_;
    TRecordListModel* listModel_;
    TRecordPanel* editPanel_;
    TFilterRun* filter_;
    TUndoHistory* history_;
    TViewMode viewMode_ = TViewMode::Grid;
    int editTriggers_ = 0;  // the grid's, restored when rearranging ends
    int contextCol_ = 0;
    int contextRow_ = -1;
    bool restoringOrder_ = false;  // the page itself moves header sections
    struct TFollowed {
        std::vector<int> Widths;
        QStringList Filters;
        int Row = -1;
        int Column = -1;
    };
    std::optional<TFollowed> followed_;
    static inline int refusals_ = 0;
};

}  // namespace quorvil
