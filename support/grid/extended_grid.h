#pragma once
// The typed-column grid: a table view over any item model whose columns
// each carry a TGridColumn. Cells hold the stored text of a value (the
// model's EditRole, else its DisplayRole); check boxes, list texts and
// pictures are drawn from it, and typed columns are edited with a control
// placed over the current cell. As in a spreadsheet, an editor opens only by
// typing, F2, Enter or the owner's double click, never by moving.
//
// Columns and rows are numbered from 0, as in the model. The grid has no
// hidden columns: the model's columns are the grid's columns one to one, so
// column numbers in messages and signals are model column numbers.
#include "grid_column.h"

#include <QHash>
#include <QPixmap>
#include <QTableView>
#include <QTimer>

#include <vector>

namespace quorvil {

class TGridDelegate;
class TGridHeader;

class TExtendedGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE SetDefaultRowHeight)
    Q_PROPERTY(QString DateFormat READ DateFormat WRITE SetDateFormat)
    Q_PROPERTY(QString TimeFormat READ TimeFormat WRITE SetTimeFormat)

public:
    explicit TExtendedGrid(QWidget* parent = nullptr);

    // Columns follow the model's column count: inserted columns get default
    // settings, removed ones take theirs along, a reset keeps the settings of
    // the columns that remain.
    void setModel(QAbstractItemModel* model) override;

    const std::vector<TGridColumn>& Columns() const { return columns_; }
    // Null when `col` is out of range.
    const TGridColumn* Column(int col) const;
    // Replaces the settings of column `col` (ignored when out of range),
    // resizes the column to the new width and redraws it.
    void SetColumn(int col, const TGridColumn& column);

    int DefaultRowHeight() const { return rowHeight_; }
    void SetDefaultRowHeight(int height);
    // Qt notation; the defaults are the program's "dd/mm/yy" and "hh:nn:ss".
    QString DateFormat() const { return dateFormat_; }
    void SetDateFormat(const QString& format) { dateFormat_ = format; }
    QString TimeFormat() const { return timeFormat_; }
    void SetTimeFormat(const QString& format) { timeFormat_ = format; }

    // The stored text of a cell; empty outside the model.
    QString CellText(int col, int row) const;
    QString CellText(const QModelIndex& index) const;
    // Stores `text` into a cell (ignored outside the model). Throws
    // EGridError, leaving the cell as it was, when the column is a list or
    // picture column whose item and value lists differ in length.
    void SetCellText(int col, int row, const QString& text);
    // The text a cell of a text, number, date, time or list column shows.
    QString DisplayText(const QModelIndex& index) const;

    // The cell holds a number too wide for its column: it shows as "###"
    // and whole in its tool tip.
    bool NumberTooWide(const QModelIndex& index) const;

    // The user may change the cell: the grid takes edits, the column's
    // editable flag is set and the model lets the cell be edited.
    bool CellEditable(const QModelIndex& index) const;
    // Stores the value a check box or in-place control chose. Nothing happens
    // when it equals the cell's text; otherwise OnControlChanged follows.
    // Throws EGridError as SetCellText does.
    bool WriteControlValue(const QModelIndex& index, const QString& text);
    // What a click or the space bar does to a check box; false when the cell
    // is no editable check box.
    bool ToggleCheckBox(const QModelIndex& index);
    // After the model refused `text` typed into the cell: the cell becomes
    // current again with its editor open and the text in it, for correction.
    // Leaving the text unchanged then writes nothing.
    void ReopenEditor(const QModelIndex& index, const QString& text);

    // Named pictures: "CHECKON", "CHECKOFF" and "CHECKNEUTRAL" are made from
    // the style; picture columns name others, given here or loaded from a
    // resource or file of that name.
    QPixmap Picture(const QString& name) const;
    void SetPicture(const QString& name, const QPixmap& picture);
    QPixmap CheckPicture(TCheckState state) const;

    // The filter row under the titles (see TGridHeader); hidden by default.
    // Hiding it empties its boxes.
    void SetFilterRowVisible(bool visible);
    bool FilterRowVisible() const;
    // The boxes' texts, one per column (empty while the row is hidden).
    QStringList FilterTexts() const;
    // Empties every box without a FilterChanged.
    void ClearFilters();
    // Box k shows texts[k] (a missing one: empty), without a FilterChanged.
    void SetFilterTexts(const QStringList& texts);
    // A FilterChanged still waiting for a pause in typing comes at once;
    // false when none was waiting.
    bool FlushFilter();
    TGridHeader* Header() const { return header_; }
    // How long typing in a box must pause before FilterChanged.
    static constexpr int kFilterPause = 250;

    // Message of the error a write into column `col` raises, empty when the
    // column's lists are in order.
    QString ListCountError(int col) const;

signals:
    // The filter row's boxes changed (or the row was shown or hidden).
    void FilterChanged();
    // A check box was toggled or an in-place control wrote a new value.
    void OnControlChanged(int col, int row);
    // A check box or in-place control could not write its value: the message
    // of EGridError or of the exception the model's setData raised. The cell
    // kept its text. Controls run inside Qt's event handling, which an
    // exception must not cross, so the error arrives here instead.
    void OnControlError(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ResizeColumns(int count);
    void ColumnsInserted(const QModelIndex& parent, int first, int last);
    void ColumnsRemoved(const QModelIndex& parent, int first, int last);
    void ColumnsMoved(const QModelIndex& parent, int start, int end, const QModelIndex& destination, int column);
    void StructureAboutToChange() { structureChanging_ = true; }
    void SyncWithModel();
    void ApplyWidths();
    void SectionResized(int col, int oldSize, int newSize);
    void MakeCheckPictures();

    std::vector<TGridColumn> columns_;
    TGridDelegate* delegate_;
    TGridHeader* header_;
    QTimer filterPause_;
    QList<QMetaObject::Connection> modelConnections_;
    mutable QHash<QString, QPixmap> pictures_;  // also caches pictures loaded by name
    QString dateFormat_ = QStringLiteral("dd/MM/yy");
    QString timeFormat_ = QStringLiteral("hh:mm:ss");
    int rowHeight_ = 19;
    bool applyingWidths_ = false;
    // Between a model's "about to" signal and its completion the header may
    // report section sizes of its own; they are not the user's widths.
    bool structureChanging_ = false;
};

}  // namespace quorvil
