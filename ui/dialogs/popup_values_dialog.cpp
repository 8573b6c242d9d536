#include "popup_values_dialog.h"

#include "form_position.h"
#include "input_dialog.h"
#include "message_dialog.h"
#include "modal.h"
#include "text_convert.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

namespace quorvil {

TPopupForm::TPopupForm(QWidget* parent)
    : QDialog(parent), label1_(new QLabel(Tr("Values in PopUp"), this)), fields_(new QListWidget(this)),
      addBtn_(new QPushButton(Tr("&Add"), this)), delBtn_(new QPushButton(Tr("&Remove"), this)),
      okBtn_(new QPushButton(Tr("&OK"), this)), cancelBtn_(new QPushButton(Tr("&Cancel"), this)),
      side_(new QVBoxLayout)
{
    setObjectName(Tr("PopupForm"));
    setWindowTitle(Tr("Define values in popup-field"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    label1_->setObjectName(Tr("Label1"));
    fields_->setObjectName(Tr("Fields"));
    fields_->setSelectionMode(QAbstractItemView::SingleSelection);
    addBtn_->setObjectName(Tr("AddBtn"));
    delBtn_->setObjectName(Tr("DelBtn"));
    okBtn_->setObjectName(Tr("OkBtn"));
    cancelBtn_->setObjectName(Tr("CancelBtn"));
    okBtn_->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addWidget(label1_);
    left->addWidget(fields_);
    side_->addWidget(addBtn_);
    side_->addWidget(delBtn_);
    side_->addStretch();
    side_->addWidget(okBtn_);
    side_->addWidget(cancelBtn_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side_);
    resize(360, 320);

    connect(addBtn_, &QPushButton::clicked, this, [this] { AddBtnClick(); });
    connect(delBtn_, &QPushButton::clicked, this, [this] { DelBtnClick(); });
    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
    connect(fields_, &QListWidget::currentRowChanged, this, [this] {
        // An exception must not cross Qt's event handling.
        try {
            FieldsClick();
        } catch (const std::exception& e) {
            MessageDlgButtons(ToQString(e.what()), mtError, {mbOK}, mbOK);
        }
    });
    LoadFormPosition(*this, objectName());
}

TPopupForm::~TPopupForm()
{
    SaveFormPosition(*this, objectName());
}

bool TPopupForm::EditValues()
{
    EnableButtons();
    addBtn_->setFocus();
    return ExecModal(*this) == QDialog::Accepted;
}

bool TPopupForm::EditNewValues()
{
    fields_->clear();
    return EditValues();
}

QStringList TPopupForm::Values() const
{
    QStringList values;
    for (int i = 0; i < fields_->count(); ++i)
        values << fields_->item(i)->text();
    return values;
}

void TPopupForm::SetValues(const QStringList& values)
{
    fields_->clear();
    fields_->addItems(values);
}

void TPopupForm::EnableButtons()
{
    okBtn_->setEnabled(fields_->count() > 0);
    delBtn_->setEnabled(fields_->count() > 0);
}

QString TPopupForm::FullMessage() const
{
    return Tr("A popup list holds at most %1 values.").arg(maxCount_);
}

void TPopupForm::AddBtnClick()
{
    if (fields_->count() >= maxCount_) {
        ShowMsg(FullMessage(), 0);
        return;
    }
    // The line takes more than a name may hold, so that a long name is
    // refused with a message instead of being cut short unseen.
    QString name;
    if (!InputLine(Tr("Name of new item"), name, 255))
        return;
    name = name.replace(QLatin1Char('\t'), QLatin1Char(' ')).trimmed();
    if (name.isEmpty())
        return;
    if (name.size() > kNameLength) {
        ShowMsg(Tr("A name has at most %1 characters.").arg(kNameLength), 0);
        return;
    }
    fields_->addItem(name);
    fields_->setCurrentRow(fields_->count() - 1);
    EnableButtons();
}

void TPopupForm::DelBtnClick()
{
    const int row = fields_->currentRow();
    if (row >= 0)
        delete fields_->takeItem(row);
    EnableButtons();
}

}  // namespace quorvil
