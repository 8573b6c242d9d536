#include "field_types.h"
#include "jfile.h"
#include "record_sort.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

// A database with one field of the given type holding the given values.
std::unique_ptr<TJFILE> OneField(uint16_t type, const std::vector<std::string>& values,
                                 const std::vector<std::string>& popup = {})
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    db->SetFieldCount(2);
    db->SetFieldName(1, "Key");
    db->SetFieldName(2, "Row");
    db->SetFieldType(1, type);
    for (size_t k = 0; k < popup.size(); ++k)
        db->SetPopupItem(1, int(k) + 1, popup[k]);
    db->SetRecordCount(uint16_t(values.size()));
    for (size_t r = 0; r < values.size(); ++r) {
        db->SetCell(int(r) + 1, 1, values[r]);
        db->SetCell(int(r) + 1, 2, std::to_string(r + 1));
    }
    return db;
}

std::vector<std::string> Column(const TJFILE& db, int field)
{
    std::vector<std::string> out;
    for (int r = 1; r <= db.RecordCount(); ++r)
        out.push_back(db.GetCell(r, field));
    return out;
}

void SortAll(TJFILE& db, TSortOrder order)
{
    SortRecords(db, order, 1, db.RecordCount());
}

TEST(RecordSort, NumbersSortAsTextAndCaseByByteOrder)
{
    auto db = OneField(kTypeInteger, {"10", "9", "100", "apple", "Zebra"});
    SortAll(*db, {{"Key"}, {}, {}});
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"10", "100", "9", "Zebra", "apple"}));
    EXPECT_TRUE(db->Modified);
}

TEST(RecordSort, ListFieldsSortByPopupPositionWithUnknownValuesFirst)
{
    auto db = OneField(kTypeList, {"Blue", "Pink", "Red", "Green"}, {"Red", "Green", "Blue"});
    SortAll(*db, {{"Key"}, {}, {}});
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"Pink", "Red", "Green", "Blue"}));
}

TEST(RecordSort, ListFieldsFollowTheOrderDialogsChoice)
{
    auto db = OneField(kTypeList, {"Blue", "Pink", "Red", "Green"}, {"Red", "Green", "Blue"});
    SortAll(*db, {{"Key"}, {0}, {{}}});
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"Blue", "Green", "Pink", "Red"}));
    SortAll(*db, {{"Key"}, {1}, {{"Blue", "Red", "Green"}}});
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"Pink", "Blue", "Red", "Green"}));
}

TEST(RecordSort, InternationalDatesSortByDateWithUnreadableValuesFirst)
{
    auto db = OneField(kTypeIntDate, {"05 Mar 2001", "17 jan 1999", "", "3 Feb 2001"});
    SortAll(*db, {{"Key"}, {}, {}});
    auto sorted = Column(*db, 1);
    // The empty and the malformed value both key as 30 Dec 1899.
    EXPECT_EQ((std::vector<std::string>{sorted[2], sorted[3]}),
              (std::vector<std::string>{"17 jan 1999", "05 Mar 2001"}));
}

TEST(RecordSort, KeysStopAt255BytesAndTextsAt60)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    db->SetFieldCount(5);
    for (int f = 1; f <= 5; ++f)
        db->SetFieldName(f, "F" + std::to_string(f));
    db->SetRecordCount(1);
    for (int f = 1; f <= 5; ++f)
        db->SetCell(1, f, std::string(70, char('a' + f)));
    std::string key = SortKey(*db, 1, {{"F1", "F2", "F3", "F4", "F5"}, {}, {}});
    ASSERT_EQ(key.size(), 255u);
    EXPECT_EQ(key.substr(0, 60), std::string(60, 'b'));
    EXPECT_EQ(key.substr(240), std::string(15, 'f'));
}

TEST(RecordSort, UnknownKeyNamesAreSkippedAndEmptyDatabasesSort)
{
    auto db = OneField(kTypeString, {"b", "a"});
    SortAll(*db, {{"Missing", "Key"}, {}, {}});
    EXPECT_EQ(Column(*db, 1), (std::vector<std::string>{"a", "b"}));
    auto empty = OneField(kTypeString, {});
    EXPECT_NO_THROW(SortAll(*empty, {{"Key"}, {}, {}}));
}

TEST(RecordSort, RecordsMoveWithAllTheirCells)
{
    auto db = OneField(kTypeString, {"c", "a", "b"});
    SortAll(*db, {{"Key"}, {}, {}});
    EXPECT_EQ(Column(*db, 2), (std::vector<std::string>{"2", "3", "1"}));
}

// The algorithm as it reads: keys built anew for every comparison.
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
                for (int f = 1; f <= db.FieldCount(); ++f) {
                    std::string a = db.GetCell(i, f), b = db.GetCell(j, f);
                    db.SetCell(i, f, b);
                    db.SetCell(j, f, a);
                }
            ++i;
            --j;
        }
    } while (i <= j);
    if (lo < j)
        ReferenceSort(db, order, lo, j);
    if (i < hi)
        ReferenceSort(db, order, i, hi);
}

TEST(RecordSort, EqualKeysEndWhereTheQuicksortPutsThem)
{
    // Few distinct keys, so most comparisons meet equal keys.
    std::vector<std::string> values;
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

TEST(IntDateToDate, ReadsOnlyTheElevenCharacterForm)
{
    EXPECT_EQ(IntDateToDate("03 feb 2001"), (TDate{2001, 2, 3}));
    EXPECT_EQ(IntDateToDate("29 Feb 2004"), (TDate{2004, 2, 29}));
    EXPECT_EQ(IntDateToDate("29 Feb 1896"), (TDate{1896, 2, 29}));
    EXPECT_EQ(IntDateToDate("3 Feb 2001"), TDate{});
    EXPECT_EQ(IntDateToDate("29 Feb 2003"), TDate{});
    EXPECT_EQ(IntDateToDate("00 Jan 2003"), TDate{});
    EXPECT_EQ(IntDateToDate("12 Foo 2003"), TDate{});
    EXPECT_EQ(IntDateToDate("12 Mar 20x3"), TDate{});
}

}  // namespace
}  // namespace quorvil
