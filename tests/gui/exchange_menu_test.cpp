// Copy records, merge and split through the main window: the menu item or
// command, its dialog, the message, and the files written (read back with
// the independent format reader).
#include "command_guard.h"
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_dialog.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "merge_dialog.h"
#include "message_dialog.h"
#include "modal.h"
#include "open_checks.h"
#include "pdb_format.h"
#include "record_commands.h"
#include "split_dialog.h"
#include "test_files.h"
#include "text_convert.h"
#include "transfer_commands.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <filesystem>

using namespace quorvil;
using namespace quorvil::test;

namespace {

// The cells of a file's records, read with the independent format reader.
Rows FileCells(const std::string& path)
{
    Rows rows;
    for (const pdbtest::Record& r : pdbtest::Parse(testkit::ReadBytes(path)).db.records)
        rows.push_back(r.cells);
    return rows;
}

// The next key chooser of a copy: note its entries, choose entry `chosen`, OK.
void AnswerCopyKey(QStringList& entries, int chosen)
{
    AnswerAfter(
        [&entries, chosen](QDialog& d) {
            QComboBox* list = dynamic_cast<TFieldForm&>(d).FieldList();
            for (int k = 0; k < list->count(); ++k)
                entries << list->itemText(k) + (k == list->currentIndex() ? FromUtf8("*") : QString());
            list->setCurrentIndex(chosen);
        },
        FromUtf8("OkBtn"));
}

}  // namespace

class ExchangeMenuTest : public GuiCase {
    Q_OBJECT

private slots:
    // The rows of a reversed grid name their own records; two target records
    // of one key both take the values; a new key is appended.
    void copy_writes_the_selected_records_into_the_file()
    {
        const std::string source = Db("people.pdb", "People",
                                      {{"Name", TFieldType::String, {}}, {"Phone", TFieldType::String, {}}},
                                      {{"ann", "1"}, {"bob", "2"}, {"cy", "3"}});
        const std::string target = Db(
            "book.pdb", "Book",
            {{"Phone", TFieldType::String, {}}, {"Name", TFieldType::String, {}}, {"City", TFieldType::String, {}}},
            {{"old", "cy", "Rome"}, {"9", "ann", ""}, {"old", "cy", "Oslo"}});
        TMainForm form;
        form.FormCreate({PathToQString(source)});
        TDatabasePage* page = form.Tabs()->Page(0);
        page->Model()->ReverseRows();  // rows: cy, bob, ann
        form.Action("RearrangeItem")->trigger();
        const QAbstractItemModel* model = page->Model();
        page->Grid()->selectionModel()->select(QItemSelection(model->index(0, 0), model->index(1, 1)),
                                               QItemSelectionModel::ClearAndSelect);  // cy and bob

        emit form.Records().PopupMenu()->aboutToShow();
        QVERIFY(form.Action("CopyItem")->isVisible());
        QVERIFY(form.Action("CopyExt")->isVisible());  // with no other tab open, too
        QVERIFY(!form.Action("Copy0")->isVisible());

        QStringList shown, keys;
        QString message;
        AnswerFileDialog(PathToQString(target), &shown);
        AnswerCopyKey(keys, 0);
        AnswerMessage(message);
        form.Action("CopyExt")->trigger();

        QCOMPARE(shown.value(0), FromUtf8("Select database to export records to"));
        QCOMPARE(keys, QStringList({FromUtf8("Name*"), FromUtf8("Phone"), FromUtf8("(none: add every record)")}));
        QCOMPARE(message, FromUtf8("Copied 2 records, matched on Name: 1 added, 2 updated."));  // both cy, then bob
        QCOMPARE(FileCells(target),
                 (Rows{{"3", "cy", "Rome"}, {"9", "ann", ""}, {"3", "cy", "Oslo"}, {"2", "bob", ""}}));
    }

    // A file chosen that is open in a tab takes the records in that tab, as
    // its item does: changed in memory, the file as it was.
    void copy_into_a_file_open_in_a_tab_goes_through_its_tab()
    {
        const std::string source = Db("a.pdb", "A", {{"Name", TFieldType::String, {}}}, {{"ann"}});
        const std::string target = Db("b.pdb", "B", {{"Name", TFieldType::String, {}}}, {{"bob"}});
        const std::vector<uint8_t> before = testkit::ReadBytes(target);
        TMainForm form;
        form.FormCreate({PathToQString(target), PathToQString(source)});
        form.Tabs()->setCurrentIndex(1);
        QString message;
        QStringList keys;
        AnswerCopyKey(keys, 0);
        AnswerMessage(message);
        form.Action("RearrangeItem")->trigger();
        RunCommand("CopyRecsItemClick", [&] { form.Transfer().CopyRecsToFile(target); });
        QCOMPARE(message, FromUtf8("Copied 1 record, matched on Name: 1 added, 0 updated."));
        const TDataBase* tab0 = form.Tabs()->DataBase(0);
        QCOMPARE(tab0->RecordCount(), 2);
        QCOMPARE(tab0->GetCell(2, 1), std::string("ann"));
        QCOMPARE(form.Tabs()->Page(0)->Model()->rowCount(), 2);
        QVERIFY(tab0->Modified());
        QVERIFY(testkit::ReadBytes(target) == before);

        emit form.Records().PopupMenu()->aboutToShow();
        QVERIFY(form.Action("Copy0")->isVisible());
        QCOMPARE(form.Action("Copy0")->text(), FromUtf8("b"));
        AnswerCopyKey(keys, 0);
        AnswerMessage(message);
        form.Action("Copy0")->trigger();
        QCOMPARE(message, FromUtf8("Copied 1 record, matched on Name: 0 added, 0 updated, 1 unchanged."));
        // Without a key the same record is added again.
        AnswerCopyKey(keys, 1);
        AnswerMessage(message);
        form.Action("Copy0")->trigger();
        QCOMPARE(message, FromUtf8("Copied 1 record, without a key field: 1 added, 0 updated."));
        QCOMPARE(tab0->RecordCount(), 3);

        // Its own file is no target.
        AnswerMessage(message);
        RunCommand("CopyRecsItemClick", [&] { form.Transfer().CopyRecsToFile(source); });
        QCOMPARE(message, FromUtf8("The records cannot be copied into ") + PathToQString(source) +
                              FromUtf8(": it is the file they come from."));
    }

    // The mapping window offers the ID candidates and a new field for Email;
    // its name is checked as it is typed. Id 12 fills only the empty master
    // cell, Id 99 is appended; the other file is only read.
    void merge_maps_the_fields_chosen_in_the_window()
    {
        const std::vector<FieldSpec> masterFields = {
            {"ID", TFieldType::String, {}}, {"Name", TFieldType::String, {}}, {"Phone", TFieldType::String, {}}};
        const std::string master = Db("master.pdb", "Master", masterFields, {{"12", "", "555"}, {"13", "Al", "1"}});
        const std::string other = Db(
            "other.pdb", "Other",
            {{"Id", TFieldType::String, {}}, {"Name", TFieldType::String, {}}, {"Email", TFieldType::String, {}}},
            {{"12", "Bo", "b@x"}, {"99", "Zed", ""}});
        const std::vector<uint8_t> otherBytes = testkit::ReadBytes(other);
        TMainForm form;
        form.FormCreate({PathToQString(master)});

        QStringList ids, problems;
        QString newFieldEntry, offeredName;
        AnswerFileDialog(PathToQString(other));
        AnswerAfter(
            [&](QDialog& d) {
                auto& sync = dynamic_cast<TSyncForm&>(d);
                for (int k = 0; k < sync.FieldCombo(0)->count(); ++k)
                    ids << sync.FieldCombo(0)->itemText(k);
                newFieldEntry = sync.FieldCombo(3)->currentText();
                offeredName = sync.NameEdit(3)->text();
                QLineEdit* name = sync.NameEdit(3);
                for (const char* typed : {"Phone", "", "Mail"}) {
                    name->setText(FromUtf8(typed));
                    problems << (sync.OkBtn()->isEnabled() ? FromUtf8("OK") : sync.ErrMsg()->text());
                }
                // Name into a new field too, first as itself, then as a second Mail.
                sync.FieldCombo(2)->setCurrentIndex(0);
                problems << sync.ErrMsg()->text();
                sync.NameEdit(2)->setText(FromUtf8("MAIL"));
                problems << sync.ErrMsg()->text() + (sync.OkBtn()->isEnabled() ? FromUtf8(" OK") : QString());
                sync.FieldCombo(2)->setCurrentIndex(sync.FieldCombo(2)->findText(FromUtf8("Name")));
            },
            FromUtf8("OkBtn"));
        form.Action("MergeItem")->trigger();

        QCOMPARE(ids, QStringList({FromUtf8("ID"), FromUtf8("Name")}));
        QCOMPARE(newFieldEntry, FromUtf8("[Create New Field]"));
        QCOMPARE(offeredName, FromUtf8("Email"));
        QCOMPARE(problems, QStringList({FromUtf8("Field name Phone already exists in master database"),
                                        FromUtf8("Need new field name for Email"), FromUtf8("OK"),
                                        FromUtf8("Field name Name already exists in master database"),
                                        FromUtf8("Two new fields are named Mail")}));
        const TDataBase* db = form.Tabs()->CurrentDB();
        QCOMPARE(db->GetFieldName(4), std::string("Mail"));
        QCOMPARE(Cells(*db), (Rows{{"12", "Bo", "555", "b@x"}, {"13", "Al", "1", ""}, {"99", "Zed", "", ""}}));
        QCOMPARE(form.Tabs()->Page(0)->Model()->columnCount(), 4);
        QVERIFY(testkit::ReadBytes(other) == otherBytes);
        // The status line counts the merged database at once, and says what came in.
        QVERIFY(form.findChild<QLabel*>(FromUtf8("InfoPanel"))->text().startsWith(FromUtf8("3 records, 4 fields")));
        QVERIFY2(form.StatusPanel()->text().startsWith(FromUtf8("Merged other.pdb: 1 record added, ")),
                 qPrintable(form.StatusPanel()->text()));
    }

    // A value the master's List field lacks joins its popup list; one its
    // full list cannot take is named first: Cancel changes nothing, going on
    // leaves it out. Either way the tab passes the check made on opening.
    void merge_adds_what_lists_can_take_and_asks_about_the_rest()
    {
        std::vector<std::string> list;
        for (int k = 1; k < 50; ++k)
            list.push_back("V" + std::to_string(k));
        const std::string master = Db("master.pdb", "Master",
                                      {{"ID", TFieldType::String, {}}, {"Group", TFieldType::List, list}},
                                      {{"1", "V1"}, {"2", ""}});
        const std::string other = Db("other.pdb", "Other",
                                     {{"ID", TFieldType::String, {}}, {"Group", TFieldType::String, {}}},
                                     {{"2", "Gym"}, {"3", "Pool"}, {"4", "Pool"}});
        TMainForm form;
        form.FormCreate({PathToQString(master)});
        const TDataBase* db = form.Tabs()->CurrentDB();
        for (const char* answer : {"Cancel", "YesToAll"}) {
            QString question;
            AnswerFileDialog(PathToQString(other));
            AnswerButton(FromUtf8("OkBtn"));
            AnswerMessage(question, FromUtf8(answer));
            form.Action("MergeItem")->trigger();
            QCOMPARE(question, FromUtf8("The popup lists cannot take every value the merge would write:\n"
                                        "Group: Pool (its popup list is full: it holds at most 50 values)\n\n"
                                        "Go on without them? The records keep what they hold in those fields."));
            if (QLatin1String(answer) == QLatin1String("Cancel")) {
                QCOMPARE(db->RecordCount(), 2);
                QCOMPARE(db->PopupCount(2), 49);
                QVERIFY(!db->Modified());
                QCOMPARE(form.StatusPanel()->text(), FromUtf8("Merge cancelled; nothing was changed."));
            }
        }
        QCOMPARE(db->GetCell(2, 2), std::string("Gym"));
        QCOMPARE(db->GetPopupItem(2, 50), std::string("Gym"));
        QCOMPARE(db->RecordCount(), 4);
        QCOMPARE(db->GetCell(3, 2), std::string());
        QCOMPARE(CheckPopupValues(*db), std::vector<std::string>{});
        QCOMPARE(form.StatusPanel()->text(), FromUtf8("Merged other.pdb: 2 records added, 3 cells written, 1 value "
                                                      "added to popup lists, 2 values left out"));
    }

    void a_merge_stopped_at_the_record_limit_shows_the_records_it_added()
    {
        Rows ids;
        for (int r = 1; r <= 65534; ++r)
            ids.push_back({std::to_string(r)});
        const std::string master = Db("full.pdb", "Full", {{"ID", TFieldType::String, {}}}, ids);
        const std::string other = Db("two.pdb", "Two", {{"ID", TFieldType::String, {}}}, {{"a"}, {"b"}});
        TMainForm form;
        form.FormCreate({PathToQString(master)});
        QString message;
        AnswerFileDialog(PathToQString(other));
        AnswerButton(FromUtf8("OkBtn"));
        AnswerMessage(message);
        form.Action("MergeItem")->trigger();

        QVERIFY2(message.contains(FromUtf8("65535")), qPrintable(message));
        QCOMPARE(form.Tabs()->CurrentDB()->RecordCount(), 65535);
        QCOMPARE(form.Tabs()->Page(0)->Model()->rowCount(), 65535);
        QCOMPARE(form.StatusPanel()->text(), QString());
    }

    // Rows for every value (the one no record holds unticked), a global
    // value, CSV beside the PDB, and the names remembered under the title.
    void split_writes_one_file_per_ticked_value()
    {
        const std::string source = Db("sales.pdb", "Sales",
                                      {{"Name", TFieldType::String, {}},
                                       {"Region", TFieldType::List, {"North", "South", "West"}},
                                       {"Status", TFieldType::String, {}}},
                                      {{"a", "North", "open"}, {"b", "South", "open"}, {"c", "North", "shut"}});
        TMainForm form;
        form.FormCreate({PathToQString(source)});

        QStringList rows;
        AnswerAfter(
            [&](QDialog& d) {
                auto& names = dynamic_cast<TDefNameForm&>(d);
                for (int k = 0; k < 3; ++k)
                    rows << names.ValueBox(k)->text() +
                                (names.ValueBox(k)->isChecked() ? FromUtf8("+") : FromUtf8("-")) +
                                names.NameEdit(k)->text();
                names.FormatBox("CSV")->setChecked(true);
                QListWidgetItem* status = names.FieldList()->item(1);
                status->setCheckState(Qt::Checked);
                AnswerInputLine(FromUtf8("closed"));
                names.FieldListClick(status);
            },
            FromUtf8("BitBtn1"));
        form.Action("SplitBtn")->trigger();

        QCOMPARE(rows, QStringList({FromUtf8("North+North"), FromUtf8("South+South"), FromUtf8("West-West")}));
        QCOMPARE(FileCells(QStringToPath(Data(FromUtf8("North.PDB")))), (Rows{{"a", "closed"}, {"c", "closed"}}));
        QCOMPARE(FileCells(QStringToPath(Data(FromUtf8("South.PDB")))), (Rows{{"b", "closed"}}));
        QVERIFY(QFile::exists(Data(FromUtf8("North.CSV"))));
        QVERIFY(!QFile::exists(Data(FromUtf8("West.PDB"))));
        QCOMPARE(config_->Read("Sales", "South"), std::string("South"));
        QCOMPARE(form.StatusPanel()->text(), FromUtf8("Split into 4 files in %1/").arg(data_->path()));
    }

    // A directory typed in the split window counts: one that does not exist
    // is offered to be made; Cancel goes back to the window, what was typed
    // kept.
    void split_writes_into_a_typed_directory_made_when_asked()
    {
        const std::string source = Db(
            "sales.pdb", "Sales", {{"Name", TFieldType::String, {}}, {"Region", TFieldType::List, {"North", "South"}}},
            {{"a", "North"}, {"b", "South"}});
        TMainForm form;
        form.FormCreate({PathToQString(source)});
        QStringList typed;
        AnswerAfter(
            [](QDialog& d) {
                auto* folder = d.findChild<QLineEdit*>(FromUtf8("Edit0"));
                folder->selectAll();
                QTest::keyClicks(folder, FromUtf8("out/2025"));
            },
            FromUtf8("BitBtn1"));
        QString first, second;
        AnswerMessage(first, ButtonName(TMsgButton::Cancel));
        AnswerAfter([&](QDialog& d) { typed << d.findChild<QLineEdit*>(FromUtf8("Edit0"))->text(); },
                    FromUtf8("BitBtn1"));
        AnswerMessage(second, ButtonName(TMsgButton::CreateFolder));
        form.Action("SplitBtn")->trigger();

        const QString out = Data(FromUtf8("out/2025"));
        QCOMPARE(typed, QStringList{FromUtf8("out/2025")});
        QCOMPARE(first, FromUtf8("The directory %1 does not exist. Create it?").arg(out));
        QCOMPARE(second, first);
        QCOMPARE(FileCells(QStringToPath(out + FromUtf8("/North.PDB"))), (Rows{{"a"}}));
        QCOMPARE(FileCells(QStringToPath(out + FromUtf8("/South.PDB"))), (Rows{{"b"}}));
        QVERIFY(!QFile::exists(Data(FromUtf8("North.PDB"))));
    }

    // A button press asks before a .DEF that would split a popup value and
    // before it replaces the CSV or its .DEF; No and Cancel leave every file
    // as it was.
    void a_quick_export_asks_before_it_splits_or_replaces_anything()
    {
        const std::string path = Db(
            "stock.PDB", "Stock",
            {{"Name", TFieldType::String, {}}, {"Region", TFieldType::List, {"West", "North, East"}}}, {{"a", "West"}});
        auto form = StartMainForm({PathToQString(path)});
        const QString csv = Data(FromUtf8("stock.CSV")), def = Data(FromUtf8("stock.DEF"));
        WriteFile(def, "mine");
        const struct {
            const char* Popups;     // the answer to the popup question
            const char* Overwrite;  // to the overwrite question, if one comes
            QString Asked;
            QByteArray CsvBefore, Csv, Def;  // what the files hold before and after
        } steps[] = {
            {"Cancel", nullptr, QString(), QByteArray(), QByteArray(), "mine"},
            {"YesToAll", "No", FromUtf8("Overwrite existing file %1?").arg(def), QByteArray(), QByteArray(), "mine"},
            {"YesToAll", "Yes", FromUtf8("Overwrite existing file %1?").arg(def), QByteArray(), "\"Name\",\"Region\"",
             "Popup2=West,North, East"},
            {"YesToAll", "No", FromUtf8("Overwrite existing files %1 and %2?").arg(csv, def), "theirs", "theirs",
             "Popup2=West,North, East"},
        };
        for (const auto& step : steps) {
            if (!step.CsvBefore.isEmpty())
                WriteFile(csv, step.CsvBefore);
            QString popups, overwrite;
            AnswerButton(FromUtf8("OkBtn"));  // every field
            AnswerMessage(popups, FromUtf8(step.Popups));
            if (step.Overwrite)
                AnswerMessage(overwrite, FromUtf8(step.Overwrite));
            form->Action("SaveCSV")->trigger();
            QCOMPARE(popups,
                     FromUtf8("The popup value \"North, East\" (field Region) holds a comma, which separates the "
                              "values in the .DEF settings file: importing the CSV would split it. Change it "
                              "in the popup list to keep it whole.\nExport anyway?"));
            QCOMPARE(overwrite, step.Asked);
            QCOMPARE(QFile::exists(csv), !step.Csv.isEmpty());
            QVERIFY(FileBytes(csv).startsWith(step.Csv));
            QVERIFY2(FileBytes(def).contains(step.Def), FileBytes(def).constData());
        }
    }

    // A database on a disk that cannot be written is exported all the same:
    // the button opens the file dialog, offering the name it would have used.
    void a_quick_export_of_a_database_in_a_folder_that_cannot_be_written_asks_where()
    {
        QTemporaryDir folder;
        const std::string path = MakeDatabase(folder.path(), "stock.PDB", "Stock", {{"Name", TFieldType::String, {}}},
                                              {{"a"}});
        WriteProtect protect(QStringToPath(folder.path()));
        if (!protect.Done())
            QSKIP("no way to make a folder read-only here");
        auto form = StartMainForm({PathToQString(path)});
        QVERIFY(form->Tabs()->CurrentDB()->ReadOnlyFile());
        QString offered;
        AnswerButton(FromUtf8("OkBtn"));
        QueueModalAnswer([&](QDialog& d) {
            auto* dialog = qobject_cast<QFileDialog*>(&d);
            if (!dialog) {  // a failure's message instead
                offered = MessageOf(d);
                d.reject();
                return;
            }
            offered = dialog->windowTitle() + FromUtf8(" ") + QFileInfo(dialog->selectedFiles().value(0)).fileName();
            dialog->selectFile(Data(FromUtf8("out")));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        form->Action("SaveHTM")->trigger();
        QCOMPARE(offered, FromUtf8("Export to HTML table stock.HTM"));
        QVERIFY(FileBytes(Data(FromUtf8("out.HTM"))).contains("<TD>a</TD>"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{FromUtf8("stock.PDB")});
    }
};

QTEST_MAIN(ExchangeMenuTest)
#include "exchange_menu_test.moc"
