// The streamed JSON document against the library's dump of the same object:
// escapes and long cells that cross the writer's 64 KiB pieces.
#include "json_export.h"
#include "jfile.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(JsonStream, equals_the_dump_across_piece_boundaries_for_any_field_list)
{
    TJFILE db;
    db.InitNew();
    db.SetFieldCount(3);
    db.SetFieldName(1, "Na\"me\\");
    std::string every;
    for (int c = 1; c < 256; ++c)
        every.push_back(char(c));
    // Long cells whose escapes fall on and around the flush point.
    const std::vector<std::string> cells = {every, std::string(4000, '"'), std::string(3999, 'x') + "\x01\xE9",
                                            std::string(2000, '\xFF'), "", "\n\t\\"};
    db.SetRecordCount(80);
    for (int r = 1; r <= 80; ++r)
        for (int f = 1; f <= 3; ++f)
            db.SetCell(r, f, cells[size_t(r * 3 + f) % cells.size()]);
    for (const std::vector<int>& fields : std::vector<std::vector<int>>{{1, 2, 3}, {3, 1, 1, 9}, {}}) {
        for (const bool records : {true, false}) {
            std::string streamed;
            size_t pieces = 0;
            WriteJsonTo(db, fields, records, [&](const char* data, size_t size) {
                streamed.append(data, size);
                ++pieces;
            });
            EXPECT_EQ(streamed, DatabaseToJson(db, fields, records).dump(1) + "\n");
            if (records && !fields.empty()) {
                EXPECT_GT(pieces, 1u);
            }
        }
    }
}

}  // namespace
}  // namespace quorvil
