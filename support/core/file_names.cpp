#include "file_names.h"

#include "system_paths.h"

namespace quorvil {

namespace {

using sys::IsPathSeparator;
using sys::kPathSeparator;

// Start of the file-name part: just after the last directory separator.
std::size_t FileNameStart(const std::string& name)
{
    const std::size_t sep = name.find_last_of(sys::kPathSeparators);
    return sep == std::string::npos ? 0 : sep + 1;
}

// Position of the extension's "." within the file-name part, or npos.
std::size_t ExtensionDot(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < FileNameStart(name))
        return std::string::npos;
    return dot;
}

std::string DotAndExtension(const std::string& ext)
{
    return "." + ext.substr(0, 3);
}

}  // namespace

std::string DefaultExtension(const std::string& name, const std::string& ext)
{
    if (ExtensionDot(name) != std::string::npos)
        return name;
    return name + DotAndExtension(ext);
}

std::string ForceExtension(const std::string& name, const std::string& ext)
{
    const std::size_t dot = ExtensionDot(name);
    const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    return base + DotAndExtension(ext);
}

std::string AddBackslash(const std::string& path)
{
    if (path.empty() || IsPathSeparator(path.back()))
        return path;
    // Where either separator is taken, the one the path already uses.
    const std::size_t last = path.find_last_of(sys::kPathSeparators);
    return path + (last == std::string::npos ? kPathSeparator : path[last]);
}

std::string RemoveBackslash(const std::string& path)
{
    if (path.size() <= 1 || !IsPathSeparator(path.back()))
        return path;
    // A drive's root ("C:\") is a root too.
    if (kPathSeparator == '\\' && path.size() == 3 && path[1] == ':')
        return path;
    return path.substr(0, path.size() - 1);
}

}  // namespace quorvil
