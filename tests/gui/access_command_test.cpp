// Save as Access from the menu: the file dialog's directory and completed
// name, the warnings in the message dialog, the file and its log.
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "modal.h"
#include "text_convert.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

class AccessCommandTest : public QObject {
    Q_OBJECT

private slots:
    void ExportsTheActiveDatabaseToTheChosenFile()
    {
        ConfigHome home;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(Tr("out")));
        home.Write("SAVE", "Dir", QStringToPath(dir.path()));
        const std::string pdb = MakeDatabase(dir.path(), "plants.pdb", "Plants",
                                             {{"Name", kTypeString, {}}, {"Ratio", kTypeFloat, {}},
                                              {"N", kTypeInteger, {}}},
                                             {{"fern", "1.5", "1"}, {"moss", "", ""}});
        TMainForm form;
        form.FormCreate({PathToQString(pdb)});

        QString startDirectory, offered;
        QueueModalAnswer([&](QDialog& d) {
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            startDirectory = dialog.directory().absolutePath();
            offered = dialog.defaultSuffix();
            dialog.selectFile(dir.filePath(Tr("out/garden")));  // no extension
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        QStringList messages;
        for (int k = 0; k < 2; ++k)
            AnswerAfter([&](QDialog& d) { messages << d.findChild<QLabel*>(Tr("Message"))->text(); }, Tr("OK"));
        QAction* action = form.Action("SaveAsAccessItem");
        QVERIFY(action && action->isEnabled());
        action->trigger();

        QCOMPARE(startDirectory, QDir(dir.path()).absolutePath());
        QCOMPARE(offered, Tr("sqlite"));
        QCOMPARE(messages, QStringList({Tr("Unsupported field type: FLOAT"), Tr("1 error encountered")}));
        QCOMPARE(home.Read("SAVE", "Dir"), QStringToPath(dir.filePath(Tr("out"))));
        QVERIFY(QFile::exists(dir.filePath(Tr("out/Quorvil.LOG"))));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(Tr("QSQLITE"), Tr("check"));
            db.setDatabaseName(dir.filePath(Tr("out/garden.sqlite")));
            QVERIFY(db.open());
            QSqlQuery count(Tr("SELECT COUNT(*), SUM(N) FROM Plants"), db);
            QVERIFY(count.next());
            QCOMPARE(count.value(0).toInt(), 2);
            QCOMPARE(count.value(1).toInt(), 1);
        }
        QSqlDatabase::removeDatabase(Tr("check"));
        QCOMPARE(QueuedModalAnswers(), 0);
    }
};

QTEST_MAIN(AccessCommandTest)
#include "access_command_test.moc"
