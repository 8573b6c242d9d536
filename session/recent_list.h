#pragma once
// The recent-file list of the File menu: at most nine distinct paths, most
// recent first. The menu that shows it is the window's.
#include <functional>
#include <string>
#include <vector>

namespace quorvil {

class TIniFile;

// The list itself, without menus.
class TRecentList {
public:
    static constexpr int kSize = 9;
    // Keys "File1".."File9" of section "CONFIG"; entries whose file no longer
    // exists are dropped and the rest close up.
    void Load(const TIniFile& ini, const std::function<bool(const std::string&)>& fileExists);
    // Writes "File1".."FileN" for the N entries; later keys stay untouched.
    void Save(TIniFile& ini) const;
    // Puts `path` first; an entry with the same path moves up instead of
    // appearing twice; the tenth falls off.
    void Add(const std::string& path);
    const std::vector<std::string>& Paths() const { return paths_; }

private:
    std::vector<std::string> paths_;
};

}  // namespace quorvil
