#include "input_dialog.h"

#include "message_dialog.h"
#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <optional>
#include <utility>

namespace quorvil {

TInputForm::TInputForm(QWidget* parent) : QDialog(parent), edit_(new QLineEdit(this))
{
    setObjectName(FromUtf8("InputForm"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    edit_->setObjectName(FromUtf8("Edit"));
    edit_->setFixedWidth(425);
    // OK is the default button, so Enter in the line accepts; Escape cancels.
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(FromUtf8("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(FromUtf8("OkBtn"));
    ok->setDefault(true);
    buttons->addButton(FromUtf8("&Cancel"), QDialogButtonBox::RejectRole)->setObjectName(FromUtf8("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
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

bool InputBytes(const QString& caption, QString& text, int maxLength, TCharset set, std::string& bytes)
{
    while (InputLine(caption, text, maxLength)) {
        QString refusal;
        if (std::optional<std::string> stored = FromQString(text, set, &refusal)) {
            if (stored->size() <= size_t(maxLength)) {
                bytes = std::move(*stored);
                return true;
            }
            // Only a multi-byte set gets here: the line stops at maxLength
            // characters.
            refusal = FromUtf8("The text takes %1 bytes, which is more than %2; in %3 a character may take two.")
                          .arg(stored->size())
                          .arg(maxLength)
                          .arg(QString::fromUtf8(CharsetCaption(set).data(), qsizetype(CharsetCaption(set).size())));
        }
        ShowWarning(refusal);
    }
    return false;
}

}  // namespace quorvil
