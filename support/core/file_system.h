#pragma once
// File-system tests and the mounted volumes that stand in for drive letters.
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

// Directory of the running program file, with a trailing separator.
std::string ProgramDir();

// True when the path contains "*" or "?".
bool HasWildcards(std::string_view path);
// A directory (or a link to one); false for a path with wildcards.
bool DirectoryExists(const std::string& path);
// An existing entry that is not a directory; false for a path with wildcards.
bool FileExists(const std::string& path);

struct MountEntry {
    std::string device;
    std::string mountPoint;
    std::string type;
};

// The entries of a mount table in the format of /proc/self/mounts, with the
// octal escapes (\040 for a space) decoded.
std::vector<MountEntry> ParseMountTable(std::istream& table);
// Mount points of the real file systems (kernel pseudo file systems left
// out), in the order of the system's mount table.
std::vector<std::string> MountedVolumes();
// A mounted volume whose mount point is an existing directory.
bool DrivePresent(const std::string& mountPoint);

// The label of the device mounted at `mountPoint`, empty when it has none or
// it cannot be found.
std::string VolumeLabel(const std::string& mountPoint);
// The label under which `device` appears in `labelDirectory` (a directory of
// links named by label, such as /dev/disk/by-label), empty when absent.
std::string DeviceLabel(const std::string& device, const std::string& labelDirectory = "/dev/disk/by-label");

}  // namespace quorvil
