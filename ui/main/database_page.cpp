#include "database_page.h"

#include "database.h"
#include "record_table_model.h"
#include "text_convert.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvil {

namespace {
constexpr int kMaxFittedWidth = 320;
}

TDatabasePage::TDatabasePage(int tab, QWidget* parent)
    : QWidget(parent), grid_(new QTableView(this)), model_(new TRecordTableModel(this))
{
    setObjectName(Tr("Page%1").arg(tab));
    grid_->setObjectName(Tr("Grid%1").arg(tab));
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid_->setAlternatingRowColors(true);
    grid_->setWordWrap(false);
    grid_->horizontalHeader()->setSectionsMovable(false);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->horizontalHeader()->setResizeContentsPrecision(100);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
}

void TDatabasePage::SetDatabase(const TDataBase* db)
{
    db_ = db;
    model_->SetDatabase(db);
    if (!db)
        return;
    grid_->resizeColumnsToContents();
    for (int c = 0; c < model_->columnCount(); ++c)
        grid_->setColumnWidth(c, std::min(grid_->columnWidth(c) + 8, kMaxFittedWidth));
}

void TDatabasePage::RefreshView()
{
    const std::vector<int> widths = ColumnWidths();
    model_->SetDatabase(db_);
    SetColumnWidths(widths);
}

std::vector<int> TDatabasePage::ColumnWidths() const
{
    std::vector<int> widths;
    for (int c = 0; c < model_->columnCount(); ++c)
        widths.push_back(grid_->columnWidth(c));
    return widths;
}

void TDatabasePage::SetColumnWidths(const std::vector<int>& widths)
{
    const int count = std::min(int(widths.size()), model_->columnCount());
    for (int c = 0; c < count; ++c)
        grid_->setColumnWidth(c, widths[size_t(c)]);
}

bool TDatabasePage::GridVisible() const
{
    return !grid_->isHidden();
}

}  // namespace quorvil
