// The list and record views beside the grid, record navigation, the pickers,
// Delete and Up/Down through the grid's rows, and new databases made through
// the dialogs.
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "define_dialog.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "modal.h"
#include "record_list_model.h"
#include "record_panel.h"
#include "text_convert.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {
    {"Name", kTypeString, {}}, {"Kind", kTypeList, {"tree", "car"}}, {"Day", kTypeDate, {}}};

struct Shown {
    TDatabasePage page{1};
    std::unique_ptr<TDataBase> db = std::make_unique<TDataBase>();
    std::unique_ptr<QAbstractItemModelTester> tester;

    explicit Shown(const std::vector<std::vector<std::string>>& rows)
    {
        db->InitNew();
        FillDatabase(*db, kFields, rows);
        db->Modified = false;
        page.SetDatabase(db.get());
        tester = std::make_unique<QAbstractItemModelTester>(page.ListModel(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        page.resize(800, 400);
        page.show();
    }
    ~Shown() { page.SetDatabase(nullptr); }
    QStringList Names()
    {
        QStringList names;
        for (int r = 1; r <= db->RecordCount(); ++r)
            names << ToQString(db->GetCell(r, 1));
        return names;
    }
};

std::vector<std::vector<std::string>> Rows(int count)
{
    std::vector<std::vector<std::string>> rows;
    for (int r = 1; r <= count; ++r)
        rows.push_back({"r" + std::to_string(r), "car", "0" + std::to_string(r) + "/02/03"});
    return rows;
}

}  // namespace

class RecordViewsTest : public QObject {
    Q_OBJECT

private slots:
    void aRecordViewEditShowsAtOnceInTheGridAndTheList()
    {
        Shown s({{"oak\nold", "tree", "01/02/03"}, {"bus", "car", "02/02/03"}});
        s.page.SetViewMode(1);
        QCOMPARE(s.page.ListModel()->LineText(0), Tr("oak\u00A4old"));
        s.page.ListModel()->SetColumn(1);  // a List field lists the next field too
        QCOMPARE(s.page.ListModel()->LineText(1), Tr("car 02/02/03"));
        s.page.ListModel()->SetColumn(0);
        auto* edit = qobject_cast<QLineEdit*>(s.page.EditPanel()->Editor(1));
        QVERIFY(edit);
        QCOMPARE(edit->text(), Tr("oak\u00A4old"));
        edit->setFocus();
        edit->end(false);
        QTest::keyClicks(edit, Tr("\u00A4x"));
        QCOMPARE(s.db->GetCell(1, 1), std::string("oak\nold\nx"));
        QVERIFY(s.db->Modified);
        QCOMPARE(s.page.Model()->CellText(0, 0), Tr("oak\u00A4old\u00A4x"));
        QCOMPARE(s.page.ListBox()->model()->index(0, 0).data().toString(), Tr("oak\u00A4old\u00A4x"));
        // An edit in the grid reaches the record's editor.
        s.page.Model()->setData(s.page.Model()->index(0, 0), Tr("elm"));
        QCOMPARE(edit->text(), Tr("elm"));
    }

    void navigationWrapsAndFollowsTheGridsRows_data()
    {
        QTest::addColumn<bool>("filtered");
        QTest::addColumn<bool>("reversed");
        QTest::addColumn<QStringList>("forward");
        QTest::newRow("all") << false << false << QStringList{Tr("r1"), Tr("r2"), Tr("r3"), Tr("r4"), Tr("r1")};
        QTest::newRow("filter") << true << false << QStringList{Tr("r1"), Tr("r3"), Tr("r4"), Tr("r1"), Tr("r3")};
        QTest::newRow("filter reversed") << true << true
                                         << QStringList{Tr("r4"), Tr("r3"), Tr("r1"), Tr("r4"), Tr("r3")};
    }
    void navigationWrapsAndFollowsTheGridsRows()
    {
        QFETCH(bool, filtered);
        QFETCH(bool, reversed);
        QFETCH(QStringList, forward);
        Shown s(Rows(4));
        if (filtered)
            s.db->SetShown(2, 0);
        s.page.RefreshView();
        if (reversed)
            s.page.Model()->ReverseRows();
        s.page.SetViewMode(2);
        TRecordPanel& panel = *s.page.EditPanel();
        QStringList seen;
        for (int k = 0; k < forward.size(); ++k) {
            seen << ToQString(s.db->GetCell(panel.CurrentRecord(), 1));
            panel.NextBtnClick();
        }
        QCOMPARE(seen, forward);
        panel.ShowRow(0);
        panel.PrevBtnClick();  // back from the first row to the last
        QCOMPARE(ToQString(s.db->GetCell(panel.CurrentRecord(), 1)), forward[forward.size() - 3 + (filtered ? 0 : 1)]);
    }

    void aPickerOnAnUnreadableDateStoresNothing_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("blank");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("garbage") << Tr("soon") << true;
        QTest::newRow("outside the years") << Tr("31/02/03") << true;
        QTest::newRow("four-digit year") << Tr("05/06/2007") << false;
    }
    void aPickerOnAnUnreadableDateStoresNothing()
    {
        QFETCH(QString, stored);
        QFETCH(bool, blank);
        Shown s({{"a", "car", FromQString(stored)}});
        s.page.SetViewMode(2);
        auto* picker = qobject_cast<QDateEdit*>(s.page.EditPanel()->Editor(3));
        QVERIFY(picker);
        QCOMPARE(picker->text().trimmed().isEmpty(), blank);
        QCOMPARE(s.db->GetCell(1, 3), FromQString(stored));
        QVERIFY(!s.db->Modified);
        if (!blank)
            QCOMPARE(picker->date(), QDate(2007, 6, 5));
        picker->setDate(QDate(2010, 3, 4));  // a chosen day is written
        QCOMPARE(s.db->GetCell(1, 3), std::string("04/03/10"));
    }

    void deleteAndMovesActOnTheSelectedRowsRecords_data()
    {
        QTest::addColumn<bool>("reversed");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("rows");
        // r2 is hidden; rows show r1 r3 r4 r5 (or reversed); rows 1..2 are selected.
        QTest::newRow("up") << false << -1 << QStringList{Tr("r2"), Tr("r3"), Tr("r4"), Tr("r1"), Tr("r5")}
                            << QStringList{Tr("r3"), Tr("r4"), Tr("r1"), Tr("r5")};
        QTest::newRow("down") << false << 1 << QStringList{Tr("r1"), Tr("r2"), Tr("r5"), Tr("r3"), Tr("r4")}
                              << QStringList{Tr("r1"), Tr("r5"), Tr("r3"), Tr("r4")};
        QTest::newRow("up reversed") << true << -1 << QStringList{Tr("r1"), Tr("r2"), Tr("r5"), Tr("r3"), Tr("r4")}
                                     << QStringList{Tr("r4"), Tr("r3"), Tr("r5"), Tr("r1")};
        QTest::newRow("down reversed") << true << 1 << QStringList{Tr("r2"), Tr("r3"), Tr("r4"), Tr("r1"), Tr("r5")}
                                       << QStringList{Tr("r5"), Tr("r1"), Tr("r4"), Tr("r3")};
    }
    void deleteAndMovesActOnTheSelectedRowsRecords()
    {
        QFETCH(bool, reversed);
        QFETCH(int, delta);
        QFETCH(QStringList, after);
        QFETCH(QStringList, rows);
        Shown s(Rows(5));
        s.db->SetShown(2, 0);
        s.page.RefreshView();
        if (reversed)
            s.page.Model()->ReverseRows();
        s.page.SetRearrange(true);
        s.page.Grid()->selectionModel()->select(
            QItemSelection(s.page.Model()->index(1, 0), s.page.Model()->index(2, 2)),
            QItemSelectionModel::ClearAndSelect);
        s.page.MoveSelection(delta);
        QCOMPARE(s.Names(), after);
        QStringList shown;
        for (int row = 0; row < s.page.Model()->rowCount(); ++row)
            shown << s.page.Model()->CellText(row, 0);
        QCOMPARE(shown, rows);
        QCOMPARE(s.db->GetShown(after.indexOf(Tr("r2")) + 1), 0);  // the hidden record stays hidden
        int top = 0;
        int bottom = 0;
        QVERIFY(s.page.SelectedRows(top, bottom));
        QCOMPARE(top, 1 + delta);
        QCOMPARE(bottom, 2 + delta);
        // Delete removes the record its row shows, and its flag with it.
        const QString doomed = s.page.Model()->CellText(0, 0);
        QVERIFY(s.page.Model()->DeleteRow(0));
        QVERIFY(!s.Names().contains(doomed));
        QCOMPARE(s.page.Model()->rowCount(), 3);
        QCOMPARE(s.db->GetShown(s.Names().indexOf(Tr("r2")) + 1), 0);
    }

    void movesStopAtEitherEndAndTheLastDeleteLeavesAFreshRecord()
    {
        Shown s(Rows(2));
        QVERIFY(!s.page.Model()->MoveRowBlock(0, 0, -1));
        QVERIFY(!s.page.Model()->MoveRowBlock(1, 1, 1));
        QVERIFY(s.page.Model()->MoveRowBlock(0, 0, 1));
        QCOMPARE(s.Names(), (QStringList{Tr("r2"), Tr("r1")}));
        QVERIFY(s.page.Model()->DeleteRow(0));
        QVERIFY(s.page.Model()->DeleteRow(0));
        QCOMPARE(s.db->RecordCount(), 1);
        QCOMPARE(s.db->GetCell(1, 2), std::string("tree"));  // the first popup item
        QCOMPARE(s.db->GetCell(1, 3), std::string("01/01/00"));
    }

    void aNewDatabaseOfEachLayoutReadsBack_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("readBack");  // a 5.x file reads as 5.5: both carry one creator
        QTest::newRow("3.x") << 0 << 0;
        QTest::newRow("Pro 4.x") << 1 << 1;
        QTest::newRow("5.x") << 2 << 3;
        QTest::newRow("5.5") << 3 << 3;
    }
    void aNewDatabaseOfEachLayoutReadsBack()
    {
        QFETCH(int, layout);
        QFETCH(int, readBack);
        ConfigHome config;
        QTemporaryDir dir;
        const QString path = dir.path() + Tr("/fresh.PDB");
        TMainForm form;
        form.FormCreate({});
        QueueModalAnswer([path](QDialog& d) {
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            QCOMPARE(dialog.selectedFiles().value(0).section(QLatin1Char('/'), -1), Tr("NEW.PDB"));
            dialog.selectFile(path);
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        QueueModalAnswer([layout](QDialog& d) {
            auto& define = dynamic_cast<TDefineForm&>(d);
            define.LayoutBox()->setCurrentIndex(layout);
            QMetaObject::invokeMethod(define.LayoutBox(), "activated", Q_ARG(int, layout));
            for (const char* name : {"No", "  Colour  ", "Count"}) {
                AnswerInputLine(Tr(name));
                define.AddButton()->click();
            }
            AnswerInputLine(Tr("a name of twenty-five chars"));  // refused, not cut
            AnswerButton(Tr("OK"));
            define.AddButton()->click();
            define.Fields()->setCurrentRow(0);
            define.FieldType()->setCurrentIndex(10);  // AutoInc
            define.Field_TypeChange();
            define.Fields()->setCurrentRow(1);
            QueueModalAnswer([](QDialog& p) {
                auto& values = dynamic_cast<TPopupForm&>(p);
                for (const char* value : {"red", "blue"}) {
                    AnswerInputLine(Tr(value));
                    values.AddButton()->click();
                }
                values.OkButton()->click();
            });
            define.FieldType()->setCurrentIndex(7);  // List
            define.Field_TypeChange();
            define.OkButton()->click();
        });
        form.Action("NewBtn")->trigger();
        QCOMPARE(QueuedModalAnswers(), 0);
        QCOMPARE(config.Read("SAVE", "Name"), std::string("fresh.PDB"));
        TDataBase* db = form.Tabs()->DataBase(7);
        QVERIFY(db);
        QCOMPARE(form.Tabs()->CurrentTab(), 7);
        QCOMPARE(form.Tabs()->tabText(7), Tr("fresh"));  // as an opened file is captioned
        QCOMPARE(db->GetCell(1, 1), std::string("1"));
        QCOMPARE(db->GetCell(1, 2), std::string("red"));
        AnswerInputLine(Tr("Fresh"));
        form.Action("SaveBtn")->trigger();

        QProcess cli;
        cli.start(Tr(QUORVIL_CLI_PATH), {Tr("info"), Tr("--json"), Tr("--records"), path});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        const QJsonObject json = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
        QCOMPARE(json.value(Tr("layout")).toInt(), readBack);
        const QJsonArray fields = json.value(Tr("fields")).toArray();
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields[0].toObject().value(Tr("name")).toString(), Tr("No"));
        QCOMPARE(fields[0].toObject().value(Tr("type_name")).toString(), Tr("AUTOINC"));
        QCOMPARE(fields[1].toObject().value(Tr("name")).toString(), Tr("Colour"));
        QCOMPARE(fields[1].toObject().value(Tr("type_name")).toString(), Tr("LIST"));
        QCOMPARE(fields[1].toObject().value(Tr("popup")).toArray(), (QJsonArray{Tr("red"), Tr("blue")}));
        QCOMPARE(fields[2].toObject().value(Tr("type_name")).toString(), Tr("STRING"));
        QCOMPARE(json.value(Tr("records")).toArray(), (QJsonArray{QJsonArray{Tr("1"), Tr("red"), Tr("")}}));
    }
};

QTEST_MAIN(RecordViewsTest)
#include "record_views_test.moc"
