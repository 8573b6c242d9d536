// The streamed JSON document against the library's dump of the same object:
// escapes and long cells that cross the writer's 64 KiB pieces.
#include "jfile.h"
#include "json_export.h"
#include "streams.h"

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
    const std::vector<std::string> cells = {
        every, std::string(4000, '"'), std::string(3999, 'x') + "\x01\xE9", std::string(2000, '\xFF'), "", "\n\t\\"};
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

TEST(JsonStream, escapes_a_single_special_byte_wherever_it_stands_in_a_text)
{
    // Texts are read eight bytes at a time with an overlapping last word, and
    // byte by byte below eight; a loaded record's texts sixteen at a time,
    // all at once. One byte that needs escaping (or the plain ones at the
    // edges of the ranges) at every place of every length, beside a second
    // field, from records of the database's own and loaded from a file.
    TJFILE db;
    db.InitNew();
    db.SetFieldCount(2);
    std::vector<std::string> probes;
    for (size_t length = 1; length <= 33; ++length)
        for (size_t at = 0; at < length; ++at)
            for (const char special : {'"', '\\', '\x01', '\x1F', '\x20', '\x7F', '\x80', '\xFF', '!', '#', '[', ']'}) {
                std::string text(length, 'a');
                text[at] = special;
                probes.push_back(text);
            }
    db.SetRecordCount(int(probes.size()));
    for (size_t r = 0; r < probes.size(); ++r) {
        db.SetCell(int(r) + 1, 1, probes[r]);
        db.SetCell(int(r) + 1, 2, "b");
    }
    TMemoryStream file;
    db.Save(file);
    file.Seek(0);
    TJFILE loaded;
    loaded.LoadFrom(file);
    ASSERT_EQ(loaded.RecordCount(), int(probes.size()));
    for (const TJFILE* source : {&db, &loaded})
        for (const std::vector<int>& fields : {std::vector<int>{1, 2}, std::vector<int>{2, 1}}) {
            std::string streamed;
            WriteJsonTo(*source, fields, true, [&](const char* data, size_t size) { streamed.append(data, size); });
            EXPECT_EQ(streamed, DatabaseToJson(*source, fields, true).dump(1) + "\n")
                << (source == &db ? "own" : "loaded");
        }
}

}  // namespace
}  // namespace quorvil
