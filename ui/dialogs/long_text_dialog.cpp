#include "long_text_dialog.h"

#include "form_position.h"
#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvil {

namespace {
const QChar kBreakMark(0x00A4);
}

QString MemoTextFromValue(const QString& value)
{
    return QString(value).replace(kBreakMark, QLatin1Char('\n'));
}

QString ValueFromMemoText(const QString& memo)
{
    QString value = memo;
    value.replace(FromUtf8("\r\n"), QString(kBreakMark));
    value.replace(QLatin1Char('\r'), kBreakMark);
    value.replace(QLatin1Char('\n'), kBreakMark);
    qsizetype start = 0, end = value.size();
    while (start < end && value[start] == kBreakMark)
        ++start;
    while (end > start && value[end - 1] == kBreakMark)
        --end;
    return value.mid(start, end - start);
}

TEditForm::TEditForm(QWidget* parent) : QDialog(parent), memo_(new QPlainTextEdit(this))
{
    setObjectName(FromUtf8("EditForm"));
    setWindowTitle(FromUtf8("Editing long text"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    memo_->setObjectName(FromUtf8("Memo"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(FromUtf8("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(FromUtf8("OkBtn"));
    QPushButton* cancel = buttons->addButton(FromUtf8("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(FromUtf8("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo_);
    layout->addWidget(buttons);
    resize(480, 320);
    LoadFormPosition(*this);
}

TEditForm::~TEditForm()
{
    SaveFormPosition(*this);
}

void TEditForm::SetValue(const QString& value)
{
    memo_->setPlainText(MemoTextFromValue(value));
}

QString TEditForm::Value() const
{
    return ValueFromMemoText(memo_->toPlainText());
}

bool EditLongText(QString& text)
{
    TEditForm form(QApplication::activeWindow());
    form.SetValue(text);
    form.Memo()->setFocus();
    if (ExecModal(form) != QDialog::Accepted)
        return false;
    text = form.Value();
    return true;
}

}  // namespace quorvil
