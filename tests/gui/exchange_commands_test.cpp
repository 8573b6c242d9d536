// Save as and the exports through the main window's menus and buttons: the
// dialogs they show, the questions, the files written and the open database
// left as it was.
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "jfile.h"
#include "main_window.h"
#include "message_dialog.h"
#include "modal.h"
#include "sort_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

// What a file dialog showed when it opened.
struct Shown {
    QString title;
    QString type;
    QStringList types;
};

// The next file dialog: note what it shows, then choose `name` (and file
// type `type`, from 0). Checks run after the command, so a failing one cannot
// leave the dialog open.
void AnswerFileDialog(const QString& name, Shown* shown = nullptr, int type = -1)
{
    QueueModalAnswer([=](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        if (shown)
            *shown = {dialog.windowTitle(), dialog.selectedNameFilter(), dialog.nameFilters()};
        if (type >= 0)
            dialog.selectNameFilter(dialog.nameFilters().value(type));
        dialog.selectFile(name);
        QMetaObject::invokeMethod(&dialog, "accept");
    });
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ExchangeCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ConfigHome> config_;
    std::unique_ptr<QTemporaryDir> data_;

    std::unique_ptr<TMainForm> Start(const std::vector<FieldSpec>& fields,
                                     const std::vector<std::vector<std::string>>& rows)
    {
        const std::string path = MakeDatabase(data_->path(), "wide.PDB", "Wide", fields, rows);
        auto form = std::make_unique<TMainForm>();
        form->FormCreate({PathToQString(path)});
        return form;
    }
    QString Data(const char* name) const { return data_->path() + QLatin1Char('/') + Tr(name); }

private slots:
    void init()
    {
        ClearModalAnswers();
        config_ = std::make_unique<ConfigHome>();
        data_ = std::make_unique<QTemporaryDir>();
        config_->Write("SAVE", "Dir", FromQString(data_->path()));
    }
    void cleanup() { QCOMPARE(QueuedModalAnswers(), 0); }

    void saveAsJFile3OfThirtyFieldsWritesTwentyAndKeepsThirtyOpen()
    {
        std::vector<FieldSpec> fields;
        std::vector<std::string> row;
        for (int f = 1; f <= 30; ++f) {
            fields.push_back({"F" + std::to_string(f), kTypeString, {}});
            row.push_back("v" + std::to_string(f));
        }
        auto form = Start(fields, {row});
        Shown shown;
        AnswerFileDialog(Tr("copy"), &shown);
        form->Action("SaveAsJF3Item")->trigger();
        QCOMPARE(shown.title, Tr("Save database as"));
        QVERIFY(shown.type.startsWith(Tr("JFile 3.x")));
        QCOMPARE(shown.types.size(), 5);
        QVERIFY(shown.types[4].startsWith(Tr("SQLite database")));

        auto copy = OpenReadOnly(FromQString(Data("copy.PDB")));
        QCOMPARE(copy->Layout, 0);
        QCOMPARE(copy->FieldCount(), 20);
        QCOMPARE(copy->GetCell(1, 20), std::string("v20"));
        const TDataBase* db = form->Tabs()->CurrentDB();
        QCOMPARE(db->FieldCount(), 30);
        QCOMPARE(db->Layout, 3);
        QVERIFY(!db->Modified);
        QCOMPARE(form->Tabs()->Page(0)->Model()->columnCount(), 30);
        QCOMPARE(config_->Read("SAVE", "Dir"), FromQString(data_->path()));
    }

    void lengthQuestionAnswers_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("written");
        QTest::newRow("Truncate") << int(mbYesToAll) << true;
        QTest::newRow("Truncate all") << int(mbNoToAll) << true;
        QTest::newRow("Cancel") << int(mbCancel) << false;
    }

    void lengthQuestionAnswers()
    {
        QFETCH(int, button);
        QFETCH(bool, written);
        auto form = Start({{"Name", kTypeString, {}}, {"Notes", kTypeString, {}}},
                          {{"a", "b"}, {"c", std::string(4100, 'n')}});
        Shown shown;
        AnswerFileDialog(Data("five.PDB"), &shown);
        AnswerAfter(
            [](QDialog& d) {
                QCOMPARE(d.findChild<QLabel*>(Tr("Message"))->text(),
                         Tr("Record #2's field \"Notes\" is too long\n(Length=4100, Max=4000)"));
                QCOMPARE(d.findChild<QPushButton*>(ButtonName(mbYesToAll))->text(), Tr("Truncate"));
                QCOMPARE(d.findChild<QPushButton*>(ButtonName(mbNoToAll))->text(), Tr("Truncate all"));
            },
            ButtonName(TMsgDlgBtn(button)));
        form->Action("SaveAsJF5Item")->trigger();
        QVERIFY(shown.type.startsWith(Tr("JFile 5.x")));
        QCOMPARE(QFile::exists(Data("five.PDB")), written);
        QCOMPARE(form->Tabs()->CurrentDB()->GetCell(2, 2).size(), size_t(4100));
    }

    void theAccessEntryHandsTheChosenNameToTheAccessExport()
    {
        auto form = Start({{"Notes", kTypeString, {}}}, {{std::string(4100, 'n')}});
        AnswerFileDialog(Data("table"), nullptr, 4);
        form->Action("SaveAsJF5Item")->trigger();  // no length question comes
        QVERIFY(QFile::exists(Data("table.sqlite")));
        QVERIFY(!QFile::exists(Data("table.PDB")));
    }

    void saveAsOntoTheOpenFileIsRefused()
    {
        auto form = Start({{"Name", kTypeString, {}}}, {{"a"}});
        const QByteArray before = FileBytes(Data("wide.PDB"));
        std::string message;
        AnswerFileDialog(Data("wide.PDB"));
        AnswerAfter([&](QDialog& d) { message = FromQString(d.findChild<QLabel*>(Tr("Message"))->text()); },
                    ButtonName(mbOK));
        form->Action("SaveFileAsItem")->trigger();
        QVERIFY2(message.find("is the file of the open database") != std::string::npos, message.c_str());
        QCOMPARE(FileBytes(Data("wide.PDB")), before);
    }

    void exportsWriteTheFieldsLeftInTheChooser()
    {
        auto form = Start({{"Name", kTypeString, {}}, {"Size", kTypeInteger, {}}}, {{"apple", "10"}});
        QStringList titles;
        auto removeName = [&titles](QDialog& d) {
            auto& chooser = dynamic_cast<TSortForm&>(d);
            titles << chooser.windowTitle();
            chooser.SortList()->item(0)->setSelected(true);
            chooser.findChild<QPushButton*>(Tr("DelBtn"))->click();
            chooser.findChild<QPushButton*>(Tr("OkBtn"))->click();
        };
        // A button press writes HTML beside the database, without a dialog.
        QueueModalAnswer(removeName);
        form->Action("SaveHTM")->trigger();
        const QByteArray html = FileBytes(Data("wide.HTM"));
        QVERIFY(html.contains("Size") && !html.contains("apple"));
        QCOMPARE(titles, QStringList(Tr("Selecting fields for export")));
    }
};

QTEST_MAIN(ExchangeCommandsTest)
#include "exchange_commands_test.moc"
