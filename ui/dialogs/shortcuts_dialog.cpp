#include "shortcuts_dialog.h"

#include "modal.h"
#include "text_convert.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quorvil {

TShortcutsForm::TShortcutsForm(QWidget* parent) : QDialog(parent), table_(new QTableWidget(0, 2, this))
{
    setObjectName(FromUtf8("ShortcutsForm"));
    setWindowTitle(FromUtf8("Keyboard shortcuts"));
    table_->setObjectName(FromUtf8("ShortcutsTable"));
    table_->setHorizontalHeaderLabels({FromUtf8("Command"), FromUtf8("Keys")});
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(FromUtf8("CloseBtn"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(460, 480);
}

void TShortcutsForm::Fill(const std::vector<TShortcutRow>& rows)
{
    table_->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        table_->setItem(r, 0, new QTableWidgetItem(rows[size_t(r)].Command));
        table_->setItem(r, 1, new QTableWidgetItem(rows[size_t(r)].Keys));
    }
}

void TShortcutsForm::ShowRows(const std::vector<TShortcutRow>& rows)
{
    Fill(rows);
    ExecModal(*this);
}

}  // namespace quorvil
