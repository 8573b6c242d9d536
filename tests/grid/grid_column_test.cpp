// Column settings and the texts derived from cell values: check states,
// list texts, shortened titles, numbers, dates and times read from cells.
#include "cell_values.h"
#include "grid_column.h"
#include "grid_text.h"

#include <QFontMetrics>
#include <QTest>

using namespace quorvil;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(quorvil::TCheckState)

class TGridColumnTest : public QObject {
    Q_OBJECT

private slots:
    void CheckStateFollowsTheTwoValues_data()
    {
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QString>("unchecked");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<TCheckState>("state");
        QTest::newRow("boolean 1 is ticked") << u"1"_s << u"0"_s << u"1"_s << TCheckState::Ticked;
        QTest::newRow("boolean 0 is empty") << u"1"_s << u"0"_s << u"0"_s << TCheckState::Empty;
        QTest::newRow("boolean empty is neutral") << u"1"_s << u"0"_s << QString() << TCheckState::Neutral;
        QTest::newRow("other text is neutral") << u"1"_s << u"0"_s << u"yes"_s << TCheckState::Neutral;
        QTest::newRow("empty checked value ticks any other text") << QString() << u"0"_s << u"x"_s
                                                                  << TCheckState::Ticked;
        QTest::newRow("no unchecked value leaves others empty") << u"1"_s << QString() << u"x"_s
                                                                << TCheckState::Empty;
    }
    void CheckStateFollowsTheTwoValues()
    {
        QFETCH(QString, checked);
        QFETCH(QString, unchecked);
        QFETCH(QString, cell);
        QFETCH(TCheckState, state);
        TGridColumn column;
        column.SetCheckedValue(checked);
        column.SetUncheckedValue(unchecked);
        QCOMPARE(column.CheckStateOf(cell), state);
    }

    void ToggleStoresTheOtherValueAndTheValuesNeverMatch()
    {
        TGridColumn column;
        column.SetCheckedValue(u"1"_s);
        QCOMPARE(column.ToggledValue(u"0"_s) + column.ToggledValue(u"1"_s) + column.ToggledValue(QString()),
                 u"101"_s);  // neutral becomes ticked
        column.SetUncheckedValue(u"1"_s);
        QCOMPARE(column.UncheckedValue(), u"0"_s);
        column.SetCheckedValue(u"0"_s);
        QCOMPARE(column.CheckedValue(), u"1"_s);
        column.SetUncheckedValue(u"N"_s);
        column.SetCheckedValue(u"0"_s);
        QCOMPARE(column.CheckedValue(), u"0"_s);
    }

    void ListShowsTheItemOfTheValue_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("shown");
        const QStringList items{u"Red"_s, u"None"_s, u"Green"_s};
        QTest::newRow("value found") << items << QStringList{u"r"_s, u""_s, u"g"_s} << u"g"_s << u"Green"_s;
        QTest::newRow("unknown value takes the empty entry")
            << items << QStringList{u"r"_s, u""_s, u"g"_s} << u"x"_s << u"None"_s;
        QTest::newRow("unknown value without empty entry shows itself")
            << items << QStringList{u"r"_s, u"n"_s, u"g"_s} << u"x"_s << u"x"_s;
        QTest::newRow("value beyond the items shows itself")
            << QStringList{u"Red"_s} << QStringList{u"r"_s, u"g"_s} << u"g"_s << u"g"_s;
        QTest::newRow("first of equal values wins")
            << items << QStringList{u"r"_s, u"g"_s, u"g"_s} << u"g"_s << u"None"_s;
    }
    void ListShowsTheItemOfTheValue()
    {
        QFETCH(QStringList, items);
        QFETCH(QStringList, values);
        QFETCH(QString, cell);
        QFETCH(QString, shown);
        TGridColumn column;
        column.ComboItems = items;
        column.ComboValues = values;
        QCOMPARE(column.ListText(cell), shown);
    }

    void WideTextKeepsTheLeadingCharactersThatFit()
    {
        QFontMetrics metrics(QFont{});
        const QString title = u"Colour of the skin"_s;
        QCOMPARE(ShortenText(metrics, title, metrics.horizontalAdvance(title)), title);
        const int width = metrics.horizontalAdvance(title) / 2;
        const QString shown = ShortenText(metrics, title, width);
        QVERIFY(shown.endsWith(u"..."_s));
        const QString kept = shown.chopped(3);
        QVERIFY(title.startsWith(kept));
        const int room = width - metrics.horizontalAdvance(u"..."_s) - 6;
        QVERIFY(metrics.horizontalAdvance(kept) <= room);
        QVERIFY(metrics.horizontalAdvance(title.left(kept.size() + 1)) > room);
        QCOMPARE(ShortenText(metrics, u"Price"_s, 4), u"..."_s);
        QCOMPARE(ShortenText(metrics, title + QString(5000, u'x'), width), shown);
    }

    void FloatDecimalsFollowTheCell_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("decimals");
        QTest::newRow("whole number gets two") << u"7"_s << 2;
        QTest::newRow("more digits kept") << u"3.14159"_s << 5;
        QTest::newRow("at most ten") << u"1.123456789012"_s << 10;
        QTest::newRow("not a number") << u"abc"_s << 2;
    }
    void FloatDecimalsFollowTheCell()
    {
        QFETCH(QString, cell);
        QFETCH(int, decimals);
        QCOMPARE(FloatDecimals(cell), decimals);
    }

    void DatesReadWithTheYearWindow_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QDate>("date");
        const QString shortFormat = u"dd/MM/yy"_s;
        QTest::newRow("2001") << shortFormat << u"03/02/01"_s << QDate(2001, 2, 3);
        QTest::newRow("leap day 2000") << shortFormat << u"29/02/00"_s << QDate(2000, 2, 29);
        QTest::newRow("79 is 2079") << shortFormat << u"31/12/79"_s << QDate(2079, 12, 31);
        QTest::newRow("80 is 1980") << shortFormat << u"01/01/80"_s << QDate(1980, 1, 1);
        QTest::newRow("one-digit day and month") << shortFormat << u"3/2/01"_s << QDate(2001, 2, 3);
        QTest::newRow("four-digit year") << shortFormat << u"15/06/1999"_s << QDate(1999, 6, 15);
        QTest::newRow("no such day") << shortFormat << u"31/02/01"_s << QDate();
        QTest::newRow("not a date") << shortFormat << u"soon"_s << QDate();
        QTest::newRow("year first") << u"yyyy-MM-dd"_s << u"2003-05-07"_s << QDate(2003, 5, 7);
    }
    void DatesReadWithTheYearWindow()
    {
        QFETCH(QString, format);
        QFETCH(QString, cell);
        QFETCH(QDate, date);
        QCOMPARE(ParseCellDate(cell, format), date);
    }

    void TimesRead()
    {
        QCOMPARE(ParseCellTime(u"9:5:0"_s, u"hh:mm:ss"_s), QTime(9, 5, 0));
        QVERIFY(!ParseCellTime(u"25:00:00"_s, u"hh:mm:ss"_s).isValid());
    }
};

QTEST_MAIN(TGridColumnTest)
#include "grid_column_test.moc"
