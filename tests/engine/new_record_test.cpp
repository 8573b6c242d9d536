// A new record: defaults by field type and the counters of AUTOINC fields.
#include "engine_helpers.h"
#include "errors.h"
#include "field_types.h"
#include "new_record.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(NewRecord, the_counter_is_one_above_the_largest_and_keeps_leading_zeros)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "1"},          {{"001", "002", "010"}, "011"}, {{"1", "2", "10"}, "11"}, {{"07", "123"}, "124"},
        {{"99", "0099"}, "0100"}, {{"x7", "", "4"}, "5"}, {{"0", "5"}, "6"},          {{"09", "9"}, "10"}};
    for (const auto& [values, next] : cases) {
        auto db = NewDatabase(3, {"No"}, int(values.size()));
        db->SetFieldType(1, kTypeAutoInc);
        for (size_t r = 0; r < values.size(); ++r)
            db->SetCell(int(r + 1), 1, values[r]);
        EXPECT_EQ(AppendDefaultRecord(*db), int(values.size()) + 1);
        EXPECT_EQ(db->GetCell(db->RecordCount(), 1), next) << next;
    }
}

TEST(NewRecord, dates_and_times_are_written_in_the_form_of_their_fields_values)
{
    auto db = NewDatabase(3, {"Day", "At"}, 1);
    db->SetFieldType(1, kTypeDate);
    db->SetFieldType(2, kTypeTime);
    db->SetCell(1, 1, "14/01/2024");
    db->SetCell(1, 2, "09:30");
    const int record = AppendDefaultRecord(*db);
    EXPECT_EQ(db->GetCell(record, 1) + " " + db->GetCell(record, 2), "01/01/2000 00:00");
}

TEST(NewRecord, every_field_gets_the_default_of_its_type)
{
    const std::vector<std::pair<uint16_t, std::string>> fields = {
        {kTypeString, ""},           {kTypeBoolean, "0"},      {kTypeInteger, "0"},     {kTypeFloat, "0"},
        {kTypeDate, "01/01/00"},     {kTypeModDate, "01/01/00"}, {kTypeTime, "00:00:00"}, {kTypeAutoTime, "00:00:00"},
        {kTypeIntDate, "01 Jan 1980"}, {kTypeBinary, ""},       {kTypeList, "first"}};
    auto db = NewDatabase(3, std::vector<std::string>(fields.size(), "F"));
    for (size_t f = 0; f < fields.size(); ++f)
        db->SetFieldType(int(f + 1), fields[f].first);
    db->SetPopupItem(int(fields.size()), 1, "first");
    db->SetPopupItem(int(fields.size()), 2, "second");
    ASSERT_EQ(AppendDefaultRecord(*db), 1);
    for (size_t f = 0; f < fields.size(); ++f)
        EXPECT_EQ(db->GetCell(1, int(f + 1)), fields[f].second) << "field " << f + 1;
    EXPECT_TRUE(db->Modified);

    auto full = NewDatabase(3, {"A"}, 65535);
    EXPECT_THROW(AppendDefaultRecord(*full), ERangeError) << "no wrap to none";
    EXPECT_EQ(full->RecordCount(), 65535);
}

}  // namespace
}  // namespace quorvil
