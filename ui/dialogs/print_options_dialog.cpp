#include "print_options_dialog.h"

#include "sort_dialog.h"
#include "text_convert.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quorvil {

namespace {

// The chosen names as field numbers, each name taken by the first field of
// that name not taken yet (names may repeat); empty when they are every
// field in its own order, so that a field added later prints too.
std::vector<int> FieldsOfNames(const QStringList& names, const QStringList& chosen)
{
    std::vector<int> fields;
    std::vector<bool> taken(size_t(names.size()), false);
    for (const QString& name : chosen) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (!taken[size_t(i)] && names[i] == name) {
                taken[size_t(i)] = true;
                fields.push_back(int(i) + 1);
                break;
            }
        }
    }
    bool every = int(fields.size()) == names.size();
    for (size_t i = 0; every && i < fields.size(); ++i)
        every = fields[i] == int(i) + 1;
    return every ? std::vector<int>() : fields;
}

QRadioButton* Choice(const char* name, const char* text, QWidget* parent, QVBoxLayout* column)
{
    auto* button = new QRadioButton(FromUtf8(text), parent);
    button->setObjectName(FromUtf8(name));
    column->addWidget(button);
    return button;
}

}  // namespace

TPrintOptionsForm::TPrintOptionsForm(const QStringList& fieldNames, QWidget* parent)
    : TBase("PrintOptionsForm", parent), names_(fieldNames)
{
    setWindowTitle(FromUtf8("Print options"));
    auto* layouts = new QGroupBox(FromUtf8("Layout"), Panel2());
    auto* layoutColumn = new QVBoxLayout(layouts);
    table_ = Choice("TableBtn", "&Table", layouts, layoutColumn);
    cards_ = Choice("CardsBtn", "&Record cards", layouts, layoutColumn);
    auto* orientations = new QGroupBox(FromUtf8("Orientation"), Panel2());
    auto* orientationColumn = new QVBoxLayout(orientations);
    portrait_ = Choice("PortraitBtn", "&Portrait", orientations, orientationColumn);
    landscape_ = Choice("LandscapeBtn", "&Landscape", orientations, orientationColumn);
    auto* choices = new QHBoxLayout;
    choices->addWidget(layouts);
    choices->addWidget(orientations);

    auto* fieldsButton = new QPushButton(FromUtf8("&Fields..."), Panel2());
    fieldsButton->setObjectName(FromUtf8("FieldsBtn"));
    fieldsLabel_ = new QLabel(Panel2());
    fieldsLabel_->setObjectName(FromUtf8("FieldsLabel"));
    fieldsLabel_->setWordWrap(true);
    auto* fieldsRow = new QHBoxLayout;
    fieldsRow->addWidget(fieldsButton);
    fieldsRow->addWidget(fieldsLabel_, 1);

    font_ = new QSpinBox(Panel2());
    font_->setObjectName(FromUtf8("FontSizeEdit"));
    font_->setRange(kMinPrintFontPoints, kMaxPrintFontPoints);
    font_->setSuffix(FromUtf8(" pt"));
    auto* fontLabel = new QLabel(FromUtf8("Font si&ze:"), Panel2());
    fontLabel->setBuddy(font_);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(fontLabel);
    fontRow->addWidget(font_);
    fontRow->addStretch();

    auto* layout = new QVBoxLayout(Panel2());
    layout->setContentsMargins(8, 8, 8, 4);
    layout->addLayout(choices);
    layout->addLayout(fieldsRow);
    layout->addLayout(fontRow);

    for (QRadioButton* button : {table_, cards_, portrait_, landscape_})
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                emit Changed();
        });
    connect(font_, &QSpinBox::valueChanged, this, &TPrintOptionsForm::Changed);
    connect(fieldsButton, &QPushButton::clicked, this, &TPrintOptionsForm::ChooseFields);
    SetOptions(TPrintOptions());
    RestorePosition();
}

void TPrintOptionsForm::SetOptions(const TPrintOptions& options)
{
    const QSignalBlocker quiet(this);
    (options.Layout == TPrintLayout::Cards ? cards_ : table_)->setChecked(true);
    (options.Landscape ? landscape_ : portrait_)->setChecked(true);
    font_->setValue(options.FontPoints);
    fields_ = options.Fields;
    ShowFields();
}

TPrintOptions TPrintOptionsForm::Options() const
{
    TPrintOptions options;
    options.Layout = cards_->isChecked() ? TPrintLayout::Cards : TPrintLayout::Table;
    options.Landscape = landscape_->isChecked();
    options.Fields = fields_;
    options.FontPoints = font_->value();
    return options;
}

void TPrintOptionsForm::ChooseFields()
{
    QStringList chosen;
    QStringList others;
    if (fields_.empty()) {
        chosen = names_;
    } else {
        std::vector<bool> taken(size_t(names_.size()), false);
        for (int f : fields_) {
            if (f >= 1 && f <= names_.size()) {
                chosen << names_[f - 1];
                taken[size_t(f - 1)] = true;
            }
        }
        for (qsizetype i = 0; i < names_.size(); ++i)
            if (!taken[size_t(i)])
                others << names_[i];
    }
    TSortForm form(this);
    form.SetAvailable(others);
    form.SetSortList(chosen);
    form.setWindowTitle(FromUtf8("Selecting fields to print"));
    form.SortOrder()->setTitle(FromUtf8("Fields to print"));
    if (!form.ChooseSortFields())
        return;
    fields_ = FieldsOfNames(names_, form.SortNames());
    ShowFields();
    emit Changed();
}

void TPrintOptionsForm::ShowFields()
{
    if (fields_.empty()) {
        fieldsLabel_->setText(FromUtf8("Every field, in its order"));
        return;
    }
    QStringList chosen;
    for (int f : fields_)
        chosen << names_.value(f - 1);
    fieldsLabel_->setText(FromUtf8("%1 of %2 fields: %3")
                              .arg(fields_.size())
                              .arg(names_.size())
                              .arg(fontMetrics().elidedText(chosen.join(FromUtf8(", ")), Qt::ElideRight, 320)));
    if (isVisible())
        adjustSize();  // room for the lines the names now take
}

}  // namespace quorvil
