// `create` and `convert`: what they write is read back by the independent
// reader; the input of a conversion stays as it was.
#include "cli_helpers.h"
#include "sample_db.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    // Writes the description, runs create, reads the result independently.
    Database CreateAndParse(const json& spec, std::vector<std::string> extra = {})
    {
        testkit::WriteText(dir_.File("spec.json"), spec.dump());
        std::vector<std::string> args = {"create", dir_.File("spec.json"), "-o", out()};
        args.insert(args.end(), extra.begin(), extra.end());
        CliResult r = RunInProcess(args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "");
        return Parse(testkit::ReadBytes(out()), 0, layout() == 2).db;
    }
    std::string out() const { return dir_.File("out.pdb"); }
    testkit::TempDir dir_;
};

TEST_P(Create, the_written_file_holds_the_described_database)
{
    json spec = Spec();
    spec["layout"] = layout();
    Database d = CreateAndParse(spec);
    EXPECT_EQ(d.title, "Reading list");
    EXPECT_EQ(d.creator, pdbtest::DefaultCreator(layout()));
    EXPECT_EQ(d.dbType, pdbtest::DefaultDbType(layout()));
    ASSERT_EQ(d.fields.size(), 5u);
    EXPECT_EQ(d.fields[0].name, "Title");
    EXPECT_EQ(d.fields[0].width, 150);
    EXPECT_EQ(d.fields[1].type, pdbtest::kBoolean);
    EXPECT_EQ(d.fields[2].type, pdbtest::kDate);
    EXPECT_EQ(d.fields[2].extra1, layout() >= 2 ? 1u : 0u) << "an international date where the layout has one";
    EXPECT_EQ(d.fields[2].width, 20) << "a width below 20 becomes 20";
    EXPECT_EQ(d.fields[3].type, pdbtest::kNewField) << "a new field is written as type 0 at the first save";
    EXPECT_EQ(d.fields[4].type, pdbtest::kNewField);
    EXPECT_EQ(d.popups, (std::map<int, std::vector<std::string>>{{4, {"Hall", "Study", "Caf\xE9"}}}));
    ASSERT_EQ(d.records.size(), 2u);
    EXPECT_EQ(d.records[0].cells, (std::vector<std::string>{"Dune", "1", "12/05/2001", "Hall", "line 1\nline 2"}));
    EXPECT_EQ(d.records[1].cells, (std::vector<std::string>{"\xC9tranger", "0", "", "Caf\xE9", "\x80\xFF"}));
    EXPECT_EQ(d.sortFields, (std::array<uint16_t, 3>{4, 1, 0}));
    EXPECT_EQ(d.findText, "Dune");
    if (layout() >= 2) {
        EXPECT_EQ(d.version & 0xF400, 0x6400) << "category 6 and read-only in the Version word";
        EXPECT_EQ(d.flags, 0);
        EXPECT_EQ(d.defaults, (std::map<int, std::string>{{4, "Hall"}}));
        EXPECT_EQ(d.sorts, (std::vector<pdbtest::SavedSort>{{2, "By shelf", {4, 1, 0}}}));
        EXPECT_EQ(d.filters,
                  (std::vector<pdbtest::Filter>{{1, "Unread", {"0", "", "", "", ""}, 3, {1, -1, -1, -1, -1}}}));
    } else {
        EXPECT_EQ(d.flags, 0x6002) << "category 6 and read-only in the Flags word";
        EXPECT_TRUE(d.defaults.empty());
        EXPECT_TRUE(d.sorts.empty());
        EXPECT_TRUE(d.filters.empty());
    }
}

TEST_P(Create, the_written_file_follows_the_byte_rules_of_its_layout)
{
    json spec = Spec();
    spec["layout"] = layout();
    CreateAndParse(spec);
    pdbtest::Bytes image = testkit::ReadBytes(out());
    pdbtest::Parsed p = Parse(image, 0, layout() == 2);
    EXPECT_EQ(p.appInfoOffset, 96u) << "78 + 2 * 8, rounded up to a multiple of 4";
    const std::string end = layout() == 0 ? "" : std::string("EndJFileData\0\0", 14);
    EXPECT_EQ(std::string(p.afterChunks.begin(), p.afterChunks.end()), std::string(1, '\0') + end);
    EXPECT_EQ(p.lengthTables.size(), layout() == 0 ? 0u : 2u);
    EXPECT_EQ(p.dataEnd, image.size());
}

TEST_P(Create, the_layout_option_overrides_the_description)
{
    json spec = Spec();
    spec["layout"] = 3 - layout();
    Database d = CreateAndParse(spec, {"--layout", std::to_string(layout())});
    EXPECT_EQ(d.creator, pdbtest::DefaultCreator(layout()));
}

TEST_P(Create, info_on_the_created_file_shows_the_description)
{
    json spec = Spec();
    spec["layout"] = layout();
    CreateAndParse(spec);
    json j = InfoJson(out());
    EXPECT_EQ(j["title"], "Reading list");
    EXPECT_EQ(j["layout"], layout() == 2 ? 3 : layout());
    EXPECT_EQ(j["category"], 6);
    EXPECT_EQ(j["read_only"], true);
    EXPECT_EQ(j["fields"][3]["popup"], spec["fields"][3]["popup"]);
    EXPECT_EQ(j["records"][1], json({"\u00c9tranger", "0", "", "Caf\u00e9", "\u0080\u00ff"}));
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, Create, ::testing::Values(0, 1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& p) { return "layout" + std::to_string(p.param); });

struct BadSpec {
    const char* name;
    std::string spec;
    const char* message;  // part of the one line on stderr
};

TEST(CreateErrors, a_description_that_does_not_fit_fails_with_one_line_and_writes_nothing)
{
    json wide = {{"layout", 0}, {"fields", json::array()}};
    for (int f = 0; f < 21; ++f)
        wide["fields"].push_back({{"name", "F" + std::to_string(f)}});
    const BadSpec cases[] = {
        {"21 fields in 3.x", wide.dump(), "at most 20 fields"},
        {"not JSON", "{\"title\": ", "Invalid JSON"},
        {"not an object", "[1, 2]", "must be a JSON object"},
        {"character above U+00FF", R"({"title": "\u20ac"})", "outside U+0000..U+00FF"},
        {"layout out of range", R"({"layout": 7})", "\"layout\" must be 0, 1, 2 or 3"},
        {"empty popup value", R"({"fields": [{"popup": ["a", ""]}]})", "must not be empty"},
        {"popup value that reads as a chunk header", R"({"fields": [{"popup": ["a", "popupb", "c"]}]})",
         "would read back as a chunk header"},
        {"popup value that reads as a 5.x chunk header", R"({"layout": 1, "fields": [{"popup": ["deflta"]}]})",
         "would read back as a chunk header"},
        {"too many cells", R"({"fields": [{}], "records": [["a", "b"]]})", "more than 1 entries"},
    };
    for (const BadSpec& c : cases) {
        SCOPED_TRACE(c.name);
        testkit::TempDir dir;
        testkit::WriteText(dir.File("spec.json"), c.spec);
        CliResult r = RunInProcess({"create", dir.File("spec.json"), "-o", dir.File("out.pdb")});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(LineCount(r.err), 1) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.pdb")));
    }
}

TEST(CreateErrors, a_failed_create_leaves_an_existing_output_as_it_was)
{
    testkit::TempDir dir;
    pdbtest::Bytes before = pdbtest::Build(pdbtest::SampleDatabase(3));
    testkit::WriteBytes(dir.File("out.pdb"), before);
    testkit::WriteText(dir.File("spec.json"), R"({"fields": [{"type": "x"}]})");
    CliResult r = RunInProcess({"create", dir.File("spec.json"), "-o", dir.File("out.pdb")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(testkit::ReadBytes(dir.File("out.pdb")), before);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"out.pdb", "spec.json"}));
}

// --- convert ---------------------------------------------------------------

class Convert : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(Convert, the_output_is_in_the_new_layout_and_the_input_is_unchanged)
{
    const auto [from, to] = GetParam();
    testkit::TempDir dir;
    Database d = pdbtest::SampleDatabase(from);
    pdbtest::Bytes input = pdbtest::Build(d);
    testkit::WriteBytes(dir.File("in.pdb"), input);
    CliResult r = RunInProcess({"convert", dir.File("in.pdb"), "--layout", std::to_string(to), "-o", dir.File("out.pdb")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(testkit::ReadBytes(dir.File("in.pdb")), input);
    Database out = Parse(testkit::ReadBytes(dir.File("out.pdb")), 0, to == 2).db;
    EXPECT_EQ(out.creator, pdbtest::DefaultCreator(to));
    EXPECT_EQ(out.dbType, pdbtest::DefaultDbType(to));
    EXPECT_EQ(out.layoutTag, to == 0 ? 452 : 576);
    EXPECT_EQ(out.records, d.records);
    EXPECT_EQ(out.popups, d.popups);
    ASSERT_EQ(out.fields.size(), d.fields.size());
    for (size_t f = 0; f < d.fields.size(); ++f)
        EXPECT_EQ(out.fields[f].name, d.fields[f].name);
    EXPECT_EQ(InfoJson(dir.File("out.pdb"))["category"], 3);
    EXPECT_EQ(InfoJson(dir.File("out.pdb"))["read_only"], true);
}

INSTANTIATE_TEST_SUITE_P(Layouts, Convert, ::testing::Combine(::testing::Values(0, 1, 3), ::testing::Range(0, 4)),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& p) {
                             return "from" + std::to_string(std::get<0>(p.param)) + "to" +
                                    std::to_string(std::get<1>(p.param));
                         });

TEST(ConvertErrors, thirty_fields_converted_to_3x_keep_twenty)
{
    testkit::TempDir dir;
    testkit::WriteBytes(dir.File("in.pdb"), pdbtest::Build(pdbtest::WideDatabase(3, 30)));
    CliResult r = RunInProcess({"convert", dir.File("in.pdb"), "--layout", "0", "-o", dir.File("out.pdb")});
    ASSERT_EQ(r.code, 0) << r.err;
    Database out = Parse(testkit::ReadBytes(dir.File("out.pdb"))).db;
    EXPECT_EQ(out.fields.size(), 20u);
    EXPECT_EQ(out.records[0].cells.back(), "r1c20");
}

TEST(ConvertErrors, converting_a_file_onto_itself_fails_and_leaves_it_alone)
{
    testkit::TempDir dir;
    pdbtest::Bytes input = pdbtest::Build(pdbtest::SampleDatabase(3));
    testkit::WriteBytes(dir.File("in.pdb"), input);
    CliResult r = RunInProcess({"convert", dir.File("in.pdb"), "--layout", "1", "-o", dir.Path() + "/./in.pdb"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(LineCount(r.err), 1);
    EXPECT_EQ(testkit::ReadBytes(dir.File("in.pdb")), input);
}

TEST(ConvertErrors, a_damaged_input_fails_and_writes_no_output)
{
    testkit::TempDir dir;
    pdbtest::Database d = pdbtest::SampleDatabase(3);
    d.storedFieldCount = 51;
    testkit::WriteBytes(dir.File("in.pdb"), pdbtest::Build(d));
    CliResult r = RunInProcess({"convert", dir.File("in.pdb"), "--layout", "1", "-o", dir.File("out.pdb")});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.pdb")));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.pdb"});
}

}  // namespace
}  // namespace quorvil
