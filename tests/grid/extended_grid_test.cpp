// The typed-column grid over a plain model: columns following the model,
// check boxes drawn and toggled, cells written through the grid, and the
// controls placed over typed cells: what they show and write back.
#include "date_time_edit.h"
#include "extended_grid.h"
#include "grid_text.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTest>
#include <QToolTip>

using namespace quorvil;
using namespace Qt::StringLiterals;

namespace {

// Its writes fail while `rejects` is set, as the engine rejects a value.
class TModel : public QStandardItemModel {
public:
    bool rejects = false;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (rejects && role == Qt::EditRole)
            throw std::runtime_error("Record is locked");
        return QStandardItemModel::setData(index, value, role);
    }
};

struct Fixture {
    explicit Fixture(std::initializer_list<QStringList> rows)
    {
        int row = 0;
        for (const QStringList& cells : rows) {
            for (int col = 0; col < cells.size(); ++col)
                model.setItem(row, col, new QStandardItem(cells[col]));
            ++row;
        }
        grid.setObjectName(u"Grid3"_s);
        grid.setModel(&model);
        grid.resize(600, 300);
    }
    void Show()
    {
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
    }
    template <class Change>
    void Configure(int col, Change change)
    {
        TGridColumn column = *grid.Column(col);
        change(column);
        grid.SetColumn(col, column);
    }
    void Make(int col, TColumnKind kind, bool editable = true, const QStringList& items = {},
              const QStringList& values = {})
    {
        Configure(col, [&](TGridColumn& c) {
            c.ColumnKind = kind;
            c.Editable = editable;
            c.SetCheckedValue(u"1"_s);
            c.SetUncheckedValue(u"0"_s);
            c.ComboItems = items;
            c.ComboValues = values;
        });
    }
    template <class Control>
    Control* Open(int col, int row = 0)
    {
        grid.setCurrentIndex(model.index(row, col));
        grid.edit(model.index(row, col));  // moving there opens nothing
        return qobject_cast<Control*>(grid.indexWidget(model.index(row, col)));
    }
    // Column 0 stays plain text, to move the current cell to.
    void Leave() { grid.setCurrentIndex(model.index(0, 0)); }
    QString Text(int col, int row) const { return grid.CellText(col, row); }
    QPoint Centre(int col, int row) const { return grid.visualRect(model.index(row, col)).center(); }
    void Click(int col, int row) { QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, Centre(col, row)); }

    TModel model;
    TExtendedGrid grid;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
};

QStringList Titles(const TExtendedGrid& grid)
{
    QStringList titles;
    for (const TGridColumn& column : grid.Columns())
        titles.append(column.Title);
    return titles;
}

}  // namespace

class TExtendedGridTest : public QObject {
    Q_OBJECT

private slots:
    void columns_follow_the_models_column_count()
    {
        Fixture f({{u"a"_s, u"b"_s, u"c"_s}});
        for (int col = 0; col < 3; ++col)
            f.Configure(col, [col](TGridColumn& c) {
                c.Title = QString(QChar(u'A' + col));
                c.Width = 50 + col;
            });
        f.model.setColumnCount(5);
        QCOMPARE(Titles(f.grid), (QStringList{u"A"_s, u"B"_s, u"C"_s, QString(), QString()}));
        QCOMPARE(f.grid.Column(4)->ColumnKind, TColumnKind::Text);
        QCOMPARE(f.grid.columnWidth(4), 64);
        QCOMPARE(f.grid.columnWidth(2), 52);
        f.model.setColumnCount(1);
        QCOMPARE(Titles(f.grid), QStringList{u"A"_s});
    }

    void clicks_and_space_toggle_boxes_that_may_be_edited()
    {
        Fixture f({{QString(), u"0"_s, u"0"_s, u"0"_s}, {u"1"_s, u"0"_s, u"0"_s, u"0"_s}});
        for (int col = 0; col < 4; ++col)
            f.Make(col, TColumnKind::CheckBox, col != 2);
        f.model.item(0, 3)->setEditable(false);
        f.Show();
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        f.Click(0, 0);
        QCOMPARE(f.Text(0, 0), u"1"_s);  // neutral becomes ticked
        QCOMPARE(changed.value(0), (QVariantList{0, 0}));
        f.Click(0, 0);
        QCOMPARE(f.Text(0, 0), u"0"_s);
        f.grid.setCurrentIndex(f.model.index(1, 0));
        QTest::keyClick(&f.grid, Qt::Key_Space);
        QCOMPARE(f.Text(0, 1), u"0"_s);
        QCOMPARE(changed.size(), 3);
        f.model.rejects = true;  // a write the model rejects is reported and changes nothing
        QSignalSpy failed(&f.grid, &TExtendedGrid::OnControlError);
        f.Click(0, 0);
        QCOMPARE(failed.value(0).value(0).toString(), u"Record is locked"_s);
        f.model.rejects = false;
        // Released on another cell, or on a box that may not change: nothing.
        QTest::mousePress(f.grid.viewport(), Qt::LeftButton, {}, f.Centre(1, 0));
        QTest::mouseRelease(f.grid.viewport(), Qt::LeftButton, {}, f.Centre(1, 1));
        f.Click(2, 0);
        f.Click(3, 0);
        f.grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
        f.Click(1, 1);
        QCOMPARE(f.Text(0, 0) + f.Text(1, 0) + f.Text(1, 1) + f.Text(2, 0) + f.Text(3, 0), u"00000"_s);
        QCOMPARE(changed.size(), 3);
    }

    void writing_cells_through_the_grid()
    {
        Fixture f({{u"a"_s, u"r"_s}, {u"b"_s, u"purple"_s}});
        f.Make(1, TColumnKind::List, true, {u"Red"_s, u"Green"_s}, {u"r"_s, u"g"_s});
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        f.grid.SetCellText(1, 0, u"g"_s);
        f.grid.SetCellText(0, 0, u"b"_s);
        f.grid.SetCellText(7, 7, u"outside"_s);
        QCOMPARE(f.Text(1, 0) + f.Text(0, 0), u"gb"_s);
        QCOMPARE(f.grid.DisplayText(f.model.index(0, 1)), u"Green"_s);
        QCOMPARE(f.grid.DisplayText(f.model.index(1, 1)), u"purple"_s);
        QCOMPARE(changed.size(), 0);
    }

    void unequal_lists_are_refused_and_keep_the_cell_data()
    {
        QTest::addColumn<TColumnKind>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("list") << TColumnKind::List
                              << u"ComboItems and ComboValues of column 1 of Grid3 must be of equal count."_s;
        QTest::newRow("picture") << TColumnKind::Picture
                                 << u"PictureItems and PictureValues of column 1 of Grid3 must be of equal count."_s;
    }
    void unequal_lists_are_refused_and_keep_the_cell()
    {
        QFETCH(TColumnKind, kind);
        QFETCH(QString, message);
        Fixture f({{u"a"_s, u"r"_s}});
        f.Make(1, kind, true, {u"Red"_s, u"Green"_s}, {u"r"_s});
        f.Configure(1, [](TGridColumn& c) {
            c.PictureItems = c.ComboItems;
            c.PictureValues = c.ComboValues;
        });
        QString caught;
        try {
            f.grid.SetCellText(1, 0, u"g"_s);
        } catch (const EGridError& error) {
            caught = error.Message();
        }
        QCOMPARE(caught, message);
        QCOMPARE(f.Text(1, 0), u"r"_s);
    }

    void a_list_control_opens_over_the_cell_and_stores_the_value_once_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<int>("picked");  // -1: the text below is typed instead
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("pick an item") << u"g"_s << u"Green"_s << 3 << QString() << u"b"_s;  // after the empty one
        QTest::newRow("pick the empty value") << u"g"_s << u"Green"_s << 0 << QString() << QString();
        QTest::newRow("text of no item changes nothing") << u"g"_s << u"Green"_s << -1 << u"Teal"_s << u"g"_s;
        QTest::newRow("a value outside the list") << u"purple"_s << u"purple"_s << -1 << QString() << u"purple"_s;
    }
    void a_list_control_opens_over_the_cell_and_stores_the_value_once()
    {
        QFETCH(QString, cell);
        QFETCH(int, picked);
        QFETCH(QString, typed);
        Fixture f({{u"a"_s, cell}});
        f.Make(1, TColumnKind::List, true, {u"Red"_s, u"Green"_s, u"Blue"_s}, {u"r"_s, u"g"_s, u"b"_s});
        f.Show();
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        auto* combo = f.Open<QComboBox>(1);
        QVERIFY(combo && combo->isVisible());
        QCOMPARE(combo->geometry(), f.grid.visualRect(f.model.index(0, 1)));
        QTEST(combo->currentText(), "opened");
        if (picked >= 0) {
            combo->setCurrentIndex(picked);
            emit combo->activated(picked);  // as a click on the item does
        } else if (!typed.isEmpty()) {
            combo->setEditText(typed);
        }
        f.Leave();
        QVERIFY(!f.grid.indexWidget(f.model.index(0, 1)));
        QTEST(f.Text(1, 0), "stored");
        QCOMPARE(changed.size(), f.Text(1, 0) == cell ? 0 : 1);
    }

    void leaving_an_unchanged_control_writes_nothing_data()
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
    void leaving_an_unchanged_control_writes_nothing()
    {
        QFETCH(TColumnKind, kind);
        QFETCH(QString, cell);
        Fixture f({{u"a"_s, cell}});
        f.Make(1, kind);
        f.Show();
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        QVERIFY(f.Open<QWidget>(1));
        f.Leave();
        QCOMPARE(f.Text(1, 0), cell);
        QCOMPARE(changed.size(), 0);
    }

    void controls_write_numbers_and_typed_dates_and_times()
    {
        Fixture f({{u"a"_s, u"3"_s, u"1.125"_s, u"007"_s, u"5"_s, u"03/02/01"_s, QString(), u"09:05:00"_s}});
        const TColumnKind kinds[] = {TColumnKind::Float, TColumnKind::Float, TColumnKind::Integer, TColumnKind::Spin,
                                     TColumnKind::Date,  TColumnKind::Date,  TColumnKind::Time};
        for (int col = 1; col <= 7; ++col)
            f.Make(col, kinds[col - 1]);
        f.Configure(3, [](TGridColumn& c) { c.CellHorzAlign = THorzAlign::Right; });
        f.Configure(6, [](TGridColumn& c) { c.InputPattern = u"dd mmm yyyy"_s; });
        f.Show();
        QSignalSpy changed(&f.grid, &TExtendedGrid::OnControlChanged);
        // Numbers are typed as text and reach the model as typed, for the
        // model to take or refuse: nothing is rounded, cut or dropped here.
        for (const auto& [col, typed] : {std::pair{1, u"4.5"_s}, {2, u"1,5"_s}, {3, u"99999999999999"_s}}) {
            auto* number = f.Open<QLineEdit>(col);
            QVERIFY(number && !qobject_cast<TDateTimeEdit*>(number));
            number->selectAll();
            QTest::keyClicks(number, typed);
        }
        QCOMPARE(f.Open<QLineEdit>(3)->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        auto* spin = f.Open<QSpinBox>(4);
        QVERIFY(spin->buttonSymbols() != QAbstractSpinBox::NoButtons);
        spin->stepBy(-7);
        // A date is typed whole: no section of it jumps ahead.
        auto* date = f.Open<TDateTimeEdit>(5);
        QCOMPARE(date->text(), u"03/02/01"_s);
        date->selectAll();
        QTest::keyClicks(date, u"10/07/2023"_s);
        f.Leave();
        // An empty cell opens empty, showing the form; the calendar writes in it.
        auto* picked = f.Open<TDateTimeEdit>(6);
        QCOMPARE(std::pair(picked->text(), picked->placeholderText()), std::pair(QString(), u"dd mmm yyyy"_s));
        picked->ShowCalendar();
        QCalendarWidget* calendar = picked->Calendar();
        QVERIFY(calendar);
        calendar->setSelectedDate(QDate(2001, 2, 4));
        emit calendar->activated(calendar->selectedDate());
        QCOMPARE(f.Text(6, 0), u"04 Feb 2001"_s);
        auto* time = f.Open<TDateTimeEdit>(7);
        time->selectAll();
        QTest::keyClicks(time, u"7:45"_s);
        f.Leave();
        QStringList texts;
        for (int col = 1; col <= 7; ++col)
            texts << f.Text(col, 0);
        QCOMPARE(texts, (QStringList{u"4.5"_s, u"1,5"_s, u"99999999999999"_s, u"-2"_s, u"10/07/2023"_s,
                                     u"04 Feb 2001"_s, u"7:45"_s}));
        QCOMPARE(changed.size(), 7);
    }

    void arrows_step_the_part_of_a_date_or_time_under_the_cursor()
    {
        const struct {
            TDateTimeEdit::TKind kind;
            const char* text;
            int cursor;
            int key;
            const char* stepped;
        } cases[] = {
            {TDateTimeEdit::TKind::Date, "31/01/2024", 1, Qt::Key_Up, "01/02/2024"},
            {TDateTimeEdit::TKind::Date, "31/01/2024", 4, Qt::Key_Up, "29/02/2024"},
            {TDateTimeEdit::TKind::Date, "7 Mar 79", 8, Qt::Key_Up, "7 Mar 2080"},
            {TDateTimeEdit::TKind::Time, "00:00", 1, Qt::Key_Down, "23:00"},
            {TDateTimeEdit::TKind::Time, "9:59", 4, Qt::Key_Up, "10:00"},
        };
        for (const auto& c : cases) {
            TDateTimeEdit line(c.kind);
            QSignalSpy picked(&line, &TDateTimeEdit::ValuePicked);
            line.setText(QString::fromLatin1(c.text));
            line.setCursorPosition(c.cursor);
            QTest::keyClick(&line, Qt::Key(c.key));
            QCOMPARE(line.text(), QString::fromLatin1(c.stepped));
            QCOMPARE(picked.size(), 1);
        }
        TDateTimeEdit unreadable(TDateTimeEdit::TKind::Date);
        unreadable.setText(u"soon"_s);
        QTest::keyClick(&unreadable, Qt::Key_Up);
        QCOMPARE(unreadable.text(), u"soon"_s);
        // The calendar writes in the line's pattern, but never a two-digit
        // year that would read as another one.
        TDateTimeEdit picked(TDateTimeEdit::TKind::Date);
        picked.SetPattern(u"dd/mm/yy"_s);
        for (const auto& [date, text] :
             {std::pair{QDate(1975, 3, 7), u"07/03/1975"_s}, {QDate(2001, 2, 4), u"04/02/01"_s}}) {
            picked.ShowCalendar();
            emit picked.Calendar()->activated(date);
            QCOMPARE(picked.text(), text);
        }
    }

    // A number too wide for its column shows no cut digits but '#'s, and
    // the whole number in its tool tip; text keeps its dots.
    void numbers_too_wide_show_hashes_and_a_tool_tip()
    {
        const QString wide = u"12345678901234.5"_s;
        Fixture f({{wide, wide, u"7"_s}});
        f.Make(1, TColumnKind::Float);
        f.Make(2, TColumnKind::Integer);
        for (int col = 0; col < 3; ++col)
            f.grid.setColumnWidth(col, 40);
        f.Show();
        QList<bool> hashes;
        for (int col = 0; col < 3; ++col)
            hashes << f.grid.NumberTooWide(f.model.index(0, col));
        QCOMPARE(hashes, (QList<bool>{false, true, false}));
        const QPoint at = f.Centre(1, 0);
        QHelpEvent help(QEvent::ToolTip, at, f.grid.viewport()->mapToGlobal(at));
        QApplication::sendEvent(f.grid.viewport(), &help);
        QCOMPARE(QToolTip::text(), wide);
        const QFontMetrics metrics(f.grid.font());
        const QString shown = HashFill(metrics, 40);
        QVERIFY(shown.count(u'#') == shown.size() && metrics.horizontalAdvance(shown) <= 40 - 4);
        QVERIFY(metrics.horizontalAdvance(shown + u'#') > 40 - 4);
    }

    void controls_open_only_on_editable_cells()
    {
        Fixture f({{u"a"_s, u"g"_s, u"1.5"_s, u"b"_s}});
        f.Make(1, TColumnKind::List, /*editable=*/false);
        f.Make(2, TColumnKind::Float);
        f.model.item(0, 2)->setEditable(false);
        f.Show();
        for (int col = 0; col < 3; ++col) {
            f.grid.setCurrentIndex(f.model.index(0, col));
            f.grid.edit(f.model.index(0, col));
            QVERIFY2(!f.grid.indexWidget(f.model.index(0, col)), qPrintable(QString::number(col)));
        }
    }
};

QTEST_MAIN(TExtendedGridTest)
#include "extended_grid_test.moc"
