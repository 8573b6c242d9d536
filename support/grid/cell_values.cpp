#include "cell_values.h"

#include <QLocale>

#include <algorithm>

namespace quorvil {

int FractionDigits(const QString& text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return 0;
    qsizetype end = point + 1;
    while (end < text.size() && text[end].isDigit())
        ++end;
    return int(end - point - 1);
}

int FloatDecimals(const QString& cellText)
{
    return std::clamp(FractionDigits(cellText), 2, 10);
}

double CellFloat(const QString& text)
{
    bool ok = false;
    double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? value : 0.0;
}

int CellInteger(const QString& text)
{
    bool ok = false;
    int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

QString FloatText(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

}  // namespace quorvil
