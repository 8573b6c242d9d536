// `create`: what it writes is read back by the independent reader; `convert`:
// the conversions it must refuse leave the files as they were.
#include "cli_helpers.h"
#include "sample_db.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using nlohmann::json;
using pdbtest::Database;
using pdbtest::Parse;

json Spec()
{
    return json::parse(R"({
        "title": "Reading list",
        "fields": [
            {"name": "Title", "type_name": "STRING", "width": 150},
            {"name": "Read", "type_name": "BOOLEAN"},
            {"name": "Finished", "type_name": "INT.DATE", "width": 5},
            {"name": "Shelf", "popup": ["Hall", "Study", "Caf\u00e9"], "default": "Hall"},
            {"name": "Notes"}
        ],
        "records": [
            ["Dune", "true", "12/05/2001", "Hall", "line 1\nline 2"],
            ["\u00c9tranger", "FALSE", "", "Caf\u00e9", "\u0080\u00ff"]
        ],
        "sort_fields": [4, 1, 0],
        "find_text": "Dune",
        "category": 6,
        "read_only": true,
        "saved_sorts": [{"slot": 2, "name": "By shelf", "fields": [4, 1, 0]}],
        "filters": [{"slot": 1, "name": "Unread", "values": ["0"], "word": 3, "codes": [2, 0, 0, 0, 0]}]
    })");
}

class Create : public ::testing::TestWithParam<int> {
protected:
    int layout() const { return GetParam(); }
    testkit::TempDir dir_;
};

TEST_P(Create, the_written_file_holds_the_described_database_in_the_layout_of_the_option)
{
    json spec = Spec();
    spec["layout"] = 3 - layout();
    if (layout() < 2) {
        // What these layouts do not keep is refused (CreateErrors).
        spec.erase("saved_sorts");
        spec.erase("filters");
        spec["fields"][2]["type_name"] = "DATE";
        spec["fields"][3].erase("default");
    }
    testkit::WriteText(dir_.File("spec.json"), spec.dump());
    CliResult r = RunInProcess(
        {"create", dir_.File("spec.json"), "-o", dir_.File("out.pdb"), "--layout", std::to_string(layout())});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const Database d = Parse(testkit::ReadBytes(dir_.File("out.pdb")), 0, layout() == 2).db;
    EXPECT_EQ(std::tuple(d.title, d.creator, d.dbType),
              std::tuple("Reading list", pdbtest::DefaultCreator(layout()), pdbtest::DefaultDbType(layout())));
    ASSERT_EQ(d.fields.size(), 5u);
    EXPECT_EQ(std::tuple(d.fields[0].name, d.fields[0].width, d.fields[1].type), std::tuple("Title", 150, 2));
    EXPECT_EQ(std::tuple(d.fields[2].type, d.fields[2].extra1, d.fields[2].width),
              std::tuple(pdbtest::kDate, layout() >= 2 ? 1u : 0u, 20))
        << "an international date where the layout has one; a width below 20 becomes 20";
    EXPECT_EQ(d.fields[3].type + d.fields[4].type, pdbtest::kNewField) << "a new field is written as type 0 first";
    EXPECT_EQ(d.popups, (std::map<int, std::vector<std::string>>{{4, {"Hall", "Study", "Caf\xE9"}}}));
    ASSERT_EQ(d.records.size(), 2u);
    EXPECT_EQ(d.records[0].cells, (std::vector<std::string>{"Dune", "1", "12/05/2001", "Hall", "line 1\nline 2"}));
    EXPECT_EQ(d.records[1].cells, (std::vector<std::string>{"\xC9tranger", "0", "", "Caf\xE9", "\x80\xFF"}));
    EXPECT_EQ(std::tuple(d.sortFields, d.findText), std::tuple(std::array<uint16_t, 3>{4, 1, 0}, "Dune"));
    if (layout() >= 2) {
        EXPECT_EQ(std::pair(d.version & 0xF400, int(d.flags)), std::pair(0x6400, 0)) << "category 6, read-only";
        EXPECT_EQ(d.defaults, (std::map<int, std::string>{{4, "Hall"}}));
        EXPECT_EQ(d.sorts, (std::vector<pdbtest::SavedSort>{{2, "By shelf", {4, 1, 0}}}));
        EXPECT_EQ(d.filters,
                  (std::vector<pdbtest::Filter>{{1, "Unread", {"0", "", "", "", ""}, 3, {1, -1, -1, -1, -1}}}));
    } else {
        EXPECT_EQ(d.flags, 0x6002) << "category 6 and read-only in the Flags word";
        EXPECT_TRUE(d.defaults.empty() && d.sorts.empty() && d.filters.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, Create, ::testing::Values(0, 1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& p) { return "layout" + std::to_string(p.param); });

TEST(CreateErrors, a_description_that_does_not_fit_fails_with_one_line_and_leaves_the_output_as_it_was)
{
    json wide = {{"layout", 0}, {"fields", json::array()}};
    for (int f = 0; f < 21; ++f)
        wide["fields"].push_back({{"name", "F" + std::to_string(f)}});
    const std::pair<std::string, const char*> cases[] = {
        {wide.dump(), "at most 20 fields"},
        {"{\"title\": ", "Invalid JSON"},
        {R"({"title": "\u20ac"})", "outside U+0000..U+00FF"},
        {R"({"layout": 7})", "\"layout\" must be 0, 1, 2 or 3"},
        {R"({"layout": 1, "fields": [{"popup": ["deflta"]}]})", "would read back as a chunk header"},
        {R"({"fields": [{}], "records": [["a", "b"]]})", "more than 1 entries"},
        {R"({"saved_sorts": [{"slot": 2, "fields": [1, 0, 0]}]})",
         "Saved sort 2 has no name; give it one or leave it out."},
        {R"({"filters": [{"slot": 3, "name": ""}]})", "Filter 3 has no name; give it one or leave it out."},
        {R"({"layout": 1, "fields": [{"name": "Born", "type_name": "INT.DATE", "default": "01 Jan 2025"}],
             "saved_sorts": [{"slot": 2, "name": "By birth"}]})",
         "Saved sort 2 (By birth) and the default of field 1 (Born) are not kept by JFile Pro 4.x; INT.DATE field 1 "
         "(Born) becomes a DATE field with its dates written as dd/mm/yyyy. Leave these out of the description, or "
         "choose a layout that keeps them."},
    };
    testkit::TempDir dir;
    for (const auto& [spec, message] : cases) {
        testkit::WriteText(dir.File("spec.json"), spec);
        CliResult r = RunInProcess({"create", dir.File("spec.json"), "-o", dir.File("out.pdb")});
        EXPECT_EQ(r.code, 1) << message;
        EXPECT_EQ(LineCount(r.err), 1) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"spec.json"});
    }
    pdbtest::Bytes before = pdbtest::Build(pdbtest::SampleDatabase(3));
    testkit::WriteBytes(dir.File("out.pdb"), before);
    testkit::WriteText(dir.File("spec.json"), R"({"fields": [{"type": "x"}]})");
    EXPECT_EQ(RunInProcess({"create", dir.File("spec.json"), "-o", dir.File("out.pdb")}).code, 1);
    EXPECT_EQ(testkit::ReadBytes(dir.File("out.pdb")), before);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"out.pdb", "spec.json"}));
}

// What a conversion writes is checked beside Save as (exchange tests).
TEST(Convert, onto_itself_or_from_a_damaged_file_fails_with_one_line_leaving_the_files)
{
    testkit::TempDir dir;
    const pdbtest::Bytes input = pdbtest::Build(pdbtest::SampleDatabase(3));
    testkit::WriteBytes(dir.File("in.pdb"), input);
    CliResult r = RunInProcess({"convert", dir.File("in.pdb"), "--layout", "1", "-o", dir.Path() + "/./in.pdb"});
    EXPECT_EQ(std::pair(r.code, LineCount(r.err)), std::pair(1, 1)) << r.err;
    EXPECT_EQ(testkit::ReadBytes(dir.File("in.pdb")), input);

    r = RunInProcess(
        {"convert", testkit::TestDataDir() + "/broken/field_count_51.pdb", "--layout", "1", "-o", dir.File("out.pdb")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.pdb"});
}

TEST(Convert, to_a_layout_of_fewer_fields_names_those_it_leaves_out_on_one_line_and_writes)
{
    testkit::TempDir dir;
    testkit::WriteBytes(dir / "wide.pdb", pdbtest::Build(pdbtest::WideDatabase(3, 30)));
    CliResult r = RunInProcess({"convert", dir / "wide.pdb", "--layout", "0", "-o", dir / "old.pdb"});
    EXPECT_EQ(std::pair(r.code, r.err),
              std::pair(0, std::string("quorvil-cli: Fields 21 to 30 (F21, F22, F23, F24, F25, ...) are not kept by "
                                       "JFile 3.x\n")));
    EXPECT_EQ(Parse(testkit::ReadBytes(dir / "old.pdb")).db.fields.size(), 20u);
    r = RunInProcess({"convert", dir / "wide.pdb", "--layout", "1", "-o", dir / "pro.pdb"});
    EXPECT_EQ(std::pair(r.code, r.err), std::pair(0, std::string()));
}

}  // namespace
}  // namespace quorvil
