#include "exchange_fixtures.h"
#include "field_types.h"
#include "merge.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using exchangetest::CellsOf;
using exchangetest::Rows;
using exchangetest::Table;

std::unique_ptr<TJFILE> Master()
{
    return Table({{"ID"}, {"Name"}, {"Phone"}}, {{"12", "Ann", ""}, {"13", "", "42"}});
}

std::unique_ptr<TJFILE> Other()
{
    return Table({{"Id"}, {"Name"}, {"Email"}}, {{"12", "Anne", "ann@x"}, {"99", "Zed", ""}});
}

TEST(Merge, starts_from_the_mapping_the_window_offers)
{
    auto master = Master();
    auto other = Other();
    EXPECT_EQ(IdCandidates(*master, *other), (std::vector<std::string>{"ID", "Name"}));
    const TMergeChoice choice = DefaultMergeChoice(*master, *other);
    EXPECT_EQ(choice.IdName, "ID");
    ASSERT_EQ(choice.Fields.size(), 3u);
    EXPECT_EQ(choice.Fields[0].MasterField, 1);
    EXPECT_EQ(choice.Fields[1].MasterField, 2);
    EXPECT_EQ(choice.Fields[2].MasterField, 0);
    EXPECT_EQ(choice.Fields[2].NewName, "Email");
    for (const TFieldMapping& m : choice.Fields)
        EXPECT_TRUE(m.Copy);
    EXPECT_EQ(MappingProblem(*master, *other, choice), "");

    TMergeChoice renamed = choice;
    renamed.Fields[2].NewName = "phone";
    EXPECT_EQ(MappingProblem(*master, *other, renamed), "Field name phone already exists in master database");
    renamed.Fields[2].NewName.clear();
    EXPECT_EQ(MappingProblem(*master, *other, renamed), "Need new field name for Email");

    auto unrelated = Table({{"Code", kTypeInteger}}, {});
    EXPECT_THROW(DefaultMergeChoice(*unrelated, *other), std::invalid_argument);
}

TEST(Merge, fills_empty_master_cells_overwrites_only_when_asked_and_appends_new_ids)
{
    const struct {
        bool overwrite;
        Rows merged;
        int written;
    } cases[] = {
        {false, {{"12", "Ann", "", "ann@x"}, {"13", "", "42", ""}, {"99", "Zed", "", ""}}, 3},
        {true, {{"12", "Anne", "", "ann@x"}, {"13", "", "42", ""}, {"99", "Zed", "", ""}}, 4},
    };
    for (const auto& c : cases) {
        auto master = Master();
        auto other = Other();
        TMergeChoice choice = DefaultMergeChoice(*master, *other);
        choice.Fields[1].Overwrite = c.overwrite;
        const TMergeResult result = Merge(*master, *other, choice);
        EXPECT_EQ(CellsOf(*master), c.merged) << c.overwrite;
        EXPECT_EQ(result.Written, c.written) << c.overwrite;
        EXPECT_EQ(result.Appended, 1) << c.overwrite;
        EXPECT_EQ(master->GetFieldName(4), "Email");
    }
}

TEST(Merge, matches_integer_ids_by_number_and_string_ids_exactly)
{
    const struct {
        uint16_t type;
        const char* otherId;
        int appended;
    } cases[] = {
        {kTypeInteger, "007", 0}, {kTypeAutoInc, "7", 0}, {kTypeString, "007", 1}, {kTypeString, "7", 0},
    };
    for (const auto& c : cases) {
        auto master = Table({{"Id", c.type}, {"Note"}}, {{"3", ""}, {"7", ""}, {"7", ""}});
        auto other = Table({{"ID", c.type}, {"Note"}}, {{c.otherId, "seen"}});
        const TMergeResult result = Merge(*master, *other, DefaultMergeChoice(*master, *other));
        EXPECT_EQ(result.Appended, c.appended) << c.type << " " << c.otherId;
        // Only the first master record of the ID is updated.
        EXPECT_EQ(master->GetCell(2, 2), c.appended ? "" : "seen") << c.type << " " << c.otherId;
        EXPECT_EQ(master->GetCell(3, 2), "") << c.type << " " << c.otherId;
    }
}

TEST(Merge, refuses_a_new_field_beyond_the_layout_limit_without_changing_the_master)
{
    std::vector<exchangetest::Field> fields;
    for (int f = 1; f <= 50; ++f)
        fields.push_back({"F" + std::to_string(f)});
    fields[0].Name = "ID";
    auto master = Table(fields, {{"1"}});
    auto other = Other();
    master->Modified = false;
    try {
        Merge(*master, *other, DefaultMergeChoice(*master, *other));
        ADD_FAILURE();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "The master database cannot take 2 new field(s): its layout holds at most 50 fields.");
    }
    EXPECT_EQ(master->FieldCount(), 50);
    EXPECT_EQ(master->RecordCount(), 1);
    EXPECT_FALSE(master->Modified);
}

}  // namespace
}  // namespace quorvil
