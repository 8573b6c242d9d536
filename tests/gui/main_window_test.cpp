// The main window end to end: start-up, recent files, opening (also
// failing), the popup check, the save prompt, closing, the tab limit.
#include "command_guard.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_types.h"
#include "format_settings.h"
#include "gui_test_support.h"
#include "jfile.h"
#include "main_window.h"
#include "message_dialog.h"
#include "modal.h"
#include "recent_files.h"
#include "text_convert.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kColourFields = {{"Name", kTypeString, {}}, {"Colour", kTypeList, {"Red", "Green"}}};

std::string Message(QDialog& d)
{
    auto* label = d.findChild<QLabel*>(Tr("Message"));
    return label ? FromQString(label->text()) : std::string();
}

// The next message: remember its text, then press `button`.
void AnswerMessage(std::string& text, const char* button)
{
    AnswerAfter([&text](QDialog& d) { text = Message(d); }, Tr(button));
}

// The next open dialog: choose `path`.
void AnswerOpenDialog(const std::string& path)
{
    QueueModalAnswer([path](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        dialog.selectFile(PathToQString(path));
        QMetaObject::invokeMethod(&dialog, "accept");
    });
}

std::unique_ptr<TMainForm> Start(const QStringList& arguments)
{
    auto form = std::make_unique<TMainForm>();
    form->FormCreate(arguments);
    form->show();
    return form;
}

void Trigger(TMainForm& form, const char* action)
{
    QAction* a = form.Action(action);
    QVERIFY2(a && a->isEnabled(), action);
    a->trigger();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ConfigHome> config_;
    std::unique_ptr<QTemporaryDir> data_;

    std::string Db(const char* fileName, const std::string& title = "Colours",
                   const std::vector<std::vector<std::string>>& rows = {{"car", "Red"}, {"tree", "Green"}})
    {
        return MakeDatabase(data_->path(), fileName, title, kColourFields, rows);
    }
    std::string NotADatabase(const char* fileName)
    {
        const QString path = data_->path() + QLatin1Char('/') + Tr(fileName);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(200, 'x'));
        return QStringToPath(path);
    }

private slots:
    void init()
    {
        ResetMessageTexts();
        ClearModalAnswers();
        config_.reset();  // the old one puts the variable back first
        config_ = std::make_unique<ConfigHome>();
        data_ = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        QCOMPARE(QueuedModalAnswers(), 0);
        ClearModalAnswers();
    }

    void startsEmptyWithoutLastDatabase()
    {
        FormatSettings = TFormatSettings{};
        auto form = Start({});
        QCOMPARE(FormatSettings.ShortMonthNames[11], std::string("Dec"));
        QCOMPARE(form->Tabs()->OpenCount(), 0);
        QVERIFY(!form->Action("SaveBtn")->isEnabled());
        QVERIFY(!form->Action("SaveFileItem")->isEnabled());
        QVERIFY(form->Action("LoadBtn")->isEnabled());
        QVERIFY(!form->Recent()->Separator()->isVisible());
        QCOMPARE(form->windowTitle(), Tr("Quorvil 2.0\u00DF"));
    }

    void startReopensLastDatabase()
    {
        const std::string path = Db("my_colours.PDB");
        config_->Write("CONFIG", "LastDB", path);
        auto form = Start({});
        QCOMPARE(form->Tabs()->OpenCount(), 1);
        QCOMPARE(form->Tabs()->tabText(0), Tr("my colours"));
        QVERIFY(form->Action("SaveBtn")->isEnabled());
        QVERIFY(form->Action("SplitBtn")->isEnabled());
        QVERIFY(!form->Action("AllBtn")->isEnabled());
        QCOMPARE(form->Tabs()->CurrentDB()->RecordCount(), 2);
        QVERIFY(!form->Tabs()->CurrentDB()->Modified);
    }

    void directoryArgumentOpensEveryDatabaseInNameOrder()
    {
        Db("b.PDB");
        Db("a.pdb");
        Db("c.PDB");
        auto form = Start({data_->path()});
        QCOMPARE(form->Tabs()->OpenCount(), 3);
        QCOMPARE(form->Tabs()->tabText(0), Tr("a"));
        QCOMPARE(form->Tabs()->tabText(2), Tr("c"));
        QCOMPARE(form->Tabs()->CurrentTab(), 0);
        QCOMPARE(form->Recent()->Item(1)->text(), Tr("&1 c.PDB"));
        QCOMPARE(form->Recent()->Item(3)->text(), Tr("&3 a.pdb"));
        QVERIFY(form->Recent()->Separator()->isVisible());
    }

    void argumentWithoutExtensionOpensThePdbFile()
    {
        const std::string path = Db("stock.pdb");
        auto form = Start({data_->path() + Tr("/stock")});
        QCOMPARE(form->Tabs()->OpenCount(), 1);
        QCOMPARE(form->Tabs()->CurrentDB()->FileName, path);
    }

    void commandLineStopsAtEightDatabases()
    {
        for (int k = 1; k <= 9; ++k)
            Db(("db" + std::to_string(k) + ".PDB").c_str());
        auto form = Start({data_->path()});
        QCOMPARE(form->Tabs()->OpenCount(), 8);
    }

    void failingCommandLineFileIsShownAndTheOthersOpen()
    {
        Db("a.PDB");
        NotADatabase("b.PDB");
        Db("c.PDB");
        std::string shown;
        AnswerMessage(shown, "OK");
        auto form = Start({data_->path()});
        QCOMPARE(shown, std::string("Not a JFile/JFile Pro database! at FormCreate"));
        QCOMPARE(form->Tabs()->OpenCount(), 2);
        QVERIFY(form->Tabs()->TabShown(1));
        QVERIFY(!form->Tabs()->TabShown(2));
        QCOMPARE(form->Tabs()->tabText(1), Tr("c"));
    }

    void recentMenuDropsMissingFilesAndWritesBack()
    {
        const std::string a = Db("a.PDB"), c = Db("c.PDB");
        config_->Write("CONFIG", "File1", a);
        config_->Write("CONFIG", "File2", QStringToPath(data_->path()) + "/gone.PDB");
        config_->Write("CONFIG", "File3", c);
        {
            auto form = Start({});
            QVERIFY(form->Recent()->Item(1)->isVisible());
            QCOMPARE(form->Recent()->Item(2)->text(), Tr("&2 c.PDB"));
            QCOMPARE(form->Recent()->List().Paths(), (std::vector<std::string>{a, c}));
            QVERIFY(!form->Recent()->Item(3)->isVisible());
            QCOMPARE(form->Recent()->Item(2)->shortcut(), QKeySequence(Tr("Alt+2")));
            form->Recent()->Item(1)->trigger();
            QCOMPARE(form->Tabs()->OpenCount(), 1);
        }
        QCOMPARE(config_->Read("CONFIG", "File1"), a);
        QCOMPARE(config_->Read("CONFIG", "File2"), c);
        QCOMPARE(config_->Read("CONFIG", "File3"), c);
    }

    void openCommandUsesNextTabAndRemembersDirectory()
    {
        const std::string a = Db("a.PDB"), b = Db("b.PDB");
        auto form = Start({PathToQString(a)});
        AnswerOpenDialog(b);
        Trigger(*form, "LoadBtn");
        QCOMPARE(form->Tabs()->OpenCount(), 2);
        QCOMPARE(form->Tabs()->CurrentTab(), 1);
        QCOMPARE(form->Recent()->Item(1)->text(), Tr("&1 b.PDB"));
        QCOMPARE(config_->Read("CONFIG", "LastDB"), b);
        QCOMPARE(config_->Read("CONFIG", "LoadDir"), QStringToPath(data_->path()));
    }

    void failingOpenHidesTheTabAndShowsTheError()
    {
        const std::string a = Db("a.PDB"), b = Db("b.PDB");
        const std::string bad = NotADatabase("notes.PDB");
        auto form = Start({PathToQString(a), PathToQString(b)});
        form->Tabs()->setCurrentIndex(0);
        std::string shown;
        AnswerOpenDialog(bad);
        AnswerMessage(shown, "OK");
        Trigger(*form, "LoadBtn");
        QCOMPARE(shown, std::string("Not a JFile/JFile Pro database! at LoadBtnClick"));
        QCOMPARE(form->Tabs()->OpenCount(), 2);
        QVERIFY(!form->Tabs()->TabShown(2));
        QCOMPARE(form->Tabs()->CurrentTab(), 1);  // the shown tab below the failed one
        QCOMPARE(form->Tabs()->DataBase(0)->FileName, a);
        QCOMPARE(config_->Read("CONFIG", "LastDB"), b);
    }

    void popupFixSurvivesSaveAndReopen()
    {
        const std::string path = Db("colours.PDB", "Colours", {{"car", "Red Car"}, {"sky", "Blue"}, {"x", "Blue"}});
        QStringList row;
        AnswerAfter([&row](QDialog& d) {
            for (const char* name : {"Ignore", "YesToAll", "NoToAll"})
                row << d.findChild<QPushButton*>(Tr(name))->text();
        }, Tr("YesToAll"));
        auto form = Start({PathToQString(path)});
        QCOMPARE(row, QStringList({Tr("&Ignore"), Tr("&Fix"), Tr("&Details")}));
        QVERIFY(form->Tabs()->CurrentDB()->Modified);
        AnswerInputLine(Tr("Fixed colours"));
        Trigger(*form, "SaveBtn");
        QVERIFY(!form->Tabs()->CurrentDB()->Modified);
        form.reset();

        auto reread = Open<TJFILE>(path);
        QCOMPARE(reread->PdbHeader.Name, std::string("Fixed colours"));
        QCOMPARE(reread->PopupCount(2), 4);
        QCOMPARE(reread->GetPopupItem(2, 3), std::string("Red Car"));
        QCOMPARE(reread->GetPopupItem(2, 4), std::string("Blue"));
    }

    void popupDetailsShowReportAndItsFixRepairs()
    {
        const std::string path = Db("colours.PDB", "Colours", {{"car", "Red Car"}});
        QString report;
        AnswerButton(Tr("NoToAll"));
        AnswerAfter([&report](QDialog& d) { report = d.findChild<QPlainTextEdit*>()->toPlainText(); }, Tr("FixBtn"));
        auto form = Start({PathToQString(path)});
        QCOMPARE(report, Tr("In field #2 (Colour), record #1 (car) has the following value: \"Red Car\""));
        QCOMPARE(form->Tabs()->CurrentDB()->PopupCount(2), 3);
    }

    void popupIgnoreChangesNothing()
    {
        const std::string path = Db("colours.PDB", "Colours", {{"car", "Blue"}});
        AnswerButton(Tr("Ignore"));
        auto form = Start({PathToQString(path)});
        QCOMPARE(form->Tabs()->CurrentDB()->PopupCount(2), 2);
        QVERIFY(!form->Tabs()->CurrentDB()->Modified);
    }

    void cancelInSavePromptKeepsProgramOpenAndAsksNoFurther()
    {
        for (const char* name : {"a.PDB", "b.PDB", "c.PDB"})
            Db(name);
        auto form = Start({data_->path()});
        for (int tab = 0; tab < 3; ++tab)
            form->Tabs()->DataBase(tab)->SetCell(1, 1, "changed");
        std::string first, second;
        AnswerMessage(first, "No");
        AnswerMessage(second, "Cancel");
        AnswerButton(Tr("Cancel"));  // a third prompt would take this one
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QCOMPARE(QueuedModalAnswers(), 1);
        ClearModalAnswers();
        QCOMPARE(first, "Save edited database?\n(" + form->Tabs()->DataBase(0)->FileName + ")");
        QCOMPARE(second, "Save edited database?\n(" + form->Tabs()->DataBase(1)->FileName + ")");
    }

    void cancelledTitleKeepsProgramOpenAndDatabaseChanged()
    {
        const std::string path = Db("a.PDB");
        QFile file(PathToQString(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        auto form = Start({PathToQString(path)});
        form->Tabs()->CurrentDB()->SetCell(1, 1, "changed");
        AnswerButton(Tr("Yes"));
        AnswerKey(Qt::Key_Escape);
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QVERIFY(form->Tabs()->CurrentDB()->Modified);
        file.seek(0);
        QCOMPARE(file.readAll(), before);
    }

    void closingActivatesTheOtherAndTheLastEndsTheProgram()
    {
        auto form = Start({PathToQString(Db("a.PDB")), PathToQString(Db("b.PDB"))});
        Trigger(*form, "CloseBtn");
        QVERIFY(form->isVisible());
        QCOMPARE(form->Tabs()->CurrentTab(), 1);
        QVERIFY(!form->Tabs()->TabShown(0));
        Trigger(*form, "CloseBtn");
        QVERIFY(!form->isVisible());
        QCOMPARE(form->Tabs()->OpenCount(), 0);
    }

    void ninthDatabaseReplacesActiveTabWithoutPrompt()
    {
        for (int k = 1; k <= 8; ++k)
            Db(("db" + std::to_string(k) + ".PDB").c_str());
        QTemporaryDir other;
        const std::string ninth = MakeDatabase(other.path(), "ninth.PDB", "Ninth", kColourFields, {{"a", "Red"}});
        auto form = Start({data_->path()});
        form->Tabs()->setCurrentIndex(3);
        form->Tabs()->CurrentDB()->SetCell(1, 1, "unsaved");
        AnswerOpenDialog(ninth);
        Trigger(*form, "LoadBtn");
        QCOMPARE(form->Tabs()->OpenCount(), 8);
        QCOMPARE(form->Tabs()->DataBase(3)->FileName, ninth);
        QCOMPARE(form->Tabs()->tabText(3), Tr("ninth"));
    }

    void columnWidthsAreKeptPerTitle()
    {
        const std::string a = Db("a.PDB", "Widths"), b = Db("b.PDB", "Other");
        {
            auto form = Start({PathToQString(a), PathToQString(b)});
            form->Tabs()->Page(0)->Grid()->setColumnWidth(0, 150);
            form->Tabs()->Page(0)->Grid()->setColumnWidth(1, 60);
            form->Tabs()->setCurrentIndex(0);
            Trigger(*form, "CloseBtn");
            QCOMPARE(config_->Read("Widths", "ColWidth"), std::string("150,60"));
        }
        config_->Write("Widths", "ColWidth", "80,abc,90");
        auto form = Start({PathToQString(a)});
        QCOMPARE(form->Tabs()->Page(0)->Grid()->columnWidth(0), 80);
        QVERIFY(form->Tabs()->Page(0)->Grid()->columnWidth(1) != 90);
    }

    void openTurnsCounterAndCurrencyFields()
    {
        const std::string path = MakeDatabase(data_->path(), "money.PDB", "Money",
                                              {{"#", kTypeInteger, {}}, {"Price", kTypeFloat, {}}},
                                              {{"1", "$12.50"}, {"2", "$3"}});
        auto form = Start({PathToQString(path)});
        QCOMPARE(form->Tabs()->CurrentDB()->GetFieldType(1), uint16_t(67));
        QCOMPARE(form->Tabs()->CurrentDB()->GetFieldType(2), kTypeString);
    }

    void escapingErrorIsShownWithTheCommandName()
    {
        std::string shown;
        int buttons = 0;
        AnswerAfter([&](QDialog& d) {
            shown = Message(d);
            buttons = int(d.findChildren<QPushButton*>().size());
        }, Tr("OK"));
        QVERIFY(!RunCommand("SortBtnClick", [] { throw std::runtime_error("Sort: Field index out of range (9)"); }));
        QCOMPARE(shown, std::string("Sort: Field index out of range (9) at SortBtnClick"));
        QCOMPARE(buttons, 1);
    }

};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
