// Writing the records of another database through a pick.
#include "engine_helpers.h"
#include "record_pick.h"
#include "streams.h"
#include "text_writers.h"

namespace quorvil {
namespace {

using Strings = std::vector<std::string>;

TEST(RecordPick, saves_and_exports_the_picked_cells_and_leaves_the_database_its_own_records)
{
    auto source = MemoryDatabase({{"A"}, {"B"}, {"C"}}, {{"a1", "b1", "c1"}, {"a2", "b2", "c2"}, {"a3", "b3", "c3"}});
    // Output fields: source C, a global value, source A; records 3 and 1.
    TRecordPick pick(*source, {3, 2, 1}, {{2, "G"}});
    pick.Rows = {3, 1};

    auto out = MemoryDatabase({{"C"}, {"B"}, {"A"}}, {{"own"}});
    const Bytes before = SaveImage(*out);
    out->SetModified();
    TMemoryStream picked;
    out->Save(picked, pick);
    EXPECT_TRUE(out->Modified()) << "a pick saves none of the database's own changes";
    auto loaded = LoadImage(picked.Bytes());
    EXPECT_EQ(std::tuple(Column(*loaded, 1), Column(*loaded, 2), Column(*loaded, 3)),
              std::tuple(Strings{"c3", "c1"}, Strings{"G", "G"}, Strings{"a3", "a1"}));
    EXPECT_EQ(out->RecordCount(), 1);
    EXPECT_EQ(SaveImage(*out), before);

    TMemoryStream csv;
    WriteCSVTo(*out, pick, {1, 2, 3}, csv);
    EXPECT_EQ(std::string(csv.Bytes().begin(), csv.Bytes().end()),
              "\"C\",\"B\",\"A\"\r\n\"c3\",\"G\",\"a3\"\r\n\"c1\",\"G\",\"a1\"\r\n");
}

}  // namespace
}  // namespace quorvil
