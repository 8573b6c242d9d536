#include "system_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "file_names.h"

namespace quorvil::sys {

namespace fs = std::filesystem;

namespace {

std::string HomeDirectory()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

}  // namespace

fs::path PathFromUtf8(std::string_view name)
{
    return fs::path(name);
}

std::string Utf8FromPath(const fs::path& path)
{
    return path.string();
}

std::string ConfigDirectory()
{
    // Relative values are to be ignored, as the base-directory rules say.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return AddBackslash(xdg);
    const std::string home = HomeDirectory();
    if (!home.empty())
        return AddBackslash(home) + ".config/";
    std::error_code ec;
    return AddBackslash(fs::current_path(ec).string());
}

}  // namespace quorvil::sys
