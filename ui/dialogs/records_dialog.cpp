#include "records_dialog.h"

#include "modal.h"
#include "text_convert.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvil {

namespace {

QString Records(int n)
{
    return n == 1 ? QStringLiteral("record") : QStringLiteral("records");
}

}  // namespace

TRecordsForm::TRecordsForm(const QString& caption, int all, int shown, int selected, QWidget* parent)
    : QDialog(parent), all_(new QRadioButton(this)), shown_(new QRadioButton(this))
{
    setObjectName(QStringLiteral("RecordsForm"));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* question = new QLabel(FromUtf8("Which records?"), this);
    layout->addWidget(question);
    all_->setObjectName(QStringLiteral("AllRecords"));
    all_->setText(FromUtf8("&All %1 %2").arg(all).arg(Records(all)));
    shown_->setObjectName(QStringLiteral("ShownRecords"));
    shown_->setText(FromUtf8("&The %1 %2 shown").arg(shown).arg(Records(shown)));
    layout->addWidget(all_);
    layout->addWidget(shown_);
    if (selected >= 0) {
        selected_ = new QRadioButton(FromUtf8("The %1 &selected %2").arg(selected).arg(Records(selected)), this);
        selected_->setObjectName(QStringLiteral("SelectedRecords"));
        layout->addWidget(selected_);
    }
    // The rows picked by hand are the likelier wish, where there are any.
    (selected_ ? selected_ : shown_)->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(FromUtf8("OkBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(FromUtf8("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

TRecordScope TRecordsForm::Scope() const
{
    if (all_->isChecked())
        return TRecordScope::All;
    if (selected_ && selected_->isChecked())
        return TRecordScope::Selected;
    return TRecordScope::Shown;
}

QRadioButton* TRecordsForm::Button(TRecordScope scope) const
{
    return scope == TRecordScope::All ? all_ : scope == TRecordScope::Shown ? shown_ : selected_;
}

std::optional<TRecordScope> ChooseRecordScope(QWidget* parent, const QString& caption, int all, int shown, int selected)
{
    if (shown >= all)
        return TRecordScope::All;
    TRecordsForm form(caption, all, shown, selected, parent);
    if (ExecModal(form) != QDialog::Accepted)
        return std::nullopt;
    return form.Scope();
}

}  // namespace quorvil
