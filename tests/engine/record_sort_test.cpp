#include "engine_helpers.h"
#include "field_types.h"
#include "record_sort.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using Strings = std::vector<std::string>;

struct KeySpec {
    TFieldType type;
    Strings values;
};

// Fields "Key", "Key2", ... of the given types and values, then field "Row"
// with the record numbers.
std::unique_ptr<TJFILE> KeyFields(const std::vector<KeySpec>& keys, const Strings& popup = {})
{
    std::vector<FieldSpec> fields = {{"Key", keys[0].type, popup}};
    for (size_t k = 1; k < keys.size(); ++k)
        fields.push_back({"Key" + std::to_string(k + 1), keys[k].type});
    fields.push_back({"Row"});
    Rows rows(keys[0].values.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        for (const KeySpec& key : keys)
            rows[r].push_back(key.values[r]);
        rows[r].push_back(std::to_string(r + 1));
    }
    return MemoryDatabase(fields, rows);
}

// Each record's key values joined by "|", in record order.
Strings KeyTexts(const TJFILE& db, size_t keys)
{
    Strings texts;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        std::string text = db.GetCell(r, 1);
        for (size_t k = 2; k <= keys; ++k)
            text += "|" + db.GetCell(r, int(k));
        texts.push_back(text);
    }
    return texts;
}

TEST(RecordSort, keys_order_values_by_field_type_and_the_order_dialogs_choice)
{
    const Strings colours = {"Blue", "Pink", "Red", "Green"}, popup = {"Red", "Green", "Blue"};
    const TSortOrder byKey{{"Key"}, {}, {}}, byTwo{{"Key", "Key2"}, {}, {}};
    const struct {
        const char* name;
        std::vector<KeySpec> keys;
        TSortOrder order;
        Strings sorted;
    } cases[] = {
        {"integers by value, unreadable and empty first by their text",
         {{TFieldType::Integer, {"10", "9", "100", "-5", "", "abc", " 7", "+3"}}},
         byKey,
         {"", "abc", "-5", "+3", " 7", "9", "10", "100"}},
        {"floats by value, no infinity",
         {{TFieldType::Float, {"2.5", "-0.75", "10", "inf", "-12", "0.1", ".5", "1e3", "1,5", "-0", "1e999"}}},
         byKey,
         {"1,5", "1e999", "inf", "-12", "-0.75", "-0", "0.1", ".5", "2.5", "10", "1e3"}},
        {"counters by value", {{TFieldType::AutoInc, {"12", "3", "007"}}}, byKey, {"3", "007", "12"}},
        {"dates day/month/year across months and years",
         {{TFieldType::Date, {"05/03/2024", "17/01/1999", "1/2/24", "", "31/02/2024", "07 Mar 2024", "28/02/2024"}}},
         byKey,
         {"", "31/02/2024", "17/01/1999", "1/2/24", "28/02/2024", "05/03/2024", "07 Mar 2024"}},
        {"times of day",
         {{TFieldType::Time, {"9:30", "14:05", "09:05:30", "", "25:00", "0:00"}}},
         byKey,
         {"", "25:00", "0:00", "09:05:30", "9:30", "14:05"}},
        {"long dates, a 10-character one unreadable",
         {{TFieldType::IntDate, {"05 Mar 2001", "17 jan 1999", "", "3 Feb 2001", "31 Dec 2000"}}},
         byKey,
         {"", "3 Feb 2001", "17 jan 1999", "31 Dec 2000", "05 Mar 2001"}},
        {"text by byte order",
         {{TFieldType::String, {"10", "9", "100", "apple", "Zebra"}}},
         byKey,
         {"10", "100", "9", "Zebra", "apple"}},
        {"list by popup position, unknown first",
         {{TFieldType::List, colours}},
         byKey,
         {"Pink", "Red", "Green", "Blue"}},
        {"list in a chosen order",
         {{TFieldType::List, colours}},
         {{"Key"}, {1}, {{"Blue", "Red", "Green"}}},
         {"Pink", "Blue", "Red", "Green"}},
        {"unknown key names skipped", {{TFieldType::String, {"b", "a"}}}, {{"Missing", "Key"}, {}, {}}, {"a", "b"}},
        {"text, then a number",
         {{TFieldType::String, {"b", "a", "b", "a"}}, {TFieldType::Integer, {"10", "9", "-1", "100"}}},
         byTwo,
         {"a|9", "a|100", "b|-1", "b|10"}},
        {"a number, then text",
         {{TFieldType::Integer, {"2", "10", "2", "x"}}, {TFieldType::String, {"b", "a", "a", "c"}}},
         byTwo,
         {"x|c", "2|a", "2|b", "10|a"}},
        {"text, then a number descending",
         {{TFieldType::String, {"b", "a", "b", "a"}}, {TFieldType::Integer, {"10", "9", "-1", "100"}}},
         {{"Key", "Key2"}, {}, {}, {false, true}},
         {"a|100", "a|9", "b|10", "b|-1"}},
        {"dates descending, empty and unreadable last",
         {{TFieldType::Date, {"05/03/2024", "", "17/01/1999", "31/02/2024", "1/2/24"}}},
         {{"Key"}, {}, {}, {true}},
         {"05/03/2024", "1/2/24", "17/01/1999", "31/02/2024", ""}},
        {"texts of several lengths descending",
         {{TFieldType::String, {"ab", "b", "abc", "a"}}},
         {{"Key"}, {}, {}, {true}},
         {"b", "abc", "ab", "a"}},
    };
    for (const auto& c : cases) {
        auto db = KeyFields(c.keys, popup);
        const Strings before = KeyTexts(*db, c.keys.size());
        SortRecords(*db, c.order, 1, db->RecordCount());
        EXPECT_EQ(KeyTexts(*db, c.keys.size()), c.sorted) << c.name;
        Strings moved;
        for (const std::string& row : Column(*db, int(c.keys.size()) + 1))
            moved.push_back(before[std::stoul(row) - 1]);
        EXPECT_EQ(moved, c.sorted) << "records move with all their cells: " << c.name;
        EXPECT_TRUE(db->Modified());
    }
}

TEST(RecordSort, equal_keys_end_where_the_quicksort_puts_them)
{
    // Not a stable sort: equal keys end where the middle-pivot quicksort leaves them.
    Strings values;
    for (char c : std::string("babacabcab"))
        values.push_back(std::string(1, c));
    auto db = KeyFields({{TFieldType::String, values}});
    SortRecords(*db, {{"Key"}, {}, {}}, 1, db->RecordCount());
    EXPECT_EQ(Column(*db, 2), (Strings{"4", "6", "9", "2", "7", "1", "10", "3", "5", "8"}));
}

}  // namespace
}  // namespace quorvil
