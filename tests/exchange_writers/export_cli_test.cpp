// quorvil-cli export: formats, field lists and exit statuses.
#include "cli.h"
#include "writer_fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace quorvil::test {
namespace {

namespace fs = std::filesystem;

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

CliResult RunExport(std::vector<std::string> args)
{
    args.insert(args.begin(), "quorvil-cli");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    std::ostringstream out, err;
    int status = RunCli(int(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

class ExportCommand : public testing::Test {
protected:
    void SetUp() override { SaveEdgeDatabase(db_); }
    TempDir dir_;
    std::string db_ = dir_ / "parts.PDB";
};

TEST_F(ExportCommand, WritesTheListedFieldsInTheirOrder)
{
    CliResult r = RunExport({"export", "csv", db_, "-o", dir_ / "out", "--fields", "3,1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir_ / "out.CSV"),
              "\"Qty\",\"Name\"\r\n\"1200\",\"Hex bolt\"\r\n\"7\",\"Say \"hi\"\"\r\n\"1234567\",\"\"\r\n");
    EXPECT_EQ(KeyValue(SectionKeys(ReadBytes(dir_ / "out.DEF"), "JFilePro"), "Widths"), "30,80");
}

TEST_F(ExportCommand, WritesEveryFormatWithAllFieldsByDefault)
{
    for (auto [format, extension] : {std::pair{"csv", "CSV"}, {"html", "HTM"}, {"txt", "TXT"}}) {
        CliResult r = RunExport({"export", format, db_, "-o", dir_ / "all"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(ReadBytes(dir_ / ("all." + std::string(extension))),
                  ReadBytes(GoldenPath("edge." + std::string(extension))))
            << format;
    }
}

TEST_F(ExportCommand, FailsWithOneLineNamingTheFileWhenTheDirectoryIsMissing)
{
    std::string target = dir_ / "nowhere/out";
    CliResult r = RunExport({"export", "txt", db_, "-o", target});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"" + target + ".TXT\""), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

TEST_F(ExportCommand, RejectsBadArgumentsAsUsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {
        {"export", "csv", db_, "-o", dir_ / "x", "--fields", "7"},
        {"export", "csv", db_, "-o", dir_ / "x", "--fields", "0,1"},
        {"export", "csv", db_, "-o", dir_ / "x", "--fields", "1,,2"},
        {"export", "csv", db_, "-o", dir_ / "x", "--fields", "a"},
        {"export", "xml", db_, "-o", dir_ / "x"},
        {"export", "csv", db_},
        {"export", db_, "-o", dir_ / "x"},
    };
    for (const auto& args : cases) {
        CliResult r = RunExport(args);
        EXPECT_EQ(r.status, 2) << args.back() << ": " << r.err;
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir_ / "x.CSV"));
}

TEST_F(ExportCommand, FailsForADatabaseThatCannotBeOpened)
{
    CliResult r = RunExport({"export", "csv", dir_ / "absent.PDB", "-o", dir_ / "x"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("absent.PDB"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace quorvil::test
