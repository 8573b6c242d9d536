#include "define_dialog.h"

#include "field_definition.h"
#include "form_position.h"
#include "message_dialog.h"
#include "text_convert.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace quorvil {

namespace {

// The dialog's own labels of the types it offers, in its order.
struct TypeEntry {
    const char* name;
    TFieldType type;
};

const TypeEntry kTypes[] = {
    {"String", TFieldType::String},     {"Boolean", TFieldType::Boolean},    {"Date", TFieldType::Date},
    {"Int. Date", TFieldType::IntDate}, {"Integer", TFieldType::Integer},    {"Float", TFieldType::Float},
    {"Time", TFieldType::Time},         {"List", TFieldType::List},          {"AutoDate", TFieldType::AutoDate},
    {"AutoTime", TFieldType::AutoTime}, {"AutoInc", TFieldType::AutoInc},    {"Binary", TFieldType::Binary},
    {"RelList", TFieldType::RelList},   {"Calc", TFieldType::Calc},          {"ModDate", TFieldType::ModDate},
    {"ModTime", TFieldType::ModTime},   {"MultiList", TFieldType::MultList},
};

QString EntryText(const TypeEntry& entry)
{
    const QString name = FromUtf8(entry.name);
    // MultiList is followed by a tab; the others are padded to the code column.
    const QString padded = name == QLatin1String("MultiList") ? name + QLatin1Char('\t') : name.leftJustified(12);
    return padded + FromUtf8("$") + QString::number(Code(entry.type), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// The name and the "$" code of a type entry.
std::pair<QString, QString> SplitEntry(const QString& text)
{
    const qsizetype dollar = text.indexOf(QLatin1Char('$'));
    return {text.left(dollar).trimmed(), text.mid(dollar)};
}

// Draws the type list as two columns, the codes aligned after the longest
// name: blanks and a tab cannot line them up in a proportional font.
class TTypeEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const auto [name, code] = SplitEntry(item.text);
        item.text.clear();
        item.widget->style()->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        const QRect text = item.rect.adjusted(kMargin, 0, -kMargin, 0);
        painter->save();
        painter->setPen(
            item.palette.color(item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, name);
        painter->drawText(text.adjusted(CodeColumn(item.fontMetrics, *index.model()), 0, 0, 0),
                          Qt::AlignLeft | Qt::AlignVCenter, code);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const int codeWidth = option.fontMetrics.horizontalAdvance(FromUtf8("$FFFF"));
        size.setWidth(CodeColumn(option.fontMetrics, *index.model()) + codeWidth + 2 * kMargin);
        return size;
    }

private:
    static constexpr int kMargin = 4;

    static int CodeColumn(const QFontMetrics& metrics, const QAbstractItemModel& model)
    {
        int widest = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            widest = std::max(widest,
                              metrics.horizontalAdvance(SplitEntry(model.index(row, 0).data().toString()).first));
        return widest + metrics.horizontalAdvance(FromUtf8("  "));
    }
};

}  // namespace

TDefineForm::TDefineForm(QWidget* parent)
    : TPopupForm(parent), fieldType_(new QComboBox(this)), layoutBox_(new QComboBox(this)),
      upBtn_(new QPushButton(FromUtf8("&Up"), this)), downBtn_(new QPushButton(FromUtf8("Do&wn"), this)),
      popupForm_(new TPopupForm(this))
{
    setObjectName(FromUtf8("DefineForm"));
    setWindowTitle(FromUtf8("Define Database Structure"));
    label1_->setText(FromUtf8("Fields in database"));
    auto* label2 = new QLabel(FromUtf8("Field Type"), this);
    label2->setObjectName(FromUtf8("Label2"));
    fieldType_->setObjectName(FromUtf8("Field_Type"));
    for (const TypeEntry& entry : kTypes)
        fieldType_->addItem(EntryText(entry));
    fieldType_->setItemDelegate(new TTypeEntryDelegate(fieldType_));
    fieldType_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* layoutLabel = new QLabel(FromUtf8("File layout"), this);
    layoutBox_->setObjectName(FromUtf8("LayoutBox"));
    for (TLayout layout : kAllLayouts)
        layoutBox_->addItem(FromUtf8(Facts(layout).Name));
    upBtn_->setObjectName(FromUtf8("UpBtn"));
    downBtn_->setObjectName(FromUtf8("DownBtn"));
    SideColumn()->insertWidget(2, upBtn_);
    SideColumn()->insertWidget(3, downBtn_);
    SideColumn()->insertWidget(4, label2);
    SideColumn()->insertWidget(5, fieldType_);
    SideColumn()->insertWidget(6, layoutLabel);
    SideColumn()->insertWidget(7, layoutBox_);
    popupForm_->setObjectName(FromUtf8("PopupForm"));
    popupForm_->SetMaxCount(50);
    resize(440, 380);
    // The base restored its own placement; this form keeps one of its own.
    LoadFormPosition(*this, objectName());
    connect(fieldType_, &QComboBox::activated, this, [this] { Field_TypeChange(); });
    connect(layoutBox_, &QComboBox::activated, this, [this] { LayoutChange(); });
    connect(upBtn_, &QPushButton::clicked, this, [this] { MoveFieldBy(-1); });
    connect(downBtn_, &QPushButton::clicked, this, [this] { MoveFieldBy(1); });
}

TFieldType TDefineForm::TypeAt(int i) const
{
    const QString text = fieldType_->itemText(i);
    return TFieldType(text.mid(text.indexOf(QLatin1Char('$')) + 1).toUInt(nullptr, 16));
}

int TDefineForm::IndexOfType(TFieldType type) const
{
    for (int i = 0; i < fieldType_->count(); ++i)
        if (TypeAt(i) == type)
            return i;
    return -1;
}

bool TDefineForm::DefineNewDatabase(TCharset set)
{
    SetCharset(set);
    popupForm_->SetCharset(set);
    fieldTypes_.clear();
    popupValues_.clear();
    fieldType_->setCurrentIndex(-1);
    fieldType_->setEnabled(false);
    layoutBox_->setCurrentIndex(Number(TLayout::JFile55));
    SetMaxCount(Facts(TLayout::JFile55).MaxFields);
    return EditNewValues();
}

TDatabaseDefinition TDefineForm::Definition() const
{
    TDatabaseDefinition definition;
    definition.Layout = LayoutAt(layoutBox_->currentIndex());
    definition.Charset = Charset();
    const auto bytes = [this](const QString& text) {
        QString refusal;
        if (std::optional<std::string> stored = FromQString(text, Charset(), &refusal))
            return *stored;
        throw std::runtime_error(refusal.toStdString());
    };
    const QStringList names = Values();
    for (int i = 0; i < names.size(); ++i) {
        TFieldDefinition field;
        field.Name = bytes(names[i]);
        field.Type = size_t(i) < fieldTypes_.size() ? fieldTypes_[size_t(i)] : TFieldType::String;
        if (field.Type == TFieldType::List && size_t(i) < popupValues_.size())
            for (const QString& value : popupValues_[size_t(i)])
                field.Popup.push_back(bytes(value));
        definition.Fields.push_back(field);
    }
    return definition;
}

QString TDefineForm::FullMessage() const
{
    return FromUtf8("A database in the layout %1 holds at most %2 fields.")
        .arg(layoutBox_->currentText())
        .arg(Facts(LayoutAt(layoutBox_->currentIndex())).MaxFields);
}

QString TDefineForm::NameProblem(const QString& name) const
{
    if (QString problem = TPopupForm::NameProblem(name); !problem.isEmpty())
        return problem;
    const std::optional<std::string> bytes = FromQString(name, Charset());
    for (const QString& other : Values())
        if (bytes && SameFieldName(FromQString(other, Charset()).value_or(std::string()), *bytes))
            return FromUtf8("A field named \"%1\" is in the list already. Give the new field a name of its own.")
                .arg(other);
    return {};
}

TLayout TDefineForm::LayoutAt(int index)
{
    return LayoutFromNumber(index).value_or(TLayout::JFile55);
}

void TDefineForm::AddBtnClick()
{
    TPopupForm::AddBtnClick();
    if (Fields()->count() == int(fieldTypes_.size()))
        return;
    fieldType_->setEnabled(true);
    fieldType_->setCurrentIndex(0);
    fieldTypes_.resize(size_t(Fields()->count()));
    fieldTypes_.back() = TFieldType::String;
}

void TDefineForm::DelBtnClick()
{
    const int row = Fields()->currentRow();
    if (row < 0)
        return;
    if (size_t(row) < fieldTypes_.size())
        fieldTypes_.erase(fieldTypes_.begin() + row);
    if (size_t(row) < popupValues_.size())
        popupValues_.erase(popupValues_.begin() + row);
    {
        // The removal must not show the type of a field on its way out.
        const QSignalBlocker blocker(Fields());
        TPopupForm::DelBtnClick();
    }
    fieldType_->setCurrentIndex(-1);
    fieldType_->setEnabled(Fields()->count() > 0);
    if (Fields()->count() > 0) {
        Fields()->setCurrentRow(std::max(row - 1, 0));
        FieldsClick();
    }
}

void TDefineForm::MoveFieldBy(int step)
{
    const int row = Fields()->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= Fields()->count() || size_t(to) >= fieldTypes_.size() ||
        size_t(row) >= fieldTypes_.size())
        return;
    popupValues_.resize(std::max(popupValues_.size(), fieldTypes_.size()));
    std::swap(fieldTypes_[size_t(row)], fieldTypes_[size_t(to)]);
    std::swap(popupValues_[size_t(row)], popupValues_[size_t(to)]);
    {
        const QSignalBlocker blocker(Fields());
        Fields()->insertItem(to, Fields()->takeItem(row));
    }
    Fields()->setCurrentRow(to);
}

void TDefineForm::FieldsClick()
{
    const int row = Fields()->currentRow();
    if (row < 0 || size_t(row) >= fieldTypes_.size())
        return;
    if (const int i = IndexOfType(fieldTypes_[size_t(row)]); i >= 0) {
        fieldType_->setCurrentIndex(i);
        return;
    }
    throw std::runtime_error("Cannot determine field type for field \"" + Fields()->item(row)->text().toStdString() +
                             "\"");
}

void TDefineForm::Field_TypeChange()
{
    const int row = Fields()->currentRow();
    if (row < 0 || size_t(row) >= fieldTypes_.size() || fieldType_->currentIndex() < 0)
        return;
    const TFieldType type = TypeAt(fieldType_->currentIndex());
    if (type == TFieldType::IntDate && !Facts(LayoutAt(layoutBox_->currentIndex())).IntDates) {
        // Older layouts have no long dates; the file would hold a Date.
        ShowWarning(FromUtf8("Int. Date fields need the layout JFile 5.5."));
        FieldsClick();
        return;
    }
    fieldTypes_[size_t(row)] = type;
    if (type != TFieldType::List)
        return;
    if (popupValues_.size() < size_t(row) + 1)
        popupValues_.resize(size_t(row) + 1);
    bool accepted = false;
    if (!popupValues_[size_t(row)].isEmpty()) {
        popupForm_->SetValues(popupValues_[size_t(row)]);
        accepted = popupForm_->EditValues();
    } else {
        accepted = popupForm_->EditNewValues();
    }
    if (accepted) {
        popupValues_.resize(size_t(Fields()->count()));
        popupValues_[size_t(row)] = popupForm_->Values();
    } else {
        fieldType_->setCurrentIndex(0);
        fieldTypes_[size_t(row)] = TFieldType::String;
    }
}

void TDefineForm::LayoutChange()
{
    const int index = layoutBox_->currentIndex();
    const TLayoutFacts& facts = Facts(LayoutAt(index));
    bool longDates = false;
    for (const TFieldType type : fieldTypes_)
        longDates = longDates || type == TFieldType::IntDate;
    const bool lostDates = longDates && !facts.IntDates;
    // A layout that cannot hold the fields already defined is refused.
    if (Fields()->count() > facts.MaxFields || lostDates) {
        ShowWarning(lostDates ? FromUtf8("Int. Date fields need the layout JFile 5.5.")
                              : FromUtf8("A database in the layout %1 holds at most %2 fields.")
                                    .arg(layoutBox_->itemText(index))
                                    .arg(facts.MaxFields));
        layoutBox_->setCurrentIndex(Number(TLayout::JFile55));
        SetMaxCount(Facts(TLayout::JFile55).MaxFields);
        return;
    }
    SetMaxCount(facts.MaxFields);
}

}  // namespace quorvil
