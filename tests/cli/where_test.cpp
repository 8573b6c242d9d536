// --where on export, split and copy: only the records passing every
// condition are written, and a condition that cannot be met is refused.
#include "cli_helpers.h"
#include "test_files.h"

#include <gtest/gtest.h>

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
            "records": [["Apple pie", "12", "03/01/2024", "1", "North"], ["apple juice", "5", "15/02/2024", "0", "South"],
                        ["Pear", "20", "20/03/2024", "1", "South"], ["Pineapple", "8", "10/01/2024", "1", "North"],
                        ["Plum", "", "", "0", "North"]]})");
        Create("target.pdb", R"({"fields": [{"name": "Name"}], "records": [["Plum"]]})");
    }
    void Create(const std::string& name, const std::string& spec)
    {
        testkit::WriteText(dir_.File("spec.json"), spec);
        ASSERT_EQ(RunInProcess({"create", dir_.File("spec.json"), "-o", dir_.File(name)}).code, 0);
    }
    // The tool run with the files named in `args` in the test's directory.
    CliResult Run(std::vector<std::string> args)
    {
        for (std::string& a : args)
            if (a.ends_with(".pdb") || a.starts_with("x."))
                a = dir_.File(a);
        return RunInProcess(args);
    }
    // The first cell of each record of a database file, or of a JSON export.
    Names FirstCells(const std::string& name)
    {
        const json db = name.ends_with(".pdb") || name.ends_with(".PDB")
                            ? InfoJson(dir_.File(name))
                            : json::parse(testkit::ReadText(dir_.File(name)));
        Names names;
        for (const json& record : db["records"])
            names.push_back(record[0].get<std::string>());
        return names;
    }

    testkit::TempDir dir_;
};

TEST_F(Where, export_writes_the_records_passing_every_condition_in_record_order)
{
    const struct {
        std::vector<std::string> where;
        Names names;
    } cases[] = {
        {{"Name", "contains", "APPLE"}, {"Apple pie", "apple juice", "Pineapple"}},
        {{"Price", ">=", "12"}, {"Apple pie", "Pear"}},
        // A value may start with a dash; an empty Price is no number and fails.
        {{"Price", ">", "-1"}, {"Apple pie", "apple juice", "Pear", "Pineapple"}},
        {{"Bought", "..", "01/01/2024..31/01/2024"}, {"Apple pie", "Pineapple"}},
        {{"Paid", "=", "TRUE"}, {"Apple pie", "Pear", "Pineapple"}},
        {{"Region", "=", "North"}, {"Apple pie", "Pineapple", "Plum"}},
        {{"Name", "contains", "apple", "--where", "Region", "=", "South"}, {"apple juice"}},
        {{"Price", "<", "0"}, {}},
        // contains takes its value as it stands: no operator, blanks kept.
        {{"Price", "contains", ">1"}, {}},
        {{"Region", "contains", "=North"}, {}},
        {{"Name", "contains", "e j"}, {"apple juice"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"export", "json", "shop.pdb", "-o", "x.json", "--where"};
        args.insert(args.end(), c.where.begin(), c.where.end());
        const CliResult r = Run(args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(FirstCells("x.json"), c.names) << c.where[0];
    }
    // The formats of other programs are handed the same records.
    ASSERT_EQ(Run({"export", "csv-utf8", "shop.pdb", "-o", "x.csv", "--where", "Price", "<", "6"}).code, 0);
    EXPECT_EQ(testkit::ReadText(dir_.File("x.csv")),
              "Name,Price,Bought,Paid,Region\r\napple juice,5,15/02/2024,0,South\r\n");
}

TEST_F(Where, split_writes_a_file_per_value_the_passing_records_hold)
{
    ASSERT_EQ(Run({"split", "shop.pdb", "--where", "Paid", "=", "true"}).code, 0);
    EXPECT_EQ(FirstCells("North.PDB"), (Names{"Apple pie", "Pineapple"}));
    EXPECT_EQ(FirstCells("South.PDB"), Names{"Pear"});
    const std::vector<std::string> before = dir_.Entries();
    const CliResult r = Run({"split", "shop.pdb", "--where", "Price", ">", "100"});
    EXPECT_EQ(r.err, "quorvil-cli: No record passes --where; no file written.\n");
    EXPECT_EQ(dir_.Entries(), before);
}

TEST_F(Where, copy_appends_the_passing_records_in_the_listed_order)
{
    ASSERT_EQ(Run({"copy", "shop.pdb", "target.pdb", "--where", "Region", "=", "South"}).code, 0);
    ASSERT_EQ(Run({"copy", "shop.pdb", "target.pdb", "--records", "4,2,1", "--where", "Paid", "=", "1"}).code, 0);
    EXPECT_EQ(FirstCells("target.pdb"), (Names{"Plum", "apple juice", "Pear", "Pineapple", "Apple pie"}));
    const std::string before = testkit::ReadText(dir_.File("target.pdb"));
    const CliResult r = Run({"copy", "shop.pdb", "target.pdb", "--records", "2", "--where", "Paid", "=", "TRUE"});
    EXPECT_EQ(r.out, "No record passes --where; nothing copied.\n");
    EXPECT_EQ(testkit::ReadText(dir_.File("target.pdb")), before);
}

TEST_F(Where, a_condition_that_cannot_be_met_is_a_usage_error_and_writes_nothing)
{
    const struct {
        std::vector<std::string> where;
        std::string line;
    } cases[] = {
        {{"Name", "contains"}, "--where takes FIELD OP VALUE"},
        {{"name", "contains", "x"}, "--where: there is no field name"},
        {{"Name", "=", "Pear"}, "--where: Name is a text field; it takes contains"},
        {{"Paid", "<", "1"}, "--where: Paid is a Boolean field; it takes ="},
        {{"Paid", "contains", "ue"}, "--where: Paid is a Boolean field; it takes ="},
        {{"Name", "contains", ""}, "--where: the value for Name is empty"},
        {{"Region", ">", "North"}, "--where: Region is a List field; it takes contains and ="},
        {{"Price", "~", "3"}, "--where: ~ is not an operator; use contains, =, <, >, <=, >= or .."},
        {{"Price", "..", "5"}, "--where: .. takes a range such as 1..5"},
        {{"Region", "=", "North", "--where", "Price", ">", "abc"}, "--where: Price: \"abc\" is not a number."},
        {{"Bought", ">", "31/02/2024"}, "--where: Bought: \"31/02/2024\" is not a date."},
    };
    const std::string target = testkit::ReadText(dir_.File("target.pdb"));
    const std::vector<std::string> before = dir_.Entries();
    for (const auto& c : cases)
        for (std::vector<std::string> args : {std::vector<std::string>{"export", "csv", "shop.pdb", "-o", "x.csv"},
                                              {"split", "shop.pdb"},
                                              {"copy", "shop.pdb", "target.pdb"}}) {
            args.push_back("--where");
            args.insert(args.end(), c.where.begin(), c.where.end());
            const CliResult r = Run(args);
            EXPECT_EQ(r.code, 2) << args[0] << " " << c.line;
            EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "quorvil-cli: " + c.line) << args[0];
        }
    EXPECT_EQ(dir_.Entries(), before);
    EXPECT_EQ(testkit::ReadText(dir_.File("target.pdb")), target);
}

}  // namespace
}  // namespace quorvil
