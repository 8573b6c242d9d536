// The tool reads databases without locking them, so it works on a file that
// the editor (or any other holder of the lock) has open.
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
    for (const std::vector<std::string>& args : {std::vector<std::string>{"convert", path, "--layout", "0", "-o",
                                                                         dir.File("copy.pdb")},
                                                 {"export", "csv", path, "-o", dir.File("list")}})
        EXPECT_EQ(RunInProcess(args).code, 0) << args[0];
    EXPECT_THROW(Open(path), EStreamError) << "the holder keeps its lock";
}

}  // namespace
}  // namespace quorvil
