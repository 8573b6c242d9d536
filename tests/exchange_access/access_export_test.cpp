// The Access-style export written to SQLite files and read back through Qt Sql.
#include "access_export.h"
#include "charset.h"
#include "database_fixtures.h"
#include "errors.h"
#include "field_types.h"
#include "progress.h"
#include "sql_database.h"
#include "test_files.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace quorvil {
namespace {

using test::FieldSpec;
using test::MemoryDatabase;
using test::Rows;
using ::testing::MatchesRegex;
using ::testing::ThrowsMessage;
using testkit::ReadText;
using testkit::TempDir;

// Qt Sql loads its drivers through the application object.
struct QtEnvironment : ::testing::Environment {
    void SetUp() override { app = std::make_unique<QCoreApplication>(argc, argv); }
    void TearDown() override { app.reset(); }
    int argc = 1;
    char name[16] = "access_tests";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
};

[[maybe_unused]] ::testing::Environment* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Records every statement text it sees; with failColumns fails every ALTER
// statement, as a file that takes no columns would.
struct RecordingDB : TAccessDB {
    RecordingDB(std::unique_ptr<TSqlConnection> connection, std::vector<std::string>& statements, bool fail)
        : TAccessDB(std::move(connection)), seen(statements), failColumns(fail)
    {
    }
    void BeforeStatement(const std::string& text) override
    {
        seen.push_back(text);
        if (failColumns && text.starts_with("ALTER"))
            throw ESqlError("disk I/O error");
    }
    std::vector<std::string>& seen;
    bool failColumns;
};

struct ExportRun {
    int Errors = 0;
    std::vector<std::string> Statements;
    std::vector<std::string> Warnings;
};

ExportRun RunExport(TJFILE& db, const std::string& fileName, bool failColumns = false)
{
    ExportRun run;
    TAccessEvents events;
    events.Warning = [&](const std::string& text) { run.Warnings.push_back(text); };
    run.Errors = ExportToAccess(
        db, fileName,
        [&](const std::string& name) {
            return std::make_unique<RecordingDB>(CreateSqlDatabase(name), run.Statements, failColumns);
        },
        events);
    return run;
}

// Without a hook: the rows go to the file without their statements.
int RunDirectExport(TJFILE& db, const std::string& fileName)
{
    return ExportToAccess(db, fileName,
                          [](const std::string& temp) { return std::make_unique<TAccessDB>(CreateSqlDatabase(temp)); });
}

// What the sqlite3 shell prints for `sql` on the file: its own reading,
// not Qt's.
std::string SqliteShell(const std::string& fileName, const std::string& sql)
{
    const std::string command = "sqlite3 -batch '" + fileName + "' '" + sql + "' 2>&1";
    std::string out;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (const size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// How ReadTable shows an SQL NULL, which no cell of these tests holds.
const std::string kNull = "<NULL>";

// A table of an SQLite file as UTF-8 texts: the column names as the file
// has them, then the rows by ID.
Rows ReadTable(const std::string& fileName, const std::string& table)
{
    Rows contents(1);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("readback"));
        db.setDatabaseName(QString::fromStdString(fileName));
        EXPECT_TRUE(db.open());
        const QString name = QString::fromStdString(table);
        // Qt's record drops double quotes from the names: the file's own.
        QSqlQuery names(db), query(db);
        EXPECT_TRUE(names.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(name)));
        while (names.next())
            contents[0].push_back(names.value(1).toString().toStdString());
        EXPECT_TRUE(query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY ID").arg(name)));
        while (query.next()) {
            contents.emplace_back();
            for (int c = 0; c < query.record().count(); ++c)
                contents.back().push_back(query.value(c).isNull() ? kNull : query.value(c).toString().toStdString());
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("readback"));
    return contents;
}

TEST(AccessExport, every_field_type_arrives_with_its_value)
{
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high += char(b);
    const std::string name = high + "\nsay \"hi\": 10:30", wide(32000, 'z');
    const std::vector<FieldSpec> fields = {{"Name"},
                                           {"Count", TFieldType::Integer},
                                           {"Born", TFieldType::Date},
                                           {"Meet", TFieldType::Time},
                                           {"Done", TFieldType::Boolean},
                                           {"Kind", TFieldType::List},
                                           {"Stamp", TFieldType::IntDate},
                                           {"Photo", TFieldType::Binary},
                                           {"Ratio", TFieldType::Float},
                                           {"Sum", TFieldType::Calc},
                                           {"name"}};
    auto db = MemoryDatabase(
        fields,
        {{name, "42", "07/05/2003", "9:05", "1", "x\xA4y", "05 Mar 2001", "\x01", "1.5", "3", wide},
         {"", "-7", "", "", "", "", "", "", "", "", ""}},
        "Edge");
    TempDir dir;
    const ExportRun run = RunExport(*db, dir / "edge.sqlite");
    EXPECT_EQ(run.Errors, 0);
    EXPECT_EQ(run.Warnings, std::vector<std::string>{"Fields \"Photo\" (BINARY) and \"Sum\" (CALC) cannot be "
                                                     "written to the database; they are left out."});
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"edge.sqlite"});  // no log, no temporary file
    // '¤' is a line break of the handheld; empty dates, times and numbers are NULL.
    std::string arrived = Cp1252ToUtf8(name);
    arrived.replace(arrived.find("\xC2\xA4"), 2, "\r\n");
    EXPECT_EQ(ReadTable(dir / "edge.sqlite", "Edge"),
              (Rows{{"ID", "Name", "Count", "Born", "Meet", "Done", "Kind", "Stamp", "Ratio", "name_2"},
                    {"1", arrived, "42", "2003-05-07", "09:05:00", "1", "x\r\ny", "2001-03-05", "1.5", wide},
                    {"2", "", "-7", kNull, kNull, "0", "", kNull, kNull, ""}}));
    // As any SQLite tool reads the file: the Float field a column of real numbers.
    EXPECT_EQ(SqliteShell(dir / "edge.sqlite", "SELECT typeof(Ratio), Ratio FROM Edge ORDER BY ID"),
              "real|1.5\nnull|\n");
}

TEST(AccessExport, the_hook_sees_every_statement_in_order)
{
    auto db = MemoryDatabase({{"Note"},
                              {"N", TFieldType::Integer},
                              {"Ok", TFieldType::Boolean},
                              {"Day", TFieldType::IntDate},
                              {"At", TFieldType::Time},
                              {"F", TFieldType::Float}},
                             {{"a:\"b\"", "5", "0", "05 Mar 2003", "10:30:15", "-.5e1"}}, "T");
    TempDir dir;
    const ExportRun run = RunExport(*db, dir / "a.sqlite");
    std::ostringstream seen;
    for (const std::string& s : run.Statements)
        seen << s << "\n";
    EXPECT_EQ(seen.str(), "CREATE TABLE [T] (ID COUNTER, PRIMARY KEY(ID))\n"
                          "ALTER TABLE [T] ADD [Note] MEMO\n"
                          "ALTER TABLE [T] ALTER COLUMN [Note] SET DEFAULT \"\"\n"
                          "ALTER TABLE [T] ADD [N] INTEGER\n"
                          "ALTER TABLE [T] ALTER COLUMN [N] SET DEFAULT 0\n"
                          "ALTER TABLE [T] ADD [Ok] BIT\n"
                          "ALTER TABLE [T] ALTER COLUMN [Ok] SET DEFAULT FALSE\n"
                          "ALTER TABLE [T] ADD [Day] DATE\n"
                          "ALTER TABLE [T] ADD [At] TIME\n"
                          "ALTER TABLE [T] ADD [F] DOUBLE\n"
                          "SELECT * FROM [T] WHERE ID=0\n"
                          "SELECT ID FROM [T] ORDER BY ID DESC\n"
                          "UPDATE [T] SET [Note]=\"a::\"\"b\"\"\" WHERE ID=1\n"
                          "UPDATE [T] SET [N]=5 WHERE ID=1\n"
                          "UPDATE [T] SET [Ok]=FALSE WHERE ID=1\n"
                          "UPDATE [T] SET [Day]=#2003-3-5# WHERE ID=1\n"
                          "UPDATE [T] SET [At]=#10::30::15# WHERE ID=1\n"
                          "UPDATE [T] SET [F]=-5 WHERE ID=1\n");
}

TEST(AccessExport, failed_statements_are_logged_counted_and_the_other_rows_written)
{
    auto db = MemoryDatabase({{"Label"}, {"N", TFieldType::Integer}},
                             {{"one", "1"}, {"two", ""}, {"three", "abc"}, {"four", "4 WHERE 1=1 --"}}, "Counts");
    TempDir dir;
    const ExportRun run = RunExport(*db, dir / "c.sqlite");
    EXPECT_EQ(run.Errors, 2);
    EXPECT_EQ(run.Warnings, std::vector<std::string>{"2 errors encountered"});
    const std::string error = "Exception ESqlError: [^\n]+\n";
    EXPECT_THAT(ReadText(dir / "Quorvil.LOG"),
                MatchesRegex("UPDATE \\[Counts\\] SET \\[N\\]=abc WHERE ID=3\n" + error +
                             "UPDATE \\[Counts\\] SET \\[N\\]=4 WHERE 1=1 -- WHERE ID=4\n" + error));
    // The failed ones keep the column's default; an empty cell is no failure but NULL.
    EXPECT_EQ(
        ReadTable(dir / "c.sqlite", "Counts"),
        (Rows{{"ID", "Label", "N"}, {"1", "one", "1"}, {"2", "two", kNull}, {"3", "three", "0"}, {"4", "four", "0"}}));
}

// Through the statements (NULL in their text, as Jet takes it too) and
// directly alike; a date or time that cannot be read is logged with its text.
TEST(AccessExport, empty_or_unreadable_dates_times_and_integers_arrive_as_null)
{
    const struct {
        TFieldType Type;
        const char* Cell;
        std::string Arrives;
    } cases[] = {
        {TFieldType::Date, "", kNull},
        {TFieldType::AutoDate, "", kNull},
        {TFieldType::ModDate, "", kNull},
        {TFieldType::IntDate, "", kNull},
        {TFieldType::Time, "", kNull},
        {TFieldType::AutoTime, "", kNull},
        {TFieldType::ModTime, "", kNull},
        {TFieldType::Integer, "", kNull},
        {TFieldType::AutoInc, "", kNull},
        {TFieldType::Date, "31/02/2003", kNull},
        {TFieldType::IntDate, "garbage", kNull},
        {TFieldType::Time, "25:00", kNull},
        {TFieldType::Time, "0:00", "00:00:00"},
        {TFieldType::Date, "1/1/80", "1980-01-01"},
        {TFieldType::Integer, "0", "0"},
        {TFieldType::Float, "", kNull},
        {TFieldType::Float, "9,25", kNull},
        {TFieldType::Float, " .25 ", "0.25"},
        // Read as everywhere else, and as this export always read them.
        {TFieldType::Date, "7.3.2024", "2024-03-07"},
        {TFieldType::Time, "9:5", "09:05:00"},
        {TFieldType::IntDate, "7/3/24", "2024-03-07"},
        {TFieldType::Date, "1/1/0999", "0999-01-01"},
        {TFieldType::Time, "9.05:30", "09:05:30"},
    };
    std::vector<FieldSpec> fields;
    Rows cells(1), arrived = {{"ID"}, {"1"}};
    for (const auto& c : cases) {
        fields.push_back({"C" + std::to_string(fields.size() + 1), c.Type});
        cells[0].push_back(c.Cell);
        arrived[0].push_back(fields.back().name);
        arrived[1].push_back(c.Arrives);
    }
    auto db = MemoryDatabase(fields, cells, "Nulls");
    TempDir watched, direct;
    const ExportRun run = RunExport(*db, watched / "n.sqlite");
    EXPECT_EQ(run.Errors, 4);
    EXPECT_EQ(RunDirectExport(*db, direct / "n.sqlite"), 4);
    for (const TempDir* dir : {&watched, &direct}) {
        EXPECT_EQ(ReadTable(*dir / "n.sqlite", "Nulls"), arrived);
        EXPECT_EQ(ReadText(*dir / "Quorvil.LOG"), "UPDATE [Nulls] SET [C10]=NULL WHERE ID=1\n"
                                                  "Not a date: \"31/02/2003\"; NULL written\n"
                                                  "UPDATE [Nulls] SET [C11]=NULL WHERE ID=1\n"
                                                  "Not a date: \"garbage\"; NULL written\n"
                                                  "UPDATE [Nulls] SET [C12]=NULL WHERE ID=1\n"
                                                  "Not a time: \"25:00\"; NULL written\n"
                                                  "UPDATE [Nulls] SET [C17]=NULL WHERE ID=1\n"
                                                  "Not a number: \"9,25\"; NULL written\n");
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string statement = "UPDATE [Nulls] SET [C" + std::to_string(i + 1) + "]=NULL WHERE ID=1";
        EXPECT_EQ(std::count(run.Statements.begin(), run.Statements.end(), statement), cases[i].Arrives == kNull)
            << statement;
    }
}

TEST(AccessExport, field_names_become_distinct_columns_holding_their_own_values)
{
    auto db = MemoryDatabase({{"ID"}, {"a.b[c]"}, {"  lead"}, {""}, {"Name"}, {"NAME"}, {"select"}, {"say \"x\""}},
                             {{"v1", "v2", "v3", "v4", "v5", "v6", "v7", "v8"}}, "Names");
    TempDir dir;
    ASSERT_EQ(RunExport(*db, dir / "n.sqlite").Errors, 0);
    EXPECT_EQ(ReadTable(dir / "n.sqlite", "Names"),
              (Rows{{"ID", "ID_2", "a_b_c_", "lead", "Field4", "Name", "NAME_2", "select", "say \"x\""},
                    {"1", "v1", "v2", "v3", "v4", "v5", "v6", "v7", "v8"}}));
}

TEST(AccessExport, a_failure_of_the_file_leaves_nothing_behind_and_the_old_file_stays)
{
    auto db = MemoryDatabase({{"A"}}, {{"x"}}, "T");
    TempDir dir;
    const std::string missing = dir / "nowhere/t.sqlite";
    EXPECT_THAT([&] { RunExport(*db, missing); },
                ThrowsMessage<EStreamError>("Cannot create file \"" + missing + "\". No such file or directory"));
    testkit::WriteText(dir / "t.sqlite", "old contents");
    EXPECT_THROW(RunExport(*db, dir / "t.sqlite", true), ESqlError);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"t.sqlite"});
    EXPECT_EQ(ReadText(dir / "t.sqlite"), "old contents");

    // Stopped at its second record: no log, no temporary file, the old file.
    auto two = MemoryDatabase({{"A"}}, {{"x"}, {"y"}}, "T");
    TAccessEvents events;
    events.Progress = [](int record, int) { return record < 2; };
    EXPECT_THROW(ExportToAccess(
                     *two, dir / "t.sqlite",
                     [](const std::string& temp) { return std::make_unique<TAccessDB>(CreateSqlDatabase(temp)); },
                     events),
                 ECancelled);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"t.sqlite"});
    EXPECT_EQ(ReadText(dir / "t.sqlite"), "old contents");
}

TEST(AccessExport, dates_times_and_table_names_are_written_as_the_dialect_wants)
{
    const std::tuple<TCivilDate, int, const char*> dates[] = {
        {{2003, 5, 7}, 0, "#2003-5-7#"}, {{2003, 5, 7}, 9 * 3600 + 5 * 60, "#2003-5-7 09:05:00#"},
        {{}, 0, "#00:00:00#"},           {{}, 23 * 3600 + 59 * 60 + 59, "#23:59:59#"},
        {{1850, 1, 2}, 0, "#1850-1-2#"},  // before the zero date, still a date
    };
    for (const auto& [date, seconds, sql] : dates)
        EXPECT_EQ(SqlDateTime(date, seconds), sql);
    const std::pair<const char*, int> times[] = {
        {"09:05:00", 32700}, {"9:05", 32700}, {"23.59.59", 86399}, {"12:30", 45000},
        {"24:00:00", 0},     {"9:5", 32700},  {"09:60", 0},        {"", 0},
    };
    for (const auto& [text, seconds] : times)
        EXPECT_EQ(TimeTextToTime(text), seconds) << text;
    const std::tuple<const char*, const char*, const char*> tables[] = {
        {"My Addresses 2003!", "/x/y.pdb", "MyAddresses2003"},
        {"\xC4\xD6!", "/x/\xE9t\xE9 7.pdb", "t7"},
        {"***", "/x/###.pdb", "TABLE"},
    };
    for (const auto& [title, file, table] : tables) {
        auto db = MemoryDatabase({}, {}, title);
        db->FileName = file;
        EXPECT_EQ(AccessTableName(*db), table);
    }
}

// Without a hook the rows go straight to the file: the file, the log and the
// error count must be those of the statements a hook sees.
TEST(AccessExport, names_and_texts_arrive_as_the_characters_of_the_databases_set)
{
    // A trail byte equal to ']' or to the line break mark stays part of its character.
    const struct {
        TCharset set;
        std::string name, cell, nameUtf8, cellUtf8;
    } cases[] = {
        {TCharset::Windows1250, "Miasto",
         "\xA3\xF3"
         "d\x9F",
         "Miasto",
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA"},
        {TCharset::ShiftJis, "\x83\x5D", "\x83\x5C\x95\x5C\x5C", "\xE3\x82\xBE", "\xE3\x82\xBD\xE8\xA1\xA8\x5C"},
        {TCharset::Gbk, "\xC3\xFB\xB3\xC6", "\xA4\xA4\xA4\xA4", "\xE5\x90\x8D\xE7\xA7\xB0", "\xE3\x81\x84\xE3\x81\x84"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nameUtf8);
        auto db = MemoryDatabase({{c.name}}, {{c.cell}}, "Sets");
        db->SetCharset(c.set);
        TempDir dir;
        ASSERT_EQ(RunExport(*db, dir / "s.sqlite").Errors, 0);
        ASSERT_EQ(RunDirectExport(*db, dir / "d.sqlite"), 0);
        for (const char* file : {"s.sqlite", "d.sqlite"})
            EXPECT_EQ(ReadTable(dir / file, "Sets"), (Rows{{"ID", c.nameUtf8}, {"1", c.cellUtf8}})) << file;
    }
}

TEST(AccessExport, direct_rows_arrive_as_the_statements_write_them)
{
    // Rows the direct way cannot take (or none) alternate with plain ones.
    const Rows rows = {
        {"plain", "42", "07/05/2003", "9:05", "1", "05 Mar 2001", "9.25"},
        {"a\xA4"
         "b \"q\" 10:30 \xE9\x80",
         "-12", "", "", "", "", "-0.1"},
        {"", "abc", "31/02/2003", "25:00", "0", "garbage", "1.5.2"},
        {"x", "", "1/1/1900", "23:59:59", "TRUE", "29 Feb 2004", "1e300"},
        {"y", "1234567890123456789", "12/12/2012", "12.30", "FALSE", "01 JAN 1999", ""},
        {"z", "+5", "", "", "", "", "5e-324"},
        {"last", "7", "", "", "x", "", "+.5"},
    };
    auto db = MemoryDatabase({{"Text", TFieldType::String},
                              {"N", TFieldType::Integer},
                              {"Day", TFieldType::Date},
                              {"At", TFieldType::Time},
                              {"Ok", TFieldType::Boolean},
                              {"Stamp", TFieldType::IntDate},
                              {"Price", TFieldType::Float}},
                             rows, "Mixed");
    TempDir watchedDir, directDir;
    const int watchedErrors = RunExport(*db, watchedDir.File("s.sqlite")).Errors;
    const int directErrors = RunDirectExport(*db, directDir.File("d.sqlite"));
    // "abc", and the date, time, Int. Date and number of the third row; 19
    // digits make a real number.
    EXPECT_EQ(watchedErrors, 5);
    EXPECT_EQ(directErrors, watchedErrors);
    EXPECT_EQ(ReadText(directDir.File("Quorvil.LOG")), ReadText(watchedDir.File("Quorvil.LOG")));
    const Rows direct = ReadTable(directDir.File("d.sqlite"), "Mixed");
    EXPECT_EQ(direct.size(), rows.size() + 1);
    EXPECT_EQ(direct, ReadTable(watchedDir.File("s.sqlite"), "Mixed"));
}

}  // namespace
}  // namespace quorvil
