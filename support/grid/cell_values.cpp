#include "cell_values.h"

#include <QLocale>

#include <algorithm>

namespace quorvil {

namespace {

constexpr int kFirstWindowYear = 1980;

// The same time format with one-digit hours, minutes and seconds allowed, for
// texts typed or imported without leading zeros.
QString LenientTimeFormat(QString format)
{
    for (const char* pair : {"hh", "HH", "mm", "ss"}) {
        const QString twice = QString::fromLatin1(pair);
        format.replace(twice, twice.left(1));
    }
    return format;
}

}  // namespace

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

bool HasTwoDigitYear(const QString& format)
{
    return format.contains(QStringLiteral("yy")) && !format.contains(QStringLiteral("yyyy"));
}

QDate FirstTwoDigitYearDate()
{
    return QDate(kFirstWindowYear, 1, 1);
}

QDate LastTwoDigitYearDate()
{
    return QDate(kFirstWindowYear + 99, 12, 31);
}

QDate ParseCellDate(const QString& text, const QString& format)
{
    const QString trimmed = text.trimmed();
    if (format.contains(QStringLiteral("MMM")))
        return QDate::fromString(trimmed, format);
    // Numeric formats: three digit groups in the order the format names day,
    // month and year, whatever separates them.
    const qsizetype dayAt = format.indexOf(QLatin1Char('d'));
    const qsizetype monthAt = format.indexOf(QLatin1Char('M'));
    const qsizetype yearAt = format.indexOf(QLatin1Char('y'));
    if (dayAt < 0 || monthAt < 0 || yearAt < 0)
        return {};
    QStringList groups;
    for (qsizetype i = 0; i < trimmed.size();) {
        qsizetype end = i;
        while (end < trimmed.size() && trimmed[end].isDigit())
            ++end;
        if (end > i)
            groups.append(trimmed.mid(i, end - i));
        i = std::max(end, i + 1);
    }
    if (groups.size() != 3)
        return {};
    auto groupOf = [&](qsizetype at) {
        return groups[int(at > dayAt) + int(at > monthAt) + int(at > yearAt)];
    };
    const QString yearText = groupOf(yearAt);
    int year = yearText.toInt();
    if (yearText.size() <= 2)  // the program's window for short years: 1980 to 2079
        year += year < kFirstWindowYear % 100 ? 2000 : 1900;
    return QDate(year, groupOf(monthAt).toInt(), groupOf(dayAt).toInt());
}

QTime ParseCellTime(const QString& text, const QString& format)
{
    const QString trimmed = text.trimmed();
    QTime time = QTime::fromString(trimmed, format);
    if (!time.isValid())
        time = QTime::fromString(trimmed, LenientTimeFormat(format));
    return time;
}

}  // namespace quorvil
