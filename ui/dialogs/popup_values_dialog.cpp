#include "popup_values_dialog.h"

#include "field_name_text.h"
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
    : QDialog(parent), label1_(new QLabel(FromUtf8("Values in PopUp"), this)), fields_(new QListWidget(this)),
      addBtn_(new QPushButton(FromUtf8("&Add"), this)), delBtn_(new QPushButton(FromUtf8("&Remove"), this)),
      okBtn_(new QPushButton(FromUtf8("&OK"), this)), cancelBtn_(new QPushButton(FromUtf8("&Cancel"), this)),
      side_(new QVBoxLayout)
{
    setObjectName(FromUtf8("PopupForm"));
    setWindowTitle(FromUtf8("Define values in popup-field"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    label1_->setObjectName(FromUtf8("Label1"));
    fields_->setObjectName(FromUtf8("Fields"));
    fields_->setSelectionMode(QAbstractItemView::SingleSelection);
    addBtn_->setObjectName(FromUtf8("AddBtn"));
    delBtn_->setObjectName(FromUtf8("DelBtn"));
    okBtn_->setObjectName(FromUtf8("OkBtn"));
    cancelBtn_->setObjectName(FromUtf8("CancelBtn"));
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
            ShowError(FromUtf8(e.what()));  // our own messages, in UTF-8
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
    return FromUtf8("A popup list holds at most %1 values.").arg(maxCount_);
}

void TPopupForm::AddBtnClick()
{
    if (fields_->count() >= maxCount_) {
        ShowWarning(FullMessage());
        return;
    }
    // The line takes more than a name may hold, so that a long name is
    // refused with a message instead of being cut short unseen; a refused
    // name is offered again as typed, to be mended.
    QString name;
    while (InputLine(FromUtf8("Name of new item"), name, 255)) {
        name = name.replace(QLatin1Char('\t'), QLatin1Char(' ')).trimmed();
        if (name.isEmpty())
            return;
        if (const QString problem = NameProblem(name); !problem.isEmpty()) {
            ShowWarning(problem);
            continue;
        }
        fields_->addItem(name);
        fields_->setCurrentRow(fields_->count() - 1);
        EnableButtons();
        return;
    }
}

QString TPopupForm::NameProblem(const QString& name) const
{
    QString problem;
    FieldNameBytes(name, charset_, problem);
    return problem;
}

void TPopupForm::DelBtnClick()
{
    const int row = fields_->currentRow();
    if (row >= 0)
        delete fields_->takeItem(row);
    EnableButtons();
}

}  // namespace quorvil
