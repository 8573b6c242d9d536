#include "engine_helpers.h"
#include "field_types.h"
#include "record_sort.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using Strings = std::vector<std::string>;

// Field "Key" of `type` holding `values`, field "Row" the record numbers.
std::unique_ptr<TJFILE> OneField(uint16_t type, const Strings& values, const Strings& popup = {})
{
    auto db = NewDatabase(3, {"Key", "Row"}, int(values.size()));
    db->SetFieldType(1, type);
    for (size_t k = 0; k < popup.size(); ++k)
        db->SetPopupItem(1, int(k) + 1, popup[k]);
    for (size_t r = 0; r < values.size(); ++r) {
        db->SetCell(int(r) + 1, 1, values[r]);
        db->SetCell(int(r) + 1, 2, std::to_string(r + 1));
    }
    db->Modified = false;
    return db;
}

TEST(RecordSort, keys_by_field_type_and_the_order_dialogs_choice)
{
    const Strings colours = {"Blue", "Pink", "Red", "Green"}, popup = {"Red", "Green", "Blue"};
    const struct {
        const char* name;
        uint16_t type;
        Strings values;
        TSortOrder order;
        Strings sorted;
    } cases[] = {
        {"numbers as text, case by byte order", kTypeInteger, {"10", "9", "100", "apple", "Zebra"},
         {{"Key"}, {}, {}}, {"10", "100", "9", "Zebra", "apple"}},
        {"list by popup position, unknown first", kTypeList, colours, {{"Key"}, {}, {}},
         {"Pink", "Red", "Green", "Blue"}},
        {"list in a chosen order", kTypeList, colours, {{"Key"}, {1}, {{"Blue", "Red", "Green"}}},
         {"Pink", "Blue", "Red", "Green"}},
        {"unknown key names skipped", kTypeString, {"b", "a"}, {{"Missing", "Key"}, {}, {}}, {"a", "b"}},
    };
    for (const auto& c : cases) {
        auto db = OneField(c.type, c.values, popup);
        SortRecords(*db, c.order, 1, db->RecordCount());
        EXPECT_EQ(Column(*db, 1), c.sorted) << c.name;
        Strings moved;
        for (const std::string& row : Column(*db, 2))
            moved.push_back(c.values[std::stoul(row) - 1]);
        EXPECT_EQ(moved, c.sorted) << "records move with all their cells";
        EXPECT_TRUE(db->Modified);
    }
    auto dates = OneField(kTypeIntDate, {"05 Mar 2001", "17 jan 1999", "", "3 Feb 2001"});
    SortRecords(*dates, {{"Key"}, {}, {}}, 1, 4);
    // The empty and the malformed value both key as 30 Dec 1899.
    EXPECT_EQ(Column(*dates, 2)[2] + Column(*dates, 2)[3], "21");
}

TEST(RecordSort, equal_keys_end_where_the_quicksort_puts_them)
{
    // Not a stable sort: equal keys end where the middle-pivot quicksort leaves them.
    Strings values;
    for (char c : std::string("babacabcab"))
        values.push_back(std::string(1, c));
    auto db = OneField(kTypeString, values);
    SortRecords(*db, {{"Key"}, {}, {}}, 1, db->RecordCount());
    EXPECT_EQ(Column(*db, 2), (Strings{"4", "6", "9", "2", "7", "1", "10", "3", "5", "8"}));
}

}  // namespace
}  // namespace quorvil
