// Import CSV... in the File menu: the file it reads opens as a new,
// unsaved database in a tab of its own; a file it refuses opens nothing.
#include "database_tabs.h"
#include "gui_test_support.h"
#include "jfile.h"
#include "main_window.h"
#include "modal.h"
#include "text_convert.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

QString StatusText(const TMainForm& form)
{
    return form.findChild<QLabel*>(FromUtf8("Panel1"))->text();
}

}  // namespace

class ImportCommandTest : public GuiCase {
    Q_OBJECT

private slots:

    void the_file_menu_opens_the_import_in_a_new_unsaved_tab()
    {
        auto form = StartMainForm({});
        QList<QAction*> items = form->findChild<QMenu*>(FromUtf8("FileMenu"))->actions();
        QCOMPARE(items.indexOf(form->Action("ImportCsvItem")), items.indexOf(form->Action("OpenFileItem")) + 1);

        WriteFile(Data(FromUtf8("stock_list.csv")), "Name,Qty\r\nBolt,7\r\nNut,\"1,2\"\r\n");
        WriteFile(Data(FromUtf8("stock_list.PDB")), "keep");  // not to be replaced at the first save
        AnswerFileDialog(Data(FromUtf8("stock_list.csv")));
        form->Action("ImportCsvItem")->trigger();

        TDatabaseTabs* tabs = form->Tabs();
        QCOMPARE(tabs->OpenCount(), 1);
        QCOMPARE(tabs->tabText(tabs->CurrentTab()), FromUtf8("*stock list (2)"));
        const TDataBase* db = tabs->CurrentDB();
        QVERIFY(db->Modified());
        QCOMPARE(db->PdbHeader.Name, std::string("stock_list"));
        QCOMPARE(db->RecordCount(), 2);
        QCOMPARE(db->GetCell(2, 2), std::string("1,2"));
        QCOMPARE(QDir::fromNativeSeparators(PathToQString(db->FileName)), Data(FromUtf8("stock_list (2).PDB")));
        // The new file holds a whole database at once, never 0 bytes.
        QCOMPARE(OpenReadOnly<TJFILE>(db->FileName)->GetCell(2, 2), std::string("1,2"));
        QCOMPARE(QFileInfo(Data(FromUtf8("stock_list.PDB"))).size(), 4);
        QVERIFY(form->Action("SaveBtn")->isEnabled());
        QCOMPARE(StatusText(*form), FromUtf8("Imported 2 records from stock_list.csv"));
    }

    // The second file type reads UTF-8 with its quoting and keeps to it
    // for the next import; the first reads a file in UTF-8 so too, and says
    // so, when its bytes beyond ASCII are all UTF-8.
    void the_utf8_file_type_reads_standard_csv_and_is_offered_again()
    {
        auto form = StartMainForm({});
        WriteFile(Data(FromUtf8("prices.csv")), "Item;Note\r\n\"Caf\xC3\xA9; \"\"fr\"\"\";\"5 \xE2\x82\xAC\nnet\"\r\n");
        AnswerFileDialog(Data(FromUtf8("prices.csv")), nullptr, 1);
        form->Action("ImportCsvItem")->trigger();
        const TDataBase* db = form->Tabs()->CurrentDB();
        QVERIFY(db);
        QCOMPARE(db->GetFieldName(1), std::string("Item"));
        QCOMPARE(db->GetCell(1, 1), std::string("Caf\xE9; \"fr\""));
        QCOMPARE(db->GetCell(1, 2), std::string("5 \x80\nnet"));

        QStringList shown;
        AnswerFileDialog(Data(FromUtf8("prices.csv")), &shown);
        form->Action("ImportCsvItem")->trigger();
        QCOMPARE(shown.value(1), FromUtf8("CSV files, UTF-8 (*.csv *.CSV)"));
        QCOMPARE(form->Tabs()->OpenCount(), 2);

        WriteFile(Data(FromUtf8("towns.csv")), "Name,Town\r\nJos\xC3\xA9,Z\xC3\xBCrich\r\n");
        AnswerFileDialog(Data(FromUtf8("towns.csv")), nullptr, 0);
        form->Action("ImportCsvItem")->trigger();
        QCOMPARE(form->Tabs()->CurrentDB()->GetCell(1, 1) + form->Tabs()->CurrentDB()->GetCell(1, 2),
                 std::string("Jos\xE9Z\xFCrich"));
        QCOMPARE(StatusText(*form), FromUtf8("Imported 1 record from towns.csv. Read as UTF-8 (no byte-order mark)."));
    }

    void a_refused_file_shows_its_message_and_opens_nothing()
    {
        auto form = StartMainForm({});
        WriteFile(Data(FromUtf8("bad.csv")), "A,B\n\"open\n");
        QString message;
        AnswerFileDialog(Data(FromUtf8("bad.csv")));
        AnswerMessage(message);
        form->Action("ImportCsvItem")->trigger();
        QCOMPARE(message, FromUtf8("Cannot import \"%1\": line 2 opens a quoted cell that is never closed.")
                              .arg(Data(FromUtf8("bad.csv"))));
        QCOMPARE(form->Tabs()->OpenCount(), 0);
        QVERIFY(!QFile::exists(Data(FromUtf8("bad.PDB"))));
    }
};

QTEST_MAIN(ImportCommandTest)
#include "import_command_test.moc"
