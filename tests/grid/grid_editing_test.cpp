// The controls placed over typed cells: when they open, what they show and
// what they write back when the current cell leaves them.
#include "grid_fixture.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimeEdit>

using namespace quorvil;
using namespace quorvil::testing;
using namespace Qt::StringLiterals;

namespace {

template <class Control>
Control* OpenControl(TGridFixture& f, int col, int row)
{
    f.grid.setCurrentIndex(f.model.index(row, col));
    return qobject_cast<Control*>(f.grid.indexWidget(f.model.index(row, col)));
}

// Column 0 stays a plain text column to move the current cell to.
void Leave(TGridFixture& f, int row = 0)
{
    f.grid.setCurrentIndex(f.model.index(row, 0));
}

}  // namespace

class TGridEditingTest : public QObject {
    Q_OBJECT

private slots:
    void AListControlOpensOverTheCellAndStoresTheValueOnce_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<int>("picked");  // -1: the text below is typed instead
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("pick an item") << u"g"_s << u"Green"_s << 2 << QString() << u"b"_s;
        QTest::newRow("type an unknown text") << u"g"_s << u"Green"_s << -1 << u"Teal"_s << u"Teal"_s;
        QTest::newRow("a value outside the list") << u"purple"_s << u"purple"_s << -1 << QString() << u"purple"_s;
    }
    void AListControlOpensOverTheCellAndStoresTheValueOnce()
    {
        QFETCH(QString, cell);
        QFETCH(int, picked);
        QFETCH(QString, typed);
        TGridFixture f({{u"a"_s, cell}});
        f.MakeList(1, {u"Red"_s, u"Green"_s, u"Blue"_s}, {u"r"_s, u"g"_s, u"b"_s});
        f.Show();
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        auto* combo = OpenControl<QComboBox>(f, 1, 0);
        QVERIFY(combo && combo->isVisible());
        QCOMPARE(combo->geometry(), f.grid.visualRect(f.model.index(0, 1)));
        QTEST(combo->currentText(), "opened");
        if (picked >= 0) {
            combo->setCurrentIndex(picked);
            emit combo->activated(picked);  // as a click on the item does
        } else if (!typed.isEmpty()) {
            combo->setEditText(typed);
        }
        Leave(f);
        QVERIFY(!f.grid.indexWidget(f.model.index(0, 1)));
        QTEST(f.Text(1, 0), "stored");
        QCOMPARE(changed.size(), f.Text(1, 0) == cell ? 0 : 1);
    }

    void AListWithUnequalCountsReportsTheErrorOnceAndKeepsTheCell()
    {
        TGridFixture f({{u"a"_s, u"r"_s}});
        f.MakeList(1, {u"Red"_s, u"Green"_s}, {u"r"_s});
        f.Show();
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        QSignalSpy failed(&f.grid, &TExtendedGrid::OnControlError);
        auto* combo = OpenControl<QComboBox>(f, 1, 0);
        QVERIFY(combo);
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        Leave(f);
        QCOMPARE(f.Text(1, 0), u"r"_s);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toString(), u"ComboItems and ComboValues of column 1 of Grid3 must be of equal count."_s);
    }

    void LeavingAnUnchangedControlWritesNothing_data()
    {
        QTest::addColumn<TColumnKind>("kind");
        QTest::addColumn<QString>("cell");
        QTest::newRow("float with more decimals") << TColumnKind::Float << u"3.14159"_s;
        QTest::newRow("float that is no number") << TColumnKind::Float << u"n/a"_s;
        QTest::newRow("padded integer") << TColumnKind::Integer << u"007"_s;
        QTest::newRow("spin") << TColumnKind::Spin << u"12"_s;
        QTest::newRow("empty date") << TColumnKind::Date << QString();
        QTest::newRow("date") << TColumnKind::Date << u"3/2/01"_s;
        QTest::newRow("empty time") << TColumnKind::Time << QString();
    }
    void LeavingAnUnchangedControlWritesNothing()
    {
        QFETCH(TColumnKind, kind);
        QFETCH(QString, cell);
        TGridFixture f({{u"a"_s, cell}});
        f.MakeKind(1, kind);
        f.Show();
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        f.grid.setCurrentIndex(f.model.index(0, 1));
        QVERIFY(f.grid.indexWidget(f.model.index(0, 1)));
        Leave(f);
        QCOMPARE(f.Text(1, 0), cell);
        QCOMPARE(changed.size(), 0);
    }

    void NumbersAreWrittenInDecimal()
    {
        TGridFixture f({{u"a"_s, u"3"_s, u"1.125"_s, u"007"_s, u"5"_s}});
        f.MakeKind(1, TColumnKind::Float);
        f.MakeKind(2, TColumnKind::Float);
        f.MakeKind(3, TColumnKind::Integer);
        f.MakeKind(4, TColumnKind::Spin);
        f.Show();
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        OpenControl<QDoubleSpinBox>(f, 1, 0)->setValue(4.5);
        OpenControl<QDoubleSpinBox>(f, 2, 0)->setValue(2);
        auto* whole = OpenControl<QSpinBox>(f, 3, 0);
        QCOMPARE(whole->buttonSymbols(), QAbstractSpinBox::NoButtons);
        whole->setValue(8);
        auto* spin = OpenControl<QSpinBox>(f, 4, 0);
        QVERIFY(spin->buttonSymbols() != QAbstractSpinBox::NoButtons);
        spin->stepBy(-7);
        Leave(f);
        QCOMPARE(f.Text(1, 0), u"4.50"_s);
        QCOMPARE(f.Text(2, 0), u"2.000"_s);
        QCOMPARE(f.Text(3, 0), u"8"_s);
        QCOMPARE(f.Text(4, 0), u"-2"_s);
        QCOMPARE(changed.size(), 4);
    }

    void DatesAndTimesAreWrittenInTheGridsFormats()
    {
        TGridFixture f({{u"a"_s, u"03/02/01"_s, u"03/02/01"_s, u"09:05:00"_s}});
        f.MakeKind(1, TColumnKind::Date);
        f.MakeKind(2, TColumnKind::Date);
        f.MakeKind(3, TColumnKind::Time);
        f.Show();
        auto* date = OpenControl<QDateEdit>(f, 1, 0);
        QCOMPARE(date->date(), QDate(2001, 2, 3));
        date->setDate(QDate(2079, 12, 31));
        Leave(f);
        f.grid.SetDateFormat(u"yyyy-MM-dd"_s);
        OpenControl<QDateEdit>(f, 2, 0)->setDate(QDate(2001, 2, 4));
        auto* time = OpenControl<QTimeEdit>(f, 3, 0);
        QCOMPARE(time->time(), QTime(9, 5, 0));
        time->setTime(QTime(23, 59, 58));
        Leave(f);
        QCOMPARE(f.Text(1, 0), u"31/12/79"_s);
        QCOMPARE(f.Text(2, 0), u"2001-02-04"_s);
        QCOMPARE(f.Text(3, 0), u"23:59:58"_s);
    }

    void UpAndDownLeaveTheControlWithoutSteppingIt()
    {
        TGridFixture f({{u"a"_s, u"5"_s}, {u"b"_s, u"6"_s}, {u"c"_s, u"7"_s}});
        f.MakeKind(1, TColumnKind::Spin);
        f.Show();
        auto* spin = OpenControl<QSpinBox>(f, 1, 1);
        QVERIFY(spin);
        QTest::keyClick(spin, Qt::Key_Down);
        QCOMPARE(f.grid.currentIndex(), f.model.index(2, 1));
        QVERIFY(f.grid.indexWidget(f.model.index(2, 1)));
        QTest::keyClick(f.grid.indexWidget(f.model.index(2, 1)), Qt::Key_Up);
        QCOMPARE(f.grid.currentIndex(), f.model.index(1, 1));
        QCOMPARE(f.Text(1, 1) + f.Text(1, 2), u"67"_s);
    }

    void ControlsOpenOnlyOnEditableCells()
    {
        TGridFixture f({{u"a"_s, u"g"_s, u"1.5"_s, u"b"_s}});
        f.MakeList(1, {u"Green"_s}, {u"g"_s});
        f.MakeKind(1, TColumnKind::List, /*editable=*/false);
        f.MakeKind(2, TColumnKind::Float);
        f.model.item(0, 2)->setEditable(false);
        f.MakeKind(3, TColumnKind::Text);
        f.Show();
        for (int col = 0; col < 3; ++col) {
            f.grid.setCurrentIndex(f.model.index(0, col));
            f.grid.edit(f.model.index(0, col));
            QVERIFY2(!f.grid.indexWidget(f.model.index(0, col)), qPrintable(QString::number(col)));
        }
        f.grid.edit(f.model.index(0, 3));
        auto* line = qobject_cast<QLineEdit*>(f.grid.indexWidget(f.model.index(0, 3)));
        QVERIFY(line);
        QCOMPARE(line->text(), u"b"_s);
    }
};

QTEST_MAIN(TGridEditingTest)
#include "grid_editing_test.moc"
