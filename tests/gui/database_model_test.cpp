// The grid's model over a database: line breaks shown as '¤' and stored
// back, edits that reach the record a row shows (also under a find filter),
// refills and reversal, and the flags that travel with sorted records.
#include "database.h"
#include "database_model.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "record_sort.h"
#include "text_convert.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace quorvil;
using namespace quorvil::test;

namespace {

constexpr uint16_t kTypeBinary = 68;

std::unique_ptr<TDataBase> MakeDb(const std::vector<FieldSpec>& fields,
                                  const std::vector<std::vector<std::string>>& rows)
{
    auto db = std::make_unique<TDataBase>();
    db->InitNew();
    FillDatabase(*db, fields, rows);
    db->Modified = false;
    return db;
}

// Rows 1..4 named "one".."four" in a text and a binary field.
std::unique_ptr<TDataBase> FourRecords()
{
    return MakeDb({{"Name", kTypeString, {}}, {"Data", kTypeBinary, {}}},
                  {{"one", "1"}, {"two", "2"}, {"three", "3"}, {"four", "4"}});
}

QStringList Column(const TDatabaseModel& model, int col)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, col).data().toString();
    return texts;
}

// A model over `db` that QAbstractItemModelTester watches throughout.
struct Watched {
    explicit Watched(TDataBase* db) { model.SetDatabase(db); }
    TDatabaseModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
};

}  // namespace

class DatabaseModelTest : public QObject {
    Q_OBJECT

private slots:
    void lineBreaksShowAsOneMark_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << Tr("a¤b");
        QTest::newRow("lone LF") << QByteArray("a\nb") << Tr("a¤b");
        QTest::newRow("lone CR") << QByteArray("a\rb") << Tr("a¤b");
        QTest::newRow("LF CR is two") << QByteArray("a\n\rb") << Tr("a¤¤b");
        QTest::newRow("two pairs") << QByteArray("\r\n\r\n") << Tr("¤¤");
        QTest::newRow("CR at the end") << QByteArray("a\r") << Tr("a¤");
        QTest::newRow("Windows-1252 bytes") << QByteArray("caf\xE9 \x80") << Tr("café €");
    }
    void lineBreaksShowAsOneMark()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, shown);
        QCOMPARE(GridText(stored.toStdString()), shown);
    }

    void unchangedCellWithCrLfStoresNothing()
    {
        auto db = MakeDb({{"Note", kTypeString, {}}}, {{"a\r\nb"}});
        Watched w(db.get());
        QSignalSpy edited(&w.model, &TDatabaseModel::Edited);
        QCOMPARE(w.model.index(0, 0).data(Qt::EditRole).toString(), Tr("a¤b"));
        QVERIFY(w.model.setData(w.model.index(0, 0), Tr("a¤b")));
        QCOMPARE(db->GetCell(1, 1), std::string("a\r\nb"));
        QVERIFY(!db->Modified);
        QCOMPARE(edited.size(), 0);
    }

    void typedMarkBecomesLineFeedOnlyInTextFields()
    {
        auto db = FourRecords();
        Watched w(db.get());
        QSignalSpy changed(&w.model, &QAbstractItemModel::dataChanged);
        QVERIFY(w.model.setData(w.model.index(0, 0), Tr("x¤y")));
        QVERIFY(w.model.setData(w.model.index(0, 1), Tr("x¤y")));
        QCOMPARE(db->GetCell(1, 1), std::string("x\ny"));
        QCOMPARE(db->GetCell(1, 2), std::string("x\xA4y"));
        QVERIFY(db->Modified);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(w.model.index(0, 0).data().toString(), Tr("x¤y"));
    }

    void editUnderFilterChangesTheRecordOfTheRow()
    {
        auto db = FourRecords();
        db->SetShown(1, 0);
        db->SetShown(3, 0);
        Watched w(db.get());
        QCOMPARE(Column(w.model, 0), QStringList({Tr("two"), Tr("four")}));
        QVERIFY(w.model.setData(w.model.index(1, 0), Tr("FOUR")));
        QCOMPARE(db->GetCell(4, 1), std::string("FOUR"));
        QCOMPARE(db->GetCell(2, 1), std::string("two"));
        QCOMPARE(w.model.RecordOfRow(1), 4);
    }

    void refillFollowsTheFilterAndKeepsReversal()
    {
        auto db = FourRecords();
        Watched w(db.get());
        w.model.ReverseRows();
        QCOMPARE(Column(w.model, 0), QStringList({Tr("four"), Tr("three"), Tr("two"), Tr("one")}));
        db->SetShown(4, 0);
        w.model.Refill();
        QCOMPARE(Column(w.model, 0), QStringList({Tr("three"), Tr("two"), Tr("one")}));
        db->ShowAll();
        w.model.ClearReversal();
        w.model.Refill();
        QCOMPARE(Column(w.model, 0), QStringList({Tr("one"), Tr("two"), Tr("three"), Tr("four")}));
        w.model.SetDatabase(db.get());
        QVERIFY(!w.model.Reversed());
    }

    void refillAfterFieldCountChangeResetsColumns()
    {
        auto db = FourRecords();
        Watched w(db.get());
        QSignalSpy reset(&w.model, &QAbstractItemModel::modelReset);
        db->SetFieldCount(3);
        w.model.Refill();
        QCOMPARE(w.model.columnCount(), 3);
        QCOMPARE(reset.size(), 1);
    }

    void sortedRecordsKeepTheirShownFlags()
    {
        auto db = MakeDb({{"Name", kTypeString, {}}}, {{"c"}, {"a"}, {"b"}});
        db->SetShown(1, 0);  // "c" is filtered out
        SortRecords(*db, TSortOrder{{"Name"}, {}, {}}, 1, 3);
        QCOMPARE(db->GetCell(3, 1), std::string("c"));
        QCOMPARE(db->GetShown(3), 0);
        QCOMPARE(db->GetShown(1) + db->GetShown(2), 2);
        db->SwapRecords(3, 1);
        QCOMPARE(db->GetShown(1), 0);
        QCOMPARE(db->GetShown(3), 1);
    }

    void databaseOfNoRecordsShowsNoRows()
    {
        auto db = MakeDb({{"Name", kTypeString, {}}}, {});
        Watched w(db.get());
        QCOMPARE(w.model.rowCount(), 0);
        QCOMPARE(w.model.columnCount(), 1);
        w.model.ReverseRows();
        w.model.Refill();
        QCOMPARE(w.model.CellText(0, 0), QString());
    }
};

QTEST_MAIN(DatabaseModelTest)
#include "database_model_test.moc"
