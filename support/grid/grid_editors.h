#pragma once
// The controls placed over a cell of a typed column (list, float, integer,
// spin, date, time): made, loaded from the cell text and read back as the
// text to store. Numbers, dates and times are lines typed as text.
#include <QString>

class QWidget;

namespace quorvil {

class TExtendedGrid;
class TGridColumn;

// A control for the column's kind, a child of `parent`; null for kinds
// without one.
QWidget* CreateInPlaceControl(const TGridColumn& column, QWidget* parent, const TExtendedGrid& grid);
// Shows `cellText` in the control: a list shows the ComboItems entry found
// through ComboValues (else the text itself), a spin control the whole
// number read from the text (0 when there is none), numbers, dates and
// times the text itself.
void LoadInPlaceControl(QWidget* control, const TGridColumn& column, const QString& cellText);
// What the control shows, to tell a change made by the user from none.
QString InPlaceControlState(QWidget* control, const TGridColumn& column);
// The cell text for the control's value: a list stores the ComboValues entry
// of the chosen item (empty for the empty value, an outside value as it
// was), a spin control its decimal text, numbers, dates and times the text
// typed, which the model reads.
QString InPlaceControlText(QWidget* control, const TGridColumn& column);

}  // namespace quorvil
