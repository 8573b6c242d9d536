#pragma once
// The controls placed over a cell of a typed column (list, float, integer,
// spin, date, time): made, loaded from the cell text and read back as the
// text to store.
#include <QString>

class QWidget;

namespace quorvil {

class TExtendedGrid;
class TGridColumn;

// A control for the column's kind, a child of `parent`; null for kinds
// without one.
QWidget* CreateInPlaceControl(const TGridColumn& column, QWidget* parent, const TExtendedGrid& grid);
// Shows `cellText` in the control: a list shows the ComboItems entry found
// through ComboValues (else the text itself), numbers, dates and times show
// the value read from the text (0, today or midnight when there is none).
void LoadInPlaceControl(QWidget* control, const TGridColumn& column, const QString& cellText,
                        const TExtendedGrid& grid);
// What the control shows, to tell a change made by the user from none.
QString InPlaceControlState(QWidget* control, const TGridColumn& column, const TExtendedGrid& grid);
// The cell text for the control's value: a list stores the ComboValues entry
// of the chosen item (the typed text when it is no item), numbers their
// decimal text, dates and times their text in the grid's formats.
QString InPlaceControlText(QWidget* control, const TGridColumn& column, const TExtendedGrid& grid);

}  // namespace quorvil
