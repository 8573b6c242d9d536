// --where on export, split and copy: only the records passing every
// condition are written, and a condition that cannot be met is refused.
#include "cli_helpers.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quorvil {
namespace {

using nlohmann::json;
using Names = std::vector<std::string>;

class Where : public ::testing::Test {
protected:
    void SetUp() override
    {
        Create("shop.pdb", R"({"fields": [{"name": "Name"}, {"name": "Price", "type_name": "INTEGER"},
            {"name": "Bought", "type_name": "DATE"}, {"name": "Paid", "type_name": "BOOLEAN"},
            {"name": "Region", "type_name": "LIST", "popup": ["North", "South", "West"]}],
            "records": [["Apple pie", "12", "03/01/2024", "1", "North"],
                        ["apple juice", "5", "15/02/2024", "0", "South"],
                        ["Pear", "20", "20/03/2024", "1", "South"],
                        ["Pineapple", "8", "10/01/2024", "1", "North"],
                        ["Plum", "", "", "0", "North"]]})");
        Create("target.pdb", R"({"fields": [{"name": "Name"}], "records": [["Plum"]]})");
    }
    void Create(const std::string& name, const std::string& spec)
    {
        testkit::WriteText(dir_.File("spec.json"), spec);
        ASSERT_EQ(RunInProcess({"create", dir_.File("spec.json"), "-o", dir_.File(name)}).code, 0);
    }
    // The first cell of each record of a database file.
    Names NamesIn(const std::string& name)
    {
        Names names;
        const json info = InfoJson(dir_.File(name));  // kept: a loop over a temporary's member dangles
        for (const json& record : info["records"])
            names.push_back(record[0].get<std::string>());
        return names;
    }
    std::vector<std::string> WithPaths(std::vector<std::string> args)
    {
        for (std::string& a : args)
            if (a.find(".pdb") != std::string::npos || a.find(".out") != std::string::npos)
                a = dir_.File(a);
        return args;
    }

    testkit::TempDir dir_;
};

// The first cell of each row of an export, read back by its format.
Names ExportedNames(const std::string& format, const std::string& text)
{
    Names names;
    if (format == "json") {
        const json exported = json::parse(text);
        for (const json& record : exported["records"])
            names.push_back(record[0].get<std::string>());
        return names;
    }
    std::istringstream lines(text);  // csv-utf8: a header row, then "Name,...\r\n"
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line))
        names.push_back(line.substr(0, line.find(',')));
    return names;
}

TEST_F(Where, export_writes_the_records_passing_every_condition_in_record_order)
{
    const struct {
        const char* format;
        std::vector<std::string> where;
        Names names;
    } cases[] = {
        {"json", {"--where", "Name", "contains", "APPLE"}, {"Apple pie", "apple juice", "Pineapple"}},
        {"json", {"--where", "Price", ">=", "12"}, {"Apple pie", "Pear"}},
        // A value may start with a dash; an empty Price is no number and fails.
        {"json", {"--where", "Price", ">", "-1"}, {"Apple pie", "apple juice", "Pear", "Pineapple"}},
        {"json", {"--where", "Bought", "..", "01/01/2024..31/01/2024"}, {"Apple pie", "Pineapple"}},
        {"json", {"--where", "Paid", "=", "TRUE"}, {"Apple pie", "Pear", "Pineapple"}},
        {"json", {"--where", "Region", "=", "North"}, {"Apple pie", "Pineapple", "Plum"}},
        {"csv-utf8", {"--where", "Name", "contains", "apple", "--where", "Region", "=", "South"}, {"apple juice"}},
        {"csv-utf8", {"--where", "Price", "<", "0"}, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"export", c.format, dir_.File("shop.pdb"), "-o", dir_.File("x.out")};
        args.insert(args.end(), c.where.begin(), c.where.end());
        const CliResult r = RunInProcess(args);
        ASSERT_EQ(r.code, 0) << c.where[1] << ": " << r.err;
        EXPECT_EQ(ExportedNames(c.format, testkit::ReadText(dir_.File("x.out"))), c.names) << c.where[1];
    }
}

TEST_F(Where, split_writes_a_file_per_value_the_passing_records_hold)
{
    CliResult r = RunInProcess({"split", dir_.File("shop.pdb"), "--where", "Paid", "=", "true"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(NamesIn("North.PDB"), (Names{"Apple pie", "Pineapple"}));
    EXPECT_EQ(NamesIn("South.PDB"), Names{"Pear"});
    const std::vector<std::string> before = dir_.Entries();
    r = RunInProcess({"split", dir_.File("shop.pdb"), "--where", "Price", ">", "100"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "quorvil-cli: No record passes --where; no file written.\n");
    EXPECT_EQ(dir_.Entries(), before);
}

TEST_F(Where, copy_appends_the_passing_records_in_the_listed_order)
{
    CliResult r = RunInProcess(
        {"copy", dir_.File("shop.pdb"), dir_.File("target.pdb"), "--where", "Region", "=", "South"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(NamesIn("target.pdb"), (Names{"Plum", "apple juice", "Pear"}));
    r = RunInProcess(
        {"copy", dir_.File("shop.pdb"), dir_.File("target.pdb"), "--records", "4,2,1", "--where", "Paid", "=", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(NamesIn("target.pdb"), (Names{"Plum", "apple juice", "Pear", "Pineapple", "Apple pie"}));
    const std::string before = testkit::ReadText(dir_.File("target.pdb"));
    r = RunInProcess(
        {"copy", dir_.File("shop.pdb"), dir_.File("target.pdb"), "--records", "2", "--where", "Paid", "=", "TRUE"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "No record passes --where; nothing copied.\n");
    EXPECT_EQ(testkit::ReadText(dir_.File("target.pdb")), before);
}

TEST_F(Where, a_condition_that_cannot_be_met_is_a_usage_error_and_writes_nothing)
{
    const struct {
        std::vector<std::string> args;
        std::string line;
    } cases[] = {
        {{"export", "json", "shop.pdb", "-o", "x.out", "--where", "Name", "contains"}, "--where takes FIELD OP VALUE"},
        {{"export", "csv", "shop.pdb", "-o", "x.out", "--where", "Foo", "contains", "x"},
         "--where: there is no field Foo"},
        {{"export", "txt", "shop.pdb", "-o", "x.out", "--where", "name", "contains", "x"},
         "--where: there is no field name"},
        {{"export", "html", "shop.pdb", "-o", "x.out", "--where", "Name", "=", "Pear"},
         "--where: Name is a text field; it takes contains"},
        {{"export", "json", "shop.pdb", "-o", "x.out", "--where", "Paid", "<", "1"},
         "--where: Paid is a Boolean field; it takes contains and ="},
        {{"export", "json", "shop.pdb", "-o", "x.out", "--where", "Region", ">", "North"},
         "--where: Region is a List field; it takes contains and ="},
        {{"export", "json", "shop.pdb", "-o", "x.out", "--where", "Price", "~", "3"},
         "--where: ~ is not an operator; use contains, =, <, >, <=, >= or .."},
        {{"export", "json", "shop.pdb", "-o", "x.out", "--where", "Price", "..", "5"},
         "--where: .. takes a range such as 1..5"},
        {{"export", "json", "shop.pdb", "-o", "x.out", "--where", "Region", "=", "North", "--where", "Price", ">",
          "abc"},
         "--where: Price: \"abc\" is not a number."},
        {{"split", "shop.pdb", "--where", "Paid", "=", "maybe"}, "--where: Paid: type TRUE or FALSE."},
        {{"split", "shop.pdb", "--where", "Bought", ">", "31/02/2024"},
         "--where: Bought: \"31/02/2024\" is not a date."},
        {{"copy", "shop.pdb", "target.pdb", "--where", "Price"}, "--where takes FIELD OP VALUE"},
        {{"copy", "shop.pdb", "target.pdb", "--where", "Price", "=", "\xE2\x82\xAC"},
         "--where: A text holds a character outside U+0000..U+00FF: \"\xE2\x82\xAC\""},
    };
    const std::string target = testkit::ReadText(dir_.File("target.pdb"));
    const std::vector<std::string> before = dir_.Entries();
    for (const auto& c : cases) {
        const CliResult r = RunInProcess(WithPaths(c.args));
        EXPECT_EQ(r.code, 2) << c.line;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "quorvil-cli: " + c.line);
    }
    EXPECT_EQ(dir_.Entries(), before);
    EXPECT_EQ(testkit::ReadText(dir_.File("target.pdb")), target);
}

}  // namespace
}  // namespace quorvil
