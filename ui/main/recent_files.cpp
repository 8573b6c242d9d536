#include "recent_files.h"

#include "ini_file.h"
#include "text_convert.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace quorvil {

namespace {

std::string FileKey(int k)
{
    return "File" + std::to_string(k);
}

bool HasWildcards(const std::string& path)
{
    return path.find_first_of("*?") != std::string::npos;
}

}  // namespace

void TRecentList::Load(const TIniFile& ini, const std::function<bool(const std::string&)>& fileExists)
{
    paths_.clear();
    for (int k = 1; k <= kSize; ++k) {
        const std::string path = ini.ReadString("CONFIG", FileKey(k));
        if (!path.empty() && !HasWildcards(path) && fileExists(path))
            paths_.push_back(path);
    }
}

void TRecentList::Save(TIniFile& ini) const
{
    for (size_t i = 0; i < paths_.size(); ++i)
        ini.WriteString("CONFIG", FileKey(int(i + 1)), paths_[i]);
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

TRecentMenu::TRecentMenu(QMenu* menu, QAction* before, QObject* parent) : QObject(parent)
{
    separator_ = new QAction(menu);
    separator_->setSeparator(true);
    separator_->setObjectName(FromUtf8("N1"));
    menu->insertAction(before, separator_);
    for (int k = 1; k <= TRecentList::kSize; ++k) {
        auto* item = new QAction(menu);
        item->setObjectName(FromUtf8("LoadFile%1Item").arg(k));
        item->setShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + k)));
        connect(item, &QAction::triggered, this, [this, k] { emit Picked(k); });
        menu->insertAction(before, item);
        items_[size_t(k - 1)] = item;
    }
    Update();
}

void TRecentMenu::Add(const std::string& path)
{
    list_.Add(path);
    Update();
}

void TRecentMenu::Update()
{
    const std::vector<std::string>& paths = list_.Paths();
    for (int k = 1; k <= TRecentList::kSize; ++k) {
        QAction* item = items_[size_t(k - 1)];
        const bool used = size_t(k) <= paths.size();
        item->setVisible(used);
        item->setEnabled(used);
        if (!used)
            continue;
        const QString path = PathToQString(paths[size_t(k - 1)]);
        QString name = path.section(QLatin1Char('/'), -1);
        name.replace(QLatin1Char('&'), FromUtf8("&&"));
        item->setText(FromUtf8("&%1 %2").arg(k).arg(name));
        item->setStatusTip(path);
        item->setToolTip(path);
    }
    separator_->setVisible(!paths.empty());
}

}  // namespace quorvil
