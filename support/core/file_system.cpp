#include "file_system.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "file_names.h"
#include "system_paths.h"

namespace quorvil {

namespace fs = std::filesystem;

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The mount table writes space, tab, line feed and backslash as \ooo.
std::string DecodeOctal(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool escape = field[i] == '\\' && i + 3 < field.size() &&
                            std::all_of(field.begin() + i + 1, field.begin() + i + 4,
                                        [](char c) { return c >= '0' && c <= '7'; });
        if (escape) {
            out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// udev writes unsafe characters of a label as \xHH.
std::string DecodeHexEscapes(std::string_view name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && HexDigit(name[i + 2]) >= 0 &&
            HexDigit(name[i + 3]) >= 0) {
            out += static_cast<char>(HexDigit(name[i + 2]) * 16 + HexDigit(name[i + 3]));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

}  // namespace

bool HasWildcards(std::string_view path)
{
    return path.find_first_of("*?") != std::string_view::npos;
}

bool DirectoryExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && !HasWildcards(path) && fs::is_directory(sys::PathFromUtf8(path), ec);
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    const fs::file_status st = fs::status(sys::PathFromUtf8(path), ec);
    return !path.empty() && !HasWildcards(path) && fs::exists(st) && !fs::is_directory(st);
}

std::vector<MountEntry> ParseMountTable(std::istream& table)
{
    std::vector<MountEntry> entries;
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (fields >> device >> mountPoint >> type)
            entries.push_back({DecodeOctal(device), DecodeOctal(mountPoint), type});
    }
    return entries;
}

bool DrivePresent(const std::string& mountPoint)
{
    const std::vector<std::string> volumes = MountedVolumes();
    return std::find(volumes.begin(), volumes.end(), RemoveBackslash(mountPoint)) != volumes.end() &&
           DirectoryExists(mountPoint);
}

std::string DeviceLabel(const std::string& device, const std::string& labelDirectory)
{
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    if (ec)
        return {};
    for (fs::directory_iterator it(labelDirectory, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        const fs::path linked = fs::canonical(it->path(), linkError);
        if (!linkError && linked == target)
            return DecodeHexEscapes(it->path().filename().string());
    }
    return {};
}

}  // namespace quorvil
