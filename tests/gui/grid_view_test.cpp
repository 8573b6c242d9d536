// The grid of a database tab and its model: line breaks shown as one mark,
// edits reaching the record a row shows, columns by field type, the
// long-text editor and its 4000-character warning, the calendar of long
// dates, header sort and reverse, column moves and the window-wide keys.
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "date_dialog.h"
#include "extended_grid.h"
#include "field_types.h"
#include "grid_header.h"
#include "grid_setup.h"
#include "gui_test_support.h"
#include "list_combo.h"
#include "long_text_check.h"
#include "main_window.h"
#include "message_dialog.h"
#include "modal.h"
#include "text_convert.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

// A tab page over an in-memory database, its model watched by
// QAbstractItemModelTester.
struct PageFixture {
    PageFixture(const std::vector<FieldSpec>& fields, const Rows& rows) : db(MemoryDatabase<TDataBase>(fields, rows))
    {
        page.SetDatabase(db.get());
        page.RefreshView();
        page.resize(700, 300);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
    }
    ~PageFixture() { page.SetDatabase(nullptr); }

    TExtendedGrid& Grid() { return *page.Grid(); }
    TDatabaseModel& Model() { return *page.Model(); }
    QPoint Centre(int row, int col) { return Grid().visualRect(Model().index(row, col)).center(); }
    void DoubleClick(int row, int col)
    {
        Grid().setCurrentIndex(QModelIndex());
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, Centre(row, col));
        QTest::mouseDClick(Grid().viewport(), Qt::LeftButton, {}, Centre(row, col));
    }
    QStringList Shown(int col)
    {
        QStringList texts;
        for (int row = 0; row < Model().rowCount(); ++row)
            texts << Model().CellText(row, col);
        return texts;
    }
    std::string Field(int record, int field) const { return db->GetCell(record, field); }

    std::unique_ptr<TDataBase> db;
    TDatabasePage page{2};
    QAbstractItemModelTester tester{page.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest};
};

const std::vector<FieldSpec> kShop = {{"Item", TFieldType::String, {}},      {"Qty", TFieldType::Integer, {}},
                                      {"Price", TFieldType::Float, {}},      {"Bin", TFieldType::List, {"A1", "B2"}},
                                      {"In stock", TFieldType::Boolean, {}}, {"Due", TFieldType::IntDate, {}}};
const std::vector<FieldSpec> kMoves = {
    {"Item", TFieldType::String, {}}, {"Due", TFieldType::Date, {}}, {"Qty", TFieldType::Integer, {}}};
const Rows kMoveRows = {{"bolt", "02/02/2024", "3"}, {"nut", "", "12"}, {"pin", "01/01/2001", ""}};
const std::vector<FieldSpec> kNames = {{"Name", TFieldType::String, {}}, {"Data", TFieldType::Binary, {}}};

// The next long-text editor: replace its text with `text`, press OK.
void AnswerEditor(const QString& text)
{
    QueueModalAnswer([text](QDialog& d) {
        d.findChild<QPlainTextEdit*>(FromUtf8("Memo"))->setPlainText(text);
        d.findChild<QPushButton*>(FromUtf8("OkBtn"))->click();
    });
}

// The next warning: note its text, default button and captions, press `button`.
void AnswerWarning(QString& text, QString& defaultButton, const QString& button, QStringList* captions = nullptr)
{
    AnswerAfter(
        [&text, &defaultButton, captions](QDialog& d) {
            text = MessageOf(d);
            defaultButton = dynamic_cast<TMessageForm&>(d).DefaultButton()->objectName();
            if (captions)
                for (const QPushButton* b : d.findChildren<QPushButton*>())
                    *captions << b->text();
        },
        button);
}

}  // namespace

class GridViewTest : public GuiCase {
    Q_OBJECT

private slots:

    void line_breaks_show_as_one_mark_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("set");  // a TCharset
        QTest::addColumn<QString>("shown");
        const int western = int(TCharset::Windows1252);
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << western << FromUtf8("a¤b");
        QTest::newRow("lone LF") << QByteArray("a\nb") << western << FromUtf8("a¤b");
        QTest::newRow("lone CR") << QByteArray("a\rb") << western << FromUtf8("a¤b");
        QTest::newRow("LF CR is two") << QByteArray("a\n\rb") << western << FromUtf8("a¤¤b");
        QTest::newRow("two pairs") << QByteArray("\r\n\r\n") << western << FromUtf8("¤¤");
        QTest::newRow("CR at the end") << QByteArray("a\r") << western << FromUtf8("a¤");
        QTest::newRow("Windows-1252 bytes") << QByteArray("caf\xE9 \x80") << western << FromUtf8("café €");
        // The mark is a character: byte A4 is a lead byte in GBK, a letter in
        // Shift-JIS.
        QTest::newRow("GBK lead byte A4")
            << QByteArray("\xA4\xA1\n\xA4\xA2") << int(TCharset::Gbk) << FromUtf8("ぁ¤あ");
        QTest::newRow("Shift-JIS byte A4") << QByteArray("\xA4\r\n") << int(TCharset::ShiftJis) << FromUtf8("､¤");
        QTest::newRow("Windows-1251 letters")
            << QByteArray("\xC4\xE0\rx") << int(TCharset::Windows1251) << FromUtf8("Да¤x");
    }
    void line_breaks_show_as_one_mark()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, set);
        QTEST(GridText(stored.toStdString(), TCharset(set)), "shown");
    }

    void unchanged_cell_with_cr_lf_stores_nothing()
    {
        PageFixture f({{"Note", TFieldType::String, {}}}, {{"a\r\nb"}});
        QSignalSpy edited(&f.Model(), &TDatabaseModel::Edited);
        QCOMPARE(f.Model().index(0, 0).data(Qt::EditRole).toString(), FromUtf8("a¤b"));
        QVERIFY(f.Model().setData(f.Model().index(0, 0), FromUtf8("a¤b")));
        QCOMPARE(f.Field(1, 1), std::string("a\r\nb"));
        QVERIFY(!f.db->Modified());
        QCOMPARE(edited.size(), 0);
    }

    // The typed mark is a line feed only in a text field, and an edit under
    // a filter reaches the record its row shows.
    void edit_under_filter_changes_the_record_of_the_row()
    {
        PageFixture f(kNames, {{"one"}, {"two"}, {"three"}, {"four"}});
        f.db->SetShown(1, 0);
        f.db->SetShown(3, 0);
        f.Model().Refill();
        QCOMPARE(f.Shown(0), QStringList({FromUtf8("two"), FromUtf8("four")}));
        QVERIFY(f.Model().setData(f.Model().index(1, 1), FromUtf8("x¤y")));
        f.Grid().SetCellText(0, 1, FromUtf8("C¤D"));
        QCOMPARE(f.Field(4, 1) + "|" + f.Field(4, 2), std::string("C\nD|x\xA4y"));
        QCOMPARE(f.Field(2, 1), std::string("two"));
        QVERIFY(f.db->Modified());
        QCOMPARE(f.Model().index(1, 0).data().toString(), FromUtf8("C¤D"));
    }

    void refill_follows_the_filter_and_keeps_reversal()
    {
        PageFixture f(kNames, {{"one"}, {"two"}, {"three"}});
        f.Model().ReverseRows();
        f.db->SetShown(3, 0);
        f.db->SetFieldCount(3);
        f.Model().Refill();
        QCOMPARE(f.Shown(0), QStringList({FromUtf8("two"), FromUtf8("one")}));
        QCOMPARE(f.Model().columnCount(), 3);
        f.db->ShowAll();
        f.Model().ClearReversal();
        f.Model().Refill();
        QCOMPARE(f.Shown(0), QStringList({FromUtf8("one"), FromUtf8("two"), FromUtf8("three")}));
    }

    void columns_follow_field_types()
    {
        PageFixture f(kShop, {{"Hex bolt", "250", "0.12", "B2", "1", "03 feb 2001"}});
        QCOMPARE(f.Grid().objectName(), FromUtf8("Grid2"));
        QCOMPARE(f.Grid().Column(3)->ComboItems, QStringList({FromUtf8("A1"), FromUtf8("B2")}));
        const TGridColumn& box = *f.Grid().Column(4);
        QCOMPARE(box.CheckedValue() + box.UncheckedValue(), FromUtf8("10"));
        QCOMPARE(f.Grid().Column(2)->CellHorzAlign, THorzAlign::Right);
        QList<TColumnKind> kinds;
        for (int col = 0; col < 6; ++col)
            kinds << f.Grid().Column(col)->ColumnKind;
        QCOMPARE(kinds, (QList<TColumnKind>{TColumnKind::Text, TColumnKind::Integer, TColumnKind::Float,
                                            TColumnKind::List, TColumnKind::CheckBox, TColumnKind::Text}));
        QSignalSpy edited(&f.page, &TDatabasePage::DatabaseEdited);
        QTest::mouseClick(f.Grid().viewport(), Qt::LeftButton, {}, f.Centre(0, 4));
        QCOMPARE(f.Field(1, 5), std::string("0"));
        QVERIFY(f.db->Modified());
        QCOMPARE(edited.size(), 1);
        f.page.SetColumnWidths({200, 64, 64, 200});  // a filled list column is narrowed
        f.page.RefreshView();
        QCOMPARE(f.Grid().columnWidth(0) * 1000 + f.Grid().columnWidth(3), 200000 + kMaxListColumnWidth);
    }

    void long_text_edits_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("answer");  // to the warning; empty: none comes
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("set");  // a TCharset
        const QString b4100(4100, QLatin1Char('b'));
        const int western = int(TCharset::Windows1252);
        QTest::newRow("short") << FromUtf8("short") << FromUtf8("first\nsecond") << QString()
                               << FromUtf8("first\nsecond") << western;
        QTest::newRow("truncate") << QString(100, QLatin1Char('a')) << b4100 << FromUtf8("YesToAll")
                                  << QString(4000, QLatin1Char('b')) << western;
        QTest::newRow("leave") << FromUtf8("old") << b4100 << FromUtf8("All") << b4100 << western;
        QTest::newRow("re-edit, then cancel")
            << FromUtf8("old") << QString(4001, QLatin1Char('b')) << FromUtf8("NoToAll") << FromUtf8("old") << western;
        QTest::newRow("already too long") << QString(4500, QLatin1Char('a')) << QString(4600, QLatin1Char('b'))
                                          << QString() << QString(4600, QLatin1Char('b')) << western;
        // The limit is in bytes, two for each of these.
        QTest::newRow("Shift-JIS truncated between characters")
            << FromUtf8("old") << QString(2001, QChar(0x3042)) << FromUtf8("YesToAll") << QString(2000, QChar(0x3042))
            << int(TCharset::ShiftJis);
    }
    void long_text_edits()
    {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, answer);
        QFETCH(QString, stored);
        QFETCH(int, set);
        const auto bytes = [set](const QString& text) { return FromQString(text, TCharset(set)).value(); };
        PageFixture f(kShop, {{bytes(before)}, {"other"}});
        f.db->SetCharset(TCharset(set));
        QString warning, defaultButton = FromUtf8("(none)");
        QStringList captions;
        AnswerEditor(typed);
        if (!answer.isEmpty())
            AnswerWarning(warning, defaultButton, answer, &captions);
        if (answer == FromUtf8("NoToAll"))
            AnswerButton(FromUtf8("CancelBtn"));           // the editor, opened again
        QueueModalAnswer([](QDialog& d) { d.reject(); });  // none comes
        f.DoubleClick(0, 0);
        QCOMPARE(QueuedModalAnswers(), 1);
        ClearModalAnswers();
        QCOMPARE(f.Field(1, 1), bytes(stored));
        QCOMPARE(f.db->Modified(), stored != before);
        if (answer.isEmpty()) {
            QCOMPARE(defaultButton, FromUtf8("(none)"));
            return;
        }
        QCOMPARE(warning, FromUtf8("String has become too long to save in pre-5.5 JFile Format (len = %1, "
                                   "max=4000 characters)")
                              .arg(bytes(typed).size()));
        QCOMPARE(defaultButton, FromUtf8("NoToAll"));
        QCOMPARE(captions,
                 QStringList({FromUtf8("Re-edit"), FromUtf8("Truncate"), FromUtf8("Leave"), FromUtf8("&Cancel")}));
        if (answer != FromUtf8("All"))
            return;
        AnswerEditor(QString(4200, QLatin1Char('c')));  // Leave, once chosen, is the default
        AnswerWarning(warning, defaultButton, FromUtf8("Cancel"));
        f.DoubleClick(1, 0);
        QCOMPARE(defaultButton, FromUtf8("All"));
        QCOMPARE(f.Field(2, 1), std::string("other"));
    }

    void calendar_opens_only_on_a_long_date_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");  // invalid: no calendar opens
        QTest::newRow("lower-case month") << FromUtf8("03 feb 2001") << QDate(2001, 2, 3);
        QTest::newRow("leap day") << FromUtf8("29 Feb 2000") << QDate(2000, 2, 29);
        QTest::newRow("the day of date value 0") << FromUtf8("30 DEC 1899") << QDate(1899, 12, 30);
        QTest::newRow("one-digit day") << FromUtf8("3 Feb 2001") << QDate();
        QTest::newRow("no such day") << FromUtf8("30 Feb 2001") << QDate();
        QTest::newRow("not a leap year") << FromUtf8("29 Feb 1900") << QDate();
        QTest::newRow("unknown month") << FromUtf8("03 Fbr 2001") << QDate();
        QTest::newRow("empty") << QString() << QDate();
    }
    void calendar_opens_only_on_a_long_date()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        PageFixture f(kShop, {{"x", "", "", "", "", *FromQString(text, TCharset::Windows1252)}});
        QDate opened;
        QueueModalAnswer([&opened](QDialog& d) {
            auto* form = dynamic_cast<TCalForm*>(&d);
            opened = form ? form->Date() : QDate(1, 1, 1);
            if (form)
                form->SetDate(QDate(2001, 2, 10));
            form ? d.accept() : d.reject();
        });
        f.Grid().setCurrentIndex(f.Model().index(0, 5));
        f.page.GridDblClick();
        ClearModalAnswers();
        QCOMPARE(opened, date);
        QCOMPARE(f.Field(1, 6),
                 date.isValid() ? std::string("10 Feb 2001") : *FromQString(text, TCharset::Windows1252));
    }

    void typing_into_a_list_cell_stores_one_of_its_values_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("keys");  // "-": select all and delete
        QTest::addColumn<QString>("after");
        QTest::newRow("prefix in any case") << QString() << FromUtf8("b") << FromUtf8("B2");
        QTest::newRow("a key matching no value is refused") << QString() << FromUtf8("a1x") << FromUtf8("A1");
        QTest::newRow("a key past a value starts anew") << QString() << FromUtf8("A1B") << FromUtf8("B2");
        QTest::newRow("outside value kept") << FromUtf8("Z9") << QString() << FromUtf8("Z9");
        QTest::newRow("outside value replaced") << FromUtf8("Z9") << FromUtf8("a") << FromUtf8("A1");
        QTest::newRow("emptied") << FromUtf8("B2") << FromUtf8("-") << QString();
    }
    void typing_into_a_list_cell_stores_one_of_its_values()
    {
        QFETCH(QString, stored);
        QFETCH(QString, keys);
        PageFixture f(kShop, {{"x", "", "", *FromQString(stored, TCharset::Windows1252), "", ""}});
        const QModelIndex cell = f.Model().index(0, 3);
        f.Grid().setCurrentIndex(cell);
        QTest::keyClick(&f.Grid(), Qt::Key_F2);  // moving there opens nothing
        auto* combo = qobject_cast<TListCombo*>(f.Grid().indexWidget(cell));
        QVERIFY(combo);
        QCOMPARE(combo->count(), 3);  // the values and the empty one
        QCOMPARE(combo->currentText(), stored);
        if (keys == FromUtf8("-")) {
            QTest::keyClick(combo, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(combo, Qt::Key_Delete);
        } else {
            QTest::keyClicks(combo, keys);
        }
        f.Grid().setCurrentIndex(f.Model().index(0, 0));  // leaving the cell stores it
        QTEST(ToQString(f.Field(1, 4), TCharset::Windows1252), "after");
        QCOMPARE(f.db->Modified(), !keys.isEmpty());
    }

    void wide_titles_are_shortened_with_dots()
    {
        PageFixture f(kShop, {{"x", "", "", "", "", ""}});
        auto* header = qobject_cast<TGridHeader*>(f.Grid().horizontalHeader());
        QVERIFY(header);
        TGridColumn column = *f.Grid().Column(0);
        column.Title = FromUtf8("Name of the item on the shelf");
        column.Width = 80;
        f.Grid().SetColumn(0, column);
        QCOMPARE(header->sectionSize(0), 80);
        const QString shown = header->ShownTitle(0);
        QVERIFY2(shown.endsWith(FromUtf8("...")) && shown.size() > 3, qPrintable(shown));
        QVERIFY(QFontMetrics(header->font()).horizontalAdvance(shown) <= 80 - 4);
        QCOMPARE(header->ShownTitle(1), FromUtf8("Qty"));
    }

    void edit_after_sort_makes_the_next_click_sort_again()
    {
        PageFixture f({{"Name", TFieldType::String, {}}}, {{"b"}, {"c"}, {"a"}, {"d"}});
        f.db->SetShown(1, 0);
        f.page.RefreshView();
        ClickHeader(f.Grid(), 0);  // nothing sorted yet: the first column sorts too; "b" stays hidden
        QCOMPARE(f.Shown(0), QStringList({FromUtf8("a"), FromUtf8("c"), FromUtf8("d")}));
        QCOMPARE(f.Field(2, 1) + std::to_string(f.db->GetShown(2)), std::string("b0"));
        f.Grid().SetCellText(0, 0, FromUtf8("z"));
        ClickHeader(f.Grid(), 0);
        QCOMPARE(f.Shown(0), QStringList({FromUtf8("c"), FromUtf8("d"), FromUtf8("z")}));
    }

    void dragging_column_zero_to_two_moves_the_field()
    {
        PageFixture f(
            {{"Name", TFieldType::String, {}}, {"Town", TFieldType::String, {}}, {"Flag", TFieldType::Boolean, {}}},
            {{"ann", "Oslo", "1"}});
        f.page.SetColumnWidths({120, 70, 50});
        QSignalSpy edited(&f.page, &TDatabasePage::DatabaseEdited);
        QHeaderView* header = f.Grid().horizontalHeader();
        header->moveSection(0, 2);  // what a drag of the first title does
        QCOMPARE(f.db->GetFieldName(3) + f.db->GetFieldName(1), std::string("NameTown"));
        QCOMPARE(f.Field(1, 3), std::string("ann"));
        QCOMPARE(header->visualIndex(0), 0);
        QCOMPARE(f.Grid().Column(2)->Title, FromUtf8("Name"));
        QCOMPARE(f.Grid().Column(1)->ColumnKind, TColumnKind::CheckBox);
        QCOMPARE(f.page.ColumnWidths(), (std::vector<int>{70, 50, 120}));
        QCOMPARE(header->sectionSize(2), 120);
        QCOMPARE(edited.size(), 1);
    }

    // Keys and clicks move the current cell and open no editor, so the next
    // arrow still moves between cells and nothing is stored.
    void moving_the_current_cell_opens_no_editor()
    {
        PageFixture f(kMoves, kMoveRows);
        f.page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.page));
        TExtendedGrid& grid = f.Grid();
        grid.setFocus();
        grid.setCurrentIndex(f.Model().index(0, 0));
        const auto key = [&](int k, Qt::KeyboardModifiers mods = {}) {
            return [&grid, k, mods] { QTest::keyClick(&grid, Qt::Key(k), mods); };
        };
        const int kAnyRow = -1;  // a sort moves the rows
        const struct {
            const char* step;
            std::function<void()> act;
            int row, col;
        } steps[] = {
            {"Ctrl+End onto an empty whole number", key(Qt::Key_End, Qt::ControlModifier), 2, 2},
            {"Up", key(Qt::Key_Up), 1, 2},
            {"Left onto an empty date", key(Qt::Key_Left), 1, 1},
            {"Tab", key(Qt::Key_Tab), 1, 2},
            {"Home", key(Qt::Key_Home), 1, 0},
            {"click on a date", [&] { QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, f.Centre(0, 1)); }, 0, 1},
            {"header click on the whole numbers", [&] { ClickHeader(grid, 2); }, kAnyRow, 2},
            {"Ctrl+Home", key(Qt::Key_Home, Qt::ControlModifier), 0, 0},
            {"Down", key(Qt::Key_Down), 1, 0},
            {"Right onto a date", key(Qt::Key_Right), 1, 1},
        };
        for (const auto& s : steps) {
            s.act();
            const QModelIndex current = grid.currentIndex();
            QVERIFY2(!grid.indexWidget(current) && QApplication::focusWidget() == &grid, s.step);
            QCOMPARE(std::pair(s.row == kAnyRow ? s.row : current.row(), current.column()), std::pair(s.row, s.col));
        }
        // The header click sorted the records; none of their values changed.
        QStringList records;
        for (int r = 1; r <= f.db->RecordCount(); ++r)
            records << ToQString(f.db->GetCell(r, 1) + "|" + f.db->GetCell(r, 2) + "|" + f.db->GetCell(r, 3),
                                 TCharset::Windows1252);
        records.sort();
        QCOMPARE(records,
                 (QStringList{FromUtf8("bolt|02/02/2024|3"), FromUtf8("nut||12"), FromUtf8("pin|01/01/2001|")}));
    }

    // An open editor: Up and Down store and move a row, Left and Right move a
    // cell only from the text's ends, Alt+Enter ends a number as Enter does.
    void keys_in_an_open_editor()
    {
        const struct {
            const char* name;
            int row, col;
            const char* typed;  // opens the editor; empty: F2, text selected
            std::vector<QKeyCombination> keys;
            int endRow, endCol;
            const char* stored;  // the cell typed in, afterwards
            bool open;
        } cases[] = {
            {"Down stores a number and moves", 0, 2, "7", {Qt::Key_Down}, 1, 2, "7", false},
            {"Up stores a text and moves", 1, 0, "x", {Qt::Key_Up}, 0, 0, "x", false},
            {"Right at the end", 0, 0, "ab", {Qt::Key_Right}, 0, 1, "ab", false},
            {"Left at the start", 0, 2, "5", {Qt::Key_Home, Qt::Key_Left}, 0, 1, "5", false},
            {"Left inside moves the caret", 0, 0, "ab", {Qt::Key_Left}, 0, 0, "bolt", true},
            {"Right on a selected text keeps the cell", 0, 0, "", {Qt::Key_Right}, 0, 0, "bolt", true},
            {"an empty number opens empty", 2, 2, "", {Qt::Key_Up}, 1, 2, "", false},
            {"an empty date opens empty", 1, 1, "", {Qt::Key_Down}, 2, 1, "", false},
            {"Alt+Enter in a number ends the edit", 0, 2, "8", {Qt::AltModifier | Qt::Key_Return}, 0, 2, "8", false},
        };
        for (const auto& c : cases) {
            PageFixture f(kMoves, kMoveRows);
            f.page.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&f.page));
            TExtendedGrid& grid = f.Grid();
            grid.setFocus();
            grid.setCurrentIndex(f.Model().index(c.row, c.col));
            if (c.typed[0]) {
                QTest::keyClicks(&grid, FromUtf8(c.typed).left(1));
                QTest::keyClicks(QApplication::focusWidget(), FromUtf8(c.typed + 1));
            } else {
                QTest::keyClick(&grid, Qt::Key_F2);
            }
            QVERIFY2(grid.indexWidget(grid.currentIndex()), c.name);
            for (QKeyCombination k : c.keys)
                QTest::keyClick(QApplication::focusWidget(), k.key(), k.keyboardModifiers());
            QCoreApplication::processEvents();  // Enter commits queued
            const QModelIndex current = grid.currentIndex();
            QCOMPARE(std::pair(current.row(), current.column()), std::pair(c.endRow, c.endCol));
            QCOMPARE(bool(grid.indexWidget(current)), c.open);
            QCOMPARE(f.Model().CellText(c.row, c.col), FromUtf8(c.stored));
        }
    }

    void failed_edit_is_shown_once()
    {
        PageFixture f(kShop, {{"a"}, {"b"}});
        QString shown;
        AnswerMessage(shown);
        f.db->SetRecordCount(1);  // row 1 names a record that is gone
        f.Grid().SetCellText(0, 1, FromUtf8("x"));
        QCoreApplication::sendPostedEvents();  // the message comes queued, after the edit
        QCOMPARE(QueuedModalAnswers(), 0);
        QCOMPARE(shown, FromUtf8("SetCell: Record index out of range (2) at GridSetEditText"));
    }
};

QTEST_MAIN(GridViewTest)
#include "grid_view_test.moc"
