#include "file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "test_files.h"

namespace quorvil {
namespace {

namespace fs = std::filesystem;
using testkit::TempDir;
using testkit::WriteText;

TEST(FileSystemTest, existence_tests_tell_files_from_directories_and_refuse_wildcards)
{
    TempDir dir;
    WriteText(dir / "a.pdb", "x");
    fs::create_directory(dir / "sub");
    const std::tuple<const char*, bool, bool> cases[] = {
        {"a.pdb", true, false}, {"sub/", false, true}, {"none.pdb", false, false}, {"*.pdb", false, false}};
    for (const auto& [name, file, folder] : cases)
        EXPECT_EQ(std::pair(FileExists(dir / name), DirectoryExists(dir / name)), std::pair(file, folder)) << name;
#if defined(_WIN32)
    EXPECT_TRUE(FileExists(ProgramDir() + "support_tests.exe"));
#else
    EXPECT_TRUE(FileExists(ProgramDir() + "support_tests"));
#endif
}

TEST(FileSystemTest, mount_table_escapes_are_decoded_and_device_labels_found_through_the_label_links)
{
    std::istringstream table("\n/dev/sr0 /media/MY\\040DVD\\134x iso9660 ro,nosuid 0 0\n");
    const std::vector<MountEntry> entries = ParseMountTable(table);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(std::tuple(entries[0].device, entries[0].mountPoint, entries[0].type),
              std::tuple("/dev/sr0", "/media/MY DVD\\x", "iso9660"));

    TempDir dir;
    WriteText(dir / "sr0", "");
    fs::create_directory(dir / "by-label");
    fs::create_symlink("../sr0", dir / "by-label/MY\\x20DVD");
    EXPECT_EQ(DeviceLabel(dir / "sr0", dir / "by-label"), "MY DVD");
    EXPECT_EQ(DeviceLabel(dir / "sdb", dir / "by-label"), "");
}

}  // namespace
}  // namespace quorvil
