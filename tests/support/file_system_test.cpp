#include "file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "support_test_util.h"

namespace quorvil {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;
using test::WriteText;

TEST(FileSystemTest, ExistenceTestsTellFilesFromDirectoriesAndRefuseWildcards)
{
    ScratchDir dir;
    WriteText(dir / "a.pdb", "x");
    fs::create_directory(dir / "sub");
    const std::tuple<const char*, bool, bool> cases[] = {{"a.pdb", true, false}, {"sub", false, true},
                                                        {"sub/", false, true},  {"none.pdb", false, false},
                                                        {"*.pdb", false, false}, {"su?", false, false}};
    for (const auto& [name, file, folder] : cases) {
        EXPECT_EQ(FileExists(dir / name), file) << name;
        EXPECT_EQ(DirectoryExists(dir / name), folder) << name;
    }
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(DirectoryExists(""));
}

TEST(FileSystemTest, ProgramDirIsTheDirectoryOfTheRunningProgram)
{
    const std::string dir = ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(FileExists(dir + "support_tests"));
}

TEST(FileSystemTest, MountTableEscapesAreDecodedAndKernelFileSystemsLeftOut)
{
    std::istringstream table(
        "/dev/sr0 /media/user/MY\\040DVD iso9660 ro,nosuid 0 0\n"
        "proc /proc proc rw 0 0\n"
        "\n"
        "/dev/sda1 /mnt/back\\134slash ext4 rw 0 0\n");
    const std::vector<MountEntry> entries = ParseMountTable(table);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].device, "/dev/sr0");
    EXPECT_EQ(entries[0].mountPoint, "/media/user/MY DVD");
    EXPECT_EQ(entries[0].type, "iso9660");
    EXPECT_EQ(entries[1].type, "proc");
    EXPECT_EQ(entries[2].mountPoint, "/mnt/back\\slash");

    const std::vector<std::string> volumes = MountedVolumes();
    EXPECT_NE(std::find(volumes.begin(), volumes.end(), "/"), volumes.end());
    EXPECT_EQ(std::find(volumes.begin(), volumes.end(), "/proc"), volumes.end());
    EXPECT_TRUE(DrivePresent("/"));
    ScratchDir dir;
    EXPECT_FALSE(DrivePresent(dir.Path()));
}

TEST(FileSystemTest, DeviceLabelIsFoundThroughTheLabelLinks)
{
    ScratchDir dir;
    WriteText(dir / "sr0", "");
    WriteText(dir / "sda1", "");
    fs::create_directory(dir / "by-label");
    fs::create_symlink(dir / "sda1", dir / "by-label/BACKUP");
    fs::create_symlink("../sr0", dir / "by-label/MY\\x20DVD");
    EXPECT_EQ(DeviceLabel(dir / "sr0", dir / "by-label"), "MY DVD");
    EXPECT_EQ(DeviceLabel(dir / "sda1", dir / "by-label"), "BACKUP");
    EXPECT_EQ(DeviceLabel(dir / "sdb", dir / "by-label"), "");
    EXPECT_EQ(DeviceLabel(dir / "sr0", dir / "no-such-dir"), "");
}

}  // namespace
}  // namespace quorvil
