#include "report_dialog.h"

#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvil {

TReportForm::TReportForm(QWidget* parent) : QDialog(parent), memo_(new QPlainTextEdit(this))
{
    setObjectName(FromUtf8("ReportForm"));
    setWindowTitle(FromUtf8("Report"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    memo_->setObjectName(FromUtf8("Memo"));
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* fix = buttons->addButton(FromUtf8("&Fix"), QDialogButtonBox::AcceptRole);
    fix->setObjectName(FromUtf8("FixBtn"));
    QPushButton* close = buttons->addButton(FromUtf8("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(FromUtf8("CloseBtn"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo_);
    layout->addWidget(buttons);
    resize(640, 360);
}

void TReportForm::SetLines(const QStringList& lines)
{
    memo_->setPlainText(lines.join(QLatin1Char('\n')));
}

bool ShowReport(const QStringList& lines)
{
    TReportForm form(QApplication::activeWindow());
    form.SetLines(lines);
    return ExecModal(form) == QDialog::Accepted;
}

}  // namespace quorvil
