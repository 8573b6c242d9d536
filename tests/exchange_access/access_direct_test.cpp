// The export without a hook writes its rows directly; the file, the log and
// the error count must be those of the statements a hook sees.
#include "access_fixture.h"

#include "field_types.h"
#include "sql_database.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace quorvil::accesstest {
namespace {

std::string FileText(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Outcome {
    int Errors = 0;
    std::string Log;
    TableContents Table;
};

Outcome Export(TJFILE& db, testkit::TempDir& dir, const std::string& name, bool watched)
{
    const std::string file = dir.File(name + ".sqlite");
    Outcome out;
    out.Errors = watched ? RunExport(db, file).Errors
                         : ExportToAccess(db, file, [](const std::string& temp) {
                               return std::make_unique<TAccessDB>(CreateSqlDatabase(temp));
                           });
    out.Log = FileText(dir.File("Quorvil.LOG"));
    out.Table = ReadTable(file, "Mixed");
    return out;
}

TEST(AccessDirectRows, ArriveAsTheStatementsWriteThem)
{
    // Each row holds one cell the direct way cannot take (or none), so that
    // rows of both ways follow each other.
    const std::vector<std::vector<std::string>> rows = {
        {"plain", "42", "07/05/2003", "9:05", "1", "05 Mar 2001"},
        {"a\xA4" "b \"q\" 10:30 \xE9\x80", "-12", "", "", "", ""},
        {"", "abc", "31/02/2003", "25:00", "0", "garbage"},
        {"x", "", "1/1/1900", "23:59:59", "TRUE", "29 Feb 2004"},
        {"y", "1234567890123456789", "12/12/2012", "12.30", "FALSE", "01 JAN 1999"},
        {"z", "+5", "", "", "", ""},
        {"last", "7", "", "", "x", ""},
    };
    auto db = MakeDatabase("Mixed", {{"Text", kTypeString}, {"N", kTypeInteger}, {"Day", kTypeDate},
                                     {"At", kTypeTime}, {"Ok", kTypeBoolean}, {"Stamp", kTypeIntDate}},
                           rows);
    testkit::TempDir statementsDir, directDir;
    const Outcome statements = Export(*db, statementsDir, "s", true);
    const Outcome direct = Export(*db, directDir, "d", false);

    EXPECT_EQ(statements.Errors, 2);  // "abc" and ""; 19 digits make a real number
    EXPECT_EQ(direct.Errors, statements.Errors);
    EXPECT_EQ(direct.Log, statements.Log);
    EXPECT_EQ(direct.Table.Columns, statements.Table.Columns);
    ASSERT_EQ(direct.Table.Rows.size(), rows.size());
    ASSERT_EQ(statements.Table.Rows.size(), rows.size());
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < direct.Table.Columns.size(); ++c) {
            const QVariant& got = direct.Table.Rows[r][c];
            const QVariant& want = statements.Table.Rows[r][c];
            EXPECT_EQ(got.typeId(), want.typeId()) << "row " << r << " column " << c;
            EXPECT_EQ(got, want) << "row " << r << " column " << c << ": " << got.toString().toStdString()
                                 << " != " << want.toString().toStdString();
        }
}

}  // namespace
}  // namespace quorvil::accesstest
