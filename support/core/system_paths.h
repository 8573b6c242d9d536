#pragma once
// File names and the program's places on the platform: names are UTF-8
// inside the program; and the configuration folder.
#include <filesystem>
#include <string>
#include <string_view>

namespace quorvil::sys {

#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
#endif

inline bool IsPathSeparator(char c)
{
    return kPathSeparators.find(c) != std::string_view::npos;
}

// A path from a UTF-8 name, and back. POSIX names are bytes and pass as
// they are; Windows names are converted to and from UTF-16.
std::filesystem::path PathFromUtf8(std::string_view name);
std::string Utf8FromPath(const std::filesystem::path& path);

// The folder of the user's configuration files, with a trailing separator:
// $XDG_CONFIG_HOME, else ~/.config on POSIX; %APPDATA%, else the roaming
// application data folder on Windows. The working folder when neither can be found.
std::string ConfigDirectory();

}  // namespace quorvil::sys
