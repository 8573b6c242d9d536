#pragma once
// The contents of one database tab: the grid of its database, with editing
// in place, the long-text editor and the calendar on a double click, column
// moves that move the field, and header clicks that sort and reverse.
#include "database_undo.h"
#include "view_mode.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QListView;
class QTimer;
class QUndoStack;
class QModelIndex;
class QSplitter;

namespace quorvil {

class TDataBase;
class TRecordFilter;
class TDatabaseModel;
class TExtendedGrid;
class TRecordListModel;
class TRecordPanel;

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
    QUndoStack* UndoStack() const { return undo_; }
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
    void Push(std::unique_ptr<TDatabaseCommand> command);
    void Push(const QString& text, std::unique_ptr<TUndoStep> step);
    // After an undo or redo: every view shows the database again, with the
    // changed record (-1: the last) current where it is shown.
    void ShowChange(int record, int field, bool definition);
    void CleanChanged(bool clean);
    void StartFilter();
    // The fields changed: the filter is worked out again for the boxes.
    void RefilterAfterDefinition(int oldColumns);
    // Filters the next slice of records; the last slice shows the result.
    void FilterStep(bool toTheEnd);

    // A filter being worked out over the records, a slice at a time so that
    // the window keeps answering on the largest database.
    struct TFilterRun {
        std::shared_ptr<const TRecordFilter> Filter;
        std::vector<uint8_t> Passes;
        int Next = 0;  // 0: no run
        uint64_t Version = 0;
    };

    TExtendedGrid* grid_;
    TDatabaseModel* model_;
    TFilterRun filterRun_;
    QSplitter* recordPanel_;
    QListView* listBox_;
    TRecordListModel* listModel_;
    TRecordPanel* editPanel_;
    TViewMode viewMode_ = TViewMode::Grid;
    int editTriggers_ = 0;
    int contextCol_ = 0;
    int contextRow_ = -1;
    bool restoringOrder_ = false;  // the page itself moves header sections
    QTimer* filterStep_;
    QUndoStack* undo_;
    size_t undoBytes_ = 0;  // at least what undo_ holds
    bool cleanModified_ = false;  // the database's flag in the clean state
    bool resetting_ = false;      // the history is emptied for another database
    static inline int refusals_ = 0;
};

}  // namespace quorvil
