// The main window end to end: start-up, recent files, opening (also
// failing), the popup check, the save prompt, closing, the tab limit, and
// the commands behind its buttons: sort, the definition editor, save as and
// the exports, answered as a person would and read back from the files.
#include "command_guard.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "definition_editor.h"
#include "extended_grid.h"
#include "field_types.h"
#include "format_settings.h"
#include "gui_test_support.h"
#include "jfile.h"
#include "main_window.h"
#include "message_dialog.h"
#include "modal.h"
#include "order_dialog.h"
#include "popup_list_dialog.h"
#include "recent_menu.h"
#include "sort_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kColourFields = {{"Name", TFieldType::String, {}},
                                              {"Colour", TFieldType::List, {"Red", "Green"}}};
const std::vector<FieldSpec> kSortFields = {{"Name", TFieldType::String, {}},
                                            {"Colour", TFieldType::List, {"Red", "Green", "Blue"}},
                                            {"Size", TFieldType::Integer, {}}};
// "Pink" is in no popup list.
const std::vector<std::vector<std::string>> kSortRows = {{"apple", "Green", "10"},
                                                         {"berry", "Pink", "9"},
                                                         {"cherry", "Red", "100"},
                                                         {"date", "Blue", "9"},
                                                         {"elder", "Red", "10"}};

void Select(QListWidget* list, const QStringList& names)
{
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSelected(names.contains(list->item(i)->text()));
}

std::unique_ptr<TMainForm> Start(const QStringList& arguments)
{
    return StartMainForm(arguments);
}

}  // namespace

class MainWindowTest : public GuiCase {
    Q_OBJECT

    std::string Db(const std::string& fileName, const std::string& title = "Colours",
                   const std::vector<std::vector<std::string>>& rows = {{"car", "Red"}, {"tree", "Green"}},
                   const std::vector<FieldSpec>& fields = kColourFields)
    {
        return MakeDatabase(data_->path(), fileName, title, fields, rows);
    }
    QString Data(const char* name) const { return GuiCase::Data(FromUtf8(name)); }
    void NotADatabase(const char* fileName) { WriteFile(Data(fileName), QByteArray(200, 'x')); }
    std::unique_ptr<TMainForm> StartSorting()
    {
        AnswerButton(ButtonName(TMsgButton::Ignore));  // the popup check
        return Start({PathToQString(Db("list.pdb", "List", kSortRows, kSortFields))});
    }

private slots:
    void start_reopens_last_database_and_turns_counter_and_currency_fields()
    {
        config_->Write("CONFIG", "LastDB",
                       Db("my_money.PDB", "Money", {{"1", "$12.50"}, {"2", "$3"}},
                          {{"#", TFieldType::Integer, {}}, {"Price", TFieldType::Float, {}}}));
        auto form = Start({});
        QCOMPARE(form->Tabs()->tabText(0), FromUtf8("*my money"));
        QVERIFY(form->Action("SaveBtn")->isEnabled());
        QVERIFY(form->Action("SplitBtn")->isEnabled());
        QCOMPARE(form->Tabs()->CurrentDB()->RecordCount(), 2);
        QCOMPARE(form->Tabs()->CurrentDB()->GetFieldType(1), TFieldType::AutoInc);
        QCOMPARE(form->Tabs()->CurrentDB()->GetFieldType(2), TFieldType::String);
    }

    void directory_argument_opens_every_database_in_name_order_and_shows_failures()
    {
        Db("b.PDB");
        Db("a.pdb");
        NotADatabase("bad.PDB");
        Db("c.PDB");
        QString shown;
        AnswerMessage(shown);
        auto form = Start({data_->path()});
        QCOMPARE(shown, FromUtf8("bad.PDB: Not a JFile/JFile Pro database!"));
        QCOMPARE(form->Tabs()->OpenCount(), 3);
        QCOMPARE(form->Tabs()->tabText(0) + form->Tabs()->tabText(1) + form->Tabs()->tabText(2), FromUtf8("abc"));
        QVERIFY(!form->Tabs()->TabShown(3));
        QCOMPARE(form->Tabs()->CurrentTab(), 0);
        QCOMPARE(form->Recent()->Item(1)->text(), FromUtf8("&1 c.PDB"));
        QCOMPARE(form->Recent()->Item(3)->text(), FromUtf8("&3 a.pdb"));
    }

    void recent_menu_drops_missing_files_and_writes_back()
    {
        const std::string a = Db("a.PDB"), c = Db("c.PDB");
        config_->Write("CONFIG", "File1", a);
        config_->Write("CONFIG", "File2", QStringToPath(data_->path()) + "/gone.PDB");
        config_->Write("CONFIG", "File3", c);
        FormatSettings = TFormatSettings{};
        {
            auto form = Start({});  // no last database: no tab
            QCOMPARE(FormatSettings.ShortMonthNames[11], std::string("Dec"));
            QCOMPARE(form->Tabs()->OpenCount(), 0);
            QVERIFY(!form->Action("SaveBtn")->isEnabled());
            QCOMPARE(form->windowTitle(), FromUtf8("Quorvil 2.0\u00DF[*]"));
            QCOMPARE(form->Recent()->List().Paths(), (std::vector<std::string>{a, c}));
            QVERIFY(!form->Recent()->Item(3)->isVisible());
            QCOMPARE(form->Recent()->Item(2)->shortcut(), QKeySequence(FromUtf8("Alt+2")));
            form->Recent()->Item(1)->trigger();
            QCOMPARE(form->Tabs()->OpenCount(), 1);
        }
        QCOMPARE(config_->Read("CONFIG", "File2"), c);
        QCOMPARE(config_->Read("CONFIG", "File3"), c);  // only its entries are written
    }

    void open_command_uses_next_tab_and_a_failure_hides_it()
    {
        const std::string a = Db("a.PDB"), b = Db("b.PDB");
        NotADatabase("notes.PDB");
        auto form = Start({PathToQString(a)});
        AnswerFileDialog(PathToQString(b));
        form->Action("LoadBtn")->trigger();
        QCOMPARE(form->Tabs()->CurrentTab(), 1);
        QCOMPARE(config_->Read("CONFIG", "LoadDir"), QStringToPath(data_->path()));
        form->Tabs()->setCurrentIndex(0);
        QString shown;
        AnswerFileDialog(Data("notes.PDB"));
        AnswerMessage(shown);
        form->Action("LoadBtn")->trigger();
        QCOMPARE(shown, FromUtf8("notes.PDB: Not a JFile/JFile Pro database!"));
        QCOMPARE(form->Tabs()->OpenCount(), 2);
        QVERIFY(!form->Tabs()->TabShown(2));
        QCOMPARE(form->Tabs()->CurrentTab(), 1);  // the shown tab below the failed one
        QCOMPARE(config_->Read("CONFIG", "LastDB"), b);
    }

    // Several files chosen at once open in the free tabs, those past the
    // eighth are named; the window title names the active tab's file and
    // marks its unsaved changes.
    void open_takes_several_files_and_the_title_names_the_active_one()
    {
        QStringList paths;
        for (const char* name :
             {"a.PDB", "b.PDB", "c.PDB", "d.PDB", "e.PDB", "f.PDB", "g.PDB", "h.PDB", "i.PDB", "j.PDB"})
            paths << PathToQString(Db(name));
        config_->Write("CONFIG", "LoadDir", QStringToPath(data_->path()));
        auto form = Start({paths[0]});
        TDatabaseTabs& tabs = *form->Tabs();
        const QString caption = FromUtf8("[*] \u2014 Quorvil 2.0\u00DF");
        QCOMPARE(form->windowTitle(), FromUtf8("a.PDB") + caption);
        AnswerFileDialog(FromUtf8("\"b.PDB\" \"c.PDB\""));
        form->Action("LoadBtn")->trigger();
        QCOMPARE(std::pair(tabs.OpenCount(), tabs.CurrentTab()), std::pair(3, 1));
        QCOMPARE(tabs.tabText(2), FromUtf8("c"));
        QCOMPARE(std::pair(form->windowTitle(), form->isWindowModified()),
                 std::pair(FromUtf8("b.PDB") + caption, false));
        QTableView& grid = *tabs.Page(1)->Grid();
        QVERIFY(TypeIntoCell(grid, grid.model()->index(0, 0), FromUtf8("bus")));
        QApplication::processEvents();  // the delegate commits a line edit queued
        QVERIFY(form->isWindowModified());
        QString question;
        AnswerMessage(question, ButtonName(TMsgButton::No));
        form->Action("CloseBtn")->trigger();
        QCOMPARE(std::pair(form->windowTitle(), form->isWindowModified()),
                 std::pair(FromUtf8("a.PDB") + caption, false));

        AnswerFileDialog(FromUtf8("\"d.PDB\" \"e.PDB\" \"f.PDB\" \"g.PDB\" \"h.PDB\" \"i.PDB\" \"j.PDB\" \"b.PDB\""));
        form->Action("LoadBtn")->trigger();
        QCOMPARE(tabs.OpenCount(), 8);
        QCOMPARE(form->StatusPanel()->text(),
                 FromUtf8("All 8 tabs are in use; close one to open more. Not opened: j.PDB, b.PDB."));
    }

    void popup_check_answers_data()
    {
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<int>("items");
        QTest::newRow("Ignore") << QStringList{FromUtf8("Ignore")} << 2;
        QTest::newRow("Fix") << QStringList{FromUtf8("YesToAll")} << 4;
        QTest::newRow("Details, then Fix") << QStringList{FromUtf8("NoToAll"), FromUtf8("FixBtn")} << 4;
    }
    void popup_check_answers()
    {
        QFETCH(QStringList, buttons);
        QFETCH(int, items);
        const std::string path = Db("colours.PDB", "Colours", {{"car", "Red Car"}, {"sky", "Blue"}, {"x", "Blue"}});
        QStringList row;
        AnswerAfter(
            [&row](QDialog& d) {
                for (const char* name : {"Ignore", "YesToAll", "NoToAll"})
                    row << Btn(d, name)->text();
            },
            buttons[0]);
        if (buttons.size() > 1)
            AnswerButton(buttons[1]);
        auto form = Start({PathToQString(path)});
        QCOMPARE(row, QStringList({FromUtf8("&Ignore"), FromUtf8("&Fix"), FromUtf8("&Details")}));
        QCOMPARE(form->Tabs()->CurrentDB()->PopupCount(2), items);
        QCOMPARE(form->Tabs()->CurrentDB()->Modified(), items != 2);
        if (items == 2)
            return;
        AnswerInputLine(FromUtf8("Fixed colours"));
        form->Action("SaveBtn")->trigger();
        form.reset();
        auto reread = Open<TJFILE>(path);
        QCOMPARE(reread->PdbHeader.Name, std::string("Fixed colours"));
        QCOMPARE(reread->PopupCount(2), 4);
        QCOMPARE(reread->GetPopupItem(2, 3) + "|" + reread->GetPopupItem(2, 4), std::string("Red Car|Blue"));
    }

    void cancel_in_save_prompt_keeps_program_open_and_asks_no_further()
    {
        for (const char* name : {"a.PDB", "b.PDB", "c.PDB"})
            Db(name);
        auto form = Start({data_->path()});
        for (int tab = 0; tab < 3; ++tab)
            form->Tabs()->DataBase(tab)->SetCell(1, 1, "changed");
        QString first, second;
        AnswerMessage(first, FromUtf8("No"));
        AnswerMessage(second, FromUtf8("Cancel"));
        AnswerButton(FromUtf8("Cancel"));  // a third prompt would take this one
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QCOMPARE(QueuedModalAnswers(), 1);
        ClearModalAnswers();
        QCOMPARE(first, FromUtf8("Save edited database?\n(%1)").arg(QDir::toNativeSeparators(Data("a.PDB"))));
        QCOMPARE(second, FromUtf8("Save edited database?\n(%1)").arg(QDir::toNativeSeparators(Data("b.PDB"))));
    }

    void cancelled_title_keeps_program_open_and_database_changed()
    {
        const std::string path = Db("a.PDB");
        const QByteArray before = FileBytes(PathToQString(path));
        auto form = Start({PathToQString(path)});
        form->Tabs()->CurrentDB()->SetCell(1, 1, "changed");
        AnswerButton(FromUtf8("Yes"));
        AnswerKey(Qt::Key_Escape);
        QVERIFY(!form->close());
        QVERIFY(form->Tabs()->CurrentDB()->Modified());
        QCOMPARE(FileBytes(PathToQString(path)), before);
    }

    void column_widths_are_kept_per_title()
    {
        const std::string a = Db("a.PDB", "Widths"), b = Db("b.PDB", "Other");
        {
            auto form = Start({PathToQString(a), PathToQString(b)});
            form->Tabs()->Page(0)->Grid()->setColumnWidth(0, 150);
            form->Tabs()->Page(0)->Grid()->setColumnWidth(1, 60);
            form->Tabs()->setCurrentIndex(0);
            form->Action("CloseBtn")->trigger();
            QCOMPARE(config_->Read("Widths", "ColWidth"), std::string("150,60"));
            QCOMPARE(form->Tabs()->CurrentTab(), 1);  // the other tab
            form->Action("CloseBtn")->trigger();
            QVERIFY(!form->isVisible());  // the last one ends the program
        }
        config_->Write("Widths", "ColWidth", "80,abc,90");
        auto form = Start({PathToQString(a)});
        QCOMPARE(form->Tabs()->Page(0)->Grid()->columnWidth(0), 80);
        QVERIFY(form->Tabs()->Page(0)->Grid()->columnWidth(1) != 90);
    }

    void list_keys_sort_in_the_chosen_order_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("blueFirst");
        QTest::addColumn<std::vector<std::string>>("names");
        // Pink is in no list: before every listed value.
        QTest::newRow("popup order") << int(TOrderForm::kUserDefined) << false
                                     << std::vector<std::string>{"berry", "cherry", "elder", "apple", "date"};
        QTest::newRow("user-defined, Blue first")
            << int(TOrderForm::kUserDefined) << true
            << std::vector<std::string>{"berry", "date", "cherry", "elder", "apple"};
        QTest::newRow("alphabetically") << int(TOrderForm::kAlphabetically) << false
                                        << std::vector<std::string>{"date", "apple", "berry", "cherry", "elder"};
    }
    void list_keys_sort_in_the_chosen_order()
    {
        QFETCH(int, mode);
        QFETCH(bool, blueFirst);
        auto form = StartSorting();
        AnswerSortFields({FromUtf8("Colour"), FromUtf8("Name")});
        QStringList offered;
        QueueModalAnswer([&](QDialog& d) {
            auto& orders = dynamic_cast<TOrderForm&>(d);
            for (int i = 0; i < orders.OrderList()->count(); ++i)
                offered << orders.OrderList()->item(i)->text();
            orders.OrderButton(mode)->click();
            for (int row : {2, 1}) {
                orders.OrderList()->setCurrentRow(row);
                if (blueFirst)
                    Btn(d, "UpBtn")->click();  // Blue, Red, Green
            }
            if (blueFirst)
                Btn(d, "UpdBtn")->click();  // the popup list takes the order
            Btn(d, "OkBtn")->click();
        });
        form->Action("SortBtn")->trigger();
        QCOMPARE(offered, (QStringList{FromUtf8("Red"), FromUtf8("Green"), FromUtf8("Blue")}));
        const TJFILE& db = *form->Tabs()->CurrentDB();
        QTEST(Column(db, 1), "names");
        QVERIFY(db.Modified());
        QCOMPARE(db.PopupCount(2), 3);
        QCOMPARE(db.GetPopupItem(2, 1) + db.GetPopupItem(2, 2) + db.GetPopupItem(2, 3),
                 std::string(blueFirst ? "BlueRedGreen" : "RedGreenBlue"));
    }

    void saved_sort_gives_the_order_of_its_keys()
    {
        {
            auto db = Open(Db("list.pdb", "List", kSortRows, kSortFields));
            db->SetSavedSort(2, "by size", {3, 2, 0});
            db->SaveWithName("List");
        }
        AnswerButton(ButtonName(TMsgButton::Ignore));
        auto form = Start({Data("list.pdb")});
        QueueModalAnswer([](QDialog& d) {
            auto& sort = dynamic_cast<TSortForm&>(d);
            QCOMPARE(sort.SavedSortBox()->itemText(1), FromUtf8("by size  (Size, Colour)"));
            sort.SavedSortBox()->setCurrentIndex(1);
            emit sort.SavedSortBox()->activated(1);
            QCOMPARE(sort.AvailableNames(), QStringList{FromUtf8("Name")});
            Btn(d, "OkBtn")->click();
        });
        AnswerButton(FromUtf8("OkBtn"));  // the order dialog, as it opens
        form->Action("SortBtn")->trigger();
        QCOMPARE(Column(*form->Tabs()->CurrentDB(), 1),
                 (std::vector<std::string>{"berry", "date", "elder", "apple", "cherry"}));
    }

    // The export button writes beside the database, without a file dialog,
    // the fields the chooser left in their order; Cancel writes nothing.
    void export_chooser_writes_the_fields_left_in_their_order_data()
    {
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<bool>("accept");
        QTest::newRow("moved to the end") << QStringList{FromUtf8("Name")} << true;
        QTest::newRow("cancel") << QStringList() << false;
    }
    void export_chooser_writes_the_fields_left_in_their_order()
    {
        QFETCH(QStringList, removed);
        QFETCH(bool, accept);
        auto form = StartSorting();
        QString texts;
        QueueModalAnswer([&](QDialog& d) {
            auto& chooser = dynamic_cast<TSortForm&>(d);
            texts = chooser.windowTitle() + FromUtf8("|") + chooser.SortOrder()->title();
            QVERIFY(!chooser.SavedSortBox()->isVisible());
            Select(chooser.SortList(), removed);
            Btn(d, "DelBtn")->click();
            Select(chooser.AvailList(), removed);
            Btn(d, "CopyBtn")->click();
            Btn(d, accept ? "OkBtn" : "CancelBtn")->click();
        });
        form->Action("SaveHTM")->trigger();
        QCOMPARE(texts, FromUtf8("Selecting fields for export|Fields to export"));
        QCOMPARE(QFile::exists(Data("list.HTM")), accept);
        if (accept)
            QVERIFY(FileBytes(Data("list.HTM")).contains("<TD>Colour</TD>\r\n  <TD>Size</TD>\r\n  <TD>Name</TD>"));
    }

    void definition_editor_ok_writes_names_types_and_popup_order_and_cancel_nothing()
    {
        const std::string path = Db("def.pdb", "Def", {{"apple", "Green", "10"}, {"cherry", "Red", "x"}}, kSortFields);
        {
            auto form = Start({PathToQString(path)});
            QueueModalAnswer([](QDialog& d) {
                QTest::keyClicks(dynamic_cast<TEditDB&>(d).NameEdit(0), FromUtf8("zz"));
                dynamic_cast<TEditDB&>(d).CancelBtn()->click();
            });
            form->Action("EditBtn")->trigger();
            QVERIFY(!form->Tabs()->CurrentDB()->Modified());
            QueueModalAnswer([](QDialog& d) {
                auto& edit = dynamic_cast<TEditDB&>(d);
                QVERIFY(!edit.PopupButton(0)->isEnabled());         // only List fields have popup values
                QTest::keyClicks(edit.NameEdit(0), FromUtf8("s"));  // "Names"
                QComboBox* type = edit.TypeBox(2);
                type->setCurrentIndex(type->findText(FromUtf8("STRING")));
                emit type->activated(type->currentIndex());
                QueueModalAnswer([](QDialog& p) {
                    auto& pop = dynamic_cast<TPopForm&>(p);
                    QCOMPARE(pop.windowTitle(), FromUtf8("Popup List for \"Colour\""));
                    pop.ListBox()->setCurrentRow(2);
                    pop.UpBtnClick();
                    pop.UpBtnClick();  // Blue, Red, Green
                    pop.OkBtn()->click();
                });
                edit.PopupButton(1)->click();
                edit.OkBtn()->click();
            });
            form->Action("EditBtn")->trigger();
            QCOMPARE(form->Tabs()->Page(0)->Grid()->Column(0)->Title, FromUtf8("Names"));
            form->Tabs()->CurrentDB()->SaveWithName("Def");
        }
        auto db = Open(path);
        QCOMPARE(db->GetFieldName(1), std::string("Names"));
        QCOMPARE(db->GetFieldType(3), TFieldType::String);
        QCOMPARE(db->GetPopupItem(2, 1) + db->GetPopupItem(2, 2) + db->GetPopupItem(2, 3), std::string("BlueRedGreen"));
        // No stored value was renamed or converted.
        QCOMPARE(db->GetCell(1, 2) + db->GetCell(2, 2) + db->GetCell(2, 3), std::string("GreenRedx"));
    }

    void save_as_j_file3_of_thirty_fields_writes_twenty_and_keeps_thirty_open()
    {
        std::vector<FieldSpec> fields;
        std::vector<std::string> row;
        for (int f = 1; f <= 30; ++f) {
            fields.push_back({"F" + std::to_string(f), TFieldType::String, {}});
            row.push_back("v" + std::to_string(f));
        }
        auto form = Start({PathToQString(Db("wide.PDB", "Wide", {row}, fields))});
        // The fields left out are named before anything is written; Cancel writes nothing.
        QString question;
        AnswerFileDialog(FromUtf8("copy"));
        AnswerMessage(question, ButtonName(TMsgButton::Cancel));
        form->Action("SaveAsJF3Item")->trigger();
        QCOMPARE(question, FromUtf8("Fields 21 to 30 (F21, F22, F23, F24, F25, ...) are not kept by JFile 3.x.\n\n"
                                    "The open database stays as it is. Save the copy anyway?"));
        QVERIFY(!QFile::exists(Data("copy.PDB")));
        QStringList shown;
        AnswerFileDialog(FromUtf8("copy"), &shown);
        AnswerButton(ButtonName(TMsgButton::OK));
        form->Action("SaveAsJF3Item")->trigger();
        QCOMPARE(shown.value(0), FromUtf8("Save database as"));
        QVERIFY(shown.value(1).startsWith(FromUtf8("JFile 3.x")));
        QCOMPARE(shown.size(), 7);
        QVERIFY(shown[6].startsWith(FromUtf8("SQLite database")));
        auto copy = OpenReadOnly(*FromQString(Data("copy.PDB"), TCharset::Windows1252));
        QCOMPARE(copy->Layout(), TLayout::JFile3);
        QCOMPARE(copy->FieldCount(), 20);
        QCOMPARE(copy->GetCell(1, 20), std::string("v20"));
        const TDataBase* db = form->Tabs()->CurrentDB();
        QCOMPARE(db->FieldCount() * 10 + Number(db->Layout()), 303);
        QVERIFY(!db->Modified());
        QCOMPARE(form->Tabs()->Page(0)->Model()->columnCount(), 30);
    }

    void cut_values_question_answers_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("written");
        QTest::newRow("OK") << int(TMsgButton::OK) << true;
        QTest::newRow("Cancel") << int(TMsgButton::Cancel) << false;
    }
    void cut_values_question_answers()
    {
        QFETCH(int, button);
        QFETCH(bool, written);
        auto form = Start({PathToQString(Db("long.PDB", "Long", {{"a", "b"}, {"c", std::string(4100, 'n')}},
                                            {{"Name", TFieldType::String, {}}, {"Notes", TFieldType::String, {}}}))});
        QString texts;
        AnswerFileDialog(Data("five.PDB"));
        AnswerAfter(
            [&](QDialog& d) {
                texts = MessageOf(d) + FromUtf8("|") + dynamic_cast<TMessageForm&>(d).DefaultButton()->objectName();
            },
            ButtonName(TMsgButton(button)));
        form->Action("SaveAsJF5Item")->trigger();
        QCOMPARE(texts,
                 FromUtf8("1 value longer than 4000 characters is cut to 4000: record 2's field \"Notes\" (4100).\n\n"
                          "The open database stays as it is. Save the copy anyway?|Cancel"));
        QCOMPARE(QFile::exists(Data("five.PDB")), written);
        QCOMPARE(form->Tabs()->CurrentDB()->GetCell(2, 2).size(), size_t(4100));
    }

    void save_as_onto_the_open_file_is_refused_and_the_access_entry_exports()
    {
        auto form = Start(
            {PathToQString(Db("wide.PDB", "Wide", {{std::string(4100, 'n')}}, {{"Notes", TFieldType::String, {}}}))});
        const QByteArray before = FileBytes(Data("wide.PDB"));
        QString message;
        AnswerFileDialog(Data("wide.PDB"));
        AnswerMessage(message);
        form->Action("SaveFileAsItem")->trigger();
        QVERIFY2(message.contains(FromUtf8("is the file of the open database")), qPrintable(message));
        QCOMPARE(FileBytes(Data("wide.PDB")), before);
        AnswerFileDialog(Data("table"), nullptr, 4);
        form->Action("SaveAsJF5Item")->trigger();  // no length question comes
        QVERIFY(QFile::exists(Data("table.sqlite")));
        QVERIFY(!QFile::exists(Data("table.PDB")));
    }

    void save_as_access_writes_the_table_and_its_log()
    {
        QVERIFY(QDir(data_->path()).mkdir(FromUtf8("out")));
        auto form = Start(
            {PathToQString(Db("plants.pdb", "Plants", {{"fern", "1.5", "1", ""}, {"moss", "", "many", ""}},
                              {{"Name", TFieldType::String, {}},
                               {"Ratio", TFieldType::Float, {}},
                               {"N", TFieldType::Integer, {}},
                               {"Photo", TFieldType::Binary, {}}}))});
        QString offered;
        QueueModalAnswer([&](QDialog& d) {
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            offered = dialog.directory().absolutePath() + FromUtf8("|") + dialog.defaultSuffix();
            dialog.selectFile(Data("out/garden"));  // no extension
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        QStringList messages;
        for (int k = 0; k < 2; ++k)
            AnswerAfter([&](QDialog& d) { messages << MessageOf(d); }, FromUtf8("OK"));
        form->Action("SaveAsAccessItem")->trigger();
        QCOMPARE(offered, QDir(data_->path()).absolutePath() + FromUtf8("|sqlite"));
        QCOMPARE(messages, QStringList({FromUtf8("Field \"Photo\" (BINARY) cannot be written to the database; it is "
                                                 "left out."),
                                        FromUtf8("1 error encountered")}));
        QCOMPARE(config_->Read("SAVE", "Dir"), *FromQString(Data("out"), TCharset::Windows1252));
        QVERIFY(QFile::exists(Data("out/Quorvil.LOG")));
        QVERIFY(QFile::exists(Data("out/garden.sqlite")));  // its tables are the database export's to check

        // The same name again: the file there is kept unless the user says so.
        const QByteArray written = FileBytes(Data("out/garden.sqlite"));
        QString overwrite;
        AnswerFileDialog(Data("out/garden.sqlite"));
        AnswerMessage(overwrite, FromUtf8("No"));
        form->Action("SaveAsAccessItem")->trigger();
        QCOMPARE(overwrite, FromUtf8("Overwrite existing file %1?").arg(Data("out/garden.sqlite")));
        QCOMPARE(FileBytes(Data("out/garden.sqlite")), written);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
