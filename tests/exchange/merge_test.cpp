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
    TMergeChoice choice = DefaultMergeChoice(*master, *other);
    EXPECT_EQ(choice.IdName, "ID");
    std::vector<std::string> fields;
    for (const TFieldMapping& m : choice.Fields)
        fields.push_back(std::to_string(m.MasterField) + m.NewName + (m.Copy ? " copied" : ""));
    EXPECT_EQ(fields, (std::vector<std::string>{"1 copied", "2 copied", "0Email copied"}));
    EXPECT_EQ(MappingProblem(*master, *other, choice), "");
    choice.Fields[2].NewName = "phone";
    EXPECT_EQ(MappingProblem(*master, *other, choice), "Field name phone already exists in master database");
    choice.Fields[2].NewName.clear();
    EXPECT_EQ(MappingProblem(*master, *other, choice), "Need new field name for Email");
    EXPECT_THROW(DefaultMergeChoice(*Table({{"Code", kTypeInteger}}, {}), *other), std::invalid_argument);
}

TEST(Merge, fills_empty_master_cells_overwrites_only_when_asked_and_appends_new_ids)
{
    for (bool overwrite : {false, true}) {
        auto master = Master();
        auto other = Other();
        TMergeChoice choice = DefaultMergeChoice(*master, *other);
        choice.Fields[1].Overwrite = overwrite;
        const TMergeResult result = Merge(*master, *other, choice);
        EXPECT_EQ(CellsOf(*master), (Rows{{"12", overwrite ? "Anne" : "Ann", "", "ann@x"},
                                          {"13", "", "42", ""},
                                          {"99", "Zed", "", ""}}));
        EXPECT_EQ(result.Written, overwrite ? 4 : 3);
        EXPECT_EQ(result.Appended, 1);
        EXPECT_EQ(master->GetFieldName(4), "Email");
    }
}

TEST(Merge, matches_integer_ids_by_number_and_string_ids_exactly)
{
    const std::tuple<uint16_t, const char*, int> cases[] = {
        {kTypeInteger, "007", 0}, {kTypeAutoInc, "7", 0}, {kTypeString, "007", 1}, {kTypeString, "7", 0}};
    for (const auto& [type, otherId, appended] : cases) {
        auto master = Table({{"Id", type}, {"Note"}}, {{"3", ""}, {"7", ""}, {"7", ""}});
        auto other = Table({{"ID", type}, {"Note"}}, {{otherId, "seen"}});
        EXPECT_EQ(Merge(*master, *other, DefaultMergeChoice(*master, *other)).Appended, appended) << otherId;
        // Only the first master record of the ID is updated.
        EXPECT_EQ(CellsOf(*master)[1][1] + "|" + CellsOf(*master)[2][1], appended ? "|" : "seen|") << otherId;
    }
}

TEST(Merge, refuses_a_new_field_beyond_the_layout_limit_without_changing_the_master)
{
    std::vector<exchangetest::Field> fields = {{"ID"}};
    for (int f = 2; f <= 50; ++f)
        fields.push_back({"F" + std::to_string(f)});
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
