// Undo and redo of the editor's changes, and databases dropped on the window.
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "database_undo.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "message_dialog.h"
#include "modal.h"
#include "record_panel.h"
#include "text_convert.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUndoStack>
#include <QUrl>

using namespace quorvil;
using namespace quorvil::test;

namespace {

using Table = Rows;

const std::vector<FieldSpec> kFields = {{"Name", kTypeString, {}}, {"Colour", kTypeList, {"Red", "Green"}}};
const Table kRows = {{"pear", "Green"}, {"car", "Red"}, {"tree", "Green"}};

void Trigger(TMainForm& form, const char* action)
{
    QAction* a = form.Action(action);
    QVERIFY2(a && a->isEnabled(), action);
    a->trigger();
}

}  // namespace

class UndoTest : public GuiCase {
    Q_OBJECT

    std::unique_ptr<TMainForm> Start(const QStringList& arguments) { return StartMainForm(arguments); }
    QString Db(const char* fileName) { return PathToQString(GuiCase::Db(fileName, "Things", kFields, kRows)); }

private slots:

    void undoingEveryChangeReturnsToTheLoadedDatabaseAndRedoReappliesIt()
    {
        auto form = Start({Db("things.PDB")});
        TDataBase& db = *form->Tabs()->CurrentDB();
        TDatabasePage& page = *form->Tabs()->Page(0);
        TDatabaseModel& model = *page.Model();
        const std::vector<std::pair<const char*, std::function<void()>>> changes = {
            {"edit a cell", [&] { model.setData(model.index(1, 0), FromUtf8("bus")); }},
            {"add a record", [&] { Trigger(*form, "AddBtn"); }},
            {"delete a record",
             [&] {
                 page.Grid()->setCurrentIndex(model.index(0, 1));
                 AnswerButton(FromUtf8("Yes"));
                 Trigger(*form, "DelBtn");
             }},
            {"sort by a header", [&] { page.HeaderClick(0); }},
            {"move a field", [&] { page.GridColumnMoved(0, 1); }},
            {"move a record", [&] {
                 page.Grid()->setCurrentIndex(model.index(2, 0));
                 page.MoveSelection(-1);
             }},
        };
        page.SetColumnWidths({111, 99});
        const std::vector<int> widths = page.ColumnWidths();
        std::vector<Table> states{ContentAndShown(db)};
        for (const auto& [name, change] : changes) {
            change();
            states.push_back(ContentAndShown(db));
            QVERIFY2(states.back() != states[states.size() - 2], name);
            QVERIFY(db.Modified);
        }
        for (size_t k = changes.size(); k > 0; --k) {
            Trigger(*form, "UndoItem");
            QVERIFY2(ContentAndShown(db) == states[k - 1], changes[k - 1].first);
            QCOMPARE(model.rowCount(), db.RecordCount());
        }
        QVERIFY(!db.Modified);
        QCOMPARE(page.ColumnWidths(), widths);  // the moved column came back with its field
        QVERIFY(!form->Action("UndoItem")->isEnabled());
        QVERIFY(!form->findChild<QLabel*>(FromUtf8("InfoPanel"))->text().contains(FromUtf8("modified")));
        for (size_t k = 1; k <= changes.size(); ++k) {
            Trigger(*form, "RedoItem");
            QVERIFY2(ContentAndShown(db) == states[k], changes[k - 1].first);
        }
        QVERIFY(db.Modified);
        QCOMPARE(form->Action("UndoItem")->text(), FromUtf8("&Undo Move records"));
    }

    void aSortThatMovesNoRecordIsNoChange()
    {
        const Table sorted = {{"car", "Red"}, {"pear", "Green"}, {"tree", "Green"}};
        auto form = Start({PathToQString(GuiCase::Db("sorted.PDB", "Things", kFields, sorted))});
        form->Tabs()->Page(0)->HeaderClick(0);
        QVERIFY(!form->Tabs()->CurrentDB()->Modified);
        QVERIFY(!form->Action("UndoItem")->isEnabled());
    }

    void undoAfterASaveMarksTheDatabaseModifiedAgain()
    {
        auto form = Start({Db("things.PDB")});
        TDataBase& db = *form->Tabs()->CurrentDB();
        TDatabaseModel& model = *form->Tabs()->Page(0)->Model();
        model.setData(model.index(0, 0), FromUtf8("plum"));
        AnswerInputLine(FromUtf8("Things"));
        Trigger(*form, "SaveBtn");
        QVERIFY(!db.Modified);
        Trigger(*form, "UndoItem");  // the save kept the history
        QCOMPARE(db.GetCell(1, 1), std::string("pear"));
        QVERIFY(db.Modified);
        Trigger(*form, "RedoItem");  // back at the saved state
        QVERIFY(!db.Modified);
        // An edit made after undoing past the save never counts as saved.
        Trigger(*form, "UndoItem");
        model.setData(model.index(0, 0), FromUtf8("fig"));
        QVERIFY(db.Modified);
        Trigger(*form, "UndoItem");
        QVERIFY(db.Modified);
    }

    void keystrokesInTheRecordViewUndoAsOneEdit()
    {
        auto form = Start({Db("things.PDB")});
        TDataBase& db = *form->Tabs()->CurrentDB();
        Trigger(*form, "RecBtn");
        form->activateWindow();  // shortcuts work in the active window only
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto* edit = qobject_cast<QLineEdit*>(form->Tabs()->Page(0)->EditPanel()->Editor(1));
        QVERIFY(edit);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, FromUtf8("fig"));
        QCOMPARE(db.GetCell(1, 1), std::string("fig"));
        // The key reaches the tab's history, not the editor's own.
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(db.GetCell(1, 1), std::string("pear"));
        QCOMPARE(edit->text(), FromUtf8("pear"));
        QVERIFY(!form->Action("UndoItem")->isEnabled());
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(db.GetCell(1, 1), std::string("fig"));
    }

    // Every move of a record of the largest database keeps a permutation of
    // all its records (256 KB): the history drops its oldest moves.
    void aLongHistoryOfTheLargestDatabaseStaysUnderItsBound()
    {
        Table rows(65535);
        for (size_t r = 0; r < rows.size(); ++r)
            rows[r] = {std::to_string(r + 1), "Red"};
        auto form = Start({PathToQString(GuiCase::Db("large.PDB", "Large", kFields, rows))});
        TDataBase& db = *form->Tabs()->CurrentDB();
        TDatabasePage& page = *form->Tabs()->Page(0);
        QUndoStack& stack = *page.UndoStack();
        const auto move = [&](int row, int delta) {
            page.Grid()->setCurrentIndex(page.Model()->index(row, 0));
            page.MoveSelection(delta);
        };
        for (int k = 0; k < 500; ++k)
            move(k % 2 == 0 ? 10 : 11, k % 2 == 0 ? 1 : -1);
        QCOMPARE(db.GetCell(11, 1), std::string("11"));
        QVERIFY(UndoBytes(stack) <= kUndoBytes);
        QVERIFY(stack.count() > 100 && stack.count() < 500);
        Trigger(*form, "UndoItem");
        QCOMPARE(db.GetCell(11, 1), std::string("12"));
        QCOMPARE(db.GetCell(12, 1), std::string("11"));
        // The loaded state dropped off: undoing all that is left never
        // reaches a state that counts as saved.
        while (stack.canUndo())
            stack.undo();
        QVERIFY(db.Modified);
        QCOMPARE(db.GetCell(11, 1), std::string("11"));

        // A save the history still reaches stays the saved state while the
        // oldest moves drop.
        for (int k = 0; k < 300; ++k)
            move(k % 2 == 0 ? 10 : 11, k % 2 == 0 ? 1 : -1);
        AnswerInputLine(FromUtf8("Large"));
        Trigger(*form, "SaveBtn");
        QVERIFY(!db.Modified);
        for (int k = 0; k < 100; ++k)
            move(k % 2 == 0 ? 10 : 11, k % 2 == 0 ? 1 : -1);
        QVERIFY(db.Modified);
        for (int k = 0; k < 100; ++k)
            stack.undo();
        QVERIFY(!db.Modified);
        QVERIFY(UndoBytes(stack) <= kUndoBytes);
    }

    void droppedFilesAndFoldersOpenInTheFreeTabsUpToEight()
    {
        auto form = Start({Db("first.PDB")});
        Db("second.PDB");
        QDir(data_->path()).mkdir(FromUtf8("more"));
        QStringList more;
        for (int k = 1; k <= 9; ++k)
            more << PathToQString(MakeDatabase(data_->path() + FromUtf8("/more"), "m" + std::to_string(k) + ".PDB",
                                               "M", kFields, kRows));
        const auto drop = [&form](const QStringList& paths) {
            QMimeData data;
            QList<QUrl> urls;
            for (const QString& path : paths)
                urls << QUrl::fromLocalFile(path);
            data.setUrls(urls);
            // The window that accepts the drag is the one the drop goes to.
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form.get(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form.get(), &event);
        };
        drop({more[8], data_->path() + FromUtf8("/second")});  // a name without extension, as on the command line
        QCOMPARE(form->Tabs()->OpenCount(), 3);
        QCOMPARE(form->Tabs()->CurrentTab(), 1);
        QCOMPARE(form->Tabs()->tabText(1), FromUtf8("m9"));
        drop({data_->path() + FromUtf8("/more")});
        QCOMPARE(form->Tabs()->OpenCount(), 8);
        QCOMPARE(form->Tabs()->tabText(7), FromUtf8("m5"));
        QVERIFY(form->StatusPanel()->text().contains(FromUtf8("tabs are in use")));
        QVERIFY(form->Action("SaveBtn")->isEnabled());
    }
};

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
