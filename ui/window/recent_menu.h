#pragma once
// The recent-file list of the File menu: at most nine distinct paths, most
// recent first, shown as "&1 name" .. "&9 name" under the separator N1.
#include "recent_list.h"

#include <QObject>

#include <array>
#include <string>

class QAction;
class QMenu;

namespace quorvil {

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
