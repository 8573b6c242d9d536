#include "list_combo.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace quorvil {

namespace {

// Each combo entry remembers its position among the items.
constexpr int kPositionRole = Qt::UserRole;  // where addItem puts its data

}  // namespace

TListCombo::TListCombo(QWidget* parent) : QComboBox(parent)
{
    // Editable only so that an outside value can be shown; the keys are ours.
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(this, &QComboBox::activated, this, [this] {
        outside_.clear();
        emit ValueChosen();
    });
    // Backspace and Delete shorten what was typed; the value follows.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { emit ValueChosen(); });
}

void TListCombo::SetItems(const QStringList& items)
{
    items_ = items;
    const bool was = blockSignals(true);
    clear();
    if (!items.contains(QString()))
        addItem(QString(), -1);
    for (int i = 0; i < items.size(); ++i)
        addItem(items[i], i);
    blockSignals(was);
}

void TListCombo::ShowItem(int position)
{
    outside_.clear();
    loaded_ = position >= 0 && position < items_.size() ? position : -1;
    const int index = position >= 0 ? findData(position, kPositionRole) : findText(QString());
    setCurrentIndex(index);
    if (index < 0)
        setEditText(QString());
}

void TListCombo::ShowValue(const QString& value)
{
    const int position = int(items_.indexOf(value));
    if (position >= 0 || value.isEmpty())
        return ShowItem(position);
    setCurrentIndex(-1);
    outside_ = value;
    loaded_ = -1;
    setEditText(value);
}

int TListCombo::ChosenItem() const
{
    const QString text = currentText();
    if (text.isEmpty() || (!outside_.isEmpty() && text == outside_))
        return -1;
    if (currentIndex() >= 0 && itemText(currentIndex()) == text)
        return itemData(currentIndex(), kPositionRole).toInt();
    for (int i = 0; i < items_.size(); ++i)
        if (items_[i].compare(text, Qt::CaseInsensitive) == 0)
            return i;
    // Text that starts no item (pasted, say) changes nothing.
    const int index = ItemStartingWith(text);
    return index >= 0 ? itemData(index, kPositionRole).toInt() : loaded_;
}

QString TListCombo::Value() const
{
    const int item = ChosenItem();
    if (item >= 0)
        return items_[item];
    return currentText().isEmpty() ? QString() : outside_;
}

int TListCombo::ItemStartingWith(const QString& prefix) const
{
    for (int i = 0; i < count(); ++i)
        if (!itemText(i).isEmpty() && itemText(i).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    return -1;
}

void TListCombo::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (typed.size() != 1 || !typed[0].isPrint() || command)
        return QComboBox::keyPressEvent(event);
    // What stands before the cursor (the rest is the shown completion) with
    // the key added; failing that, the key starts a new choice.
    QLineEdit* line = lineEdit();
    const int cursor = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
    QString prefix = line->text().left(cursor) + typed;
    int index = ItemStartingWith(prefix);
    if (index < 0) {
        prefix = typed;
        index = ItemStartingWith(prefix);
    }
    if (index < 0) {
        QApplication::beep();
        return;
    }
    Choose(index, int(prefix.size()));
    emit ValueChosen();
}

void TListCombo::Choose(int index, int typed)
{
    outside_.clear();
    setCurrentIndex(index);
    // The part not typed stays selected, so the next key replaces it.
    QLineEdit* line = lineEdit();
    line->setText(itemText(index));
    line->setCursorPosition(int(line->text().size()));
    line->cursorBackward(true, int(line->text().size()) - typed);
}

}  // namespace quorvil
