#include "system_paths.h"

#include <windows.h>
// shlobj.h needs the types windows.h declares.
#include <shlobj.h>

#include <cerrno>
#include <cstdlib>

#include "file_names.h"
#include "system_file.h"
#include "system_win32.h"

namespace quorvil::sys {

namespace fs = std::filesystem;

namespace win32 {

std::wstring Wide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
    return wide;
}

std::string Utf8(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), n, nullptr, nullptr);
    return utf8;
}

int ErrnoOf(unsigned long systemError)
{
    switch (systemError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH: return ENOENT;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return kInUse;
    case ERROR_ACCESS_DENIED: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_DIRECTORY: return EISDIR;
    case ERROR_NOT_READY: return ENODEV;
    default: return EIO;
    }
}

}  // namespace win32

fs::path PathFromUtf8(std::string_view name)
{
    return fs::path(win32::Wide(name));
}

std::string Utf8FromPath(const fs::path& path)
{
    return win32::Utf8(path.native());
}

std::string ConfigDirectory()
{
    // %APPDATA% first, as Windows sets it to the same folder: a portable
    // setup or a test points it elsewhere, as XDG_CONFIG_HOME does on POSIX.
    std::string dir;
    if (const wchar_t* appData = ::_wgetenv(L"APPDATA"); appData && *appData) {
        const fs::path folder(appData);
        std::error_code ec;
        if (folder.is_absolute() && fs::is_directory(folder, ec))
            dir = Utf8FromPath(folder);
    }
    PWSTR folder = nullptr;
    if (dir.empty() && ::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &folder) == S_OK)
        dir = win32::Utf8(folder);
    ::CoTaskMemFree(folder);
    if (dir.empty()) {
        std::error_code ec;
        dir = Utf8FromPath(fs::current_path(ec));
    }
    return AddBackslash(dir);
}

}  // namespace quorvil::sys
