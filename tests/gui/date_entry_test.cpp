// Dates, times and numbers typed into the grid and into the list and record
// views, key by key as a person types them: what reaches the database, what
// the views then show and what the saved file holds; a text that is no value
// of the field's kind is refused with a message, stores nothing and stays in
// its editor for correction.
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "record_list_model.h"
#include "record_panel.h"
#include "text_convert.h"

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

// Record 1 has values in the columns' forms, record 2 none.
const std::vector<FieldSpec> kFields = {{"Item", TFieldType::String, {}}, {"Day", TFieldType::Date, {}},
                                        {"At", TFieldType::Time, {}},     {"Due", TFieldType::IntDate, {}},
                                        {"Qty", TFieldType::Integer, {}}, {"Price", TFieldType::Float, {}}};
const Rows kRows = {{"bolt", "02/02/2024", "09:30", "01 Jan 1980", "3", "2.50"}, {"nut", "", "", "", "", ""}};

}  // namespace

class DateEntryTest : public GuiCase {
    Q_OBJECT

    // One typed value: the cell (field, record) it goes into and the text
    // stored; an empty `refusal` means it is taken. A refused text stays in
    // its editor, where `correction` (when given) replaces it.
    void AddCases()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("correction");
        const struct {
            const char* name;
            int field, record;
            const char *typed, *stored, *refusal, *correction;
        } cases[] = {
            {"short date into an empty cell", 2, 2, "7/3/2024", "07/03/2024", "", ""},
            {"hours and minutes into an empty cell", 3, 2, "07:45", "07:45", "", ""},
            {"international date", 4, 1, "7 mar 2024", "07 Mar 2024", "", ""},
            {"no such day", 2, 1, "31/02/2024", "02/02/2024",
             "\"31/02/2024\" is not a date. Type the day, month and year, as in 07/03/2024.", ""},
            {"no such day, corrected", 4, 1, "31 Feb 2024", "29 Feb 2024",
             "\"31 Feb 2024\" is not a date. Type the day, month and year, as in 07 Mar 2024.", "29 feb 2024"},
            {"a decimal as typed", 6, 2, "1.5", "1.5", "", ""},
            {"negative whole number", 5, 1, "-7", "-7", "", ""},
            {"decimal comma, corrected", 6, 1, "1,5", "1.5",
             "\"1,5\" is not a number. Type it with a point, as in 1.5.", "1.5"},
            {"twelve digits", 5, 2, "123456789012", "",
             "\"123456789012\" is outside the range of this field. Type a whole number from -2147483648 to "
             "2147483647.",
             ""},
        };
        for (const auto& c : cases)
            QTest::newRow(c.name) << c.field << c.record << FromUtf8(c.typed) << FromUtf8(c.stored)
                                  << FromUtf8(c.refusal) << FromUtf8(c.correction);
    }

    std::unique_ptr<TMainForm> Open()
    {
        return StartMainForm({PathToQString(Db("stock.pdb", "Stock", kFields, kRows))});
    }

    // The grid commits an edit after its key event, and a refusal shows its
    // message after that commit: both wait for the event loop.
    static QString TakeMessage(bool expected)
    {
        QString message;
        if (expected)
            AnswerMessage(message);
        for (int round = 0; round < 3; ++round)
            QCoreApplication::processEvents();
        return message;
    }

    // Saves under the same title and reads the file back.
    static std::string SavedCell(TMainForm& form, int record, int field)
    {
        AnswerInputLine(FromUtf8("Stock"));
        form.Action("SaveBtn")->trigger();
        return OpenReadOnly<TJFILE>(form.Tabs()->CurrentDB()->FileName)->GetCell(record, field);
    }

private slots:
    void typed_into_the_grid_data() { AddCases(); }
    void typed_into_the_grid()
    {
        QFETCH(int, field);
        QFETCH(int, record);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, refusal);
        QFETCH(QString, correction);
        auto form = Open();
        TDatabasePage& page = *form->Tabs()->Page(0);
        TExtendedGrid* grid = page.Grid();
        const QModelIndex cell = page.Model()->index(record - 1, field - 1);
        QVERIFY(TypeIntoCell(*grid, cell, typed));
        QCOMPARE(TakeMessage(!refusal.isEmpty()), refusal);
        if (!refusal.isEmpty()) {
            // The cell's editor is open again, holding what was typed.
            auto* again = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
            QVERIFY(again);
            QCOMPARE(again->text(), typed);
            if (!correction.isEmpty()) {  // typed over the text, selected as in a fresh editor
                QTest::keyClicks(again, correction);
                QTest::keyClick(again, Qt::Key_Return);
                QCOMPARE(TakeMessage(false), QString());
            }
        }
        QCOMPARE(ToQString(form->Tabs()->CurrentDB()->GetCell(record, field), TCharset::Windows1252), stored);
        QCOMPARE(page.Model()->data(cell).toString(), stored);
        QCOMPARE(ToQString(SavedCell(*form, record, field), TCharset::Windows1252), stored);
    }

    void typed_into_the_list_and_record_views_data() { AddCases(); }
    void typed_into_the_list_and_record_views()
    {
        QFETCH(int, field);
        QFETCH(int, record);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, refusal);
        QFETCH(QString, correction);
        // The list view's line is left with Tab; in the record view a command
        // (Add, here) or Page Down comes while the line still has the focus.
        for (const int view : {1, 2, 3}) {
            auto form = Open();
            // Focus, which these commits follow, belongs to the active window.
            form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
            form->Action(view == 1 ? "ListBtn" : "RecBtn")->trigger();
            TDatabasePage& page = *form->Tabs()->Page(0);
            TRecordPanel& panel = *page.EditPanel();
            if (view == 1)
                page.ListBox()->setCurrentIndex(page.ListModel()->index(record - 1, 0));
            else
                panel.ShowRow(record - 1);
            auto* line = qobject_cast<QLineEdit*>(panel.Editor(field));
            QVERIFY(line);
            // An empty value shows as an empty line, a stored one as it is.
            QCOMPARE(line->text(), ToQString(kRows[size_t(record - 1)][size_t(field - 1)], TCharset::Windows1252));
            line->setFocus();
            line->selectAll();
            QTest::keyClicks(line, typed);
            QString message;
            if (!refusal.isEmpty())
                AnswerMessage(message);
            const auto leave = [&] {
                if (view == 1)
                    QTest::keyClick(line, Qt::Key_Tab);
                else if (view == 2)
                    form->Action("AddBtn")->trigger();
                else
                    QTest::keyClick(line, Qt::Key_PageDown);
                QCoreApplication::processEvents();
            };
            leave();
            QCOMPARE(message, refusal);
            if (view == 3)  // a refused value keeps its record shown
                QCOMPARE(panel.CurrentRow(), refusal.isEmpty() ? record % 2 : record - 1);
            if (!refusal.isEmpty()) {
                QCOMPARE(line->text(), typed);                          // kept for correction
                QCOMPARE(form->Tabs()->CurrentDB()->RecordCount(), 2);  // Add waits for it
                // The window is active again once the message has gone.
                form->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(form.get()));
                QCOMPARE(QApplication::focusWidget(), line);
                if (!correction.isEmpty()) {
                    QTest::keyClicks(line, correction);
                    leave();
                }
            }
            QCOMPARE(ToQString(form->Tabs()->CurrentDB()->GetCell(record, field), TCharset::Windows1252), stored);
            panel.ShowRow(record - 1);
            QCOMPARE(line->text(), stored);
            QCOMPARE(ToQString(SavedCell(*form, record, field), TCharset::Windows1252), stored);
        }
    }

    // Alt+Enter and Shift+Enter break a text cell's line; the file holds a
    // line feed there, as another program reads it.
    void line_breaks_typed_in_a_text_cell_are_saved_as_line_feeds()
    {
        for (const Qt::KeyboardModifier mod : {Qt::AltModifier, Qt::ShiftModifier}) {
            auto form = Open();
            form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
            TExtendedGrid& grid = *form->Tabs()->Page(0)->Grid();
            grid.setFocus();
            grid.setCurrentIndex(grid.model()->index(0, 0));
            QTest::keyClicks(&grid, FromUtf8("a"));
            QWidget* editor = QApplication::focusWidget();
            QVERIFY(editor != &grid);
            QTest::keyClick(editor, Qt::Key_Return, mod);
            QTest::keyClicks(editor, FromUtf8("b"));
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();  // Enter commits queued
            SavedCell(*form, 1, 1);
            QProcess cli;
            cli.start(FromUtf8(QUORVIL_CLI), {FromUtf8("info"), PathToQString(form->Tabs()->CurrentDB()->FileName),
                                              FromUtf8("--json"), FromUtf8("--records")});
            QVERIFY(cli.waitForFinished(30000));
            const QJsonObject info = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
            QCOMPARE(info.value(FromUtf8("records")).toArray().at(0).toArray().at(0).toString(), FromUtf8("a\nb"));
        }
    }
};

QTEST_MAIN(DateEntryTest)
#include "date_entry_test.moc"
