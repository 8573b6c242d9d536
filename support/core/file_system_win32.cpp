#include "file_system.h"

#include <windows.h>

#include <filesystem>

#include "file_names.h"
#include "system_paths.h"
#include "system_win32.h"

namespace quorvil {

std::string ProgramDir()
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (n == 0) {
            std::error_code ec;
            return AddBackslash(sys::Utf8FromPath(std::filesystem::current_path(ec)));
        }
        if (n < name.size()) {
            name.resize(n);
            break;
        }
        name.resize(name.size() * 2);
    }
    return AddBackslash(sys::Utf8FromPath(std::filesystem::path(name).parent_path()));
}

// The drive letters' roots ("C:\"), in letter order.
std::vector<std::string> MountedVolumes()
{
    std::vector<std::string> volumes;
    const DWORD drives = ::GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter)
        if (drives & (1u << letter))
            volumes.push_back(std::string(1, char('A' + letter)) + ":\\");
    return volumes;
}

std::string VolumeLabel(const std::string& mountPoint)
{
    wchar_t label[MAX_PATH + 1] = {};
    const std::wstring root = sys::win32::Wide(AddBackslash(mountPoint));
    // No error box for an empty drive.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok = ::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
    ::SetErrorMode(previous);
    return ok ? sys::win32::Utf8(label) : std::string();
}

}  // namespace quorvil
