// The tool reads databases without locking them, so it works on a file that
// the editor (or any other holder of the lock) has open; it never writes
// such a file, which its holder would go on showing and save back over.
#include "cli_helpers.h"
#include "errors.h"
#include "jfile.h"
#include "sample_db.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(ReadingALockedFile, info_convert_and_export_read_a_database_another_program_holds)
{
    testkit::TempDir dir;
    const std::string path = dir.File("held.pdb");
    testkit::WriteBytes(path, pdbtest::Build(pdbtest::WideDatabase(3, 1)));
    auto holder = Open(path);  // holds the lock, as the editor does
    EXPECT_THROW(Open(path), EStreamError);
    EXPECT_EQ(InfoJson(path)["records"][0][0], "r1c1");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"convert", path, "--layout", "0", "-o", dir.File("copy.pdb")},
          {"export", "csv", path, "-o", dir.File("list")}})
        EXPECT_EQ(RunInProcess(args).code, 0) << args[0];
    EXPECT_THROW(Open(path), EStreamError) << "the holder keeps its lock";
}

TEST(WritingALockedFile, every_command_that_writes_a_database_refuses_one_another_program_holds)
{
    testkit::TempDir dir;
    const std::string sample = dir.File("sample.pdb");
    testkit::WriteBytes(sample, pdbtest::Build(pdbtest::SampleDatabase(3)));
    testkit::WriteText(dir.File("in.csv"), "a,b\n1,2\n");
    testkit::WriteText(dir.File("spec.json"), R"({"fields": [{"name": "A"}]})");
    // Also the file the split writes for the value North.
    const std::string held = dir.File("North.PDB");
    testkit::WriteBytes(held, pdbtest::Build(pdbtest::WideDatabase(3, 1)));
    const std::vector<uint8_t> before = testkit::ReadBytes(held);
    auto holder = Open(held);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"convert", sample, "--layout", "0", "-o", held},
          {"import", dir.File("in.csv"), "-o", held},
          {"create", dir.File("spec.json"), "-o", held},
          {"merge", sample, sample, "-o", held, "--id", "Plant"},
          {"split", sample, "--formats", "pdb"},
          {"copy", sample, held}}) {
        const CliResult r = RunInProcess(args);
        EXPECT_EQ(r.code, 1) << args[0];
        EXPECT_NE(r.err.find("is in use by another program"), std::string::npos) << args[0] << ": " << r.err;
        EXPECT_EQ(testkit::ReadBytes(held), before) << args[0];
    }
}

}  // namespace
}  // namespace quorvil
