// A new record: defaults by field type and the counters of AUTOINC fields.
#include "engine_helpers.h"
#include "errors.h"
#include "field_types.h"
#include "new_record.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

struct CounterCase {
    std::vector<std::string> values;
    std::string next;
};

class NextCounter : public ::testing::TestWithParam<CounterCase> {};

TEST_P(NextCounter, is_one_above_the_largest_and_keeps_leading_zeros)
{
    const CounterCase& c = GetParam();
    auto db = NewDatabase(3, {"No"}, int(c.values.size()));
    db->SetFieldType(1, kTypeAutoInc);
    for (size_t r = 0; r < c.values.size(); ++r)
        db->SetCell(int(r + 1), 1, c.values[r]);
    EXPECT_EQ(NextCounterValue(*db, 1), c.next);
    EXPECT_EQ(AppendDefaultRecord(*db), int(c.values.size()) + 1);
    EXPECT_EQ(db->GetCell(db->RecordCount(), 1), c.next);
}

INSTANTIATE_TEST_SUITE_P(Cases, NextCounter,
                         ::testing::Values(CounterCase{{}, "1"}, CounterCase{{"001", "002", "010"}, "011"},
                                           CounterCase{{"1", "2", "10"}, "11"}, CounterCase{{"07", "123"}, "124"},
                                           CounterCase{{"99", "0099"}, "0100"}, CounterCase{{"x7", "", "4"}, "5"},
                                           CounterCase{{"0", "5"}, "6"}, CounterCase{{"09", "9"}, "10"}));

TEST(NewRecord, every_field_gets_the_default_of_its_type)
{
    const std::vector<std::pair<uint16_t, std::string>> fields = {
        {kTypeString, ""},         {kTypeBoolean, "0"},      {kTypeInteger, "0"},     {kTypeFloat, "0"},
        {kTypeDate, "01/01/00"},   {kTypeModDate, "01/01/00"}, {kTypeTime, "00:00:00"}, {kTypeAutoTime, "00:00:00"},
        {kTypeIntDate, "01 Jan 1980"}, {kTypeList, "first"},  {kTypeBinary, ""}};
    std::vector<std::string> names;
    for (size_t f = 0; f < fields.size(); ++f)
        names.push_back("F" + std::to_string(f));
    auto db = NewDatabase(3, names);
    for (size_t f = 0; f < fields.size(); ++f)
        db->SetFieldType(int(f + 1), fields[f].first);
    const int list = int(fields.size()) - 1;
    db->SetPopupItem(list, 1, "first");
    db->SetPopupItem(list, 2, "second");
    ASSERT_EQ(AppendDefaultRecord(*db), 1);
    for (size_t f = 0; f < fields.size(); ++f)
        EXPECT_EQ(db->GetCell(1, int(f + 1)), fields[f].second) << "field " << f + 1;
    EXPECT_TRUE(db->Modified);
}

TEST(NewRecord, a_full_database_refuses_one_more_instead_of_wrapping_to_none)
{
    auto db = NewDatabase(3, {"A"}, 65535);
    EXPECT_THROW(AppendDefaultRecord(*db), ERangeError);
    EXPECT_EQ(db->RecordCount(), 65535);
}

}  // namespace
}  // namespace quorvil
