// The tab a database opens in, one rule for Open, New, Import, a drop and
// the command line: the lowest free tab; with all eight in use the active
// one, after the question about its unsaved changes.
#include "database_tabs.h"
#include "define_dialog.h"
#include "field_types.h"
#include "file_commands.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "message_dialog.h"
#include "modal.h"
#include "text_convert.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

#include <functional>
#include <map>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {{"Name", TFieldType::String, {}}};
const Rows kRows = {{"bolt"}, {"nut"}};

}  // namespace

class TabChoiceTest : public GuiCase {
    Q_OBJECT

private slots:

    void a_database_takes_the_lowest_free_tab_else_the_active_one_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("situation");
        for (const char* command : {"Open", "New", "Import", "drop", "command line"})
            for (const char* situation :
                 {"a free tab", "eight clean", "eight modified, Cancel", "eight modified, Discard"})
                QTest::newRow((std::string(command) + ", " + situation).c_str())
                    << FromUtf8(command) << FromUtf8(situation);
    }
    void a_database_takes_the_lowest_free_tab_else_the_active_one()
    {
        QFETCH(QString, command);
        QFETCH(QString, situation);
        const bool freeTab = situation == FromUtf8("a free tab");
        const bool asked = situation.startsWith(FromUtf8("eight modified"));
        const bool kept = situation.endsWith(FromUtf8("Cancel"));
        QStringList paths;
        for (int k = 1; k <= (freeTab ? 4 : 8); ++k)
            paths << PathToQString(Db("db" + std::to_string(k) + ".PDB", "Parts", kFields, kRows));
        const QString ninth = PathToQString(Db("ninth.PDB", "Parts", kFields, kRows));
        WriteFile(Data(FromUtf8("imported.csv")), "Name\r\nBolt\r\n");
        auto form = StartMainForm(paths);
        TDatabaseTabs* tabs = form->Tabs();
        if (freeTab) {
            tabs->setCurrentIndex(1);
            form->Action("CloseBtn")->trigger();  // tabs 0, 2 and 3 in use
        }
        tabs->setCurrentIndex(3);
        QCOMPARE(std::pair(tabs->OpenCount(), tabs->tabText(3)), std::pair(freeTab ? 3 : 8, FromUtf8("db4")));
        if (!situation.endsWith(FromUtf8("clean")))
            tabs->CurrentDB()->SetCell(1, 1, "unsaved");  // a free tab asks nothing about it
        const QByteArray before = FileBytes(paths[3]);
        QStringList unexpected;
        SetModalFallback([&](QDialog& d) {
            unexpected << d.objectName() + MessageOf(d);
            d.reject();
        });
        const auto noFallback = qScopeGuard([] { SetModalFallback({}); });

        struct TWay {
            QString Chosen;  // in the file dialog; none for a drop or the command line
            QString Caption;
            std::function<void()> Run;
        };
        const QString opened = FromUtf8("ninth");
        const std::map<QString, TWay> ways = {
            {FromUtf8("Open"), {ninth, opened, [&] { form->Action("LoadBtn")->trigger(); }}},
            {FromUtf8("New"),
             {Data(FromUtf8("fresh.PDB")), FromUtf8("*fresh"), [&] { form->Action("NewBtn")->trigger(); }}},
            {FromUtf8("Import"),
             {Data(FromUtf8("imported.csv")), FromUtf8("*imported"),
              [&] { form->Action("ImportCsvItem")->trigger(); }}},
            {FromUtf8("drop"), {QString(), opened, [&] { form->Files().OpenDropped({ninth}); }}},
            {FromUtf8("command line"), {QString(), opened, [&] { form->Files().OpenCommandLine({ninth}); }}}};
        const TWay& way = ways.at(command);
        if (!way.Chosen.isEmpty())
            AnswerFileDialog(way.Chosen);
        QString question;
        if (asked)
            AnswerMessage(question, ButtonName(kept ? TMsgButton::Cancel : TMsgButton::Discard));
        if (command == FromUtf8("New") && !kept)
            QueueModalAnswer([](QDialog& d) {
                AnswerInputLine(FromUtf8("Name"));
                dynamic_cast<TDefineForm&>(d).AddButton()->click();
                dynamic_cast<TDefineForm&>(d).OkButton()->click();
            });
        way.Run();

        QCOMPARE(unexpected, QStringList());
        QCOMPARE(question, asked ? FromUtf8("All eight tabs are in use: the file opens in place of\n") +
                                       QDir::toNativeSeparators(paths[3]) +
                                       FromUtf8("\nwhose changes are not saved. Save them first?")
                                 : QString());
        QCOMPARE(tabs->OpenCount(), freeTab ? 4 : 8);
        QCOMPARE(FileBytes(paths[3]), before);
        if (kept) {
            QCOMPARE(std::pair(tabs->CurrentTab(), tabs->tabText(3)), std::pair(3, FromUtf8("*db4")));
            QCOMPARE(tabs->CurrentDB()->GetCell(1, 1), std::string("unsaved"));
            QVERIFY(!QFile::exists(Data(FromUtf8("fresh.PDB"))) && !QFile::exists(Data(FromUtf8("imported.PDB"))));
            if (way.Chosen.isEmpty())
                QCOMPARE(form->StatusPanel()->text(), FromUtf8("All 8 tabs are in use; close one to open more."));
            return;
        }
        const int tab = freeTab ? 1 : 3;
        QCOMPARE(std::pair(tabs->CurrentTab(), tabs->tabText(tab)), std::pair(tab, way.Caption));
        if (freeTab)
            QCOMPARE(tabs->tabText(3), FromUtf8("*db4"));
        if (command == FromUtf8("Open")) {  // a file open already is shown where it is, asking nothing
            AnswerFileDialog(paths[0]);
            form->Action("LoadBtn")->trigger();
            QCOMPARE(std::pair(tabs->CurrentTab(), tabs->OpenCount()), std::pair(0, freeTab ? 4 : 8));
        }
    }
};

QTEST_MAIN(TabChoiceTest)
#include "tab_choice_test.moc"
