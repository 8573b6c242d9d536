#include "file_names.h"

namespace quorvil {

namespace {

constexpr char kSeparator = '/';

// Start of the file-name part: just after the last directory separator.
std::size_t FileNameStart(const std::string& name)
{
    const std::size_t sep = name.rfind(kSeparator);
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
    if (path.empty() || path.back() == kSeparator)
        return path;
    return path + kSeparator;
}

std::string RemoveBackslash(const std::string& path)
{
    if (path.size() <= 1 || path.back() != kSeparator)
        return path;
    return path.substr(0, path.size() - 1);
}

}  // namespace quorvil
