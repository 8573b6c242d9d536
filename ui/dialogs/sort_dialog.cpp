#include "sort_dialog.h"

#include "form_position.h"
#include "jfile.h"
#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

#include <optional>

namespace quorvil {

namespace {

QListWidget* FieldList(QGroupBox* box, const char* name)
{
    auto* list = new QListWidget(box);
    list->setObjectName(FromUtf8(name));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(list);
    return list;
}

QPushButton* Button(QWidget* parent, const char* caption, const char* name)
{
    auto* button = new QPushButton(FromUtf8(caption), parent);
    button->setObjectName(FromUtf8(name));
    return button;
}

QStringList Names(const QListWidget& list)
{
    QStringList names;
    for (int i = 0; i < list.count(); ++i)
        names << list.item(i)->text();
    return names;
}

}  // namespace

TSortForm::TSortForm(QWidget* parent)
    : QDialog(parent), saved_(new QComboBox), savedRow_(new QWidget(this)),
      descending_(new QCheckBox(FromUtf8("&Descending"), this))
{
    setObjectName(FromUtf8("SortForm"));
    setWindowTitle(FromUtf8("Defining Sorting Order"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* availFields = new QGroupBox(FromUtf8("Available Fields"));
    availFields->setObjectName(FromUtf8("AvailFields"));
    avail_ = FieldList(availFields, "AvailList");
    sortOrder_ = new QGroupBox(FromUtf8("Sorting Order"));
    sortOrder_->setObjectName(FromUtf8("SortOrder"));
    sort_ = FieldList(sortOrder_, "SortList");
    descending_->setObjectName(FromUtf8("DescendingBox"));
    descending_->setToolTip(FromUtf8("The selected key sorts from the highest value down"));
    sortOrder_->layout()->addWidget(descending_);
    descending_->hide();
    // The box shows and sets the current key's mark; a click on a mark
    // works as well.
    connect(sort_, &QListWidget::currentItemChanged, this, [this] { ShowDirection(); });
    connect(sort_, &QListWidget::itemChanged, this, [this] { ShowDirection(); });
    connect(descending_, &QCheckBox::toggled, this, [this](bool on) {
        if (QListWidgetItem* key = sort_->currentItem(); key && directions_)
            key->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    });

    auto* right = new QWidget;
    copy_ = Button(right, ">>", "CopyBtn");
    del_ = Button(right, "<<", "DelBtn");
    for (QPushButton* small : {copy_, del_})
        small->setFixedWidth(36);
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(copy_);
    arrows->addWidget(del_);
    arrows->addStretch();
    auto* rightLayout = new QHBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(arrows);
    rightLayout->addWidget(sortOrder_, 1);

    auto* splitter = new QSplitter(this);
    splitter->setObjectName(FromUtf8("Splitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(availFields);
    splitter->addWidget(right);

    saved_->setObjectName(FromUtf8("SavedSortBox"));
    auto* savedLayout = new QHBoxLayout(savedRow_);
    savedLayout->setContentsMargins(0, 0, 0, 0);
    auto* savedLabel = new QLabel(FromUtf8("&Saved sort:"), savedRow_);
    savedLabel->setBuddy(saved_);
    savedLayout->addWidget(savedLabel);
    savedLayout->addWidget(saved_, 1);
    savedRow_->hide();

    ok_ = Button(this, "&OK", "OkBtn");
    ok_->setDefault(true);
    QPushButton* cancel = Button(this, "&Cancel", "CancelBtn");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(savedRow_);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    connect(copy_, &QPushButton::clicked, this, [this] { MoveSelected(avail_, sort_); });
    connect(del_, &QPushButton::clicked, this, [this] { MoveSelected(sort_, avail_); });
    connect(avail_, &QListWidget::itemDoubleClicked, this, [this] { MoveSelected(avail_, sort_); });
    connect(sort_, &QListWidget::itemDoubleClicked, this, [this] { MoveSelected(sort_, avail_); });
    connect(saved_, &QComboBox::activated, this, [this](int index) {
        if (index > 0)
            ApplySavedSort(index - 1);
    });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(440, 320);
    LoadFormPosition(*this);
}

TSortForm::~TSortForm()
{
    SaveFormPosition(*this);
}

void TSortForm::SetAvailable(const QStringList& names)
{
    avail_->clear();
    avail_->addItems(names);
    UpdateButtons();
}

void TSortForm::SetSortList(const QStringList& names)
{
    sort_->clear();
    sort_->addItems(names);
    UpdateButtons();
}

void TSortForm::OfferDescending()
{
    directions_ = true;
    descending_->show();
    MarkKeys();
    ShowDirection();
}

std::vector<bool> TSortForm::Descending() const
{
    std::vector<bool> flags;
    for (int i = 0; i < sort_->count(); ++i)
        flags.push_back(directions_ && sort_->item(i)->checkState() == Qt::Checked);
    return flags;
}

void TSortForm::ShowDirection()
{
    const QListWidgetItem* key = sort_->currentItem();
    const QSignalBlocker quiet(descending_);
    descending_->setEnabled(key != nullptr);
    descending_->setChecked(key && key->checkState() == Qt::Checked);
}

void TSortForm::MarkKeys()
{
    if (!directions_)
        return;
    for (int i = 0; i < sort_->count(); ++i) {
        QListWidgetItem* item = sort_->item(i);
        if (item->flags() & Qt::ItemIsUserCheckable)
            continue;
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setToolTip(FromUtf8("Descending"));
    }
}

void TSortForm::SetSavedSorts(const std::vector<TSavedSortChoice>& sorts)
{
    savedSorts_ = sorts;
    saved_->clear();
    saved_->addItem(FromUtf8("(choose the fields below)"));
    for (const TSavedSortChoice& sort : sorts)
        saved_->addItem(sort.Name + FromUtf8("  (") + sort.Fields.join(FromUtf8(", ")) + FromUtf8(")"));
    savedRow_->setVisible(!sorts.empty());
}

QStringList TSortForm::SortNames() const
{
    return Names(*sort_);
}

QStringList TSortForm::AvailableNames() const
{
    return Names(*avail_);
}

void TSortForm::MoveSelected(QListWidget* from, QListWidget* to)
{
    QStringList moved;
    for (int i = 0; i < from->count(); ++i)
        if (from->item(i)->isSelected())
            moved << from->item(i)->text();
    to->addItems(moved);
    const QStringList arrived = Names(*to);
    for (int i = from->count() - 1; i >= 0; --i)
        if (arrived.contains(from->item(i)->text()))
            delete from->takeItem(i);
    UpdateButtons();
}

void TSortForm::ApplySavedSort(int index)
{
    if (index < 0 || size_t(index) >= savedSorts_.size())
        return;
    QStringList all = Names(*avail_) + Names(*sort_);
    const QStringList& keys = savedSorts_[size_t(index)].Fields;
    all.removeIf([&keys](const QString& name) { return keys.contains(name); });
    avail_->clear();
    avail_->addItems(all);
    SetSortList(keys);
}

bool TSortForm::ChooseSortFields()
{
    UpdateButtons();
    avail_->setFocus();
    return ExecModal(*this) == QDialog::Accepted;
}

void TSortForm::UpdateButtons()
{
    MarkKeys();
    ShowDirection();
    ok_->setEnabled(sort_->count() > 0);
    del_->setEnabled(sort_->count() > 0);
    copy_->setEnabled(avail_->count() > 0);
}

std::vector<int> ChooseExportFields(const TJFILE& db, const QIcon& icon)
{
    TSortForm form(QApplication::activeWindow());
    QStringList names;
    for (int f = 1; f <= db.FieldCount(); ++f)
        names << ToQString(db.GetFieldName(f), db.Charset());
    form.SetAvailable({});
    form.SetSortList(names);
    form.setWindowTitle(FromUtf8("Selecting fields for export"));
    form.SortOrder()->setTitle(FromUtf8("Fields to export"));
    if (!icon.isNull())
        form.setWindowIcon(icon);
    std::vector<int> fields;
    if (!form.ChooseSortFields())
        return fields;
    for (const QString& name : form.SortNames()) {
        const std::optional<std::string> bytes = FromQString(name, db.Charset());
        for (int f = 1; bytes && f <= db.FieldCount(); ++f) {
            if (db.GetFieldName(f) == *bytes) {
                fields.push_back(f);
                break;
            }
        }
    }
    return fields;
}

}  // namespace quorvil
