// What opening a database checks and repairs, the texts it keeps in the
// configuration, the recent-file list and the command-line file names.
#include "command_line.h"
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
                                       const std::vector<std::vector<std::string>>& rows = {})
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    FillDatabase(*db, fields, rows);
    db->Loaded = true;
    return db;
}

}  // namespace

class OpenRulesTest : public QObject {
    Q_OBJECT

private slots:
    void popupReportQuotesValuesWithSpaces()
    {
        auto db = MemoryDatabase({{"Name", kTypeString, {}}, {"Colour", kTypeList, {"Red", "Green"}}},
                                 {{"car", "Red Car"}, {"bike", "Blue"}, {"boat", "Red"}, {"cart", ""}, {"bus", "red"}});
        const std::vector<std::string> report = CheckPopupValues(*db);
        QCOMPARE(report.size(), size_t(3));  // "red" too: the check minds case
        QCOMPARE(report[0], std::string("In field #2 (Colour), record #1 (car) has the following value: \"Red Car\""));
        QCOMPARE(report[1], std::string("In field #2 (Colour), record #2 (bike) has the following value: Blue"));
    }

    void fixAddsEachMissingValueOnceInRecordOrder()
    {
        auto db = MemoryDatabase({{"Colour", kTypeList, {"Red"}}, {"Size", kTypeList, {}}},
                                 {{"Blue", "S"}, {"Red", ""}, {"Teal", "S"}, {"Blue", "M"}});
        FixPopupValues(*db);
        QCOMPARE(db->PopupCount(1), 3);
        QCOMPARE(db->GetPopupItem(1, 2) + db->GetPopupItem(1, 3), std::string("BlueTeal"));
        QCOMPARE(db->PopupCount(2), 2);
        QVERIFY(CheckPopupValues(*db).empty());
        QVERIFY(db->Modified);
        std::vector<std::string> items;  // a full list takes no more
        for (int k = 1; k <= 50; ++k)
            items.push_back("v" + std::to_string(k));
        auto full = MemoryDatabase({{"Code", kTypeList, items}}, {{"extra"}});
        FixPopupValues(*full);
        QCOMPARE(full->PopupCount(1), 50);
        QCOMPARE(full->GetCell(1, 1), std::string("extra"));
    }

    void currencyRule_data()
    {
        QTest::addColumn<QStringList>("values");  // Price|Weight
        QTest::addColumn<bool>("becomesString");
        QTest::newRow("all dollars") << QStringList({FromUtf8("$12.50"), FromUtf8("$3"), FromUtf8("")}) << true;
        QTest::newRow("one plain number") << QStringList({FromUtf8("$12.50"), FromUtf8("7")}) << false;
        QTest::newRow("no values") << QStringList({FromUtf8(""), FromUtf8("")}) << false;
        QTest::newRow("a dollar in one field, a plain number in the other") << QStringList({FromUtf8("$1|2.5")}) << false;
    }
    void currencyRule()
    {
        QFETCH(QStringList, values);
        QFETCH(bool, becomesString);
        std::vector<std::vector<std::string>> rows;
        for (const QString& v : values)
            rows.push_back({FromQString(v.section(QLatin1Char('|'), 0, 0)), FromQString(v.section(QLatin1Char('|'), 1))});
        auto db = MemoryDatabase({{"Price", kTypeFloat, {}}, {"Weight", kTypeFloat, {}}}, rows);
        QCOMPARE(ApplyCurrencyRule(*db), becomesString);
        QCOMPARE(db->GetFieldType(1), becomesString ? kTypeString : kTypeFloat);
    }

    void counterFieldAndDbidField()
    {
        const std::vector<std::tuple<std::string, uint16_t, uint16_t>> cases = {
            {"#", kTypeInteger, kTypeAutoInc}, {"No.", kTypeInteger, kTypeAutoInc},
            {"Count", kTypeInteger, kTypeInteger}, {"#", kTypeString, kTypeString}};
        for (const auto& [name, type, after] : cases) {
            auto db = MemoryDatabase({{name, type, {}}, {"Other", kTypeInteger, {}}});
            MakeCounterField(*db);
            QCOMPARE(db->GetFieldType(1) * 1000 + db->GetFieldType(2), after * 1000 + kTypeInteger);
        }
        QCOMPARE(FindDbidField(*MemoryDatabase({{"DBID", kTypeString, {}}, {"dbid", kTypeString, {}},
                                                {"DBID", kTypeString, {}}})),
                 3);
        QCOMPARE(FindDbidField(*MemoryDatabase({{"Id", kTypeString, {}}})), 0);
    }

    void columnWidths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("widths");
        QTest::newRow("stops at a word") << FromUtf8("80,abc,90") << 3 << FromUtf8("80");
        QTest::newRow("no more than columns") << FromUtf8("64,120,40") << 2 << FromUtf8("64,120");
        QTest::newRow("fewer than columns") << FromUtf8("64") << 3 << FromUtf8("64");
        QTest::newRow("empty piece") << FromUtf8("10,,20") << 3 << FromUtf8("10");
        QTest::newRow("negative") << FromUtf8("-5,20") << 2 << FromUtf8("");
    }
    void columnWidths()
    {
        QFETCH(QString, text);
        QFETCH(int, columns);
        QTEST(PathToQString(JoinColumnWidths(ParseColumnWidths(FromQString(text), columns))), "widths");
    }

    void tabCaptionsAndTheRecentList()
    {
        QCOMPARE(TabCaption("/d/my_data.pdb"), std::string("my data"));
        QCOMPARE(TabCaption("/d/a.b.PDB"), std::string("a.b"));
        QCOMPARE(TabCaption("/d/plain"), std::string("plain"));
        TRecentList list;
        for (int k = 1; k <= 11; ++k)
            list.Add("/f" + std::to_string(k));
        list.Add("/f5");  // moves first; nine are kept
        QCOMPARE(list.Paths().size(), size_t(9));
        QCOMPARE(list.Paths()[0] + list.Paths()[1] + list.Paths().back(), std::string("/f5/f11/f3"));
        list.Add(list.Paths()[2]);  // a recent file opened again: its own entry
        QCOMPARE(list.Paths()[0] + list.Paths()[1], std::string("/f10/f5"));
    }

    void databaseArguments_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("a directory: every database in it") << QString()
            << QStringList{FromUtf8(".hidden.PDB"), FromUtf8("Stock3.PDB"), FromUtf8("a.pdb"), FromUtf8("data.pdb"), FromUtf8("stock1.PDB"),
                           FromUtf8("stock10.PDB"), FromUtf8("stock2.pdb")};
        QTest::newRow("no extension gets .pdb") << FromUtf8("/data") << QStringList{FromUtf8("data.pdb")};
        QTest::newRow("? is one character") << FromUtf8("/stock?.PDB") << QStringList{FromUtf8("stock1.PDB"), FromUtf8("stock2.pdb")};
        QTest::newRow("* and the extension in any case")
            << FromUtf8("/stock*.pdb") << QStringList{FromUtf8("stock1.PDB"), FromUtf8("stock10.PDB"), FromUtf8("stock2.pdb")};
        QTest::newRow("missing file") << FromUtf8("/x.PDB") << QStringList();
    }
    void databaseArguments()
    {
        QFETCH(QString, argument);
        QTemporaryDir dir;
        for (const char* name : {"a.pdb", "notes.txt", ".hidden.PDB", "data.pdb", "data", "stock1.PDB", "stock2.pdb",
                                 "Stock3.PDB", "stock10.PDB"})
            QVERIFY(QFile(dir.path() + QLatin1Char('/') + FromUtf8(name)).open(QIODevice::WriteOnly));
        QDir(dir.path()).mkdir(FromUtf8("sub.PDB"));
        QStringList names;
        for (const std::string& path : ExpandDatabaseArgument(QStringToPath(dir.path() + argument)))
            names << PathToQString(path).section(QLatin1Char('/'), -1);
        QTEST(names, "names");
    }

    void theFixedFormatSettingsReadTwoDigitYearsFrom1980()
    {
        FixFormatSettings(2025);
        QCOMPARE(FormatSettings.TwoDigitYearCenturyWindow, 45);
        QCOMPARE(FormatSettings.ShortMonthNames[1], std::string("Feb"));
        QCOMPARE(FormatSettings.ShortDateFormat + " " + FormatSettings.ShortTimeFormat, std::string("dd/mm/yy hh:nn:ss"));
    }
};

QTEST_MAIN(OpenRulesTest)
#include "open_rules_test.moc"
