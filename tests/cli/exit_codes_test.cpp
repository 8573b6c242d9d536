// Exit codes and error lines of quorvil-cli, and `info` on damaged files:
// exit 0 or 1 with one line, never a crash.
#include "cli_helpers.h"
#include "sample_db.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace quorvil {
namespace {

TEST(ExitCodes, usage_errors_exit_with_2_and_show_the_usage)
{
    const std::vector<std::string> cases[] = {
        {},
        {"info", "a.pdb", "--xml"},
        {"convert", "a.pdb", "--layout", "4", "-o", "b.pdb"},
        {"convert", "a.pdb", "-o"},
    };
    for (const auto& args : cases) {
        CliResult r = RunInProcess(args);
        EXPECT_EQ(r.code, 2) << args.size();
        EXPECT_NE(r.err.find("usage: quorvil-cli info FILE"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    CliResult help = RunInProcess({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("usage:"), std::string::npos);
}

TEST(ExitCodes, a_failing_command_exits_with_1_and_the_message_on_one_line)
{
    testkit::TempDir dir;
    pdbtest::Database notJFile = pdbtest::SampleDatabase(3);
    notJFile.creator = "DATA";
    pdbtest::Database wide = pdbtest::WideDatabase(1, 50);
    wide.storedFieldCount = 51;
    pdbtest::BuildOptions badLetter;
    badLetter.chunkTexts = std::vector<std::string>{"popup?", "x"};
    const struct {
        std::optional<pdbtest::Bytes> file;  // none: the path names no file
        std::string err;                     // the start of stderr
    } cases[] = {
        {pdbtest::Build(notJFile), "Not a JFile/JFile Pro database!\n"},
        {pdbtest::Bytes{}, "Not a JFile/JFile Pro database!\n"},
        {pdbtest::Build(pdbtest::SampleDatabase(3), badLetter), "Invalid Field Index: \"?\"\n"},
        {pdbtest::Build(wide), "Invalid field count: 51 ("},
        {std::nullopt, "Cannot open file \"" + dir.File("f.pdb") + "\""},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir.File("f.pdb"));
        if (c.file)
            testkit::WriteBytes(dir.File("f.pdb"), *c.file);
        CliResult r = RunInProcess({"info", dir.File("f.pdb"), "--json"});
        EXPECT_EQ(r.code, 1) << c.err;
        EXPECT_EQ(r.out, "") << c.err;
        EXPECT_EQ(LineCount(r.err), 1) << r.err;
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
    }
}

TEST(DamagedFiles, the_binary_ends_info_on_each_kept_broken_file_with_0_or_1_and_prints_what_the_library_prints)
{
    testkit::TempDir dir;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(testkit::TestDataDir() + "/broken")) {
        if (entry.path().extension() != ".pdb")
            continue;
        ++files;
        // A copy: info opens its file for writing, and the source tree may be read-only.
        std::filesystem::copy_file(entry.path(), dir.File("f.pdb"), std::filesystem::copy_options::overwrite_existing);
        const CliResult r = RunBinary({"info", dir.File("f.pdb"), "--json", "--records"});
        EXPECT_TRUE(!r.crashed && (r.code == 1 ? LineCount(r.err) == 1 : r.code == 0 && nlohmann::json::accept(r.out)))
            << entry.path().filename() << " exited with " << r.code << ": " << r.err;
    }
    EXPECT_GE(files, 8);
    testkit::WriteBytes(dir.File("f.pdb"), pdbtest::Build(pdbtest::SampleDatabase(3)));
    CliResult binary = RunBinary({"info", dir.File("f.pdb"), "--json", "--records"});
    EXPECT_EQ(binary.code, 0);
    EXPECT_EQ(binary.out, RunInProcess({"info", dir.File("f.pdb"), "--json", "--records"}).out);
}

}  // namespace
}  // namespace quorvil
