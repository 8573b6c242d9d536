// The Access-style export written to SQLite files and read back through Qt
// Sql and the sqlite3 program.
#include "access_fixture.h"

#include "errors.h"
#include "field_types.h"
#include "jfile.h"
#include "pdb_format.h"
#include "sample_db.h"
#include "sql_database.h"
#include "test_files.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quorvil::accesstest {
namespace {

using testkit::TempDir;

std::string LogLines(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text a String cell arrives as: '¤' is a line break of the handheld.
QString Arrived(const std::string& cell)
{
    return Text(cell).replace(QChar(0xA4), QStringLiteral("\r\n"));
}

TEST(AccessExport, EveryFieldTypeArrivesWithItsValue)
{
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high += char(b);
    const std::string name = high + "\nsay \"hi\": 10:30";
    const std::string wide(32000, 'z');
    auto db = MakeDatabase("Edge", {{"Name", kTypeString}, {"Count", kTypeInteger}, {"Born", kTypeDate},
                                    {"Meet", kTypeTime}, {"Done", kTypeBoolean}, {"Kind", kTypeList},
                                    {"Stamp", kTypeIntDate}, {"Ratio", kTypeFloat}, {"name", kTypeString}},
                           {{name, "42", "07/05/2003", "9:05", "1", "x\xA4y", "05 Mar 2001", "1.5", wide},
                            {"", "-7", "", "", "", "", "garbage", "", ""}});
    TempDir dir;
    const std::string file = dir.File("edge.sqlite");
    const ExportRun run = RunExport(*db, file);

    EXPECT_EQ(run.Errors, 0);
    EXPECT_EQ(run.Warnings, std::vector<std::string>{"Unsupported field type: FLOAT"});
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"edge.sqlite"});  // no log, no temporary file
    const TableContents table = ReadTable(file, "Edge");
    const std::vector<QString> columns = {QStringLiteral("ID"),   QStringLiteral("Name"),  QStringLiteral("Count"),
                                          QStringLiteral("Born"), QStringLiteral("Meet"),  QStringLiteral("Done"),
                                          QStringLiteral("Kind"), QStringLiteral("Stamp"), QStringLiteral("name_2")};
    EXPECT_EQ(table.Columns, columns);
    ASSERT_EQ(table.Rows.size(), 2u);
    const std::vector<QVariant>& one = table.Rows[0];
    const std::vector<QVariant>& two = table.Rows[1];
    EXPECT_EQ(one[0].toLongLong(), 1);
    EXPECT_EQ(one[1].toString(), Arrived(name));
    EXPECT_TRUE(one[1].toString().contains(QStringLiteral("\nsay \"hi\": 10:30")));
    EXPECT_EQ(one[2].toLongLong(), 42);
    EXPECT_EQ(one[3].toString(), QStringLiteral("2003-05-07"));
    EXPECT_EQ(one[4].toString(), QStringLiteral("09:05:00"));
    EXPECT_EQ(one[5].toLongLong(), 1);
    EXPECT_EQ(one[6].toString(), QStringLiteral("x\r\ny"));
    EXPECT_EQ(one[7].toString(), QStringLiteral("2001-03-05"));
    EXPECT_EQ(one[8].toString(), Text(wide));
    // Empty cells: empty text, the zero date's time, an empty box.
    EXPECT_EQ(two[0].toLongLong(), 2);
    EXPECT_EQ(two[1].toString(), QString());
    EXPECT_EQ(two[2].toLongLong(), -7);
    EXPECT_EQ(two[3].toString(), QStringLiteral("00:00:00"));
    EXPECT_EQ(two[4].toString(), QStringLiteral("00:00:00"));
    EXPECT_EQ(two[5].toLongLong(), 0);
    EXPECT_EQ(two[7].toString(), QStringLiteral("00:00:00"));
}

TEST(AccessExport, TheHookSeesEveryStatementInOrder)
{
    auto db = MakeDatabase("My Addresses 2003!", {{"Note", kTypeString}, {"N", kTypeInteger}, {"Ok", kTypeBoolean},
                                                  {"Day", kTypeIntDate}, {"At", kTypeTime}, {"F", kTypeFloat}},
                           {{"a:\"b\"", "5", "0", "05 Mar 2003", "10:30:15", "2.5"}});
    TempDir dir;
    const ExportRun run = RunExport(*db, dir.File("a.sqlite"));
    const std::string t = "[MyAddresses2003]";
    const std::vector<std::string> expected = {
        "CREATE TABLE " + t + " (ID COUNTER, PRIMARY KEY(ID))",
        "ALTER TABLE " + t + " ADD [Note] MEMO",
        "ALTER TABLE " + t + " ALTER COLUMN [Note] SET DEFAULT \"\"",
        "ALTER TABLE " + t + " ADD [N] INTEGER",
        "ALTER TABLE " + t + " ALTER COLUMN [N] SET DEFAULT 0",
        "ALTER TABLE " + t + " ADD [Ok] BIT",
        "ALTER TABLE " + t + " ALTER COLUMN [Ok] SET DEFAULT FALSE",
        "ALTER TABLE " + t + " ADD [Day] DATE",
        "ALTER TABLE " + t + " ADD [At] TIME",
        "SELECT * FROM " + t + " WHERE ID=0",
        "SELECT ID FROM " + t + " ORDER BY ID DESC",
        "UPDATE " + t + " SET [Note]=\"a::\"\"b\"\"\" WHERE ID=1",
        "UPDATE " + t + " SET [N]=5 WHERE ID=1",
        "UPDATE " + t + " SET [Ok]=FALSE WHERE ID=1",
        "UPDATE " + t + " SET [Day]=#2003-3-5# WHERE ID=1",
        "UPDATE " + t + " SET [At]=#10::30::15# WHERE ID=1",
    };
    EXPECT_EQ(run.Statements, expected);
    const TableContents table = ReadTable(dir.File("a.sqlite"), "MyAddresses2003");
    ASSERT_EQ(table.Rows.size(), 1u);
    EXPECT_EQ(table.Rows[0][1].toString(), QStringLiteral("a:\"b\""));
    EXPECT_EQ(table.Rows[0][5].toString(), QStringLiteral("10:30:15"));
}

TEST(AccessExport, FailedStatementsAreLoggedCountedAndTheOtherRowsWritten)
{
    auto db = MakeDatabase("Counts", {{"Label", kTypeString}, {"N", kTypeInteger}},
                           {{"one", "1"}, {"two", ""}, {"three", "abc"}, {"four", "4 WHERE 1=1 --"}});
    TempDir dir;
    const ExportRun run = RunExport(*db, dir.File("c.sqlite"));

    EXPECT_EQ(run.Errors, 3);
    EXPECT_EQ(run.Warnings, std::vector<std::string>{"3 errors encountered"});
    std::istringstream log(LogLines(dir.File("Quorvil.LOG")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "UPDATE [Counts] SET [N]= WHERE ID=2");
    EXPECT_EQ(lines[2], "UPDATE [Counts] SET [N]=abc WHERE ID=3");
    EXPECT_EQ(lines[4], "UPDATE [Counts] SET [N]=4 WHERE 1=1 -- WHERE ID=4");
    for (size_t i : {1u, 3u, 5u})
        EXPECT_TRUE(lines[i].starts_with("Exception ESqlError: ") && lines[i].size() > 21) << lines[i];
    const TableContents table = ReadTable(dir.File("c.sqlite"), "Counts");
    ASSERT_EQ(table.Rows.size(), 4u);
    const char* const labels[] = {"one", "two", "three", "four"};
    const int counts[] = {1, 0, 0, 0};  // failed ones keep the column's default
    for (size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(table.Rows[r][1].toString(), QString::fromLatin1(labels[r]));
        EXPECT_EQ(table.Rows[r][2].toLongLong(), counts[r]);
    }
}

TEST(AccessExport, FieldNamesBecomeDistinctColumnsHoldingTheirOwnValues)
{
    auto db = MakeDatabase("Names", {{"ID", kTypeString}, {"a.b[c]", kTypeString}, {"  lead", kTypeString},
                                     {"", kTypeString}, {"Name", kTypeString}, {"NAME", kTypeString},
                                     {"select", kTypeString}, {"say \"x\"", kTypeString}},
                           {{"v1", "v2", "v3", "v4", "v5", "v6", "v7", "v8"}});
    TempDir dir;
    ASSERT_EQ(RunExport(*db, dir.File("n.sqlite")).Errors, 0);
    const TableContents table = ReadTable(dir.File("n.sqlite"), "Names");
    QStringList columns;
    for (const QString& c : table.Columns)
        columns << c;
    EXPECT_EQ(columns.join(QLatin1Char('|')),
              QStringLiteral("ID|ID_2|a_b_c_|lead|Field4|Name|NAME_2|select|say \"x\""));
    ASSERT_EQ(table.Rows.size(), 1u);
    for (int c = 1; c <= 8; ++c)
        EXPECT_EQ(table.Rows[0][size_t(c)].toString(), QStringLiteral("v%1").arg(c));
}

TEST(AccessExport, TheSampleDatabaseArrivesWhole)
{
    TempDir dir;
    testkit::WriteBytes(dir.File("garden.pdb"), pdbtest::Build(pdbtest::SampleDatabase(3)));
    auto db = Open(dir.File("garden.pdb"));
    const std::string file = dir.File("garden.sqlite");
    // Record 3's empty Integer cell makes its statement fail; that is all.
    EXPECT_EQ(RunExport(*db, file).Errors, 1) << LogLines(dir.File("Quorvil.LOG"));
    const std::vector<TAccessColumn> exported = AccessColumns(*db);
    const TableContents table = ReadTable(file, AccessTableName(*db));
    ASSERT_EQ(table.Columns.size(), exported.size() + 1);
    ASSERT_EQ(table.Rows.size(), size_t(db->RecordCount()));
    for (size_t c = 0; c < exported.size(); ++c) {
        EXPECT_EQ(table.Columns[c + 1], Text(db->GetFieldName(exported[c].Field)));
        if (exported[c].Kind != TAccessKind::Text)
            continue;
        for (int r = 1; r <= db->RecordCount(); ++r)
            EXPECT_EQ(table.Rows[size_t(r - 1)][c + 1].toString(), Arrived(db->GetCell(r, exported[c].Field)));
    }

    // The sqlite3 program reads the file as well.
    if (std::system("command -v sqlite3 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sqlite3 is not installed";
    const std::string command = "sqlite3 '" + file + "' 'SELECT COUNT(*) FROM \"" + AccessTableName(*db) + "\"'";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char out[32] = "";
    ASSERT_NE(std::fgets(out, sizeof out, pipe), nullptr);
    ::pclose(pipe);
    EXPECT_EQ(std::stoi(out), db->RecordCount());
}

// Fails every ALTER statement, as a file that takes no columns would.
class NoColumnsDB : public TAccessDB {
public:
    using TAccessDB::TAccessDB;

protected:
    void BeforeStatement(const std::string& text) override
    {
        if (text.starts_with("ALTER"))
            throw ESqlError("disk I/O error");
    }
};

TEST(AccessExport, AFailureOfTheFileLeavesNothingBehindAndTheOldFileStays)
{
    auto db = MakeDatabase("T", {{"A", kTypeString}}, {{"x"}});
    TempDir dir;
    const std::string missing = dir.File("nowhere/t.sqlite");
    try {
        RunExport(*db, missing);
        ADD_FAILURE() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + missing + "\". No such file or directory");
    }

    const std::string old = dir.File("t.sqlite");
    testkit::WriteText(old, "old contents");
    auto open = [](const std::string& name) { return std::make_unique<NoColumnsDB>(CreateSqlDatabase(name)); };
    EXPECT_THROW(ExportToAccess(*db, old, open), ESqlError);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"t.sqlite"});
    EXPECT_EQ(LogLines(old), "old contents");
}

TEST(AccessExport, ColumnsAddedAfterRowsKeepTheRows)
{
    TempDir dir;
    const std::string file = dir.File("r.sqlite");
    {
        TAccessDB adb(CreateSqlDatabase(file));
        adb.BeginTransaction();
        adb.CreateTable("T");
        adb.AddTextColumn("A");
        EXPECT_EQ(adb.AppendRecord(), 1);
        adb.ExecuteSQL("UPDATE [T] SET [A]=\"x\" WHERE ID=1");
        adb.AddIntegerColumn("B");
        EXPECT_EQ(adb.AppendRecord(), 2);
        adb.ExecuteSQL("UPDATE [T] SET [B]=9 WHERE ID=2");
        adb.CommitTransaction();
    }
    const TableContents table = ReadTable(file, "T");
    ASSERT_EQ(table.Rows.size(), 2u);
    EXPECT_EQ(table.Rows[0][1].toString(), QStringLiteral("x"));
    EXPECT_EQ(table.Rows[1][1].toString(), QString());
    EXPECT_EQ(table.Rows[1][2].toLongLong(), 9);
}

struct DateCase {
    TDate Date;
    int Seconds;
    const char* Sql;
};

TEST(AccessExport, DatesAndTimesAreWrittenAsLiterals)
{
    const DateCase cases[] = {
        {{2003, 5, 7}, 0, "#2003-5-7#"},
        {{2003, 5, 7}, 9 * 3600 + 5 * 60, "#2003-5-7 09:05:00#"},
        {{}, 0, "#00:00:00#"},
        {{}, 23 * 3600 + 59 * 60 + 59, "#23:59:59#"},
        {{1850, 1, 2}, 0, "#1850-1-2#"},  // before the zero date, still a date
    };
    for (const DateCase& c : cases)
        EXPECT_EQ(SqlDateTime(c.Date, c.Seconds), c.Sql);
    const std::pair<const char*, int> times[] = {
        {"09:05:00", 32700}, {"9:05", 32700}, {"23.59.59", 86399}, {"12:30", 45000},
        {"24:00:00", 0},     {"9:5", 0},      {"09:60", 0},        {"", 0},
    };
    for (const auto& [text, seconds] : times)
        EXPECT_EQ(TimeTextToTime(text), seconds) << text;
}

TEST(AccessExport, TableNamesKeepOnlyAsciiLettersAndDigits)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"My Addresses 2003!", "/x/y.pdb", "MyAddresses2003"},
        {"\xC4\xD6!", "/x/\xE9t\xE9 7.pdb", "t7"},
        {"***", "/x/###.pdb", "TABLE"},
    };
    for (const auto& [title, file, table] : cases) {
        auto db = MakeDatabase(title, {}, {});
        db->FileName = file;
        EXPECT_EQ(AccessTableName(*db), table);
    }
}

}  // namespace
}  // namespace quorvil::accesstest
