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

TEST(JsonStream, escapes_a_single_special_byte_wherever_it_stands_in_a_short_text)
{
    // Texts read eight bytes at a time with an overlapping last word, and
    // byte by byte below eight: one byte that needs escaping (or the plain
    // ones at the edges of the ranges) at every place of every length.
    TJFILE db;
    db.InitNew();
    db.SetFieldCount(1);
    std::vector<std::string> probes;
    for (size_t length = 1; length <= 17; ++length)
        for (size_t at = 0; at < length; ++at)
            for (const char special : {'"', '\\', '\x1F', '\x20', '\x7F', '\x80', '!', '#', '[', ']'}) {
                std::string text(length, 'a');
                text[at] = special;
                probes.push_back(text);
            }
    db.SetRecordCount(int(probes.size()));
    for (size_t r = 0; r < probes.size(); ++r)
        db.SetCell(int(r) + 1, 1, probes[r]);
    std::string streamed;
    WriteJsonTo(db, {1}, true, [&](const char* data, size_t size) { streamed.append(data, size); });
    EXPECT_EQ(streamed, DatabaseToJson(db, {1}, true).dump(1) + "\n");
}

}  // namespace
}  // namespace quorvil
