// Undo and redo of the editor's changes, and databases dropped on the window.
#include "cli_helpers.h"
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "database_undo.h"
#include "definition_editor.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "local_clock.h"
#include "main_window.h"
#include "message_dialog.h"
#include "modal.h"
#include "note_edit.h"
#include "record_panel.h"
#include "replace_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>
#include <QUrl>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {{"Name", TFieldType::String, {}},
                                        {"Colour", TFieldType::List, {"Red", "Green"}}};
const Rows kRows = {{"pear", "Green"}, {"car", "Red"}, {"tree", "Green"}};

void Trigger(TMainForm& form, const char* action)
{
    QAction* a = form.Action(action);
    QVERIFY2(a && a->isEnabled(), action);
    a->trigger();
}

// Through Edit definition, by keys: Stock (an Integer) added after Name,
// Colour moved up before it, Name (which every record fills) deleted after
// the question, answered OK. What the question said goes to `question`.
void ReshapeFields(TMainForm& form, QString& question)
{
    QueueModalAnswer([&](QDialog& d) {
        auto& edit = dynamic_cast<TEditDB&>(d);
        // The buttons act on the field whose row has the focus.
        const auto press = [](QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); };
        d.activateWindow();
        edit.NameEdit(0)->setFocus();
        AnswerInputLine(FromUtf8("Stock"));
        press(edit.AddBtn());
        QTest::keyClick(edit.TypeBox(1), Qt::Key_I);  // INTEGER
        edit.NameEdit(2)->setFocus();
        press(edit.UpBtn());
        edit.NameEdit(0)->setFocus();
        AnswerMessage(question, ButtonName(TMsgButton::OK));
        press(edit.DelBtn());
        QTest::keyClick(edit.NameEdit(0), Qt::Key_Return);
    });
    Trigger(form, "EditBtn");
}

}  // namespace

class UndoTest : public GuiCase {
    Q_OBJECT

    std::unique_ptr<TMainForm> Start(const QStringList& arguments) { return StartMainForm(arguments); }
    QString Db(const char* fileName) { return PathToQString(GuiCase::Db(fileName, "Things", kFields, kRows)); }

private slots:

    void undoing_every_change_returns_to_the_loaded_database_and_redo_reapplies_it()
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
            {"add, move and delete fields",
             [&] {
                 QString question;
                 ReshapeFields(*form, question);
             }},
            {"move a record",
             [&] {
                 page.Grid()->setCurrentIndex(model.index(2, 0));
                 page.MoveSelection(-1);
             }},
        };
        page.SetColumnWidths({111, 99});
        const std::vector<int> widths = page.ColumnWidths();
        std::vector<Rows> states{ContentAndShown(db)};
        for (const auto& [name, change] : changes) {
            change();
            states.push_back(ContentAndShown(db));
            QVERIFY2(states.back() != states[states.size() - 2], name);
            QVERIFY(db.Modified());
        }
        for (size_t k = changes.size(); k > 0; --k) {
            Trigger(*form, "UndoItem");
            QVERIFY2(ContentAndShown(db) == states[k - 1], changes[k - 1].first);
            QCOMPARE(model.rowCount(), db.RecordCount());
        }
        QVERIFY(!db.Modified());
        QCOMPARE(page.ColumnWidths(), widths);  // the moved column came back with its field
        QVERIFY(!form->Action("UndoItem")->isEnabled());
        QVERIFY(!form->findChild<QLabel*>(FromUtf8("InfoPanel"))->text().contains(FromUtf8("modified")));
        for (size_t k = 1; k <= changes.size(); ++k) {
            Trigger(*form, "RedoItem");
            QVERIFY2(ContentAndShown(db) == states[k], changes[k - 1].first);
        }
        QVERIFY(db.Modified());
        QCOMPARE(form->Action("UndoItem")->text(), FromUtf8("&Undo Move records"));
    }

    // The new field's values, what the user typed into it and a saved sort
    // on a moved field reach the file; undo puts fields, values, widths and
    // the sort back.
    void fields_added_moved_and_deleted_reach_the_file_and_undo_restores_them()
    {
        const QString path = Db("fields.PDB");
        auto form = Start({path});
        TDataBase& db = *form->Tabs()->CurrentDB();
        TDatabasePage& page = *form->Tabs()->Page(0);
        db.SetSavedSort(1, "By colour", {2, 0, 0});
        page.SetColumnWidths({111, 99});
        const Rows before = Content(db);
        QString question;
        ReshapeFields(*form, question);
        QCOMPARE(question, FromUtf8("3 of 3 records hold a value in the field \"Name\". OK deletes the field with "
                                    "its values when the definition is changed; Cancel keeps it."));
        QCOMPARE(page.ColumnWidths(), (std::vector<int>{99, 150}));
        form->activateWindow();  // the dialog has gone
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QVERIFY(TypeIntoCell(*page.Grid(), page.Model()->index(1, 1), FromUtf8("7")));
        QApplication::processEvents();  // the delegate commits a line edit queued
        db.SaveWithName("Things");

        const CliResult info = RunBinary({"info", QStringToPath(path), "--json", "--records"});
        QCOMPARE(info.code, 0);
        const nlohmann::json saved = nlohmann::json::parse(info.out);
        QCOMPARE(saved["fields"][0]["name"].get<std::string>() + "," + saved["fields"][1]["name"].get<std::string>() +
                     "," + saved["fields"][1]["type_name"].get<std::string>(),
                 std::string("Colour,Stock,INTEGER"));
        QCOMPARE(QString::fromStdString(saved["records"].dump()),
                 FromUtf8(R"([["Green","0"],["Red","7"],["Green","0"]])"));
        QCOMPARE(saved["saved_sorts"][0]["fields"].dump(), std::string("[1,0,0]"));

        Trigger(*form, "UndoItem");  // the typed 7
        Trigger(*form, "UndoItem");
        QCOMPARE(Content(db), before);
        QCOMPARE(db.GetSavedSortField(1, 1), 2);
        QCOMPARE(page.ColumnWidths(), (std::vector<int>{111, 99}));
        Trigger(*form, "RedoItem");
        QCOMPARE(db.GetCell(2, 2) + db.GetFieldName(1), std::string("0Colour"));
    }

    void a_sort_that_moves_no_record_is_no_change()
    {
        const Rows sorted = {{"car", "Red"}, {"pear", "Green"}, {"tree", "Green"}};
        auto form = Start({PathToQString(GuiCase::Db("sorted.PDB", "Things", kFields, sorted))});
        form->Tabs()->Page(0)->HeaderClick(0);
        QVERIFY(!form->Tabs()->CurrentDB()->Modified());
        QVERIFY(!form->Action("UndoItem")->isEnabled());
    }

    void undo_after_a_save_marks_the_database_modified_again()
    {
        auto form = Start({Db("things.PDB")});
        TDataBase& db = *form->Tabs()->CurrentDB();
        TDatabaseModel& model = *form->Tabs()->Page(0)->Model();
        model.setData(model.index(0, 0), FromUtf8("plum"));
        AnswerInputLine(FromUtf8("Things"));
        Trigger(*form, "SaveBtn");
        QVERIFY(!db.Modified());
        Trigger(*form, "UndoItem");  // the save kept the history
        QCOMPARE(db.GetCell(1, 1), std::string("pear"));
        QVERIFY(db.Modified());
        Trigger(*form, "RedoItem");  // back at the saved state
        QVERIFY(!db.Modified());
        // An edit made after undoing past the save never counts as saved.
        Trigger(*form, "UndoItem");
        model.setData(model.index(0, 0), FromUtf8("fig"));
        QVERIFY(db.Modified());
        Trigger(*form, "UndoItem");
        QVERIFY(db.Modified());
    }

    void keystrokes_in_the_record_view_undo_as_one_edit()
    {
        auto form = Start({Db("things.PDB")});
        TDataBase& db = *form->Tabs()->CurrentDB();
        Trigger(*form, "RecBtn");
        form->activateWindow();  // shortcuts work in the active window only
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto* edit = qobject_cast<TNoteEdit*>(form->Tabs()->Page(0)->EditPanel()->Editor(1));
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

    // Typed by key in the grid and in the record view, with a fixed clock.
    void an_edit_stamps_its_records_modification_date_and_time_in_one_undo_step_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::newRow("grid") << 0 << 1 << FromUtf8("fig") << FromUtf8("fig|14/03/2025|09:26");
        QTest::newRow("record view") << 2 << 1 << FromUtf8("fig") << FromUtf8("fig|14/03/2025|09:26");
        QTest::newRow("replace") << 3 << 1 << FromUtf8("fig") << FromUtf8("fig|14/03/2025|09:26");
    }
    void an_edit_stamps_its_records_modification_date_and_time_in_one_undo_step()
    {
        QFETCH(int, view);
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        const TFixedClock clock({{2025, 3, 14}, {9, 26, 53}});
        const std::vector<FieldSpec> fields = {
            {"Name", TFieldType::String, {}}, {"Changed", TFieldType::ModDate, {}}, {"At", TFieldType::ModTime, {}}};
        auto form = Start({PathToQString(GuiCase::Db(
            "stamped.PDB", "Stamped", fields, {{"pear", "02/01/2020", "08:00"}, {"car", "02/01/2020", "08:00"}}))});
        form->activateWindow();  // shortcuts work in the active window only
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        TDataBase& db = *form->Tabs()->CurrentDB();
        TDatabasePage& page = *form->Tabs()->Page(0);
        const auto record = [&](int r) {
            return ToQString(db.GetCell(r, 1) + "|" + db.GetCell(r, 2) + "|" + db.GetCell(r, 3), TCharset::Windows1252);
        };
        QWidget* keys = nullptr;  // where the undo keys go
        if (view == 3) {
            AnswerAfter(
                [&](QDialog& d) {
                    auto& replace = static_cast<TReplaceForm&>(d);
                    QTest::keyClicks(replace.SearchFor(), FromUtf8("pear"));
                    QTest::keyClicks(replace.ReplaceWith(), typed);
                    replace.Prompt()->setChecked(false);
                },
                FromUtf8("OkBtn"));
            QString summary;
            AnswerMessage(summary);
            keys = page.Grid();
            keys->setFocus();
            QTest::keyClick(keys, Qt::Key_H, Qt::ControlModifier);
            QCOMPARE(summary, FromUtf8("One replacement was performed..."));
            QCOMPARE(page.Model()->CellText(0, 1), FromUtf8("14/03/2025"));
            QVERIFY(form->Action("UndoItem")->isEnabled());
            form->activateWindow();  // back from the dialogs
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
        } else if (view == 0) {
            TExtendedGrid* grid = page.Grid();
            QVERIFY(TypeIntoCell(*grid, page.Model()->index(0, field - 1), typed));
            QApplication::processEvents();  // the delegate commits a line edit queued
            QCOMPARE(page.Model()->CellText(0, 1) + u'|' + page.Model()->CellText(0, 2), after.section(u'|', 1));
            keys = grid;
        } else {
            Trigger(*form, "RecBtn");
            auto* edit = qobject_cast<TNoteEdit*>(page.EditPanel()->Editor(field));
            QVERIFY(edit);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, typed);
            auto* changed = qobject_cast<QLineEdit*>(page.EditPanel()->Editor(2));
            QVERIFY(changed);
            QCOMPARE(changed->text(), after.section(u'|', 1, 1));
            keys = edit;
        }
        QCOMPARE(record(1), after);
        QCOMPARE(record(2), FromUtf8("car|02/01/2020|08:00"));
        QTest::keyClick(keys, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(record(1), FromUtf8("pear|02/01/2020|08:00"));
        QVERIFY(!form->Action("UndoItem")->isEnabled());  // the keystrokes and the stamps were one step
        QTest::keyClick(keys, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(record(1), after);
    }

    // Every move of a record of the largest database keeps a permutation of
    // all its records (256 KB): the history drops its oldest moves.
    void a_long_history_of_the_largest_database_stays_under_its_bound()
    {
        Rows rows(65535);
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
        QVERIFY(db.Modified());
        QCOMPARE(db.GetCell(11, 1), std::string("11"));

        // A save the history still reaches stays the saved state while the
        // oldest moves drop.
        for (int k = 0; k < 300; ++k)
            move(k % 2 == 0 ? 10 : 11, k % 2 == 0 ? 1 : -1);
        AnswerInputLine(FromUtf8("Large"));
        Trigger(*form, "SaveBtn");
        QVERIFY(!db.Modified());
        for (int k = 0; k < 100; ++k)
            move(k % 2 == 0 ? 10 : 11, k % 2 == 0 ? 1 : -1);
        QVERIFY(db.Modified());
        for (int k = 0; k < 100; ++k)
            stack.undo();
        QVERIFY(!db.Modified());
        QVERIFY(UndoBytes(stack) <= kUndoBytes);
    }

    void dropped_files_and_folders_open_in_the_free_tabs_up_to_eight()
    {
        auto form = Start({Db("first.PDB")});
        Db("second.PDB");
        QDir(data_->path()).mkdir(FromUtf8("more"));
        QStringList more;
        for (int k = 1; k <= 9; ++k)
            more << PathToQString(
                MakeDatabase(data_->path() + FromUtf8("/more"), "m" + std::to_string(k) + ".PDB", "M", kFields, kRows));
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
