// The export's CSV keeps its records in the file's own bytes: every cell
// comes back whole, also where a record fills its line exactly. Dates, line
// feeds and quotes come back in the round trip of csv_import_test.
#include "csv_import.h"
#include "database_fixtures.h"
#include "jfile.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvil {
namespace {

using testkit::TempDir;
using testkit::WriteText;
using namespace std::string_literals;

struct BufferCase {
    const char* Name;
    const char* Types;
    std::string Csv;
    test::Rows Cells;
};

TEST(CsvImportBuffer, cells_come_back_whole)
{
    const BufferCase cases[] = {
        {"one field, empty, the last line without a line end", "STRING", "\"A\"\r\n\"\"\r\n\"xy\"", {{""}, {"xy"}}},
    };
    for (const BufferCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        WriteText(dir / "t.CSV", c.Csv);
        WriteText(dir / "t.DEF", "[JFilePro]\nTypes="s + c.Types + "\n");
        TJFILE db;
        db.InitNew();
        ImportCSV(dir / "t.CSV", {}, db);
        EXPECT_EQ(test::Cells(db), c.Cells);
    }
}

}  // namespace
}  // namespace quorvil
