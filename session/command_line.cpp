#include "command_line.h"

#include "text_case.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quorvil {

namespace fs = std::filesystem;

namespace {

bool WildcardMatch(std::string_view name, std::string_view pattern)
{
    size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool HasPdbExtension(std::string_view name)
{
    return name.size() >= 4 && SameTextIgnoringCase(name.substr(name.size() - 4), ".PDB");
}

}  // namespace

bool MatchesDatabasePattern(const std::string& name, const std::string& pattern)
{
    if (HasPdbExtension(pattern)) {
        return HasPdbExtension(name) && WildcardMatch(std::string_view(name).substr(0, name.size() - 4),
                                                      std::string_view(pattern).substr(0, pattern.size() - 4));
    }
    return WildcardMatch(name, pattern);
}

std::vector<std::string> ExpandDatabaseArgument(const std::string& argument)
{
    std::error_code ec;
    fs::path path = fs::absolute(fs::path(argument), ec);
    if (ec || argument.empty())
        return {};
    if (fs::is_directory(path, ec))
        path /= "*";
    std::string pattern = path.filename().string();
    if (pattern.find('.') == std::string::npos)
        pattern += ".PDB";
    const fs::path directory = path.parent_path();

    std::vector<std::string> files;
    const fs::path exact = directory / pattern;
    if (pattern.find_first_of("*?") == std::string::npos && fs::is_regular_file(exact, ec)) {
        files.push_back(exact.lexically_normal().string());
        return files;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, ec)) {
        std::error_code typeError;
        if (entry.is_directory(typeError))
            continue;
        const std::string name = entry.path().filename().string();
        if (MatchesDatabasePattern(name, pattern))
            files.push_back(entry.path().lexically_normal().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace quorvil
