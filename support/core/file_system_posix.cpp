#include "file_system.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "file_names.h"

namespace quorvil {

namespace {

constexpr std::array<std::string_view, 21> kPseudoFileSystems = {
    "autofs", "binfmt_misc", "bpf",      "cgroup",     "cgroup2",    "configfs",  "debugfs",
    "devpts", "devtmpfs",    "efivarfs", "fusectl",    "hugetlbfs",  "mqueue",    "nsfs",
    "proc",   "pstore",      "ramfs",    "rpc_pipefs", "securityfs", "selinuxfs", "sysfs"};

std::vector<MountEntry> SystemMounts()
{
    std::ifstream table("/proc/self/mounts");
    return ParseMountTable(table);
}

bool IsPseudo(const MountEntry& e)
{
    return std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), e.type) != kPseudoFileSystems.end();
}

}  // namespace

std::string ProgramDir()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    const fs::path dir = ec ? fs::current_path(ec) : exe.parent_path();
    return AddBackslash(dir.string());
}

std::vector<std::string> MountedVolumes()
{
    std::vector<std::string> volumes;
    for (const MountEntry& e : SystemMounts())
        if (!IsPseudo(e) && std::find(volumes.begin(), volumes.end(), e.mountPoint) == volumes.end())
            volumes.push_back(e.mountPoint);
    return volumes;
}

std::string VolumeLabel(const std::string& mountPoint)
{
    const std::string wanted = RemoveBackslash(mountPoint);
    std::string device;
    // The last entry for a mount point is the one on top.
    for (const MountEntry& e : SystemMounts())
        if (e.mountPoint == wanted)
            device = e.device;
    if (device.empty() || device.front() != '/')
        return {};
    return DeviceLabel(device);
}

}  // namespace quorvil
