#include "recent_menu.h"

#include "command_context.h"
#include "text_convert.h"

#include <QAction>
#include <QDir>
#include <QMenu>

namespace quorvil {

TRecentMenu::TRecentMenu(QMenu* menu, QAction* before, QObject* parent) : QObject(parent)
{
    separator_ = new QAction(menu);
    separator_->setSeparator(true);
    separator_->setObjectName(FromUtf8("N1"));
    menu->insertAction(before, separator_);
    // An entry's tip is its full path: the folder the name alone hides.
    menu->setToolTipsVisible(true);
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
    QStringList names;
    for (const std::string& path : paths)
        names << BareName(path);
    for (int k = 1; k <= TRecentList::kSize; ++k) {
        QAction* item = items_[size_t(k - 1)];
        const bool used = size_t(k) <= paths.size();
        item->setVisible(used);
        item->setEnabled(used);
        if (!used)
            continue;
        const QString path = QDir::fromNativeSeparators(PathToQString(paths[size_t(k - 1)]));
        QString name = names[k - 1];
        // Files of one name in several folders are told apart by the folder.
        if (names.count(name) > 1)
            name += FromUtf8("  (") + QDir::toNativeSeparators(path.section(QLatin1Char('/'), 0, -2)) +
                    QLatin1Char(')');
        name.replace(QLatin1Char('&'), FromUtf8("&&"));
        item->setText(FromUtf8("&%1 %2").arg(k).arg(name));
        item->setStatusTip(QDir::toNativeSeparators(path));
        item->setToolTip(QDir::toNativeSeparators(path));
    }
    separator_->setVisible(!paths.empty());
}

}  // namespace quorvil
