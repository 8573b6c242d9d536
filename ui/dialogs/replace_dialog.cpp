#include "replace_dialog.h"

#include "message_dialog.h"
#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>
#include <utility>

namespace quorvil {

namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(FromUtf8(name));
    return widget;
}

QLabel* BuddyLabel(QWidget* parent, const char* caption, const char* name, QWidget* buddy)
{
    auto* label = Named(new QLabel(FromUtf8(caption), parent), name);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

TReplaceForm::TReplaceForm(QWidget* parent)
    : QDialog(parent), searchFor_(Named(new QLineEdit(this), "SearchFor")),
      replaceWith_(Named(new QLineEdit(this), "ReplaceWith")), fieldList_(Named(new QListWidget(this), "FieldList")),
      caseSensitive_(Named(new QCheckBox(FromUtf8("Case Sensitive"), this), "CaseSensitive")),
      wordSearch_(Named(new QCheckBox(FromUtf8("Word Search"), this), "WordSearch")),
      prompt_(Named(new QCheckBox(FromUtf8("Prompt"), this), "Prompt")),
      ok_(Named(new QPushButton(FromUtf8("&OK"), this), "OkBtn"))
{
    setObjectName(FromUtf8("ReplaceForm"));
    setWindowTitle(FromUtf8("Replace"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    prompt_->setChecked(true);  // asking before each change is the safe start

    auto* all = Named(new QPushButton(FromUtf8("&All"), this), "AllBtn");
    auto* none = Named(new QPushButton(FromUtf8("&None"), this), "NoneBtn");
    auto* cancel = Named(new QPushButton(FromUtf8("&Cancel"), this), "CancelBtn");
    ok_->setDefault(true);

    auto* texts = new QGridLayout;
    texts->addWidget(BuddyLabel(this, "Search &For", "Label1", searchFor_), 0, 0);
    texts->addWidget(searchFor_, 0, 1);
    texts->addWidget(BuddyLabel(this, "Replace &With", "Label2", replaceWith_), 1, 0);
    texts->addWidget(replaceWith_, 1, 1);

    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(all);
    listButtons->addWidget(none);
    listButtons->addSpacing(12);
    listButtons->addWidget(Named(new QLabel(FromUtf8("Options"), this), "Label4"));
    listButtons->addWidget(caseSensitive_);
    listButtons->addWidget(wordSearch_);
    listButtons->addWidget(prompt_);
    listButtons->addStretch();
    auto* fields = new QHBoxLayout;
    fields->addWidget(fieldList_, 1);
    fields->addLayout(listButtons);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addWidget(BuddyLabel(this, "Replace &Im", "Label3", fieldList_));
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    resize(380, 360);

    connect(searchFor_, &QLineEdit::textChanged, this, &TReplaceForm::UpdateOk);
    connect(fieldList_, &QListWidget::itemChanged, this, &TReplaceForm::UpdateOk);
    connect(all, &QPushButton::clicked, this, [this] {
        CheckAll(true);
        if (ok_->isEnabled())
            ok_->setFocus();
    });
    connect(none, &QPushButton::clicked, this, [this] { CheckAll(false); });
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (CanReplace())
            TakeTexts();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    UpdateOk();
}

void TReplaceForm::SetFields(const QStringList& names, const std::vector<bool>& checked)
{
    const QSignalBlocker quiet(fieldList_);
    fieldList_->clear();
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(names[i], fieldList_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        const bool on = size_t(i) < checked.size() && checked[size_t(i)];
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    UpdateOk();
}

bool TReplaceForm::ChooseReplace()
{
    QWidget* focus = searchFor_;
    if (searchFor_->text().isEmpty()) {
        const QString clip = QApplication::clipboard()->text();
        if (!clip.isEmpty() && !clip.contains(QLatin1Char('\r'))) {
            searchFor_->setText(clip);
            focus = replaceWith_;
        }
    }
    UpdateOk();
    QTimer::singleShot(0, focus, [focus] { focus->setFocus(); });
    return ExecModal(*this) == QDialog::Accepted;
}

bool TReplaceForm::CanReplace() const
{
    if (searchFor_->text().isEmpty())
        return false;
    for (int i = 0; i < fieldList_->count(); ++i)
        if (fieldList_->item(i)->checkState() == Qt::Checked)
            return true;
    return false;
}

std::vector<bool> TReplaceForm::Checked() const
{
    std::vector<bool> flags;
    for (int i = 0; i < fieldList_->count(); ++i)
        flags.push_back(fieldList_->item(i)->checkState() == Qt::Checked);
    return flags;
}

void TReplaceForm::TakeTexts()
{
    std::optional<std::string> texts[2];
    QLineEdit* const edits[2] = {searchFor_, replaceWith_};
    for (int i = 0; i < 2; ++i) {
        QString refusal;
        texts[i] = FromQString(edits[i]->text(), charset_, &refusal);
        if (!texts[i]) {
            ShowWarning(refusal);
            edits[i]->setFocus();
            return;
        }
    }
    search_ = std::move(*texts[0]);
    replacement_ = std::move(*texts[1]);
    accept();
}

void TReplaceForm::CheckAll(bool on)
{
    {
        const QSignalBlocker quiet(fieldList_);
        for (int i = 0; i < fieldList_->count(); ++i)
            fieldList_->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    UpdateOk();
}

void TReplaceForm::UpdateOk()
{
    ok_->setEnabled(CanReplace());
}

}  // namespace quorvil
