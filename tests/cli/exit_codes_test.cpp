// Exit codes and error lines of quorvil-cli, and `info` on damaged files:
// exit 0 or 1 with one line, never a crash.
#include "cli_helpers.h"
#include "sample_db.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace quorvil {
namespace {

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
};

TEST(ExitCodes, usage_errors_exit_with_2_and_show_the_usage)
{
    const UsageCase cases[] = {
        {"no command", {}},
        {"unknown command", {"list", "x.pdb"}},
        {"info without a file", {"info"}},
        {"info with two files", {"info", "a.pdb", "b.pdb"}},
        {"unknown option", {"info", "a.pdb", "--xml"}},
        {"create without -o", {"create", "spec.json"}},
        {"convert without --layout", {"convert", "a.pdb", "-o", "b.pdb"}},
        {"convert with layout 4", {"convert", "a.pdb", "--layout", "4", "-o", "b.pdb"}},
        {"option without its value", {"convert", "a.pdb", "-o"}},
    };
    for (const UsageCase& c : cases) {
        CliResult r = RunInProcess(c.args);
        EXPECT_EQ(r.code, 2) << c.name;
        EXPECT_NE(r.err.find("usage: quorvil-cli info FILE"), std::string::npos) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.name;
    }
    CliResult help = RunInProcess({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("usage:"), std::string::npos);
}

struct FailureCase {
    const char* name;
    pdbtest::Bytes file;
    std::string err;  // the whole of stderr
};

TEST(ExitCodes, a_failing_command_exits_with_1_and_the_engine_message_on_one_line)
{
    pdbtest::Database notJFile = pdbtest::SampleDatabase(3);
    notJFile.creator = "DATA";
    pdbtest::Database wide = pdbtest::WideDatabase(1, 50);
    wide.storedFieldCount = 51;
    pdbtest::Database letter = pdbtest::SampleDatabase(3);
    pdbtest::BuildOptions badLetter;
    badLetter.chunkTexts = std::vector<std::string>{"popup?", "x"};
    const FailureCase cases[] = {
        {"not a JFile database", pdbtest::Build(notJFile), "Not a JFile/JFile Pro database!\n"},
        {"empty file", {}, "Not a JFile/JFile Pro database!\n"},
        {"bad chunk letter", pdbtest::Build(letter, badLetter), "Invalid Field Index: \"?\"\n"},
        {"51 fields", pdbtest::Build(wide), ""},
    };
    for (const FailureCase& c : cases) {
        testkit::TempDir dir;
        testkit::WriteBytes(dir.File("f.pdb"), c.file);
        CliResult r = RunInProcess({"info", dir.File("f.pdb"), "--json"});
        EXPECT_EQ(r.code, 1) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_EQ(LineCount(r.err), 1) << c.name << ": " << r.err;
        if (!c.err.empty())
            EXPECT_EQ(r.err, c.err) << c.name;
        else
            EXPECT_NE(r.err.find("51"), std::string::npos) << r.err;
    }
}

TEST(ExitCodes, files_that_cannot_be_opened_exit_with_1_naming_the_file)
{
    testkit::TempDir dir;
    for (const std::string& path : {dir.File("missing.pdb"), dir.Path()}) {
        CliResult r = RunInProcess({"info", path});
        EXPECT_EQ(r.code, 1) << path;
        EXPECT_EQ(LineCount(r.err), 1) << r.err;
        EXPECT_NE(r.err.find("Cannot open file \"" + path + "\""), std::string::npos) << r.err;
    }
}

// --- Damaged files through the real binary ---------------------------------

void ExpectCleanOutcome(const CliResult& r, const std::string& what)
{
    EXPECT_FALSE(r.crashed) << what << ": " << r.err;
    EXPECT_TRUE(r.code == 0 || r.code == 1) << what << " exited with " << r.code << ": " << r.err;
    if (r.code == 1) {
        EXPECT_EQ(LineCount(r.err), 1) << what << ": " << r.err;
    } else {
        EXPECT_TRUE(nlohmann::json::accept(r.out)) << what;
    }
}

TEST(DamagedFiles, info_on_each_kept_broken_file_ends_with_0_or_1)
{
    if (CliBinary().empty())
        GTEST_SKIP() << "QUORVIL_CLI is not set";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(testkit::TestDataDir() + "/broken")) {
        if (entry.path().extension() != ".pdb")
            continue;
        ++files;
        // A copy: info opens its file for writing, and the source tree may be read-only.
        testkit::TempDir dir;
        std::filesystem::copy_file(entry.path(), dir.File("f.pdb"));
        ExpectCleanOutcome(RunBinary({"info", dir.File("f.pdb"), "--json", "--records"}),
                           entry.path().filename().string());
    }
    EXPECT_GE(files, 8);
}

TEST(DamagedFiles, info_on_randomly_damaged_files_ends_with_0_or_1)
{
    std::mt19937 random(99);
    testkit::TempDir dir;
    for (int layout : {0, 1, 3}) {
        const pdbtest::Bytes image = pdbtest::Build(pdbtest::SampleDatabase(layout));
        for (int round = 0; round < 300; ++round) {
            pdbtest::Bytes damaged = image;
            for (int h = 0; h < 6; ++h)
                damaged[random() % damaged.size()] = uint8_t(random());
            if (round % 3 == 0)
                damaged.resize(random() % damaged.size());
            testkit::WriteBytes(dir.File("f.pdb"), damaged);
            CliResult r = RunInProcess({"info", dir.File("f.pdb"), "--json", "--records"});
            ExpectCleanOutcome(r, "layout " + std::to_string(layout) + " round " + std::to_string(round));
        }
    }
}

}  // namespace
}  // namespace quorvil
