#include "fields_dialog.h"

#include "jfile.h"
#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>

namespace quorvil {

namespace {

QPushButton* AddButton(QWidget* parent, QVBoxLayout* column, const char* caption, const char* name)
{
    auto* button = new QPushButton(FromUtf8(caption), parent);
    button->setObjectName(FromUtf8(name));
    column->addWidget(button);
    return button;
}

}  // namespace

TFieldsForm::TFieldsForm(QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)), side_(new QVBoxLayout), top_(new QVBoxLayout)
{
    setObjectName(FromUtf8("FieldsForm"));
    setWindowTitle(FromUtf8("Fields to search"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setMinimumSize(200, 200);
    list_->setObjectName(FromUtf8("CheckBoxList"));
    connect(AddButton(this, side_, "All", "AllBtn"), &QPushButton::clicked, this, [this] { CheckAll(true); });
    connect(AddButton(this, side_, "None", "NoneBtn"), &QPushButton::clicked, this, [this] { CheckAll(false); });
    side_->addStretch();
    QPushButton* ok = AddButton(this, side_, "&OK", "OkBtn");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(AddButton(this, side_, "&Cancel", "CancelBtn"), &QPushButton::clicked, this, &QDialog::reject);
    auto* columns = new QHBoxLayout;
    columns->addWidget(list_, 1);
    columns->addLayout(side_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top_);
    layout->addLayout(columns, 1);
    resize(320, 300);
}

void TFieldsForm::SetFields(const QStringList& names)
{
    list_->clear();
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

std::vector<bool> TFieldsForm::Checked() const
{
    std::vector<bool> flags;
    for (int i = 0; i < list_->count(); ++i)
        flags.push_back(list_->item(i)->checkState() == Qt::Checked);
    return flags;
}

void TFieldsForm::CheckAll(bool on)
{
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

std::vector<bool> ChooseFields(const QStringList& names)
{
    TFieldsForm form(QApplication::activeWindow());
    form.SetFields(names);
    if (ExecModal(form) != QDialog::Accepted)
        return {};
    return form.Checked();
}

std::vector<bool> ChooseFields(const TJFILE& database)
{
    QStringList names;
    for (int f = 1; f <= database.FieldCount(); ++f)
        names << ToQString(database.GetFieldName(f), database.Charset());
    return ChooseFields(names);
}

}  // namespace quorvil
