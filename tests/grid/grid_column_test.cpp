// Column settings and the texts derived from cell values: check states,
// list texts, shortened titles.
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
    void check_state_follows_the_two_values_data()
    {
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QString>("unchecked");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<TCheckState>("state");
        QTest::newRow("1 is ticked") << u"1"_s << u"0"_s << u"1"_s << TCheckState::Ticked;
        QTest::newRow("0 is empty") << u"1"_s << u"0"_s << u"0"_s << TCheckState::Empty;
        QTest::newRow("empty is neutral") << u"1"_s << u"0"_s << QString() << TCheckState::Neutral;
        QTest::newRow("other text is neutral") << u"1"_s << u"0"_s << u"yes"_s << TCheckState::Neutral;
        QTest::newRow("no checked value ticks others") << QString() << u"0"_s << u"x"_s << TCheckState::Ticked;
        QTest::newRow("no unchecked value empties others") << u"1"_s << QString() << u"x"_s << TCheckState::Empty;
    }
    void check_state_follows_the_two_values()
    {
        QFETCH(QString, checked);
        QFETCH(QString, unchecked);
        QFETCH(QString, cell);
        TGridColumn column;
        column.SetCheckedValue(checked);
        column.SetUncheckedValue(unchecked);
        QTEST(column.CheckStateOf(cell), "state");
    }

    void toggle_stores_the_other_value_and_the_values_never_match()
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

    void list_shows_the_item_of_the_value_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("shown");
        QTest::newRow("value found") << QStringList{u"r"_s, u""_s, u"g"_s} << u"g"_s << u"Green"_s;
        QTest::newRow("unknown value takes the empty entry")
            << QStringList{u"r"_s, u""_s, u"g"_s} << u"x"_s << u"None"_s;
        QTest::newRow("unknown value shows itself") << QStringList{u"r"_s, u"n"_s, u"g"_s} << u"x"_s << u"x"_s;
        QTest::newRow("value beyond the items") << QStringList{u"r"_s, u"n"_s, u"g"_s, u"b"_s} << u"b"_s << u"b"_s;
        QTest::newRow("first of equal values wins") << QStringList{u"r"_s, u"g"_s, u"g"_s} << u"g"_s << u"None"_s;
    }
    void list_shows_the_item_of_the_value()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, cell);
        TGridColumn column;
        column.ComboItems = {u"Red"_s, u"None"_s, u"Green"_s};
        column.ComboValues = values;
        QTEST(column.ListText(cell), "shown");
    }

    void wide_text_keeps_the_leading_characters_that_fit()
    {
        QFontMetrics metrics(QFont{});
        const QString title = u"Colour of the skin"_s;
        QCOMPARE(ShortenText(metrics, title, metrics.horizontalAdvance(title) + 4), title);
        // Too wide by less than the cell's margins: shortened, not cut.
        QVERIFY(ShortenText(metrics, title, metrics.horizontalAdvance(title) + 3).endsWith(u"..."_s));
        const int room = metrics.horizontalAdvance(title) / 2;
        const QString kept = ShortenText(metrics, title, room).chopped(3);  // less the "..."
        QCOMPARE(ShortenText(metrics, title, room), kept + u"..."_s);
        QVERIFY(title.startsWith(kept) &&
                metrics.horizontalAdvance(kept) <= room - metrics.horizontalAdvance(u"..."_s) - 6);
        QVERIFY(metrics.horizontalAdvance(title.left(kept.size() + 1)) >
                room - metrics.horizontalAdvance(u"..."_s) - 6);
        QCOMPARE(ShortenText(metrics, u"Price"_s, 4), u"..."_s);
    }
};

QTEST_MAIN(TGridColumnTest)
#include "grid_column_test.moc"
