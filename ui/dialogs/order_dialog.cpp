#include "order_dialog.h"

#include "form_position.h"
#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace quorvil {

namespace {

QPushButton* SmallButton(QWidget* parent, QStyle::StandardPixmap icon, const char* name, const char* hint)
{
    auto* button = new QPushButton(QApplication::style()->standardIcon(icon), QString(), parent);
    button->setObjectName(FromUtf8(name));
    button->setToolTip(FromUtf8(hint));
    button->setFixedWidth(32);
    return button;
}

}  // namespace

TOrderForm::TOrderForm(QWidget* parent)
    : QDialog(parent), fields_(new QListWidget(this)), order_(new QListWidget(this)), group_(new QButtonGroup(this))
{
    setObjectName(FromUtf8("OrderForm"));
    setWindowTitle(FromUtf8("List Fields' Sort Order"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    fields_->setObjectName(FromUtf8("FieldList"));
    order_->setObjectName(FromUtf8("OrderList"));

    auto* orderBox = new QGroupBox(FromUtf8("Sort Order"), this);
    orderBox->setObjectName(FromUtf8("Order"));
    auto* orderLayout = new QVBoxLayout(orderBox);
    for (auto [mode, caption] : {std::pair{kAlphabetically, "Alphabetically"}, {kUserDefined, "User-Defined"}}) {
        auto* radio = new QRadioButton(FromUtf8(caption), orderBox);
        group_->addButton(radio, mode);
        orderLayout->addWidget(radio);
    }
    up_ = SmallButton(this, QStyle::SP_ArrowUp, "UpBtn", "Move value up");
    down_ = SmallButton(this, QStyle::SP_ArrowDown, "DownBtn", "Move value down");
    upd_ = SmallButton(this, QStyle::SP_DialogSaveButton, "UpdBtn", "Update PopUpList order");
    auto* side = new QVBoxLayout;
    side->addWidget(up_);
    side->addWidget(down_);
    side->addStretch();
    side->addWidget(upd_);

    auto* values = new QHBoxLayout;
    values->addWidget(order_, 1);
    values->addLayout(side);
    auto* right = new QVBoxLayout;
    right->addWidget(orderBox);
    right->addLayout(values, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(fields_, 1);
    top->addLayout(right, 1);

    auto* ok = new QPushButton(FromUtf8("&OK"), this);
    ok->setObjectName(FromUtf8("OkBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(FromUtf8("&Cancel"), this);
    cancel->setObjectName(FromUtf8("CancelBtn"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(fields_, &QListWidget::currentRowChanged, this, [this] { FieldListClick(); });
    connect(group_, &QButtonGroup::idClicked, this, &TOrderForm::OrderClick);
    connect(order_, &QListWidget::currentRowChanged, this, [this] { OrderListClick(); });
    connect(up_, &QPushButton::clicked, this, &TOrderForm::UpBtnClick);
    connect(down_, &QPushButton::clicked, this, &TOrderForm::DownBtnClick);
    connect(upd_, &QPushButton::clicked, this, &TOrderForm::UpdBtnClick);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 300);
    LoadFormPosition(*this);
}

TOrderForm::~TOrderForm()
{
    SaveFormPosition(*this);
}

void TOrderForm::SetKeys(const std::vector<TListKey>& keys)
{
    modes_.assign(keys.size(), kUserDefined);
    lists_.clear();
    const QSignalBlocker block(fields_);
    fields_->clear();
    for (const TListKey& key : keys) {
        fields_->addItem(key.Name);
        lists_.push_back(key.Popup);
    }
}

bool TOrderForm::ChooseListOrders()
{
    {
        const QSignalBlocker block(fields_);
        fields_->setCurrentRow(fields_->count() > 0 ? 0 : -1);
    }
    FieldListClick();
    fields_->setFocus();
    return ExecModal(*this) == QDialog::Accepted;
}

QRadioButton* TOrderForm::OrderButton(int mode) const
{
    return static_cast<QRadioButton*>(group_->button(mode));
}

void TOrderForm::FieldListClick()
{
    const int entry = fields_->currentRow();
    const bool known = entry >= 0 && size_t(entry) < modes_.size();
    if (known)
        OrderButton(modes_[size_t(entry)])->setChecked(true);
    {
        const QSignalBlocker block(order_);
        order_->clear();
        if (known)
            order_->addItems(lists_[size_t(entry)]);
    }
    OrderClick(known ? modes_[size_t(entry)] : kAlphabetically);
    up_->setEnabled(false);
    down_->setEnabled(false);
}

void TOrderForm::OrderClick(int mode)
{
    const int entry = fields_->currentRow();
    if (entry >= 0 && size_t(entry) < modes_.size())
        modes_[size_t(entry)] = mode;
    order_->setEnabled(mode == kUserDefined);
    upd_->setEnabled(mode == kUserDefined);
    OrderListClick();
}

void TOrderForm::OrderListClick()
{
    const int row = order_->currentRow();
    const bool on = order_->isEnabled() && row >= 0;
    up_->setEnabled(on && row > 0);
    down_->setEnabled(on && row < order_->count() - 1);
}

void TOrderForm::MoveValue(int step)
{
    const int entry = fields_->currentRow();
    const int row = order_->currentRow();
    const int target = row + step;
    if (entry < 0 || row < 0 || target < 0 || target >= order_->count())
        return;
    {
        const QSignalBlocker block(order_);
        order_->insertItem(target, order_->takeItem(row));
        order_->setCurrentRow(target);
    }
    QStringList& list = lists_[size_t(entry)];
    list.clear();
    for (int i = 0; i < order_->count(); ++i)
        list << order_->item(i)->text();
    OrderListClick();
}

void TOrderForm::UpdBtnClick()
{
    const int entry = fields_->currentRow();
    if (entry >= 0 && writer_)
        writer_(fields_->item(entry)->text(), lists_[size_t(entry)]);
}

}  // namespace quorvil
