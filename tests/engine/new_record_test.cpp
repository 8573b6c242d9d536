// A new record: the database's defaults, defaults by field type, the
// counters of AUTOINC fields and the moment in the automatic date and time
// fields; the stamp an edit gives a record.
#include "engine_helpers.h"
#include "errors.h"
#include "field_types.h"
#include "layout.h"
#include "new_record.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

const TLocalMoment kMoment{{2025, 3, 14}, {9, 26, 53}};

TEST(NewRecord, the_counter_is_one_above_the_largest_and_keeps_leading_zeros)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {{{}, "1"},
                                                                      {{"001", "002", "010"}, "011"},
                                                                      {{"1", "2", "10"}, "11"},
                                                                      {{"07", "123"}, "124"},
                                                                      {{"99", "0099"}, "0100"},
                                                                      {{"x7", "", "4"}, "5"},
                                                                      {{"0", "5"}, "6"},
                                                                      {{"09", "9"}, "10"}};
    for (const auto& [values, next] : cases) {
        auto db = MemoryDatabase({{"No", TFieldType::AutoInc}}, OneField(values));
        EXPECT_EQ(AppendDefaultRecord(*db, kMoment), int(values.size()) + 1);
        EXPECT_EQ(db->GetCell(db->RecordCount(), 1), next) << next;
    }
}

TEST(NewRecord, dates_and_times_are_written_in_the_form_of_their_fields_values)
{
    auto db = MemoryDatabase({{"Day", TFieldType::Date},
                              {"At", TFieldType::Time},
                              {"Made", TFieldType::AutoDate},
                              {"Made at", TFieldType::AutoTime}},
                             {{"14/01/2024", "09:30", "7/3/24", "7:45"}});
    const int record = AppendDefaultRecord(*db, kMoment);
    EXPECT_EQ(Column(*db, 1).back() + " " + Column(*db, 2).back() + " " + Column(*db, 3).back() + " " +
                  Column(*db, 4).back(),
              "01/01/2000 00:00 14/3/25 9:26");
    EXPECT_EQ(record, 2);
}

// Projects: Started and Priority keep defaults; records added after a
// conversion to a layout without defaults take the type's.
TEST(NewRecord, the_databases_own_defaults_fill_a_new_record_where_the_layout_keeps_them)
{
    struct Case {
        TFieldType type;
        std::string stored;    // the field's default
        std::string existing;  // the value of the record there is
        std::string kept;      // new value in 5.x and 5.5
        std::string dropped;   // in 3.x and Pro 4.x
    };
    const Case cases[] = {
        {TFieldType::Integer, "3", "1", "3", "0"},
        {TFieldType::String, "n/a", "", "n/a", ""},
        {TFieldType::Boolean, "TRUE", "0", "1", "0"},
        {TFieldType::Date, "1 Feb 25", "14/01/2024", "01/02/2025", "01/01/2000"},
        {TFieldType::Date, "someday", "", "someday", "01/01/00"},  // no date: as the database has it
        {TFieldType::Time, "7:05", "09:30", "07:05", "00:00"},
        {TFieldType::List, "Doing", "Idea", "Doing", "Idea"},
        {TFieldType::List, "Gym", "", "Idea", "Idea"},  // not one of its values
        {TFieldType::AutoInc, "7", "4", "5", "5"},
        {TFieldType::AutoDate, "01/01/2000", "", "14/03/2025", "14/03/2025"},
        {TFieldType::ModTime, "00:00", "12:00:00", "09:26:53", "09:26:53"},
    };
    for (const TLayout layout : kAllLayouts) {
        auto db = MemoryDatabase(std::vector<FieldSpec>(std::size(cases), {"F"}), Rows(1));
        for (int f = 1; f <= int(std::size(cases)); ++f) {
            const Case& c = cases[f - 1];
            db->SetFieldType(f, c.type);
            db->SetPopupItem(f, 1, "Idea");
            db->SetPopupItem(f, 2, "Doing");
            db->SetDefault(f, c.stored);
            db->SetCell(1, f, c.existing);
        }
        db->ConvertLayout(layout);
        ASSERT_EQ(AppendDefaultRecord(*db, kMoment), 2);
        const bool keeps = Facts(layout).SavedSettings;
        for (int f = 1; f <= int(std::size(cases)); ++f)
            EXPECT_EQ(db->GetCell(2, f), keeps ? cases[f - 1].kept : cases[f - 1].dropped)
                << Facts(layout).Name << ", field " << f;
    }
}

TEST(NewRecord, an_edit_stamps_the_records_modification_date_and_time_unless_it_sets_them)
{
    // Name, Changed (MODDATE), At (MODTIME), Made (AUTODATE).
    const std::vector<std::string> before = {"x", "02 Jan 2020", "08:00", "01/01/2020"};
    const std::pair<std::vector<int>, std::vector<std::string>> cases[] = {
        {{1}, {"x", "14 Mar 2025", "09:26", "01/01/2020"}},
        {{1, 4}, {"x", "14 Mar 2025", "09:26", "01/01/2020"}},
        {{2}, before},  // a date typed by hand stays, and no time is stamped beside it
        {{1, 3}, before},
    };
    for (const auto& [edited, after] : cases) {
        auto db = MemoryDatabase(
            {{"Name"}, {"Changed", TFieldType::ModDate}, {"At", TFieldType::ModTime}, {"Made", TFieldType::AutoDate}},
            {before, before});
        std::string undone;  // what an undo of the stamp puts back
        for (const TCellBefore& cell : StampEdit(*db, 1, edited, kMoment))
            undone += std::to_string(cell.Field) + "=" + cell.Text + " ";
        EXPECT_EQ(undone, after == before ? "" : "2=02 Jan 2020 3=08:00 ");
        for (int f = 1; f <= 4; ++f) {
            EXPECT_EQ(db->GetCell(1, f), after[size_t(f - 1)]) << "field " << f;
            EXPECT_EQ(db->GetCell(2, f), before[size_t(f - 1)]) << "another record, field " << f;
        }
    }
}

TEST(NewRecord, every_field_gets_the_default_of_its_type)
{
    const std::vector<std::pair<TFieldType, std::string>> fields = {
        {TFieldType::String, ""},       {TFieldType::Boolean, "0"},      {TFieldType::Integer, "0"},
        {TFieldType::Float, "0"},       {TFieldType::Date, "01/01/00"},  {TFieldType::ModDate, "14/03/2025"},
        {TFieldType::Time, "00:00:00"}, {TFieldType::AutoTime, "09:26"}, {TFieldType::IntDate, "01 Jan 1980"},
        {TFieldType::Binary, ""},       {TFieldType::List, "first"}};
    auto db = MemoryDatabase(std::vector<FieldSpec>(fields.size(), {"F"}));
    for (size_t f = 0; f < fields.size(); ++f)
        db->SetFieldType(int(f + 1), fields[f].first);
    db->SetPopupItem(int(fields.size()), 1, "first");
    db->SetPopupItem(int(fields.size()), 2, "second");
    ASSERT_EQ(AppendDefaultRecord(*db, kMoment), 1);
    for (size_t f = 0; f < fields.size(); ++f)
        EXPECT_EQ(db->GetCell(1, int(f + 1)), fields[f].second) << "field " << f + 1;
    EXPECT_TRUE(db->Modified());

    auto full = MemoryDatabase({{"A"}}, Rows(65535));
    EXPECT_THROW(AppendDefaultRecord(*full, kMoment), ERangeError) << "no wrap to none";
    EXPECT_EQ(full->RecordCount(), 65535);
}

}  // namespace
}  // namespace quorvil
