#pragma once
// The drop-down of a List value: the field's values and the empty one.
// Typing chooses the first value that starts with what was typed (ignoring
// case), so no other text can be entered. A stored value that is not in the
// list is shown as it is and given back unchanged until another is chosen.
#include <QComboBox>

namespace quorvil {

class TListCombo : public QComboBox {
    Q_OBJECT
public:
    explicit TListCombo(QWidget* parent = nullptr);

    // The values offered, in this order, after the empty value.
    void SetItems(const QStringList& items);
    // Shows the value at `position` of the items (-1: the empty value).
    void ShowItem(int position);
    // Shows the first item equal to `value`, else `value` itself.
    void ShowValue(const QString& value);

    // Position among the items of the value shown or typed (the first item
    // starting with a typed text); -1 for the empty value and for a value
    // from outside the list. A text that starts no item changes nothing.
    int ChosenItem() const;
    // The chosen item, "" for the empty value, or the outside value while
    // it is shown untouched.
    QString Value() const;

signals:
    // The user picked a value from the list or typed one.
    void ValueChosen();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int ItemStartingWith(const QString& prefix) const;
    void Choose(int index, int typed);

    QStringList items_;
    QString outside_;  // a shown value that is no item, else empty
    int loaded_ = -1;  // the item last shown by ShowItem or ShowValue
};

}  // namespace quorvil
