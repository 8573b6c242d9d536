#pragma once
// Reading a cell's number into the spin control.
#include <QString>

namespace quorvil {

// The whole number a cell holds, 0 when it holds none.
int CellInteger(const QString& text);

}  // namespace quorvil
