#include "find_dialog.h"

#include "jfile.h"
#include "message_dialog.h"
#include "modal.h"
#include "text_convert.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>
#include <utility>

namespace quorvil {

namespace {

constexpr int kFindLength = 255;

}  // namespace

TFindForm::TFindForm(QWidget* parent)
    : TFieldsForm(parent), find_(new QLineEdit(this)), caseSensitive_(new QCheckBox(FromUtf8("Case sensitive"), this)),
      wordSearch_(new QCheckBox(FromUtf8("Word Search"), this))
{
    setObjectName(FromUtf8("FindForm"));
    setWindowTitle(FromUtf8("Find"));
    auto* label = new QLabel(FromUtf8("Search for:"), this);
    label->setObjectName(FromUtf8("Label1"));
    label->setBuddy(find_);
    find_->setObjectName(FromUtf8("Find"));
    find_->setMaxLength(kFindLength);
    caseSensitive_->setObjectName(FromUtf8("CaseSensitive"));
    wordSearch_->setObjectName(FromUtf8("WordSearch"));
    TopArea()->addWidget(label);
    TopArea()->addWidget(find_);
    auto* options = new QHBoxLayout;
    options->addWidget(caseSensitive_);
    options->addWidget(wordSearch_);
    options->addStretch();
    TopArea()->addLayout(options);
}

std::vector<bool> TFindForm::ChooseFields(const TJFILE& database)
{
    charset_ = database.Charset();
    QStringList names;
    for (int f = 1; f <= database.FieldCount(); ++f)
        names << ToQString(database.GetFieldName(f), charset_);
    SetFields(names);
    // After the dialog is on screen, or the list would take the focus.
    QTimer::singleShot(0, find_, [this] {
        find_->setFocus();
        find_->selectAll();
    });
    if (ExecModal(*this) != QDialog::Accepted)
        return {};
    return Checked();
}

void TFindForm::accept()
{
    QString refusal;
    std::optional<std::string> bytes = FromQString(find_->text(), charset_, &refusal);
    if (!bytes) {
        ShowWarning(refusal);
        find_->setFocus();
        return;
    }
    search_ = std::move(*bytes);
    TFieldsForm::accept();
}

}  // namespace quorvil
