#pragma once
// The recent-file list of the File menu: at most nine distinct paths, most
// recent first, shown as "&1 name" .. "&9 name" under the separator N1.
#include <QObject>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

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

// The nine menu items LoadFile1Item..LoadFile9Item (Alt+1..Alt+9) and the
// separator N1, kept in step with a TRecentList.
class TRecentMenu : public QObject {
    Q_OBJECT
public:
    TRecentMenu(QMenu* menu, QAction* before, QObject* parent);
    TRecentList& List() { return list_; }
    void Add(const std::string& path);
    // Shows the list's entries in the menu.
    void Update();
    QAction* Item(int k) const { return items_[size_t(k - 1)]; }
    QAction* Separator() const { return separator_; }

signals:
    // Entry k (from 1) was picked.
    void Picked(int k);

private:
    TRecentList list_;
    std::array<QAction*, TRecentList::kSize> items_{};
    QAction* separator_;
};

}  // namespace quorvil
