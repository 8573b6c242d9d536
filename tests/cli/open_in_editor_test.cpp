// The tool reads databases without locking them, so it works on a file that
// the editor (or any other holder of the lock) has open.
#include "cli_helpers.h"
#include "errors.h"
#include "jfile.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

std::string MakeDatabase(const testkit::TempDir& dir)
{
    std::string path = dir.File("held.pdb");
    auto db = CreateNew(path);
    db->SetFieldCount(1);
    db->SetFieldName(1, "Name");
    db->SetRecordCount(1);
    db->SetCell(1, 1, "Ann");
    db->SaveWithName("Held");
    return path;
}

TEST(ReadingALockedFile, info_convert_and_export_read_a_database_another_program_holds)
{
    testkit::TempDir dir;
    std::string path = MakeDatabase(dir);
    auto holder = Open(path);  // holds the lock, as the editor does
    EXPECT_THROW(Open(path), EStreamError);

    CliResult info = RunInProcess({"info", path, "--json", "--records"});
    EXPECT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("\"Ann\""), std::string::npos);
    CliResult convert = RunInProcess({"convert", path, "--layout", "0", "-o", dir.File("copy.pdb")});
    EXPECT_EQ(convert.code, 0) << convert.err;
    CliResult exported = RunInProcess({"export", "csv", path, "-o", dir.File("list")});
    EXPECT_EQ(exported.code, 0) << exported.err;

    // The holder still owns the file: it saves and nobody else locks it.
    holder->SetCell(1, 1, "Bea");
    EXPECT_NO_THROW(holder->SaveWithName("Held"));
    EXPECT_THROW(Open(path), EStreamError);
}

}  // namespace
}  // namespace quorvil
