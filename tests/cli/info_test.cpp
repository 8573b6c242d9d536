// `info` on files made by the independent builder, in every layout: with
// --json every key and value, without it a summary of the main ones.
#include "cli_helpers.h"
#include "sample_db.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <map>

namespace quorvil {
namespace {

using nlohmann::json;
using pdbtest::Database;

// The names of the type codes the sample databases hold.
const std::map<unsigned, const char*> kTypeNames = {{1, "STRING"},  {2, "BOOLEAN"}, {4, "DATE"},
                                                   {8, "INTEGER"}, {64, "LIST"},   {65535, "INT.DATE"}};

json Texts(const std::vector<std::string>& texts)
{
    json array = json::array();
    for (const auto& t : texts)
        array.push_back(Latin1ToUtf8(t));
    return array;
}

json ExpectedFields(const Database& d)
{
    const bool fiveX = d.layout >= 2;
    json fields = json::array();
    for (size_t i = 0; i < d.fields.size(); ++i) {
        const pdbtest::Field& f = d.fields[i];
        const int number = int(i) + 1;
        unsigned type = fiveX && f.type == pdbtest::kDate && f.extra1 == 1 ? 65535u : f.type;
        auto popup = d.popups.find(number);
        auto def = d.defaults.find(number);
        fields.push_back({{"name", Latin1ToUtf8(f.name)},
                          {"type", type},
                          {"type_name", kTypeNames.at(type)},
                          {"width", fiveX ? int(int16_t(f.width)) : std::min<int>(f.width, 32767)},
                          {"popup", Texts(popup == d.popups.end() ? std::vector<std::string>{} : popup->second)},
                          {"default", fiveX && def != d.defaults.end() ? Latin1ToUtf8(def->second) : ""}});
    }
    return fields;
}

// The JSON object the tool must print for the database a file holds.
json Expected(const Database& d)
{
    const bool fiveX = d.layout >= 2;
    json j = {
        {"title", Latin1ToUtf8(d.title)},
        {"layout", fiveX ? 3 : d.layout},
        {"creator", d.creator},
        {"db_type", d.dbType},
        {"attributes", d.attributes},
        {"version", d.version},
        {"category", fiveX ? d.version >> 12 : d.flags >> 12},
        {"read_only", fiveX ? (d.version & 0x0400) != 0 : (d.flags & 2) != 0},
        {"record_count", d.records.size()},
        {"field_count", d.fields.size()},
        {"fields", ExpectedFields(d)},
        {"sort_fields", d.sortFields},
        {"find_field", d.findField},
        {"find_text", Latin1ToUtf8(d.findText)},
        {"filter_field", d.filterField},
        {"filter_text", Latin1ToUtf8(d.filterText)},
        {"first_column", d.firstColumn},
        {"display_width", d.displayWidth},
        {"saved_sorts", json::array()},
        {"filters", json::array()},
    };
    if (fiveX) {
        for (const auto& s : d.sorts)
            j["saved_sorts"].push_back({{"slot", s.slot}, {"name", Latin1ToUtf8(s.name)}, {"fields", s.fields}});
        for (const auto& f : d.filters) {
            json codes = json::array();
            for (long c : f.codes)
                codes.push_back(c + 1);  // held one above the file's number
            j["filters"].push_back({{"slot", f.slot},
                                    {"name", Latin1ToUtf8(f.name)},
                                    {"values", Texts({f.values.begin(), f.values.end()})},
                                    {"word", f.word},
                                    {"codes", codes}});
        }
    }
    json records = json::array();
    for (const auto& r : d.records)
        records.push_back(Texts(r.cells));
    j["records"] = records;
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
    EXPECT_EQ(InfoJson(Write(d)), Expected(d));
    CliResult r = RunInProcess({"info", Write(d), "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    json expected = Expected(d);
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
