#include "database_page.h"

#include "command_guard.h"
#include "database.h"
#include "database_model.h"
#include "date_dialog.h"
#include "extended_grid.h"
#include "field_types.h"
#include "grid_setup.h"
#include "long_text_check.h"
#include "record_sort.h"
#include "text_convert.h"

#include <QApplication>
#include <QHeaderView>
#include <QLocale>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvil {

namespace {

// Shows the hourglass for a scope, also when an exception leaves it.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The date of a long-date text ("dd mmm yyyy"); false when it holds none.
bool LongDateOf(std::string_view text, QDate& date)
{
    const TDate parsed = IntDateToDate(text);
    if (parsed == TDate{}) {
        // The failure value is a date too: 30 Dec 1899 written out is one,
        // as the day before it shows.
        const bool dayZero = text.substr(0, 2) == "30"
                             && IntDateToDate("29" + std::string(text.substr(2))) == TDate{1899, 12, 29};
        if (!dayZero)
            return false;
    }
    date = QDate(parsed.Year, parsed.Month, parsed.Day);
    return date.isValid();
}

QString LongDateText(const QDate& date)
{
    return QLocale::c().toString(date, Tr("dd MMM yyyy"));  // English month abbreviations
}

}  // namespace

TDatabasePage::TDatabasePage(int tab, QWidget* parent)
    : QWidget(parent), grid_(new TExtendedGrid(this)), model_(new TDatabaseModel(this))
{
    setObjectName(Tr("Page%1").arg(tab));
    grid_->setObjectName(Tr("Grid%1").arg(tab));
    grid_->setModel(model_);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    QHeaderView* header = grid_->horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);

    // A moved section emits no click, so a drag never sorts.
    connect(header, &QHeaderView::sectionMoved, this, &TDatabasePage::SectionMoved);
    connect(header, &QHeaderView::sectionClicked, this, &TDatabasePage::HeaderClick);
    connect(grid_, &QAbstractItemView::doubleClicked, this, [this] { GridDblClick(); });
    connect(model_, &TDatabaseModel::Edited, this, &TDatabasePage::DatabaseEdited);
    // Edits fail inside the grid's event handling; the message waits until
    // it is over, so that no editor commits again behind the dialog.
    connect(model_, &TDatabaseModel::EditFailed, this, &TDatabasePage::ShowEditError, Qt::QueuedConnection);
    connect(grid_, &TExtendedGrid::OnControlError, this, &TDatabasePage::ShowEditError, Qt::QueuedConnection);

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
    model_->SetDatabase(db);
    // Another database starts from the default column settings.
    for (int col = 0; col < model_->columnCount(); ++col)
        grid_->SetColumn(col, TGridColumn());
    contextCol_ = 0;
    contextRow_ = -1;
    SetUpColumns();
}

TDataBase* TDatabasePage::DataBase() const
{
    return model_->DataBase();
}

void TDatabasePage::RefreshView()
{
    model_->Refill();
    SetUpColumns();
}

void TDatabasePage::DefinitionChanged()
{
    RefreshView();
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
    RunCommand("GridDblClick", [this] {
        const QModelIndex index = grid_->currentIndex();
        const TDataBase* db = DataBase();
        if (!db || !index.isValid())
            return;
        const uint16_t type = db->GetFieldType(index.column() + 1);
        if (IsStringField(type))
            EditLongText(index);
        else if (type == kTypeIntDate)
            EditIntDate(index);
    });
}

void TDatabasePage::EditLongText(const QModelIndex& index)
{
    const QPersistentModelIndex cell(index);
    QString text = model_->CellText(index.row(), index.column());
    if (EditLongValue(text) && cell.isValid())
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
        if (!DataBase() || col < 0 || col >= model_->columnCount())
            return;
        if (col == model_->SortColumn())
            model_->ReverseRows();
        else
            SortByColumn(col);
        model_->SetSortColumn(col);
    });
}

void TDatabasePage::SortByColumn(int col)
{
    TDataBase& db = *DataBase();
    TSortOrder order;
    order.SortList = {db.GetFieldName(col + 1), db.GetFieldName(1)};
    {
        WaitCursor wait;
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
    if (moved && from != to)
        emit DatabaseEdited();
}

void TDatabasePage::ShowEditError(const QString& message)
{
    ShowApplicationError(message, Tr("GridSetEditText"));
}

}  // namespace quorvil
