// Copying records into another database, merging one into another, and
// splitting one into a database per value of a List field.
#include "copy_records.h"
#include "exchange_fixtures.h"
#include "field_definition.h"
#include "field_types.h"
#include "ini_file.h"
#include "merge.h"
#include "open_checks.h"
#include "split.h"
#include "test_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

namespace quorvil {
namespace {

using test::Cells;
using test::MemoryDatabase;
using test::Rows;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testkit::TempDir;

TEST(CopyRecords, updates_every_target_record_of_the_key_and_appends_the_rest)
{
    const struct {
        const char* name;
        const char* phoneName;  // of the source's second field
        const char* key;
        Rows selected;
        Rows target;      // Phone, Name, City after the copy
        const char* did;  // cells copied, then records added/updated/unchanged
    } cases[] = {
        {"both Ann records updated, Bob appended",
         "Phone",
         "Name",
         {{"Ann", "555"}, {"Bob", "777"}},
         {{"555", "Ann", "Oslo"}, {"1", "Cy", ""}, {"555", "Ann", "Rome"}, {"777", "Bob", ""}},
         "4 1/2/0"},
        {"phone matches Phone only when appending",
         "phone",
         "Name",
         {{"Ann", "555"}, {"Bob", "777"}},
         {{"111", "Ann", "Oslo"}, {"1", "Cy", ""}, {"222", "Ann", "Rome"}, {"777", "Bob", ""}},
         "2 1/0/2"},
        {"a second new record of one key updates the first",
         "Phone",
         "Name",
         {{"Bob", "777"}, {"Bob", "888"}},
         {{"111", "Ann", "Oslo"}, {"1", "Cy", ""}, {"222", "Ann", "Rome"}, {"888", "Bob", ""}},
         "3 1/1/0"},
        {"identical records copy nothing",
         "Phone",
         "Name",
         {{"Cy", "1"}},
         {{"111", "Ann", "Oslo"}, {"1", "Cy", ""}, {"222", "Ann", "Rome"}},
         "0 0/0/1"},
        {"the key chosen is Phone",
         "Phone",
         "Phone",
         {{"Bea", "1"}},
         {{"111", "Ann", "Oslo"}, {"1", "Bea", ""}, {"222", "Ann", "Rome"}},
         "1 0/1/0"},
        {"without a key every record is added",
         "Phone",
         "",
         {{"Cy", "1"}},
         {{"111", "Ann", "Oslo"}, {"1", "Cy", ""}, {"222", "Ann", "Rome"}, {"1", "Cy", ""}},
         "2 1/0/0"},
    };
    for (const auto& c : cases) {
        auto source = MemoryDatabase({{"Name"}, {c.phoneName}}, c.selected);
        auto target = MemoryDatabase({{"Phone"}, {"Name"}, {"City"}},
                                     {{"111", "Ann", "Oslo"}, {"1", "Cy", ""}, {"222", "Ann", "Rome"}});
        const TCopyResult result = CopyRecords(*source, c.selected.size() == 1 ? std::vector{1} : std::vector{1, 2},
                                               *target, {c.key});
        EXPECT_TRUE(result.Shared) << c.name;
        EXPECT_EQ(std::to_string(result.Copied) + " " + std::to_string(result.Added) + "/" +
                      std::to_string(result.Updated) + "/" + std::to_string(result.Unchanged),
                  c.did)
            << c.name;
        EXPECT_EQ(Cells(*target), c.target) << c.name;
    }
}

TEST(CopyRecords, offers_exact_names_in_source_field_order_and_says_what_it_did)
{
    auto source = MemoryDatabase({{"city"}, {"Name"}, {"Phone"}, {"Name"}}, {});
    auto target = MemoryDatabase({{"Phone"}, {"City"}, {"Name"}}, {});
    EXPECT_EQ(KeyCandidates(*source, *target), (std::vector<std::string>{"Name", "Phone"}));
    EXPECT_EQ(FindKeyFields(*source, *target, "Name").Source, 2);
    EXPECT_EQ(FindKeyFields(*source, *target, "Name").Target, 3);
    EXPECT_EQ(FindKeyFields(*source, *target, "City").Source, 0);
    EXPECT_THAT([&] { CopyRecords(*source, {}, *target, {"City"}); },
                ThrowsMessage<std::invalid_argument>(
                    "Records cannot be matched on City: it is not the name of a field in both databases."));

    TCopyResult done{true, "Name", 2, 1, 1, 0, 3, 0, 0};
    EXPECT_EQ(CopyMessage(done), "Copied 2 records, matched on Name: 1 added, 1 updated.");
    done = {true, "", 1, 1, 0, 0, 2, 1, 2};
    EXPECT_EQ(CopyMessage(done), "Copied 1 record, without a key field: 1 added, 0 updated. 1 value added to popup "
                                 "lists. 2 values left out: the popup lists could not take them.");
    done = {true, "Id", 3, 0, 1, 2, 1, 0, 0};
    EXPECT_EQ(CopyMessage(done), "Copied 3 records, matched on Id: 0 added, 1 updated, 2 unchanged.");

    // No name shared: the file keeps every byte.
    TempDir dir;
    exchangetest::SaveAs(*MemoryDatabase({{"Phone"}}, {{"555"}}), dir / "t.pdb");
    const auto before = testkit::ReadBytes(dir / "t.pdb");
    const TCopyResult none = CopyRecordsToFile(*MemoryDatabase({{"Name"}}, {{"Ann"}}), {1},
                                               *OpenCopyTarget(dir / "t.pdb"), {});
    EXPECT_FALSE(none.Shared);
    EXPECT_EQ(CopyMessage(none), "No field name is shared; nothing copied.");
    EXPECT_EQ(testkit::ReadBytes(dir / "t.pdb"), before);
}

std::unique_ptr<TJFILE> Master()
{
    return MemoryDatabase({{"ID"}, {"Name"}, {"Phone"}}, {{"12", "Ann", ""}, {"13", "", "42"}});
}

std::unique_ptr<TJFILE> Other()
{
    return MemoryDatabase({{"Id"}, {"Name"}, {"Email"}}, {{"12", "Anne", "ann@x"}, {"99", "Zed", ""}});
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
    // Names count as stored: cut to 20 characters, case ignored.
    choice.Fields[1] = {true, 0, "Email address of the person", true};
    choice.Fields[2].NewName = "EMAIL ADDRESS OF THE HOUSE";
    EXPECT_EQ(MappingProblem(*master, *other, choice), "Two new fields are named EMAIL ADDRESS OF THE");
    choice.Fields[2].NewName = "Phone number of the house";
    EXPECT_EQ(MappingProblem(*master, *other, choice), "");
    Merge(*master, *other, choice);
    EXPECT_EQ(master->GetFieldName(5), "Phone number of the ");
    EXPECT_THROW(DefaultMergeChoice(*MemoryDatabase({{"Code", TFieldType::Integer}}, {}), *other),
                 std::invalid_argument);
}

TEST(Merge, fills_empty_master_cells_overwrites_only_when_asked_and_appends_new_ids)
{
    for (bool overwrite : {false, true}) {
        auto master = Master();
        auto other = Other();
        TMergeChoice choice = DefaultMergeChoice(*master, *other);
        choice.Fields[1].Overwrite = overwrite;
        const TMergeResult result = Merge(*master, *other, choice);
        EXPECT_EQ(Cells(*master),
                  (Rows{{"12", overwrite ? "Anne" : "Ann", "", "ann@x"}, {"13", "", "42", ""}, {"99", "Zed", "", ""}}));
        EXPECT_EQ(result.Written, overwrite ? 4 : 3);
        EXPECT_EQ(result.Appended, 1);
        EXPECT_EQ(master->GetFieldName(4), "Email");
    }
}

TEST(Merge, sees_each_value_it_wrote_when_two_fields_go_to_one_master_field)
{
    // The second field finds the first one's value in place, not the empty
    // cell the record held before.
    auto master = MemoryDatabase({{"ID", TFieldType::Integer}, {"Note"}}, {{"1", ""}});
    auto other = MemoryDatabase({{"ID", TFieldType::Integer}, {"A"}, {"B"}}, {{"1", "first", "second"}});
    TMergeChoice choice = DefaultMergeChoice(*master, *other);
    choice.Fields[1] = {true, 2, "", false};
    choice.Fields[2] = {true, 2, "", false};
    const TMergeResult result = Merge(*master, *other, choice);
    EXPECT_EQ(Cells(*master), (Rows{{"1", "first"}}));
    EXPECT_EQ(result.Written, 1);
}

TEST(Merge, matches_integer_ids_by_number_and_string_ids_exactly)
{
    // Leading zeros on both sides: numbers match "07" first, texts only "7".
    const std::tuple<TFieldType, const char*, int, const char*> cases[] = {{TFieldType::Integer, "007", 0, "seen||"},
                                                                           {TFieldType::AutoInc, "7", 0, "seen||"},
                                                                           {TFieldType::String, "007", 1, "||"},
                                                                           {TFieldType::String, "7", 0, "|seen|"}};
    for (const auto& [type, otherId, appended, notes] : cases) {
        auto master = MemoryDatabase({{"Id", type}, {"Note"}}, {{"3", ""}, {"07", ""}, {"7", ""}, {"7", ""}});
        auto other = MemoryDatabase({{"ID", type}, {"Note"}}, {{otherId, "seen"}});
        EXPECT_EQ(Merge(*master, *other, DefaultMergeChoice(*master, *other)).Appended, appended) << otherId;
        // Only the first master record of the ID is updated.
        const auto cells = Cells(*master);
        EXPECT_EQ(cells[1][1] + "|" + cells[2][1] + "|" + cells[3][1], notes) << otherId;
    }
}

TEST(Merge, pairs_an_international_date_with_dates_and_matches_it_as_written)
{
    // Read as whole numbers, every such ID would be 0 and match the first record.
    auto master = MemoryDatabase({{"Born", TFieldType::IntDate}, {"Seen", TFieldType::Date}}, {{"07 Mar 2024", ""}});
    auto other = MemoryDatabase({{"Born", TFieldType::IntDate}}, {{"07 Apr 2025"}});
    EXPECT_EQ(MasterFieldsFor(*master, TFieldType::IntDate), (std::vector<int>{1, 2}));
    EXPECT_EQ(Merge(*master, *other, DefaultMergeChoice(*master, *other)).Appended, 1);
}

TEST(Merge, refuses_a_new_field_beyond_the_layout_limit_without_changing_the_master)
{
    std::vector<test::FieldSpec> fields = {{"ID"}};
    for (int f = 2; f <= 50; ++f)
        fields.push_back({"F" + std::to_string(f)});
    auto master = MemoryDatabase(fields, {{"1"}});
    auto other = Other();
    EXPECT_THAT([&] { Merge(*master, *other, DefaultMergeChoice(*master, *other)); },
                ThrowsMessage<std::invalid_argument>(
                    "The master database cannot take 2 new field(s): its layout holds at most 50 fields."));
    EXPECT_EQ(master->FieldCount(), 50);
    EXPECT_EQ(master->RecordCount(), 1);
    EXPECT_FALSE(master->Modified());
}

// Fifty popup values, Run the last: a list with no room left.
std::vector<std::string> FullList()
{
    std::vector<std::string> values;
    for (int k = 1; k < kMaxSlots; ++k)
        values.push_back("V" + std::to_string(k));
    values.push_back("Run");
    return values;
}

TEST(ListValues, copy_and_merge_add_the_values_they_write_to_popup_lists_and_name_those_a_list_cannot_take)
{
    const std::string longValue(TJFILE::kLongestPopupValue + 1, 'x');
    std::vector<std::string> roomForOne = FullList();
    roomForOne.erase(roomForOne.begin());
    const struct {
        const char* name;
        std::vector<std::string> list;      // of the master's Group
        Rows other;                         // ID, Group
        std::string leftOut;                // what the user is told before anything is written
        Rows merged;                        // merged without the values left out
        std::vector<std::string> added;     // to the list
        const char* copyLeftOut = nullptr;  // when a copy, which overwrites, leaves out more
    } cases[] = {
        {"a new value joins the list",
         {"Run"},
         {{"2", "Gym"}, {"3", "Gym"}},
         "",
         {{"1", "Run"}, {"2", "Gym"}, {"3", "Gym"}},
         {"Gym"}},
        {"a full list takes none",
         FullList(),
         {{"2", "Gym"}, {"3", "Pool"}, {"4", "Gym"}},
         "Group: Gym, Pool (its popup list is full: it holds at most 50 values)",
         {{"1", "Run"}, {"2", ""}, {"3", ""}, {"4", ""}},
         {}},
        {"a value the merge does not write is not asked about",
         FullList(),
         {{"1", "Gym"}},
         "",
         {{"1", "Run"}, {"2", ""}},
         {},
         "Group: Gym (its popup list is full: it holds at most 50 values)"},
        {"room for one",
         roomForOne,
         {{"2", "Gym"}, {"1", "Swim"}, {"3", "Pool"}},
         "Group: Pool (its popup list is full: it holds at most 50 values)",
         {{"1", "Run"}, {"2", "Gym"}, {"3", ""}},
         {"Gym"},
         "Group: Swim, Pool (its popup list is full: it holds at most 50 values)"},
        {"too long, or read back as a chunk header",
         {"Run"},
         {{"2", longValue}, {"3", "popupa"}},
         "Group: " + longValue.substr(0, 30) +
             "... (a popup value holds at most 255 characters)\n"
             "Group: popupa (a popup value of this text would end the list when the file is read)",
         {{"1", "Run"}, {"2", ""}, {"3", ""}},
         {}},
    };
    for (const auto& c : cases) {
        for (bool copy : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (copy ? " (copy)" : " (merge)"));
            auto master = MemoryDatabase({{"ID"}, {"Group", TFieldType::List, c.list}}, {{"1", "Run"}, {"2", ""}});
            auto other = MemoryDatabase({{"ID"}, {"Group"}}, c.other);
            master->ClearModified();
            std::vector<int> records(c.other.size());
            std::iota(records.begin(), records.end(), 1);
            TMergeChoice choice = DefaultMergeChoice(*master, *other);
            const TCopyOptions options{"ID"};
            const TLeftOutValues leftOut = copy ? CopyLeftOut(*other, records, *master, options)
                                                : MergeLeftOut(*master, *other, choice);
            const std::string expected = copy && c.copyLeftOut ? c.copyLeftOut : c.leftOut;
            EXPECT_EQ(LeftOutMessage(leftOut), expected);
            if (!expected.empty()) {
                if (copy) {
                    EXPECT_THROW(CopyRecords(*other, records, *master, options), EListsFull);
                } else {
                    EXPECT_THROW(Merge(*master, *other, choice), EListsFull);
                }
                EXPECT_FALSE(master->Modified());
                EXPECT_EQ(PopupValues(*master, 2), c.list);
            }
            choice.LeaveOutUnlisted = true;
            const int added = copy ? CopyRecords(*other, records, *master, {"ID", true}).ListAdded
                                   : Merge(*master, *other, choice).ListAdded;
            if (!copy) {  // a copy overwrites where the merge keeps
                EXPECT_EQ(Cells(*master), c.merged);
            }
            std::vector<std::string> list = c.list;
            list.insert(list.end(), c.added.begin(), c.added.end());
            EXPECT_EQ(PopupValues(*master, 2), list);
            EXPECT_EQ(added, int(c.added.size()));
            EXPECT_EQ(CheckPopupValues(*master), std::vector<std::string>{});
        }
    }
}

TEST(ListValues, a_new_field_keeps_the_popup_list_of_a_list_field_and_adds_the_values_beyond_it)
{
    auto master = MemoryDatabase({{"ID"}}, {{"1"}});
    auto other = MemoryDatabase({{"ID"}, {"Group", TFieldType::List, {"Run"}}, {"Note"}},
                                {{"1", "Gym", "a"}, {"2", "Run", "b"}});
    other->SetPopupItem(3, 1, "stale");  // a String field's list is not carried over
    Merge(*master, *other, DefaultMergeChoice(*master, *other));
    EXPECT_EQ(PopupValues(*master, 2), (std::vector<std::string>{"Run", "Gym"}));
    EXPECT_EQ(master->PopupCount(3), 0);
    EXPECT_EQ(CheckPopupValues(*master), std::vector<std::string>{});
}

// Region holds North twice, South once, a lower-case north, an empty value;
// West is in the list but in no record.
std::unique_ptr<TJFILE> Regions(const TempDir& dir)
{
    auto db = MemoryDatabase({{"Name"}, {"Region", TFieldType::List, {"North", "South", "West"}}, {"Status"}},
                             {{"Ann", "North", "open"},
                              {"Bob", "South", "open"},
                              {"Cy", "", "open"},
                              {"Di", "north", "open"},
                              {"Ed", "North", "held"}});
    exchangetest::SaveAs(*db, dir / "regions.pdb");
    return db;
}

TEST(Split, sends_each_record_to_the_output_of_its_exact_value_and_gives_every_output_the_definitions)
{
    TempDir dir;
    auto db = Regions(dir);
    TSplitChoice choice = {2, SplitValues(*db, 2, nullptr), dir.Path(), {true, true, false, false}, {}};
    Split(*db, choice);
    const std::pair<const char*, Rows> outputs[] = {
        {"North", {{"Ann", "open"}, {"Ed", "held"}}}, {"South", {{"Bob", "open"}}}, {"West", {}}};
    for (const auto& [name, cells] : outputs) {
        auto out = OpenReadOnly(dir / (name + std::string(".PDB")));
        EXPECT_EQ(Cells(*out), cells) << name;
        EXPECT_EQ(out->GetFieldName(2), "Status") << name;
        EXPECT_EQ(out->PdbHeader.Name, name);
    }
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{"North.CSV", "North.DEF", "North.PDB", "South.CSV", "South.DEF", "South.PDB",
                                        "West.CSV", "West.DEF", "West.PDB", "regions.pdb"}));

    // Only values with a file name, only the formats asked for; global values replace cells.
    choice.Values[1].FileName.clear();
    choice.Values[2].FileName.clear();
    choice.Formats = {false, false, false, true};
    choice.GlobalValues[3] = "closed";
    std::filesystem::remove(dir / "North.PDB");
    Split(*db, choice);
    EXPECT_FALSE(std::filesystem::exists(dir / "North.PDB"));
    EXPECT_EQ(testkit::ReadText(dir / "North.TXT"), "Name Status\r\nAnn  closed\r\nEd   closed\r\n");
}

TEST(Split, stores_a_global_value_of_a_boolean_field_as_the_database_stores_a_cell)
{
    TempDir dir;
    auto db = MemoryDatabase({{"Name"}, {"Region", TFieldType::List, {"North"}}, {"Paid", TFieldType::Boolean}},
                             {{"Ann", "North", "0"}});
    const std::pair<const char*, const char*> cases[] = {{"true", "1"}, {"False", "0"}, {"Yes", "Yes"}};
    for (const auto& [global, stored] : cases) {
        Split(*db, {2, SplitValues(*db, 2, nullptr), dir.Path(), {}, {{3, global}}});
        EXPECT_EQ(Cells(*OpenReadOnly(dir / "North.PDB")), (Rows{{"Ann", stored}})) << global;
    }
}

TEST(Split, marks_held_values_and_proposes_remembered_or_cleaned_names)
{
    TempDir dir;
    auto db = MemoryDatabase({{"Dept", TFieldType::List, {"Sales/2003", "R&D", "Stock"}}}, {{"R&D"}});
    db->PdbHeader.Name = "Staff";
    TIniFile ini(dir / "q.ini");
    ini.WriteString("Staff", "Stock", "/data/stock-2003");
    std::vector<std::string> seen;
    for (const TSplitValue& v : SplitValues(*db, 1, &ini))
        seen.push_back(v.FileName + (v.Held ? " held" : ""));
    EXPECT_EQ(seen, (std::vector<std::string>{"Sales2003", "RD held", "/data/stock-2003"}));
    EXPECT_EQ(DefaultSplitFileName("a\tb.c\xff\xe9"), "abc\xe9");
}

TEST(Split, takes_column_widths_from_the_def_file_only_when_they_fit)
{
    TempDir dir;
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"80,40", {80, 40}}, {"80 , 40", {80, 40}}, {"80,40,120", {}}};  // three numbers for two fields
    for (const auto& [widths, expected] : cases) {
        TIniFile(dir / "w.DEF").WriteString("JFilePro", "Widths", widths);
        EXPECT_EQ(WidthsFromDef(dir / "w.DEF", 2), expected) << widths;
    }
    auto db = Regions(dir);
    for (const char* widths : {"80,70000", "80,wide"}) {
        TIniFile(dir / "North.DEF").WriteString("JFilePro", "Widths", widths);
        EXPECT_THAT(
            [&] {
                Split(*db, {2, SplitValues(*db, 2, nullptr), dir.Path(), {}, {}});
            },
            ThrowsMessage<std::invalid_argument>(HasSubstr("\"Widths\" of \"" + dir / "North.DEF" + "\"")))
            << widths;
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"North.DEF", "regions.pdb", "w.DEF"})) << widths;
    }
    TIniFile(dir / "North.DEF").WriteString("JFilePro", "Widths", "80,40");
    Split(*db, {2, SplitValues(*db, 2, nullptr), dir.Path(), {}, {}});
    EXPECT_EQ(OpenReadOnly(dir / "North.PDB")->GetColumnWidth(2), 40);
}

}  // namespace
}  // namespace quorvil
