#include "recent_list.h"

#include "config_settings.h"

#include <algorithm>

namespace quorvil {

namespace {

bool HasWildcards(const std::string& path)
{
    return path.find_first_of("*?") != std::string::npos;
}

}  // namespace

void TRecentList::Load(const TIniFile& ini, const std::function<bool(const std::string&)>& fileExists)
{
    paths_.clear();
    for (int k = 1; k <= kSize; ++k) {
        const std::string path = ReadText(ini, settings::RecentFile, {.Key = std::to_string(k)});
        if (!path.empty() && !HasWildcards(path) && fileExists(path))
            paths_.push_back(path);
    }
}

void TRecentList::Save(TIniFile& ini) const
{
    for (size_t i = 0; i < paths_.size(); ++i)
        WriteText(ini, settings::RecentFile, paths_[i], {.Key = std::to_string(i + 1)});
}

void TRecentList::Add(const std::string& added)
{
    // `added` may be one of the list's own paths (a recent file opened
    // again), which the erase below would free.
    const std::string path = added;
    // File names differ by case on this platform, so paths compare exactly.
    auto found = std::find(paths_.begin(), paths_.end(), path);
    if (found != paths_.end())
        paths_.erase(found);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > size_t(kSize))
        paths_.resize(kSize);
}

}  // namespace quorvil
