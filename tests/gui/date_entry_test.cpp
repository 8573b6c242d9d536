// Dates and times typed into the grid and into the list and record views,
// key by key as a person types them: what reaches the database, what the
// views then show and what the saved file holds; a text that is no date or
// time is refused with a message and stores nothing.
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "date_time_edit.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "record_list_model.h"
#include "main_window.h"
#include "record_panel.h"
#include "text_convert.h"

#include <QAction>
#include <QApplication>
#include <QListView>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

// Record 1 has values in the columns' forms, record 2 none.
const std::vector<FieldSpec> kFields = {
    {"Item", kTypeString, {}}, {"Day", kTypeDate, {}}, {"At", kTypeTime, {}}, {"Due", kTypeIntDate, {}}};
const Rows kRows = {{"bolt", "02/02/2024", "09:30", "01 Jan 1980"}, {"nut", "", "", ""}};

}  // namespace

class DateEntryTest : public GuiCase {
    Q_OBJECT

    // One typed value: the cell (field, record) it goes into and the text
    // stored; an empty `refusal` means it is taken.
    void AddCases()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("four-digit date over a date") << 2 << 1 << FromUtf8("10/07/2023") << FromUtf8("10/07/2023") << QString();
        QTest::newRow("short date into an empty cell") << 2 << 2 << FromUtf8("7/3/2024") << FromUtf8("07/03/2024") << QString();
        QTest::newRow("hours and minutes into an empty cell") << 3 << 2 << FromUtf8("07:45") << FromUtf8("07:45") << QString();
        QTest::newRow("seconds kept") << 3 << 1 << FromUtf8("7:45:30") << FromUtf8("07:45:30") << QString();
        QTest::newRow("international date") << 4 << 1 << FromUtf8("7 mar 2024") << FromUtf8("07 Mar 2024") << QString();
        QTest::newRow("no such day") << 2 << 1 << FromUtf8("31/02/2024") << FromUtf8("02/02/2024")
                                     << FromUtf8("\"31/02/2024\" is not a date. Type the day, month and year, as in "
                                           "07/03/2024.");
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
    void typedIntoTheGrid_data() { AddCases(); }
    void typedIntoTheGrid()
    {
        QFETCH(int, field);
        QFETCH(int, record);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, refusal);
        auto form = Open();
        TDatabasePage& page = *form->Tabs()->Page(0);
        TExtendedGrid* grid = page.Grid();
        const QModelIndex cell = page.Model()->index(record - 1, field - 1);
        grid->setFocus();
        grid->setCurrentIndex(cell);
        // A date or time cell opens its line when it becomes current, its
        // text selected; in a text cell the first key opens the editor.
        QWidget* editor = grid->indexWidget(cell);
        QString rest = typed;
        if (!editor) {
            QTest::keyClicks(grid, typed.left(1));
            editor = grid->indexWidget(cell);
            rest = typed.mid(1);
        }
        QVERIFY(editor);
        QTest::keyClicks(editor, rest);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(TakeMessage(!refusal.isEmpty()), refusal);
        QCOMPARE(ToQString(form->Tabs()->CurrentDB()->GetCell(record, field)), stored);
        QCOMPARE(page.Model()->data(cell).toString(), stored);
        QCOMPARE(ToQString(SavedCell(*form, record, field)), stored);
    }

    void typedIntoTheListAndRecordViews_data() { AddCases(); }
    void typedIntoTheListAndRecordViews()
    {
        QFETCH(int, field);
        QFETCH(int, record);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, refusal);
        // The list view's line is left with Tab; in the record view a command
        // (Add, here) comes while the line still has the focus.
        for (const int view : {1, 2}) {
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
            auto* line = qobject_cast<TDateTimeEdit*>(panel.Editor(field));
            QVERIFY(line);
            // An empty value shows as an empty line, a stored one as it is.
            QCOMPARE(line->text(), ToQString(kRows[size_t(record - 1)][size_t(field - 1)]));
            line->setFocus();
            line->selectAll();
            QTest::keyClicks(line, typed);
            QString message;
            if (!refusal.isEmpty())
                AnswerMessage(message);
            if (view == 1)
                QTest::keyClick(line, Qt::Key_Tab);
            else
                form->Action("AddBtn")->trigger();
            QCoreApplication::processEvents();
            QCOMPARE(message, refusal);
            QCOMPARE(ToQString(form->Tabs()->CurrentDB()->GetCell(record, field)), stored);
            panel.ShowRow(record - 1);
            QCOMPARE(line->text(), stored);
            QCOMPARE(ToQString(SavedCell(*form, record, field)), stored);
        }
    }
};

QTEST_MAIN(DateEntryTest)
#include "date_entry_test.moc"
