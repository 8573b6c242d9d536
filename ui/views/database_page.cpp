#include "database_page.h"
#include "wait_cursor.h"

#include "command_guard.h"
#include "database.h"
#include "database_model.h"
#include "date_dialog.h"
#include "date_text.h"
#include "errors.h"
#include "extended_grid.h"
#include "field_layout.h"
#include "field_types.h"
#include "filter_run.h"
#include "grid_setup.h"
#include "long_text_check.h"
#include "message_dialog.h"
#include "record_filter.h"
#include "record_list_model.h"
#include "record_panel.h"
#include "record_sort.h"
#include "text_convert.h"
#include "undo_history.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QLocale>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace quorvil {

namespace {

// The date of a long-date text ("dd mmm yyyy"); false when it holds none.
bool LongDateOf(std::string_view text, QDate& date)
{
    const std::optional<TCivilDate> parsed = ParseLongDateText(text);
    if (!parsed)
        return false;
    date = QDate(parsed->Year, parsed->Month, parsed->Day);
    return date.isValid();
}

QString LongDateText(const QDate& date)
{
    return QLocale::c().toString(date, FromUtf8("dd MMM yyyy"));  // English month abbreviations
}

}  // namespace

TDatabasePage::TDatabasePage(int tab, QWidget* parent)
    : QWidget(parent), grid_(new TExtendedGrid(this)), model_(new TDatabaseModel(this)),
      recordPanel_(new QSplitter(Qt::Horizontal, this)), listBox_(new QListView(recordPanel_)),
      listModel_(new TRecordListModel(model_, this)), editPanel_(new TRecordPanel(tab, model_, recordPanel_)),
      filter_(new TFilterRun(grid_, model_, this)),
      history_(new TUndoHistory(
          tab, model_, [this](int r, int f, bool d) { ShowChange(r, f, d); }, this))
{
    setObjectName(FromUtf8("Page%1").arg(tab));
    grid_->setObjectName(FromUtf8("Grid%1").arg(tab));
    grid_->setModel(model_);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    QHeaderView* header = grid_->horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
    layout->addWidget(recordPanel_);

    recordPanel_->setObjectName(FromUtf8("RecordPanel%1").arg(tab));
    recordPanel_->setChildrenCollapsible(false);
    recordPanel_->hide();
    listBox_->setObjectName(FromUtf8("ListBox%1").arg(tab));
    // Lines of one height: the view scrolls a database of any size without
    // measuring its lines.
    listBox_->setUniformItemSizes(true);
    listBox_->setModel(listModel_);
    listBox_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Several records are selected to copy them together.
    listBox_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    recordPanel_->setStretchFactor(1, 1);
    recordPanel_->setSizes({280, 600});
    connect(listBox_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { ListBoxClick(); });
    connect(recordPanel_, &QSplitter::splitterMoved, this, [this] { editPanel_->LayoutEditors(false); });
    listBox_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listBox_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (const QModelIndex index = listBox_->indexAt(pos); index.isValid())
            contextRow_ = index.row();
        emit ContextPopup(listBox_->viewport()->mapToGlobal(pos));
    });
    editTriggers_ = int(grid_->editTriggers());
    // The status line shows the modified flag, which undo and redo turn.
    connect(history_, &TUndoHistory::ModifiedChanged, this, &TDatabasePage::DatabaseEdited);
    model_->SetCellRecorder([this](int record, std::vector<TCellBefore> before) {
        // The record views write at every keystroke; the grid once an edit.
        history_->Push(FromUtf8("Edit"), CellStep(record, std::move(before), !GridVisible()));
    });

    // A moved section emits no click, so a drag never sorts.
    connect(header, &QHeaderView::sectionMoved, this, &TDatabasePage::SectionMoved);
    connect(header, &QHeaderView::sectionClicked, this, &TDatabasePage::HeaderClick);
    connect(model_, &TDatabaseModel::SortChanged, this, &TDatabasePage::ShowSortIndicator);
    connect(grid_, &QAbstractItemView::doubleClicked, this, [this] { GridDblClick(); });
    connect(model_, &TDatabaseModel::Edited, this, &TDatabasePage::DatabaseEdited);
    // Edits fail inside the grid's event handling; the message waits until
    // it is over, so that no editor commits again behind the dialog.
    connect(model_, &TDatabaseModel::EditFailed, this, &TDatabasePage::ShowEditError, Qt::QueuedConnection);
    connect(grid_, &TExtendedGrid::OnControlError, this, &TDatabasePage::ShowEditError, Qt::QueuedConnection);
    connect(model_, &TDatabaseModel::InputRefused, this, [] { ++refusals_; });
    connect(model_, &TDatabaseModel::InputRefused, this, &TDatabasePage::ShowInputRefused, Qt::QueuedConnection);

    connect(filter_, &TFilterRun::Applied, this, [this] {
        RefreshView();
        emit FilterApplied();
    });

    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = grid_->indexAt(pos);
        if (index.isValid()) {
            contextCol_ = index.column();
            contextRow_ = index.row();
        }
        emit ContextPopup(grid_->viewport()->mapToGlobal(pos));
    });
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this, [this, header](const QPoint& pos) {
        if (const int col = header->logicalIndexAt(pos); col >= 0) {
            contextCol_ = col;
            contextRow_ = -1;
        }
        emit ContextPopup(header->mapToGlobal(pos));
    });
}

void TDatabasePage::SetDatabase(TDataBase* db)
{
    history_->Reset(db);
    ClearFilterRow();  // another database's boxes mean nothing here
    model_->SetDatabase(db);
    // Another database starts from the default column settings.
    for (int col = 0; col < model_->columnCount(); ++col)
        grid_->SetColumn(col, TGridColumn());
    contextCol_ = 0;
    contextRow_ = -1;
    // A read-only file's fields keep their places too.
    grid_->horizontalHeader()->setSectionsMovable(!(db && db->ReadOnlyFile()));
    SetUpColumns();
}

void TDatabasePage::SetFilterRowVisible(bool visible)
{
    grid_->SetFilterRowVisible(visible);
}

bool TDatabasePage::FilterRowVisible() const
{
    return grid_->FilterRowVisible();
}

void TDatabasePage::ClearFilterRow()
{
    filter_->Clear();
}

std::vector<int> TDatabasePage::ShownRecords() const
{
    std::vector<int> records;
    records.reserve(size_t(model_->rowCount()));
    for (int row = 0; row < model_->rowCount(); ++row)
        records.push_back(model_->RecordOfRow(row));
    return records;
}

void TDatabasePage::FinishFilter()
{
    filter_->Finish();
}

TDataBase* TDatabasePage::DataBase() const
{
    return model_->DataBase();
}

void TDatabasePage::RefreshView()
{
    model_->Refill();
    SetUpColumns();
    if (!GridVisible())
        FillRecordView();
}

void TDatabasePage::SetViewMode(TViewMode mode)
{
    viewMode_ = mode;
    grid_->setVisible(viewMode_ == TViewMode::Grid);
    recordPanel_->setVisible(viewMode_ != TViewMode::Grid);
    listBox_->setVisible(viewMode_ == TViewMode::List);
    editPanel_->SetButtonStripVisible(viewMode_ == TViewMode::Record);
    // The panels take their new sizes first, so that the fields are laid out
    // for the space they get.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    RefreshView();
}

void TDatabasePage::FillRecordView()
{
    if (listBox_->isHidden())
        editPanel_->ShowRow(-1);
    else
        listModel_->SetColumn(contextCol_);
    editPanel_->BuildEditors();
    if (listBox_->isHidden()) {
        editPanel_->NextBtnClick();
    } else {
        listBox_->setCurrentIndex(listModel_->index(0, 0));
        listBox_->scrollToTop();
        ListBoxClick();
    }
}

void TDatabasePage::ListBoxClick()
{
    editPanel_->ShowRow(listBox_->currentIndex().isValid() ? listBox_->currentIndex().row() : -1);
}

void TDatabasePage::SetRearrange(bool on)
{
    grid_->setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    grid_->setEditTriggers(on ? QAbstractItemView::NoEditTriggers : QAbstractItemView::EditTriggers(editTriggers_));
    const int row = on ? std::max(grid_->currentIndex().row(), 0) : 0;
    if (model_->rowCount() == 0)
        return;
    if (on) {
        SelectRows(row, row);
    } else {
        grid_->setCurrentIndex(model_->index(0, 0));
        grid_->selectionModel()->select(model_->index(0, 0), QItemSelectionModel::ClearAndSelect);
    }
}

bool TDatabasePage::SelectedRows(int& top, int& bottom) const
{
    const QItemSelection selection = grid_->selectionModel()->selection();
    if (selection.isEmpty()) {
        top = bottom = grid_->currentIndex().row();
        return top >= 0;
    }
    top = INT_MAX;
    bottom = -1;
    for (const QItemSelectionRange& range : selection) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
    }
    return true;
}

void TDatabasePage::MoveSelection(int delta)
{
    int top = 0;
    int bottom = 0;
    if (!DataBase() || !SelectedRows(top, bottom))
        return;
    bool moved = false;
    {
        TUndoScope change = Change(FromUtf8("Move records"));
        moved = model_->MoveRowBlock(top, bottom, delta);
    }
    if (!moved)
        return;
    SelectRows(top + delta, bottom + delta);
    emit DatabaseEdited();
}

QUndoStack* TDatabasePage::UndoStack() const
{
    return history_->Stack();
}

TUndoScope TDatabasePage::Change(const QString& text)
{
    return history_->Change(text);
}

void TDatabasePage::MarkSaved()
{
    history_->MarkSaved();
}

void TDatabasePage::ShowChange(int record, int field, bool definition)
{
    model_->SetSortColumn(TDatabaseModel::kNoColumn);
    if (definition) {
        DefinitionChanged();
    } else {
        model_->Refill();
        SetUpColumns();
    }
    const int rows = model_->rowCount();
    int row = record < 0 ? rows - 1 : model_->RowOfRecord(record);
    if (GridVisible()) {
        const int col = field > 0 ? field - 1 : std::max(grid_->currentIndex().column(), 0);
        // The current cell alone is selected, also where the step names no
        // record and whatever keys are held: a block selected before the step
        // means nothing after it.
        const QModelIndex cell = row >= 0 ? model_->index(row, col) : grid_->currentIndex();
        const auto whole = grid_->selectionBehavior() == QAbstractItemView::SelectRows ? QItemSelectionModel::Rows
                                                                                       : QItemSelectionModel::NoUpdate;
        if (cell.isValid())
            grid_->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect | whole);
    } else {
        if (row < 0)
            row = std::min(editPanel_->CurrentRow(), rows - 1);
        if (viewMode_ == TViewMode::List)
            listBox_->setCurrentIndex(listModel_->index(row, 0));
        editPanel_->ShowRow(row);
    }
    emit DatabaseEdited();
}

void TDatabasePage::SelectRows(int top, int bottom)
{
    const int last = std::max(model_->columnCount() - 1, 0);
    grid_->setCurrentIndex(model_->index(top, 0));
    grid_->selectionModel()->select(QItemSelection(model_->index(top, 0), model_->index(bottom, last)),
                                    QItemSelectionModel::ClearAndSelect);
}

void TDatabasePage::DefinitionChanged()
{
    const int columns = model_->columnCount();
    RefreshView();
    filter_->Refilter(ApplyFollowedFields() ? model_->columnCount() : columns);
}

void TDatabasePage::FollowFields(const std::vector<int>& sources, TColumnsAside& aside)
{
    // An added column looks as a field of a new database's width (100) does
    // at a first look.
    constexpr int kAddedWidth = 150;
    const std::vector<int> widths = ColumnWidths();
    const QStringList boxes = grid_->FilterTexts();
    TFollowed followed;
    size_t added = 0;
    for (const int old : sources) {
        if (old >= 1 && size_t(old) <= widths.size()) {
            followed.Widths.push_back(widths[size_t(old - 1)]);
            followed.Filters << boxes.value(old - 1);
        } else {
            followed.Widths.push_back(added < aside.Widths.size() ? aside.Widths[added] : kAddedWidth);
            followed.Filters << aside.Filters.value(qsizetype(added));
            ++added;
        }
    }
    TColumnsAside dropped;
    for (int old = 1; old <= int(widths.size()); ++old) {
        if (NewPosition(sources, old) == 0) {
            dropped.Widths.push_back(widths[size_t(old - 1)]);
            dropped.Filters << boxes.value(old - 1);
        }
    }
    aside = std::move(dropped);
    const QModelIndex current = grid_->currentIndex();
    followed.Row = current.row();
    followed.Column = NewPosition(sources, current.column() + 1) - 1;
    followed_ = std::move(followed);
}

bool TDatabasePage::ApplyFollowedFields()
{
    if (!followed_)
        return false;
    const TFollowed followed = std::move(*followed_);
    followed_.reset();
    SetColumnWidths(followed.Widths);
    SetUpColumns();  // a List column stays narrow
    grid_->SetFilterTexts(followed.Filters);
    if (followed.Row >= 0 && followed.Row < model_->rowCount())
        grid_->setCurrentIndex(model_->index(followed.Row, std::max(followed.Column, 0)));
    return true;
}

void TDatabasePage::RecordsReordered()
{
    model_->ClearReversal();
    model_->SetSortColumn(TDatabaseModel::kNoColumn);
    RefreshView();
}

void TDatabasePage::SetUpColumns()
{
    const TDataBase* db = DataBase();
    if (!db)
        return;
    const int count = std::min(db->FieldCount(), int(grid_->Columns().size()));
    for (int col = 0; col < count; ++col)
        grid_->SetColumn(col, FieldColumn(*grid_->Column(col), *db, col + 1));
}

std::vector<int> TDatabasePage::ColumnWidths() const
{
    std::vector<int> widths;
    for (const TGridColumn& column : grid_->Columns())
        widths.push_back(column.Width);
    return widths;
}

void TDatabasePage::SetColumnWidths(const std::vector<int>& widths)
{
    const int count = std::min(int(widths.size()), int(grid_->Columns().size()));
    for (int col = 0; col < count; ++col) {
        TGridColumn column = *grid_->Column(col);
        column.Width = widths[size_t(col)];
        grid_->SetColumn(col, column);
    }
}

bool TDatabasePage::GridVisible() const
{
    return !grid_->isHidden();
}

void TDatabasePage::GridDblClick()
{
    FinishFilter();  // the cell double-clicked keeps its record
    RunCommand("GridDblClick", [this] {
        const QModelIndex index = grid_->currentIndex();
        const TDataBase* db = DataBase();
        if (!db || !index.isValid() || db->ReadOnlyFile())
            return;
        const TEditorKind editor = FactsOf(db->GetFieldType(index.column() + 1)).Editor;
        if (editor == TEditorKind::LongText)
            EditLongText(index);
        else if (editor == TEditorKind::LongDate)
            EditIntDate(index);
        else
            grid_->edit(index);  // the cell's own editor; nothing for a check box
    });
}

void TDatabasePage::EditLongText(const QModelIndex& index)
{
    const QPersistentModelIndex cell(index);
    QString text = model_->CellText(index.row(), index.column());
    if (EditLongValue(text, model_->DataBase()->Charset()) && cell.isValid())
        grid_->SetCellText(cell.column(), cell.row(), text);
}

void TDatabasePage::EditIntDate(const QModelIndex& index)
{
    const QPersistentModelIndex cell(index);
    const int record = model_->RecordOfRow(index.row());
    QDate date;
    if (!LongDateOf(DataBase()->CellView(record, index.column() + 1), date))
        return;
    const QPoint corner = grid_->viewport()->mapToGlobal(grid_->visualRect(index).topLeft());
    if (PickDate(corner.x(), corner.y(), date) && cell.isValid())
        grid_->SetCellText(cell.column(), cell.row(), LongDateText(date));
}

void TDatabasePage::HeaderClick(int col)
{
    RunCommand("SortBtnClick", [this, col] {
        // A header click sorts the records themselves, which a read-only
        // file's database keeps as they are.
        if (!DataBase() || col < 0 || col >= model_->columnCount() || DataBase()->ReadOnlyFile())
            return;
        if (col == model_->SortColumn())
            model_->ReverseRows();
        else
            SortByColumn(col);
        model_->SetSortColumn(col);
    });
    // The header turns its arrow at every click, also one that sorted
    // nothing.
    ShowSortIndicator();
}

void TDatabasePage::ShowSortIndicator()
{
    QHeaderView* header = grid_->horizontalHeader();
    const int col = model_->SortColumn();
    header->setSortIndicatorShown(col != TDatabaseModel::kNoColumn);
    header->setSortIndicator(col, model_->Reversed() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TDatabasePage::SortByColumn(int col)
{
    TDataBase& db = *DataBase();
    TSortOrder order;
    order.SortList = {db.GetFieldName(col + 1), db.GetFieldName(1)};
    {
        WaitCursor wait;
        TUndoScope change = Change(FromUtf8("Sort"));
        SortRecords(db, order, 1, db.RecordCount());
    }
    model_->ClearReversal();
    RefreshView();
    emit DatabaseEdited();
}

void TDatabasePage::SectionMoved(int /*logical*/, int oldVisual, int newVisual)
{
    if (restoringOrder_)
        return;
    RunCommand("GridColumnMoved", [=, this] { GridColumnMoved(oldVisual, newVisual); });
}

void TDatabasePage::GridColumnMoved(int from, int to)
{
    // Columns are only ever out of field order while the user drags one.
    QHeaderView* header = grid_->horizontalHeader();
    const bool moved = model_->MoveField(from, to);
    restoringOrder_ = true;
    for (int col = 0; col < header->count(); ++col)
        if (header->visualIndex(col) != col)
            header->moveSection(header->visualIndex(col), col);
    restoringOrder_ = false;
    ShowSortIndicator();  // on the sorted field's column, wherever it went
    if (moved && from != to) {
        // The grid's columns move back and forth with their fields.
        history_->Push(FromUtf8("Move field"), FieldMoveStep(from + 1, to + 1, [this](int a, int b) {
                           if (!model_->MoveField(a - 1, b - 1))
                               throw ERangeError(FormatMessage("MoveField: FromIndex out of range (%d)", a));
                       }));
        emit DatabaseEdited();
    }
}

void TDatabasePage::ShowEditError(const QString& message)
{
    ShowApplicationError(message, FromUtf8("GridSetEditText"));
}

void TDatabasePage::ShowInputRefused(const QString& message, int record, int field, const QString& typed)
{
    ShowError(message);
    // The user may have moved on to another cell or record meanwhile.
    const int row = model_->RowOfRecord(record);
    if (row < 0 || field < 1 || field > model_->columnCount())
        return;
    if (GridVisible()) {
        grid_->ReopenEditor(model_->index(row, field - 1), typed);
    } else {
        ShowRow(row, field - 1);
        editPanel_->KeepRefusedText(field, typed);
    }
}

void TDatabasePage::ShowRow(int row, int column)
{
    if (row < 0 || row >= model_->rowCount())
        return;
    // The fields are filled again only for another record (the list's line
    // fills them as it changes): what is being typed into them stays.
    if (GridVisible())
        grid_->setCurrentIndex(model_->index(row, std::clamp(column, 0, model_->columnCount() - 1)));
    else if (viewMode_ == TViewMode::List)
        listBox_->setCurrentIndex(listModel_->index(row, 0));
    else if (editPanel_->CurrentRow() != row)
        editPanel_->ShowRow(row);
}

}  // namespace quorvil
