#include "popup_list_dialog.h"

#include "app_icons.h"
#include "input_dialog.h"
#include "message_dialog.h"
#include "text_convert.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvil {

TPopForm::TPopForm(QWidget* parent) : TBase("PopForm", parent), list_(new QListWidget(Panel2()))
{
    setWindowTitle(FromUtf8("Popup List"));
    list_->setObjectName(FromUtf8("ListBox"));
    OkBtn()->setToolTip(FromUtf8("Accept all changes and exit"));
    CancelBtn()->setToolTip(FromUtf8("Cancel all changes and exit"));
    edit_ = new QPushButton(FromUtf8("&Edit"), Panel1());
    edit_->setObjectName(FromUtf8("EditBtn"));
    edit_->setToolTip(FromUtf8("Edit selected item"));
    static_cast<QHBoxLayout*>(Panel1()->layout())->insertWidget(0, edit_);

    up_ = Small("UpBtn", "Move selected item up", "go-up", QStyle::SP_ArrowUp);
    del_ = Small("DelBtn", "Delete selected item", "list-remove", QStyle::SP_TrashIcon);
    sort_ = Small("SortBtn", "Sort items in alphabetical order", "view-sort-ascending", QStyle::SP_ArrowDown);
    add_ = Small("AddBtn", "Add new item", "list-add", QStyle::SP_FileDialogNewFolder);
    down_ = Small("DownBtn", "Move selected item down", "go-down", QStyle::SP_ArrowDown);
    // Stretches of equal weight keep the sort button in the middle.
    auto* column = new QVBoxLayout;
    column->addWidget(up_);
    column->addWidget(del_);
    column->addStretch(1);
    column->addWidget(sort_);
    column->addStretch(1);
    column->addWidget(add_);
    column->addWidget(down_);
    auto* layout = new QHBoxLayout(Panel2());
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addWidget(list_, 1);
    layout->addLayout(column);

    connect(list_, &QListWidget::currentRowChanged, this, &TPopForm::UpdateButtons);
    connect(list_, &QListWidget::itemDoubleClicked, this, &TPopForm::EditBtnClick);
    connect(edit_, &QPushButton::clicked, this, &TPopForm::EditBtnClick);
    connect(up_, &QPushButton::clicked, this, &TPopForm::UpBtnClick);
    connect(down_, &QPushButton::clicked, this, &TPopForm::DownBtnClick);
    connect(del_, &QPushButton::clicked, this, &TPopForm::DelBtnClick);
    connect(add_, &QPushButton::clicked, this, &TPopForm::AddBtnClick);
    connect(sort_, &QPushButton::clicked, this, &TPopForm::SortBtnClick);
    setMinimumSize(264, 232);
    resize(264, 232);
    RestorePosition();
}

QPushButton* TPopForm::Small(const char* name, const char* hint, const char* theme, int fallback)
{
    const QIcon icon = NamedIcon({FromUtf8(theme)}, QStyle::StandardPixmap(fallback));
    auto* button = new QPushButton(icon, QString(), Panel2());
    button->setObjectName(FromUtf8(name));
    button->setToolTip(FromUtf8(hint));
    button->setFixedSize(28, 26);
    return button;
}

bool TPopForm::EditPopupList(QStringList& list, const QString& caption)
{
    list_->clear();
    list_->addItems(list);
    OkBtn()->setEnabled(false);
    setWindowTitle(caption);
    list_->setCurrentRow(list.isEmpty() ? -1 : 0);
    UpdateButtons();
    if (!Execute())
        return false;
    list = Items();
    return true;
}

QStringList TPopForm::Items() const
{
    QStringList items;
    for (int i = 0; i < list_->count(); ++i)
        items << list_->item(i)->text();
    return items;
}

void TPopForm::UpdateButtons()
{
    const int count = list_->count();
    const int row = list_->currentRow();
    del_->setEnabled(count > 0);
    edit_->setEnabled(count > 0);
    up_->setEnabled(count > 0 && row > 0);
    down_->setEnabled(count > 0 && row >= 0 && row < count - 1);
    add_->setEnabled(count < kMaxItems);
}

void TPopForm::Changed()
{
    OkBtn()->setEnabled(true);
    UpdateButtons();
}

void TPopForm::AddBtnClick()
{
    if (list_->count() >= kMaxItems)
        return;
    QString text;
    if (!AskValue(FromUtf8("New item name"), text))
        return;
    const int row = list_->currentRow();
    // After the selected item; first when items exist but none is selected.
    const int at = list_->count() == 0 ? 0 : row < 0 ? 0 : row + 1;
    list_->insertItem(at, text);
    list_->setCurrentRow(at);
    Changed();
}

void TPopForm::EditBtnClick()
{
    QListWidgetItem* item = list_->currentItem();
    if (!item)
        return;
    QString text = item->text();
    if (!AskValue(FromUtf8("Edit item"), text) || text == item->text())
        return;
    item->setText(text);
    Changed();
}

bool TPopForm::AskValue(const QString& caption, QString& text)
{
    std::string bytes;
    return InputBytes(caption, text, kMaxLength, charset_, bytes);
}

void TPopForm::DelBtnClick()
{
    const int row = list_->currentRow();
    if (row < 0)
        return;
    const QString question = FromUtf8("Delete entry \"") + list_->item(row)->text() + FromUtf8("\"?");
    if (!AskYesNo(question))
        return;
    delete list_->takeItem(row);
    list_->setCurrentRow(std::min(row, list_->count() - 1));
    Changed();
}

void TPopForm::MoveItem(int step)
{
    const int row = list_->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= list_->count())
        return;
    list_->insertItem(target, list_->takeItem(row));
    list_->setCurrentRow(target);
    Changed();
}

void TPopForm::SortBtnClick()
{
    QStringList items = Items();
    std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(a.toCaseFolded(), b.toCaseFolded()) < 0;
    });
    const QString current = list_->currentItem() ? list_->currentItem()->text() : QString();
    list_->clear();
    list_->addItems(items);
    list_->setCurrentRow(current.isNull() ? -1 : int(items.indexOf(current)));
    Changed();
}

}  // namespace quorvil
