// Exit codes and error lines of quorvil-cli, and `info` on damaged files:
// exit 0 or 1 with one line, never a crash.
#include "cli_helpers.h"
#include "quorvil_version.h"
#include "sample_db.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    CliResult version = RunInProcess({"--version"});
    EXPECT_EQ(std::tuple(version.code, version.out, version.err),
              std::tuple(0, "quorvil-cli " + std::string(kVersion) + "\n", ""));
}

TEST(ExitCodes, a_failing_command_exits_with_1_and_the_message_on_one_line)
{
    const std::string broken = testkit::TestDataDir() + "/broken/";
    const std::pair<std::string, std::string> cases[] = {
        // the file, the start of stderr
        {"not_jfile.pdb", "Not a JFile/JFile Pro database!\n"},
        {"empty.pdb", "Not a JFile/JFile Pro database!\n"},
        {"bad_popup_letter.pdb", "Invalid Field Index: \"!\"\n"},
        {"field_count_51.pdb", "Invalid field count: 51 ("},
        {"record_list_cut_short.pdb", "The file is damaged: its records overlap.\n"},  // found by fuzzing
        {"none.pdb", "Cannot open file \"" + broken + "none.pdb\""},
    };
    for (const auto& [file, err] : cases) {
        CliResult r = RunInProcess({"info", broken + file, "--json"});
        EXPECT_EQ(std::tuple(r.code, r.out, LineCount(r.err)), std::tuple(1, "", 1)) << file << ": " << r.err;
        EXPECT_EQ(r.err.substr(0, err.size()), err);
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
        const CliResult r = RunBinary({"info", entry.path().string(), "--json", "--records"});
        EXPECT_TRUE(!r.crashed && (r.code == 1 ? LineCount(r.err) == 1 : r.code == 0 && nlohmann::json::accept(r.out)))
            << entry.path().filename() << " exited with " << r.code << ": " << r.err;
    }
    EXPECT_GE(files, 8);
    testkit::WriteBytes(dir.File("f.pdb"), pdbtest::Build(pdbtest::SampleDatabase(3)));
    CliResult binary = RunBinary({"info", dir.File("f.pdb"), "--json", "--records"});
    EXPECT_EQ(binary.code, 0);
    EXPECT_EQ(binary.out, RunInProcess({"info", dir.File("f.pdb"), "--json", "--records"}).out);
}

TEST(DamagedFiles, each_command_warns_on_one_line_about_a_file_that_ends_early_and_copy_writes_nothing_into_one)
{
    testkit::TempDir dir;
    const pdbtest::Bytes whole = pdbtest::Build(pdbtest::SampleDatabase(3));
    const pdbtest::Bytes cut(whole.begin(), whole.end() - 2);
    testkit::WriteBytes(dir / "whole.pdb", whole);
    CliResult r = RunInProcess({"info", dir / "whole.pdb"});
    EXPECT_EQ(std::pair(r.code, r.err), std::pair(0, std::string()));
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        // the command, the file it names
        {{"info", "cut.pdb", "--json"}, "cut.pdb"},
        {{"convert", "cut.pdb", "--layout", "3", "-o", "out.pdb"}, "cut.pdb"},  // a layout that keeps all
        {{"export", "txt", "cut.pdb", "-o", "out.txt"}, "cut.pdb"},
        {{"split", "cut.pdb", "--formats", "csv"}, "cut.pdb"},
        {{"merge", "whole.pdb", "cut.pdb", "-o", "out.pdb"}, "cut.pdb"},
        {{"copy", "cut.pdb", "whole.pdb"}, "cut.pdb"},
    };
    for (auto [args, file] : cases) {
        testkit::WriteBytes(dir / "cut.pdb", cut);
        for (std::string& a : args)
            if (a.find('.') != std::string::npos)
                a = dir / a;
        r = RunInProcess(args);
        const std::string warning = "quorvil-cli: The file \"" + dir / file + "\" ends early: it holds ";
        EXPECT_EQ(std::pair(r.code, LineCount(r.err)), std::pair(0, 1)) << args[0] << ": " << r.err;
        EXPECT_EQ(r.err.substr(0, warning.size()), warning) << args[0];
    }
    // A copy into a damaged file would save over what could not be read.
    testkit::WriteBytes(dir / "cut.pdb", cut);
    r = RunInProcess({"copy", dir / "whole.pdb", dir / "cut.pdb"});
    EXPECT_EQ(std::pair(r.code, LineCount(r.err)), std::pair(1, 1)) << r.err;
    EXPECT_NE(r.err.find("Nothing was copied into it."), std::string::npos) << r.err;
    EXPECT_TRUE(testkit::ReadBytes(dir / "cut.pdb") == cut);
}

}  // namespace
}  // namespace quorvil
