#include "grid_editors.h"

#include "cell_values.h"
#include "date_time_edit.h"
#include "extended_grid.h"
#include "list_combo.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLocale>
#include <QSpinBox>

#include <limits>

namespace quorvil {

namespace {

// Wide enough for any value a JFile number field holds, still exact in a double.
constexpr double kFloatLimit = 1e15;

QComboBox* MakeList(const TGridColumn& column, QWidget* parent)
{
    auto* combo = new TListCombo(parent);
    combo->setFrame(false);
    combo->SetItems(column.ComboItems);
    return combo;
}

QWidget* MakeNumber(TColumnKind kind, QWidget* parent)
{
    QAbstractSpinBox* box = nullptr;
    if (kind == TColumnKind::Float) {
        auto* number = new QDoubleSpinBox(parent);
        number->setRange(-kFloatLimit, kFloatLimit);
        box = number;
    } else {
        auto* number = new QSpinBox(parent);
        number->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        box = number;
    }
    // Numbers are stored with a decimal point whatever the user's locale.
    box->setLocale(QLocale::c());
    box->setFrame(false);
    if (kind != TColumnKind::Spin)
        box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    return box;
}

// Dates and times are typed as text: the column's model decides what a
// typed text stores, and refuses one that is no date or time.
QWidget* MakeDateTime(TDateTimeEdit::TKind kind, const TGridColumn& column, QWidget* parent,
                      const TExtendedGrid& grid)
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
    case TColumnKind::Integer:
    case TColumnKind::Spin: return MakeNumber(column.ColumnKind, parent);
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
    } else if (auto* number = qobject_cast<QDoubleSpinBox*>(control)) {
        number->setDecimals(FloatDecimals(cellText));
        number->setValue(CellFloat(cellText));
    } else if (auto* whole = qobject_cast<QSpinBox*>(control)) {
        whole->setValue(CellInteger(cellText));
    } else if (auto* line = qobject_cast<TDateTimeEdit*>(control)) {
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
    if (auto* number = qobject_cast<QDoubleSpinBox*>(control))
        return FloatText(number->value(), number->decimals());
    if (auto* whole = qobject_cast<QSpinBox*>(control))
        return QString::number(whole->value());
    if (auto* line = qobject_cast<TDateTimeEdit*>(control))
        return line->text().trimmed();
    return {};
}

}  // namespace quorvil
