#pragma once
// Reading number texts into the in-place controls and writing their values
// back as cell texts.
#include <QString>

namespace quorvil {

// Digits after the decimal point of a number text ("3.250" gives 3).
int FractionDigits(const QString& text);
// Decimal places of the float control for a cell: the cell's own, at least 2
// so that a whole number can still be given a fraction, at most 10.
int FloatDecimals(const QString& cellText);
// The number a cell holds, 0 when it holds none. Points are decimal points
// whatever the locale.
double CellFloat(const QString& text);
int CellInteger(const QString& text);
QString FloatText(double value, int decimals);

}  // namespace quorvil
