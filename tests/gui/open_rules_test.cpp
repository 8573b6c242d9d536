// What opening a database checks and repairs, the texts it keeps in the
// configuration, the recent-file list and the command-line file names.
#include "command_line.h"
#include "config_store.h"
#include "field_types.h"
#include "format_settings.h"
#include "gui_test_support.h"
#include "jfile.h"
#include "open_checks.h"
#include "recent_files.h"
#include "text_convert.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

std::unique_ptr<TJFILE> MemoryDatabase(const std::vector<FieldSpec>& fields,
                                       const std::vector<std::vector<std::string>>& rows)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    FillDatabase(*db, fields, rows);
    db->Loaded = true;
    return db;
}

void Touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList Names(const std::vector<std::string>& paths)
{
    QStringList names;
    for (const std::string& path : paths)
        names << PathToQString(path).section(QLatin1Char('/'), -1);
    return names;
}

}  // namespace

class OpenRulesTest : public QObject {
    Q_OBJECT

    ConfigHome config_;

private slots:
    void popupReportQuotesValuesWithSpaces()
    {
        auto db = MemoryDatabase({{"Name", kTypeString, {}}, {"Colour", kTypeList, {"Red", "Green"}}},
                                 {{"car", "Red Car"}, {"bike", "Blue"}, {"boat", "Red"}, {"van", "\"big van\""},
                                  {"cart", ""}, {"bus", "red"}});
        const std::vector<std::string> report = CheckPopupValues(*db);
        QCOMPARE(report.size(), size_t(4));  // "red" too: the check minds case
        QCOMPARE(report[0], std::string("In field #2 (Colour), record #1 (car) has the following value: \"Red Car\""));
        QCOMPARE(report[1], std::string("In field #2 (Colour), record #2 (bike) has the following value: Blue"));
        QCOMPARE(report[2], std::string("In field #2 (Colour), record #4 (van) has the following value: \"big van\""));
    }

    void fixAddsEachMissingValueOnceInRecordOrder()
    {
        auto db = MemoryDatabase({{"Colour", kTypeList, {"Red"}}, {"Size", kTypeList, {}}},
                                 {{"Blue", "S"}, {"Red", ""}, {"Teal", "S"}, {"Blue", "M"}});
        FixPopupValues(*db);
        QCOMPARE(db->PopupCount(1), 3);
        QCOMPARE(db->GetPopupItem(1, 2), std::string("Blue"));
        QCOMPARE(db->GetPopupItem(1, 3), std::string("Teal"));
        QCOMPARE(db->PopupCount(2), 2);
        QCOMPARE(db->GetPopupItem(2, 1), std::string("S"));
        QVERIFY(CheckPopupValues(*db).empty());
        QVERIFY(db->Modified);
    }

    void fixStopsAtAFullList()
    {
        std::vector<std::string> items;
        for (int k = 1; k <= 50; ++k)
            items.push_back("v" + std::to_string(k));
        auto db = MemoryDatabase({{"Code", kTypeList, items}}, {{"extra"}});
        FixPopupValues(*db);
        QCOMPARE(db->PopupCount(1), 50);
        QCOMPARE(db->GetCell(1, 1), std::string("extra"));
    }

    void currencyRule_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("becomesString");
        QTest::newRow("all dollars") << QStringList({Tr("$12.50"), Tr("$3"), Tr("")}) << true;
        QTest::newRow("one plain number") << QStringList({Tr("$12.50"), Tr("$3"), Tr("7")}) << false;
        QTest::newRow("no values") << QStringList({Tr(""), Tr("")}) << false;
        QTest::newRow("a dollar in one field, a plain number in the other") << QStringList({Tr("$1|2.5")}) << false;
    }
    void currencyRule()
    {
        QFETCH(QStringList, values);
        std::vector<std::vector<std::string>> rows;
        for (const QString& v : values)
            rows.push_back({FromQString(v.section(QLatin1Char('|'), 0, 0)), FromQString(v.section(QLatin1Char('|'), 1))});
        auto db = MemoryDatabase({{"Price", kTypeFloat, {}}, {"Weight", kTypeFloat, {}}}, rows);
        QFETCH(bool, becomesString);
        QCOMPARE(ApplyCurrencyRule(*db), becomesString);
        QCOMPARE(db->GetFieldType(1), becomesString ? kTypeString : kTypeFloat);
    }

    void counterField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("after");
        QTest::newRow("#") << Tr("#") << int(kTypeInteger) << int(kTypeAutoInc);
        QTest::newRow("No.") << Tr("No.") << int(kTypeInteger) << int(kTypeAutoInc);
        QTest::newRow("other name") << Tr("Count") << int(kTypeInteger) << int(kTypeInteger);
        QTest::newRow("not an integer") << Tr("#") << int(kTypeString) << int(kTypeString);
    }
    void counterField()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        auto db = MemoryDatabase({{FromQString(name), uint16_t(type), {}}, {"Other", kTypeInteger, {}}}, {});
        MakeCounterField(*db);
        QTEST(int(db->GetFieldType(1)), "after");
        QCOMPARE(db->GetFieldType(2), kTypeInteger);
    }

    void lastDbidFieldWins()
    {
        auto db = MemoryDatabase({{"DBID", kTypeString, {}}, {"dbid", kTypeString, {}}, {"DBID", kTypeString, {}}}, {});
        QCOMPARE(FindDbidField(*db), 3);
        QCOMPARE(FindDbidField(*MemoryDatabase({{"Id", kTypeString, {}}}, {})), 0);
    }

    void columnWidths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("widths");
        QTest::newRow("three") << Tr("64,120,40") << 3 << Tr("64,120,40");
        QTest::newRow("stops at a word") << Tr("80,abc,90") << 3 << Tr("80");
        QTest::newRow("no more than columns") << Tr("64,120,40") << 2 << Tr("64,120");
        QTest::newRow("fewer than columns") << Tr("64") << 3 << Tr("64");
        QTest::newRow("empty") << Tr("") << 3 << Tr("");
        QTest::newRow("empty piece") << Tr("10,,20") << 3 << Tr("10");
        QTest::newRow("negative") << Tr("-5,20") << 2 << Tr("");
        QTest::newRow("trailing comma") << Tr("10,") << 3 << Tr("10");
    }
    void columnWidths()
    {
        QFETCH(QString, text);
        QFETCH(int, columns);
        QTEST(PathToQString(JoinColumnWidths(ParseColumnWidths(FromQString(text), columns))), "widths");
    }

    void tabCaption_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::newRow("underscores") << Tr("/d/my_data.pdb") << Tr("my data");
        QTest::newRow("last dot only") << Tr("/d/a.b.PDB") << Tr("a.b");
        QTest::newRow("no extension") << Tr("/d/plain") << Tr("plain");
    }
    void tabCaption()
    {
        QFETCH(QString, path);
        QTEST(PathToQString(TabCaption(QStringToPath(path))), "caption");
    }

    void recentListMovesReopenedFileFirstAndKeepsNine()
    {
        TRecentList list;
        for (int k = 1; k <= 11; ++k)
            list.Add("/f" + std::to_string(k));
        list.Add("/f5");
        QCOMPARE(list.Paths().size(), size_t(9));
        QCOMPARE(list.Paths()[0] + list.Paths()[1], std::string("/f5/f11"));
        QCOMPARE(list.Paths().back(), std::string("/f3"));
    }

    void recentListDropsMissingFilesAndWritesOnlyItsEntries()
    {
        QTemporaryDir dir;
        const std::string a = QStringToPath(dir.path() + Tr("/a.PDB"));
        const std::string c = QStringToPath(dir.path() + Tr("/c.PDB"));
        Touch(PathToQString(a));
        Touch(PathToQString(c));
        auto ini = OpenConfig();
        ini->WriteString("CONFIG", "File1", a);
        ini->WriteString("CONFIG", "File2", QStringToPath(dir.path() + Tr("/gone.PDB")));
        ini->WriteString("CONFIG", "File3", c);
        ini->WriteString("CONFIG", "File4", QStringToPath(dir.path() + Tr("/*.PDB")));
        TRecentList list;
        list.Load(*ini, [](const std::string& p) { return QFileInfo(PathToQString(p)).isFile(); });
        QCOMPARE(list.Paths(), (std::vector<std::string>{a, c}));
        list.Save(*ini);
        auto again = OpenConfig();
        QCOMPARE(again->ReadString("CONFIG", "File1"), a);
        QCOMPARE(again->ReadString("CONFIG", "File2"), c);
        QCOMPARE(again->ReadString("CONFIG", "File3"), c);  // untouched
    }

    void directoryArgumentNamesEveryDatabaseInIt()
    {
        QTemporaryDir dir;
        for (const char* name : {"b.PDB", "a.pdb", "notes.txt", ".hidden.PDB"})
            Touch(dir.path() + QLatin1Char('/') + Tr(name));
        QDir(dir.path()).mkdir(Tr("sub.PDB"));
        QCOMPARE(Names(ExpandDatabaseArgument(QStringToPath(dir.path()))),
                 QStringList({Tr(".hidden.PDB"), Tr("a.pdb"), Tr("b.PDB")}));
    }

    void argumentWithoutExtensionGetsPdb()
    {
        QTemporaryDir dir;
        Touch(dir.path() + Tr("/data.pdb"));
        Touch(dir.path() + Tr("/data"));
        QCOMPARE(Names(ExpandDatabaseArgument(QStringToPath(dir.path() + Tr("/data")))), QStringList({Tr("data.pdb")}));
    }

    void wildcardsMatchNamesExactlyAndExtensionInAnyCase()
    {
        QTemporaryDir dir;
        for (const char* name : {"stock1.PDB", "stock2.pdb", "Stock3.PDB", "stock10.PDB"})
            Touch(dir.path() + QLatin1Char('/') + Tr(name));
        QCOMPARE(Names(ExpandDatabaseArgument(QStringToPath(dir.path() + Tr("/stock?.PDB")))),
                 QStringList({Tr("stock1.PDB"), Tr("stock2.pdb")}));
        QCOMPARE(Names(ExpandDatabaseArgument(QStringToPath(dir.path() + Tr("/stock*.pdb")))),
                 QStringList({Tr("stock1.PDB"), Tr("stock10.PDB"), Tr("stock2.pdb")}));
    }

    void missingFileNamesNothing()
    {
        QVERIFY(ExpandDatabaseArgument("/no/such/dir/x.PDB").empty());
        QVERIFY(ExpandDatabaseArgument("").empty());
    }

    void twoDigitYearsFallBetween1980And2079()
    {
        FixFormatSettings(2025);
        QCOMPARE(ExpandTwoDigitYear(79, 2025), 2079);
        QCOMPARE(ExpandTwoDigitYear(80, 2025), 1980);
        QCOMPARE(ExpandTwoDigitYear(0, 2025), 2000);
        QCOMPARE(ExpandTwoDigitYear(2024, 2025), 2024);
        QCOMPARE(FormatSettings.ShortMonthNames[1], std::string("Feb"));
        QCOMPARE(FormatSettings.ShortDateFormat, std::string("dd/mm/yy"));
        QCOMPARE(FormatSettings.ShortTimeFormat, std::string("hh:nn:ss"));
    }
};

QTEST_MAIN(OpenRulesTest)
#include "open_rules_test.moc"
