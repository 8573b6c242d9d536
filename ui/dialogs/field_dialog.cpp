#include "field_dialog.h"

#include "form_position.h"
#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvil {

TFieldForm::TFieldForm(QWidget* parent)
    : QDialog(parent), list_(new QComboBox(this)), prompt_(new QLabel(FromUtf8("Field to use:"), this))
{
    setObjectName(FromUtf8("FieldForm"));
    setWindowTitle(FromUtf8("Select Field"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    list_->setObjectName(FromUtf8("FieldList"));
    list_->setMinimumWidth(220);
    prompt_->setObjectName(FromUtf8("PromptLabel"));
    prompt_->setWordWrap(true);
    prompt_->setBuddy(list_);
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(FromUtf8("&OK"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(FromUtf8("OkBtn"));
    buttons->addButton(FromUtf8("&Cancel"), QDialogButtonBox::RejectRole)->setObjectName(FromUtf8("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QComboBox::currentIndexChanged, this, [this](int index) { ok_->setEnabled(index >= 0); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(list_);
    layout->addStretch();
    layout->addWidget(buttons);
    ok_->setEnabled(false);
    LoadFormPosition(*this);
}

TFieldForm::~TFieldForm()
{
    SaveFormPosition(*this);
}

void TFieldForm::SetFields(const QStringList& names)
{
    list_->clear();
    list_->addItems(names);
    list_->setCurrentIndex(-1);
    ok_->setEnabled(false);
}

void TFieldForm::SetPrompt(const QString& prompt)
{
    prompt_->setText(prompt);
}

int TFieldForm::SelectedIndex() const
{
    return list_->currentIndex();
}

int ChooseField(const QStringList& names)
{
    TFieldForm form(QApplication::activeWindow());
    form.SetFields(names);
    if (ExecModal(form) != QDialog::Accepted)
        return -1;
    return form.SelectedIndex();
}

int ChooseField(const QStringList& names, const QString& caption, const QString& prompt, int selected)
{
    TFieldForm form(QApplication::activeWindow());
    form.setWindowTitle(caption);
    form.SetPrompt(prompt);
    form.setMinimumWidth(420);  // room for the caption and a prompt of two lines
    form.SetFields(names);
    form.FieldList()->setCurrentIndex(selected);
    if (ExecModal(form) != QDialog::Accepted)
        return -1;
    return form.SelectedIndex();
}

}  // namespace quorvil
