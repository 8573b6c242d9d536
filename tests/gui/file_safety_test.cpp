// Files the editor must not harm or lose: a read-only file is looked at and
// exported but never written, a damaged one opens with a warning and stays
// as it was, a new database the user does not keep leaves no file, a file
// open in a tab merges as that tab shows it, and one another program changes
// is read again or written over only as the user says.
#include "command_guard.h"
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "define_dialog.h"
#include "errors.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "merge_dialog.h"
#include "message_dialog.h"
#include "modal.h"
#include "outside_changes.h"
#include "progress_line.h"
#include "record_commands.h"
#include "record_panel.h"
#include "sort_dialog.h"
#include "text_convert.h"
#include "transfer_commands.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <filesystem>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {{"ID", TFieldType::String, {}}, {"Name", TFieldType::String, {}}};

// Counts the dialogs no answer was queued for, and answers them with Escape.
struct UnaskedDialogs {
    int count = 0;
    UnaskedDialogs()
    {
        SetModalFallback([this](QDialog& d) {
            ++count;
            d.reject();
        });
    }
    ~UnaskedDialogs() { SetModalFallback({}); }
};

}  // namespace

class FileSafetyTest : public GuiCase {
    Q_OBJECT

private slots:
    void a_read_only_file_is_shown_searched_and_exported_but_never_written()
    {
        const std::string path = Db("locked.PDB", "Locked", kFields, {{"1", "ann"}, {"2", "bob"}});
        const QByteArray before = FileBytes(PathToQString(path));
        WriteProtect protect(path);
        if (!protect.Done())
            QSKIP("no way to make a file read-only here");
        auto form = StartMainForm({PathToQString(path)});
        TDatabaseTabs* tabs = form->Tabs();
        QCOMPARE(tabs->OpenCount(), 1);
        QCOMPARE(tabs->tabText(0), FromUtf8("locked (read-only)"));
        for (const char* name : {"AddBtn", "DelBtn", "EditBtn", "SortBtn", "ReplaceBtn", "MergeItem"})
            QVERIFY2(!form->Action(name)->isEnabled(), name);
        for (const char* name : {"FindBtn", "SaveCSV", "SaveFileAsItem", "SaveBtn"})
            QVERIFY2(form->Action(name)->isEnabled(), name);
        TDatabasePage& page = *tabs->Page(0);
        QVERIFY(!page.Model()->flags(page.Model()->index(0, 1)).testFlag(Qt::ItemIsEditable));
        // Rows are still picked for a copy, but they do not move.
        emit form->Records().PopupMenu()->aboutToShow();
        QVERIFY(form->Action("RearrangeItem")->isEnabled());
        form->Action("RearrangeItem")->trigger();
        QVERIFY(!form->Action("UpBtn")->isEnabled());
        const QModelIndex second = page.Model()->index(1, 0);
        page.Grid()->setCurrentIndex(second);
        page.Grid()->selectionModel()->select(second, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        form->Records().UpBtnClick();
        QCOMPARE(tabs->CurrentDB()->GetCell(1, 2) + tabs->CurrentDB()->GetCell(2, 2), std::string("annbob"));
        QVERIFY(!tabs->CurrentDB()->Modified());

        QString message;
        AnswerMessage(message);
        form->Action("SaveBtn")->trigger();
        QCOMPARE(message, ToQString(ReadOnlyFileMessage(path), TCharset::Windows1252) +
                              FromUtf8(" Use Save as to write the database to another file."));

        QueueModalAnswer([](QDialog& d) { d.findChild<QPushButton*>(FromUtf8("OkBtn"))->click(); });  // every field
        form->Action("SaveHTM")->trigger();
        QVERIFY(FileBytes(Data(FromUtf8("locked.HTM"))).contains("bob"));
        form.reset();
        QCOMPARE(FileBytes(PathToQString(path)), before);
    }

    // The status line says what an export wrote; Cancel, pressed at the
    // first progress step, leaves the file of the export before it alone.
    void an_export_says_what_it_wrote_and_a_cancel_leaves_the_old_file()
    {
        Rows rows;
        for (int r = 1; r <= 300; ++r)
            rows.push_back({std::to_string(r), "name"});
        const std::string path = Db("big.PDB", "Big", kFields, rows);
        auto form = StartMainForm({PathToQString(path)});
        AnswerButton(FromUtf8("OkBtn"));  // every field
        form->Action("SaveCSV")->trigger();
        QCOMPARE(form->StatusPanel()->text(), FromUtf8("Exported 300 records to big.CSV"));
        const QByteArray before = FileBytes(Data(FromUtf8("big.CSV")));

        form->Tabs()->CurrentDB()->SetCell(1, 2, "changed");
        auto* line = form->findChild<TProgressLine*>(FromUtf8("ProgressLine"));
        QVERIFY(line && line->isHidden());
        line->SetShowDelay(0);
        int steps = 0;
        bool offered = false;
        line->SetStepProbe([&] {
            auto* cancel = line->findChild<QToolButton*>(FromUtf8("CancelProgressBtn"));
            offered = !cancel->isHidden();
            ++steps;
            cancel->click();
        });
        AnswerButton(FromUtf8("OkBtn"));
        AnswerButton(FromUtf8("Yes"));  // over the files written before
        form->Action("SaveCSV")->trigger();
        line->SetStepProbe({});
        QCOMPARE(steps, 1);
        QVERIFY(offered);
        QVERIFY(line->isHidden());
        QCOMPARE(FileBytes(Data(FromUtf8("big.CSV"))), before);
        QCOMPARE(form->StatusPanel()->text(), FromUtf8("Export cancelled; nothing was written to big.CSV."));
    }

    // An export, a database export or a split never writes over a database
    // a tab shows: the tab would be left on a file that is gone.
    void no_export_writes_over_a_file_open_in_a_tab()
    {
        const std::string own = Db("own.PDB", "Own", kFields, {{"1", "ann"}});
        const std::string other = Db("other.PDB", "Other", kFields, {{"2", "bob"}});
        const QByteArray ownBytes = FileBytes(PathToQString(own));
        const QByteArray otherBytes = FileBytes(PathToQString(other));
        auto form = StartMainForm({PathToQString(other), PathToQString(own)});
        form->Tabs()->setCurrentIndex(1);
        for (const auto& [target, tab] : {std::pair{own, 2}, {other, 1}}) {
            QString message;
            AnswerButton(FromUtf8("OkBtn"));  // the fields
            AnswerFileDialog(PathToQString(target));
            AnswerMessage(message);
            form->Action("ExportToCSVasItem")->trigger();
            QCOMPARE(message, FromUtf8("\"%1\" is open in tab %2. Close it there first, or choose another name.")
                                  .arg(PathToQString(target))
                                  .arg(tab));
            AnswerFileDialog(PathToQString(target));
            AnswerMessage(message);
            form->Action("SaveAsAccessItem")->trigger();
            QVERIFY2(message.contains(FromUtf8("is open in tab")), qPrintable(message));
        }
        QCOMPARE(FileBytes(PathToQString(own)), ownBytes);
        QCOMPARE(FileBytes(PathToQString(other)), otherBytes);
    }

    void a_file_that_ends_early_opens_with_a_warning_and_is_not_written()
    {
        const std::string path = Db("cut.PDB", "Cut", kFields, {{"1", "ann"}, {"2", "bob"}, {"3", "cy"}});
        QByteArray bytes = FileBytes(PathToQString(path));
        bytes.chop(3);  // the last record loses its last field
        WriteFile(PathToQString(path), bytes);
        QString warning;
        AnswerMessage(warning);
        auto form = StartMainForm({PathToQString(path)});
        QVERIFY2(warning.startsWith(FromUtf8("The file \"") + QDir::toNativeSeparators(PathToQString(path)) +
                                    FromUtf8("\" ends early")),
                 qPrintable(warning));
        QVERIFY2(warning.contains(FromUtf8("2 of the 3 records could be read whole")), qPrintable(warning));
        const TDataBase* db = form->Tabs()->CurrentDB();
        QCOMPARE(db->RecordCount(), 3);
        QCOMPARE(db->GetCell(2, 2), std::string("bob"));
        // Save asks before it replaces the file; its default writes a copy instead.
        QString question;
        AnswerAfter(
            [&](QDialog& d) {
                question = MessageOf(d) + FromUtf8("|") + dynamic_cast<TMessageForm&>(d).DefaultButton()->text();
            },
            ButtonName(TMsgButton::Cancel));
        form->Action("SaveBtn")->trigger();
        QCOMPARE(question, FromUtf8("The file \"") + QDir::toNativeSeparators(PathToQString(path)) +
                               FromUtf8("\" opened damaged: 2 of the 3 records could be read whole.\n"
                                        "Replace the file with what could be read?\n"
                                        "Save as writes it to another file instead and leaves this one as it is."
                                        "|Save &as..."));
        AnswerButton(ButtonName(TMsgButton::SaveAs));
        AnswerFileDialog(Data(FromUtf8("whole")));
        form->Action("SaveBtn")->trigger();
        QCOMPARE(OpenReadOnly(*FromQString(Data(FromUtf8("whole.PDB")), TCharset::Windows1252))->GetCell(2, 2),
                 std::string("bob"));
        form.reset();  // nothing changed, nothing asked
        QCOMPARE(FileBytes(PathToQString(path)), bytes);

        // Replace writes what could be read; the file is whole from then on.
        AnswerMessage(warning);
        form = StartMainForm({PathToQString(path)});
        AnswerButton(ButtonName(TMsgButton::Replace));
        AnswerInputLine(FromUtf8("Cut"));
        form->Action("SaveBtn")->trigger();
        QVERIFY(!form->Tabs()->CurrentDB()->LoadDamage().Any());
        QCOMPARE(OpenReadOnly(path)->LoadWarning(), std::string());
        QCOMPARE(OpenReadOnly(path)->GetCell(2, 2), std::string("bob"));
    }

    void a_new_database_not_kept_leaves_no_file()
    {
        const QString path = Data(FromUtf8("draft.PDB"));
        TMainForm form;
        form.FormCreate({});
        AnswerFileDialog(path);
        QueueModalAnswer([](QDialog& d) {
            auto& define = dynamic_cast<TDefineForm&>(d);
            AnswerInputLine(FromUtf8("Name"));
            define.AddButton()->click();
            define.OkButton()->click();
        });
        form.Action("NewBtn")->trigger();
        // A whole database from the start, never an empty file.
        QCOMPARE(OpenReadOnly<TJFILE>(QStringToPath(path))->FieldCount(), 1);
        QString question;
        AnswerMessage(question, FromUtf8("No"));
        form.Action("CloseBtn")->trigger();
        QVERIFY(question.startsWith(FromUtf8("Save edited database?")));
        QVERIFY(!QFile::exists(path));
    }

    void a_file_that_took_the_new_databases_place_stays()
    {
        const std::string path = QStringToPath(Data(FromUtf8("draft.PDB")));
        auto form = StartMainForm({});
        form->Tabs()->NewDatabaseFrom(0, path, [](TDataBase& db) { FillDatabase(db, kFields, {{"1", "new"}}); });
        // Another program puts a file of its own there (a new file renamed over it).
        const std::string other = Db("other.PDB", "Other", kFields, {{"2", "theirs"}});
        std::filesystem::rename(other, path);
        const QByteArray theirs = FileBytes(PathToQString(path));
        AnswerButton(FromUtf8("No"));
        form->Action("CloseBtn")->trigger();
        QCOMPARE(FileBytes(PathToQString(path)), theirs);
    }

    void a_merge_from_a_file_open_in_a_tab_takes_what_the_tab_shows()
    {
        const std::string master = Db("master.pdb", "Master", kFields, {{"1", "ann"}});
        const std::string other = Db("other.pdb", "Other", kFields, {{"1", "anna"}, {"2", "bob"}});
        const QByteArray otherBytes = FileBytes(PathToQString(other));
        auto form = StartMainForm({PathToQString(master), PathToQString(other)});
        TDatabaseTabs* tabs = form->Tabs();
        tabs->DataBase(1)->SetCell(2, 2, "bobby");  // not saved
        tabs->setCurrentIndex(0);
        QueueModalAnswer([](QDialog& d) {
            auto& sync = dynamic_cast<TSyncForm&>(d);
            sync.OkBtn()->click();
        });
        QVERIFY(RunCommand("MergeItemClick", [&] { form->Transfer().MergeItemClick(other); }));
        const TDataBase* db = tabs->DataBase(0);
        QCOMPARE(db->RecordCount(), 2);
        QCOMPARE(db->GetCell(2, 2), std::string("bobby"));
        QCOMPARE(FileBytes(PathToQString(other)), otherBytes);
    }

    void a_file_another_program_replaced_is_asked_about_once_and_reloads_in_place()
    {
        const std::string path = Db("shared.PDB", "Shared", kFields, {{"1", "ann"}, {"2", "bob"}, {"3", "cy"}});
        auto form = StartMainForm({PathToQString(path)});
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        TOutsideChanges& outside = form->OutsideChanges();
        TDatabasePage& page = *form->Tabs()->Page(0);
        page.Grid()->setCurrentIndex(page.Model()->index(2, 1));
        UnaskedDialogs unasked;
        AnswerInputLine(FromUtf8("Shared"));
        form->Action("SaveBtn")->trigger();
        form->activateWindow();  // back from the title dialog
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        outside.Check();
        QCOMPARE(unasked.count, 0);  // the program's own save is no outside change

        // Another program saves its version as editors do: a new file renamed over.
        const std::string theirs = Db("theirs.PDB", "Theirs", kFields,
                                      {{"1", "ann"}, {"2", "bobby"}, {"3", "cy"}, {"4", "dee"}});
        std::filesystem::rename(theirs, path);
        QString question;
        AnswerMessage(question, FromUtf8("YesToAll"));
        outside.Check();
        outside.Check();  // noticed again: still one question
        QCOMPARE(unasked.count, 0);
        QVERIFY2(question.contains(FromUtf8("was changed by another program.")), qPrintable(question));
        const TDataBase* db = form->Tabs()->CurrentDB();
        QCOMPARE(db->RecordCount(), 4);
        QCOMPARE(db->GetCell(2, 2), std::string("bobby"));
        QVERIFY(!db->Modified());
        QCOMPARE(page.Grid()->currentIndex(), page.Model()->index(2, 1));
    }

    void a_question_about_the_file_waits_for_a_refused_number_to_be_mended()
    {
        const std::vector<FieldSpec> fields = {{"Name", TFieldType::String, {}}, {"Price", TFieldType::Float, {}}};
        const std::string path = Db("shared.PDB", "Shared", fields, {{"nut", "2.5"}});
        auto form = StartMainForm({PathToQString(path)});
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->Action("RecBtn")->trigger();
        auto* line = qobject_cast<QLineEdit*>(form->Tabs()->Page(0)->EditPanel()->Editor(2));
        QVERIFY(line);
        line->setFocus();
        line->selectAll();
        QTest::keyClicks(line, FromUtf8("1,5"));
        QString refusal;
        AnswerMessage(refusal);
        QTest::keyClick(line, Qt::Key_Tab);
        QCoreApplication::processEvents();
        QVERIFY(!refusal.isEmpty());
        form->activateWindow();  // back from the message
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        WriteFile(PathToQString(path), FileBytes(PathToQString(Db("theirs.PDB", "Shared", fields, {{"bolt", "3"}}))));
        UnaskedDialogs unasked;
        form->OutsideChanges().Check();
        QCOMPARE(unasked.count, 0);
        QCOMPARE(line->text(), FromUtf8("1,5"));
    }

    void keep_mine_keeps_the_edits_and_save_asks_before_writing_over_the_other_version()
    {
        const std::string path = Db("shared.PDB", "Shared", kFields, {{"1", "ann"}, {"2", "bob"}});
        auto form = StartMainForm({PathToQString(path)});
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        TDatabasePage& page = *form->Tabs()->Page(0);
        QVERIFY(page.Model()->setData(page.Model()->index(1, 1), FromUtf8("robert")));
        // Another program writes into the file itself, heedless of the lock.
        const QByteArray theirs = FileBytes(
            PathToQString(Db("theirs.PDB", "Shared", kFields, {{"1", "ann"}, {"2", "bobby"}})));
        WriteFile(PathToQString(path), theirs);
        QString question;
        AnswerMessage(question, FromUtf8("NoToAll"));
        form->OutsideChanges().Check();
        QVERIFY2(question.contains(FromUtf8("changes that are not saved")), qPrintable(question));
        const TDataBase* db = form->Tabs()->CurrentDB();
        QCOMPARE(db->GetCell(2, 2), std::string("robert"));
        QVERIFY(db->Modified());

        QString warning;
        for (const char* answer : {"Cancel", "YesToAll"}) {
            AnswerInputLine(FromUtf8("Shared"));
            AnswerMessage(warning, FromUtf8(answer));
            form->Action("SaveBtn")->trigger();
            QVERIFY2(warning.contains(FromUtf8("Save over it anyway?")), qPrintable(warning));
            if (QLatin1String(answer) == QLatin1String("Cancel"))
                QCOMPARE(FileBytes(PathToQString(path)), theirs);
        }
        QCOMPARE(OpenReadOnly<TJFILE>(path)->GetCell(2, 2), std::string("robert"));
        QVERIFY(!db->Modified());
    }
};

QTEST_MAIN(FileSafetyTest)
#include "file_safety_test.moc"
