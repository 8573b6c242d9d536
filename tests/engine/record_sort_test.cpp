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

Strings Column(const TJFILE& db, int field)
{
    Strings out;
    for (int r = 1; r <= db.RecordCount(); ++r)
        out.push_back(db.GetCell(r, field));
    return out;
}

void SortAll(TJFILE& db, TSortOrder order)
{
    SortRecords(db, order, 1, db.RecordCount());
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
        {"list alphabetically", kTypeList, colours, {{"Key"}, {0}, {{}}}, {"Blue", "Green", "Pink", "Red"}},
        {"list in a chosen order", kTypeList, colours, {{"Key"}, {1}, {{"Blue", "Red", "Green"}}},
         {"Pink", "Blue", "Red", "Green"}},
        {"unknown key names skipped", kTypeString, {"b", "a"}, {{"Missing", "Key"}, {}, {}}, {"a", "b"}},
    };
    for (const auto& c : cases) {
        auto db = OneField(c.type, c.values, popup);
        SortAll(*db, c.order);
        EXPECT_EQ(Column(*db, 1), c.sorted) << c.name;
        EXPECT_TRUE(db->Modified);
    }
    auto dates = OneField(kTypeIntDate, {"05 Mar 2001", "17 jan 1999", "", "3 Feb 2001"});
    SortAll(*dates, {{"Key"}, {}, {}});
    // The empty and the malformed value both key as 30 Dec 1899.
    EXPECT_EQ(Column(*dates, 1)[2] + "," + Column(*dates, 1)[3], "17 jan 1999,05 Mar 2001");
    EXPECT_EQ(Column(*dates, 2)[2], "2") << "records move with all their cells";
    auto empty = OneField(kTypeString, {});
    EXPECT_NO_THROW(SortAll(*empty, {{"Key"}, {}, {}}));
}

TEST(RecordSort, keys_stop_at_255_bytes_and_texts_at_60)
{
    auto db = NewDatabase(3, {"F1", "F2", "F3", "F4", "F5"}, 1);
    for (int f = 1; f <= 5; ++f)
        db->SetCell(1, f, std::string(70, char('a' + f)));
    std::string key = SortKey(*db, 1, {{"F1", "F2", "F3", "F4", "F5"}, {}, {}});
    ASSERT_EQ(key.size(), 255u);
    EXPECT_EQ(key.substr(0, 60), std::string(60, 'b'));
    EXPECT_EQ(key.substr(240), std::string(15, 'f'));
}

// The quicksort as it reads: keys built anew for every comparison.
void ReferenceSort(TJFILE& db, const TSortOrder& order, int lo, int hi)
{
    int i = lo, j = hi;
    std::string pivot = SortKey(db, (lo + hi) / 2, order);
    do {
        while (SortKey(db, i, order) < pivot)
            ++i;
        while (SortKey(db, j, order) > pivot)
            --j;
        if (i <= j) {
            if (i != j)
                db.SwapRecords(i, j);
            ++i;
            --j;
        }
    } while (i <= j);
    if (lo < j)
        ReferenceSort(db, order, lo, j);
    if (i < hi)
        ReferenceSort(db, order, i, hi);
}

TEST(RecordSort, equal_keys_end_where_the_quicksort_puts_them)
{
    // Few distinct keys, so most comparisons meet equal keys.
    Strings values;
    uint32_t seed = 7;
    for (int r = 0; r < 300; ++r) {
        seed = seed * 1103515245u + 12345u;
        values.push_back(std::string(1, char('a' + (seed >> 16) % 4)));
    }
    auto fast = OneField(kTypeString, values);
    auto reference = OneField(kTypeString, values);
    SortAll(*fast, {{"Key"}, {}, {}});
    ReferenceSort(*reference, {{"Key"}, {}, {}}, 1, reference->RecordCount());
    EXPECT_EQ(Column(*fast, 2), Column(*reference, 2));
}

TEST(IntDateToDate, reads_only_the_eleven_character_form)
{
    EXPECT_EQ(IntDateToDate("03 feb 2001"), (TDate{2001, 2, 3}));
    EXPECT_EQ(IntDateToDate("29 Feb 2004"), (TDate{2004, 2, 29}));
    EXPECT_EQ(IntDateToDate("29 Feb 1896"), (TDate{1896, 2, 29}));
    for (const char* bad : {"3 Feb 2001", "29 Feb 2003", "00 Jan 2003", "12 Foo 2003", "12 Mar 20x3"})
        EXPECT_EQ(IntDateToDate(bad), TDate{}) << bad;
}

}  // namespace
}  // namespace quorvil
