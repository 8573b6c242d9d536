#include "grid_editors.h"

#include "cell_values.h"
#include "date_time_edit.h"
#include "extended_grid.h"
#include "grid_text.h"
#include "list_combo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>

#include <limits>

namespace quorvil {

namespace {

QComboBox* MakeList(const TGridColumn& column, QWidget* parent)
{
    auto* combo = new TListCombo(parent);
    combo->setFrame(false);
    combo->SetItems(column.ComboItems);
    return combo;
}

// A number is typed as text, as the cell holds it: the column's model
// decides what a number is, so a text no spin box could take (a decimal
// comma, too many digits) is refused with a message instead of being
// dropped or cut short.
QWidget* MakeNumberLine(const TGridColumn& column, QWidget* parent)
{
    auto* line = new QLineEdit(parent);
    line->setAlignment(ToQtAlignment(column.CellHorzAlign, TVertAlign::Center));
    line->setFrame(false);
    return line;
}

// The spin control of kind 6, stepping whole numbers.
QWidget* MakeSpin(QWidget* parent)
{
    auto* number = new QSpinBox(parent);
    number->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    number->setLocale(QLocale::c());
    number->setFrame(false);
    return number;
}

// Dates and times are typed as text: the column's model decides what a
// typed text stores, and refuses one that is no date or time.
QWidget* MakeDateTime(TDateTimeEdit::TKind kind, const TGridColumn& column, QWidget* parent, const TExtendedGrid& grid)
{
    auto* edit = new TDateTimeEdit(kind, parent);
    QString pattern = column.InputPattern;
    if (pattern.isEmpty())  // the grid's own format, in the same notation
        pattern = kind == TDateTimeEdit::TKind::Date ? grid.DateFormat().replace(QLatin1Char('M'), QLatin1Char('m'))
                                                     : grid.TimeFormat();
    edit->SetPattern(pattern);
    edit->setFrame(false);
    return edit;
}

}  // namespace

QWidget* CreateInPlaceControl(const TGridColumn& column, QWidget* parent, const TExtendedGrid& grid)
{
    switch (column.ColumnKind) {
    case TColumnKind::List: return MakeList(column, parent);
    case TColumnKind::Float:
    case TColumnKind::Integer: return MakeNumberLine(column, parent);
    case TColumnKind::Spin: return MakeSpin(parent);
    case TColumnKind::Date: return MakeDateTime(TDateTimeEdit::TKind::Date, column, parent, grid);
    case TColumnKind::Time: return MakeDateTime(TDateTimeEdit::TKind::Time, column, parent, grid);
    case TColumnKind::Text:
    case TColumnKind::Picture:
    case TColumnKind::CheckBox: break;
    }
    return nullptr;
}

void LoadInPlaceControl(QWidget* control, const TGridColumn& column, const QString& cellText)
{
    if (auto* combo = qobject_cast<TListCombo*>(control)) {
        const int pos = ValuePosition(column.ComboValues, cellText);
        if (pos >= 0 && pos < column.ComboItems.size())
            combo->ShowItem(pos);
        else
            combo->ShowValue(cellText);
    } else if (auto* whole = qobject_cast<QSpinBox*>(control)) {
        whole->setValue(CellInteger(cellText));
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setText(cellText);  // an empty cell, an empty line
    }
}

QString InPlaceControlState(QWidget* control, const TGridColumn& column)
{
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText();
    return InPlaceControlText(control, column);
}

QString InPlaceControlText(QWidget* control, const TGridColumn& column)
{
    if (auto* combo = qobject_cast<TListCombo*>(control)) {
        const int item = combo->ChosenItem();
        return item >= 0 && item < column.ComboValues.size() ? column.ComboValues[item] : combo->Value();
    }
    if (auto* whole = qobject_cast<QSpinBox*>(control))
        return QString::number(whole->value());
    if (auto* line = qobject_cast<QLineEdit*>(control))
        return line->text().trimmed();
    return {};
}

}  // namespace quorvil
