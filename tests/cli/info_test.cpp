// `info` on files made by the independent builder, in every layout: with
// --json every key and value, without it a summary of the main ones.
#include "cli_helpers.h"
#include "sample_db.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using nlohmann::json;
using pdbtest::Database;

// What the tool prints for the sample database of the 5.x layouts (a 5.x
// file reads as 5.5): its texts in UTF-8, each byte as the code point of
// its number; filter codes one above the file's numbers.
const json kFiveX = json::parse(R"({
  "title": "Garden log", "layout": 3, "creator": "JFi5", "db_type": "JfD5", "attributes": 8, "version": 15361,
  "category": 3, "read_only": true, "record_count": 3, "field_count": 6,
  "fields": [
    {"name": "Plant", "type": 1, "type_name": "STRING", "width": 120, "popup": [], "default": "Seedling"},
    {"name": "Done", "type": 2, "type_name": "BOOLEAN", "width": 40, "popup": [], "default": ""},
    {"name": "Sown", "type": 65535, "type_name": "INT.DATE", "width": 60, "popup": [], "default": ""},
    {"name": "Bed", "type": 64, "type_name": "LIST", "width": 50, "popup": ["North", "South", "Caf\u00e9"],
     "default": "North"},
    {"name": "Notes", "type": 1, "type_name": "STRING", "width": 200, "popup": [], "default": ""},
    {"name": "Count", "type": 8, "type_name": "INTEGER", "width": 30, "popup": [], "default": ""}],
  "sort_fields": [2, 1, 0], "find_field": 1, "find_text": "tom", "filter_field": 4, "filter_text": "North",
  "first_column": 2, "display_width": 160,
  "saved_sorts": [{"slot": 1, "name": "By bed", "fields": [4, 1, 0]},
                  {"slot": 3, "name": "By date", "fields": [3, 0, 0]}],
  "filters": [{"slot": 2, "name": "Open", "values": ["0", "", "", "", ""], "word": 1, "codes": [1, 0, 0, 0, 0]}],
  "charsetGuess": null,
  "records": [["Tomato", "1", "3/4/2024", "North", "Needs stakes\nwater daily", "12"],
              ["Basil \u00e9t\u00e9", "0", "", "Caf\u00e9", "\u0080\u009f\u00a0\u00ff", "3"],
              ["", "", "", "", "", ""]]})");

// The same database in 3.x or Pro 4.x: no defaults, saved sorts or
// filters, and a plain date field.
json Expected(int layout)
{
    if (layout >= 2)
        return kFiveX;
    json j = kFiveX;
    j.update({{"layout", layout},
              {"creator", layout == 0 ? "JBas" : "JFil"},
              {"db_type", "JfDb"},
              {"version", 1},
              {"saved_sorts", json::array()},
              {"filters", json::array()}});
    j["fields"][2].update({{"type", 4}, {"type_name", "DATE"}});
    j["fields"][0]["default"] = j["fields"][3]["default"] = "";
    return j;
}

class Info : public ::testing::TestWithParam<int> {
protected:
    std::string Write(const Database& d)
    {
        testkit::WriteBytes(dir_.File("db.pdb"), pdbtest::Build(d));
        return dir_.File("db.pdb");
    }
    testkit::TempDir dir_;
};

TEST_P(Info, json_shows_every_value_the_records_only_when_asked_and_the_summary_the_main_ones)
{
    Database d = pdbtest::SampleDatabase(GetParam());
    EXPECT_EQ(InfoJson(Write(d)), Expected(GetParam()));
    CliResult r = RunInProcess({"info", Write(d), "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    json expected = Expected(GetParam());
    expected.erase("records");
    EXPECT_EQ(json::parse(r.out), expected);
    EXPECT_EQ(r.err, "");
    const char* const layoutNames[] = {"JFile 3.x", "JFile Pro 4.x", "JFile 5.5", "JFile 5.5"};  // 5.x reads as 5.5
    r = RunInProcess({"info", Write(d)});
    for (const char* part : {"Garden log", layoutNames[GetParam()], "Sown", "North, South"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part << " in " << r.out;
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, Info, ::testing::Values(0, 1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& p) { return "layout" + std::to_string(p.param); });

}  // namespace
}  // namespace quorvil
