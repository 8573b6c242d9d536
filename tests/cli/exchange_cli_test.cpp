// split, copy and merge from the command line: the choices given as options
// reach the commands, and wrong ones fail with one line.
#include "cli_helpers.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using nlohmann::json;

class ExchangeCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        Create("master.pdb", R"({"fields": [{"name": "ID", "type_name": "INTEGER"}, {"name": "Name"},
            {"name": "Region", "type_name": "LIST", "popup": ["North", "South", "West"]}],
            "records": [["12", "Ann", "North"], ["13", "", "South"], ["7", "Bo", "North"]]})");
        Create("other.pdb", R"({"fields": [{"name": "Id", "type_name": "INTEGER"}, {"name": "Name"},
            {"name": "Email"}], "records": [["012", "Anne", "a@x"], ["99", "Zed", ""]]})");
        // Its Email list has no room for a@x.
        json full = json::parse(R"({"fields": [{"name": "ID", "type_name": "INTEGER"},
            {"name": "Email", "type_name": "LIST", "popup": []}], "records": [["12", ""]]})");
        for (int k = 1; k <= 50; ++k)
            full["fields"][1]["popup"].push_back("V" + std::to_string(k));
        Create("full.pdb", full.dump());
    }
    void Create(const std::string& name, const std::string& spec)
    {
        testkit::WriteText(dir_.File("spec.json"), spec);
        ASSERT_EQ(RunInProcess({"create", dir_.File("spec.json"), "-o", dir_.File(name)}).code, 0);
    }
    json Records(const std::string& name) { return InfoJson(dir_.File(name))["records"]; }

    testkit::TempDir dir_;
};

TEST_F(ExchangeCli, merges_copies_and_splits_with_the_choices_given_as_options)
{
    CliResult r = RunInProcess(
        {"merge", dir_.File("master.pdb"), dir_.File("other.pdb"), "-o", dir_.File("m.pdb"), "--overwrite", "Name"});
    EXPECT_EQ(r.out, "4 values written, 1 record appended.\n");
    EXPECT_EQ(Records("m.pdb"), json::parse(R"([["12", "Anne", "North", "a@x"], ["13", "", "South", ""],
        ["7", "Bo", "North", ""], ["99", "Zed", "", ""]])"));
    r = RunInProcess({"copy", dir_.File("other.pdb"), dir_.File("master.pdb"), "--records", "2"});
    EXPECT_EQ(r.out, "Copied 1 record, matched on Name: 1 added, 0 updated.\n");
    r = RunInProcess({"copy", dir_.File("other.pdb"), dir_.File("master.pdb"), "--records", "2", "--no-key"});
    EXPECT_EQ(r.out, "Copied 1 record, without a key field: 1 added, 0 updated.\n");
    r = RunInProcess(
        {"merge", dir_.File("full.pdb"), dir_.File("other.pdb"), "-o", dir_.File("f.pdb"), "--without-unlisted"});
    EXPECT_EQ(r.out, "3 values written, 1 record appended. 1 value left out: the popup lists could not take them.\n");
    r = RunInProcess({"copy", dir_.File("other.pdb"), dir_.File("full.pdb"), "--records", "1", "--without-unlisted"});
    EXPECT_EQ(r.out, "Copied 1 record, matched on Email: 1 added, 0 updated. 1 value left out: the popup lists could "
                     "not take them.\n");
    r = RunInProcess({"split", dir_.File("master.pdb"), "--formats", "pdb,txt", "--global", "Name=x"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Records("North.PDB"), json::parse(R"([["12", "x"], ["7", "x"]])"));
    EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"North.PDB", "North.TXT", "South.PDB", "South.TXT", "f.pdb",
                                                        "full.pdb", "m.pdb", "master.pdb", "other.pdb", "spec.json"}));
}

TEST_F(ExchangeCli, a_global_value_true_is_written_to_a_boolean_field_as_1)
{
    Create("paid.pdb", R"({"fields": [{"name": "Region", "type_name": "LIST", "popup": ["North"]},
        {"name": "Paid", "type_name": "BOOLEAN"}], "records": [["North", "0"], ["North", ""]]})");
    const CliResult r = RunInProcess({"split", dir_.File("paid.pdb"), "--global", "Paid=true"});
    ASSERT_EQ(r.code, 0) << r.err;
    const pdbtest::Database out = pdbtest::Parse(testkit::ReadBytes(dir_.File("North.PDB"))).db;
    ASSERT_EQ(out.records.size(), 2u);
    for (const pdbtest::Record& record : out.records)
        EXPECT_EQ(record.cells, std::vector<std::string>{"1"});
}

TEST_F(ExchangeCli, wrong_choices_fail_with_one_line)
{
    const struct {
        std::vector<std::string> args;
        int code;
        std::string line;
    } cases[] = {
        {{"split", "other.pdb"}, 1, "No fields in this database is of \"List\" type."},
        {{"split", "master.pdb", "--field", "Name"}, 2, "quorvil-cli: --field: there is no List field Name"},
        {{"merge", "master.pdb", "other.pdb", "-o", "m.pdb", "--id", "Email"},
         1,
         "The ID field Email is not in both databases."},
        {{"copy", "master.pdb", "other.pdb", "--records", "2-9"},
         2,
         "quorvil-cli: --records: 2-9 is not a range of records 1..3"},
        {{"copy", "master.pdb", "other.pdb", "--key", "ID"},
         2,
         "quorvil-cli: --key: ID is not the name of a field in both databases"},
        {{"info", "master.pdb", "--charset", "latin-9"},
         2,
         "quorvil-cli: --charset takes windows-1252, windows-1250, windows-1251, windows-1253, windows-1254, "
         "windows-1257, shift_jis, gbk, big5, euc-kr; not latin-9"},
        {{"copy", "master.pdb", "other.pdb", "--charset", "Windows-1252", "--where", "Name", "contains",
          "\xC5\x81\xC3\xB3"},
         2,
         "quorvil-cli: --where: '\xC5\x81' cannot be stored in a Windows-1252 database; give the database's character "
         "set with --charset"},
        {{"export", "csv", "master.pdb", "-o", "m.csv", "--landscape"},
         2,
         "quorvil-cli: --cards, --landscape and --font-size are options of pdf"},
#ifdef QUORVIL_PDF_EXPORT
        {{"export", "pdf", "master.pdb", "-o", "m.pdf", "--font-size", "25"},
         2,
         "quorvil-cli: --font-size takes a number of points from 6 to 24"},
#endif
        {{"merge", "full.pdb", "other.pdb", "-o", "m.pdb"},
         1,
         "The popup lists cannot take every value the merge would write: Email: a@x (its popup list is full: it holds "
         "at most 50 values). Nothing was written; give --without-unlisted to merge without them."},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        for (std::string& a : args)
            if (a.find(".pdb") != std::string::npos)
                a = dir_.File(a);
        CliResult r = RunInProcess(args);
        EXPECT_EQ(r.code, c.code) << c.line;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.line);
    }
}

}  // namespace
}  // namespace quorvil
