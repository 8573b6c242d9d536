#include "cell_values.h"

namespace quorvil {

int CellInteger(const QString& text)
{
    bool ok = false;
    int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

}  // namespace quorvil
