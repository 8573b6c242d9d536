#include "input_dialog.h"

#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>

namespace quorvil {

TInputForm::TInputForm(QWidget* parent) : QDialog(parent), edit_(new QLineEdit(this))
{
    setObjectName(FromUtf8("InputForm"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    edit_->setObjectName(FromUtf8("Edit"));
    edit_->setFixedWidth(425);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Enter accepts through the line itself, as the form has no buttons.
    connect(edit_, &QLineEdit::returnPressed, this, &QDialog::accept);
}

void TInputForm::SetCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void TInputForm::SetText(const QString& text)
{
    edit_->setText(text);
    edit_->selectAll();
}

void TInputForm::SetMaxLength(int maxLength)
{
    edit_->setMaxLength(maxLength);
}

QString TInputForm::Text() const
{
    return edit_->text();
}

bool InputLine(const QString& caption, QString& text, int maxLength)
{
    TInputForm form(QApplication::activeWindow());
    form.SetCaption(caption);
    form.SetMaxLength(maxLength);
    form.SetText(text);
    form.adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        form.move(screen->availableGeometry().center() - form.rect().center());
    form.Edit()->setFocus();
    if (ExecModal(form) != QDialog::Accepted)
        return false;
    text = form.Text();
    return true;
}

}  // namespace quorvil
