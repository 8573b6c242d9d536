// The main window's Edit menu (Undo and Redo of the active tab's history)
// and the files dropped on the window.
#include "main_window.h"

#include "database_page.h"
#include "database_tabs.h"
#include "record_panel.h"
#include "text_convert.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUrl>

#include <array>
#include <tuple>

namespace quorvil {

namespace {

QStringList LocalPaths(const QMimeData* data)
{
    QStringList paths;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
    return paths;
}

}  // namespace

void TMainForm::CreateEditMenu()
{
    auto* group = new QUndoGroup(this);
    group->setObjectName(FromUtf8("UndoGroup"));
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab)
        group->addStack(tabs_->Page(tab)->UndoStack());
    const auto follow = [this, group] { group->setActiveStack(tabs_->Page(tabs_->CurrentTab())->UndoStack()); };
    follow();
    connect(tabs_, &QTabWidget::currentChanged, this, follow);

    // The cell being edited is committed first, so that its edit is undone too.
    QAction* undo = AddCommand("UndoItem", "&Undo", "UndoItemClick", [this, group] {
        CommitEditing();
        group->undo();
    });
    QAction* redo = AddCommand("RedoItem", "&Redo", "RedoItemClick", [this, group] {
        CommitEditing();
        group->redo();
    });
    undo->setShortcut(FromUtf8("Ctrl+Z"));
    redo->setShortcut(FromUtf8("Ctrl+Shift+Z"));
    for (auto [action, caption, can, text] :
         {std::tuple{undo, "&Undo", &QUndoGroup::canUndoChanged, &QUndoGroup::undoTextChanged},
          std::tuple{redo, "&Redo", &QUndoGroup::canRedoChanged, &QUndoGroup::redoTextChanged}}) {
        action->setEnabled(false);
        connect(group, can, action, &QAction::setEnabled);
        connect(group, text, action, [action, caption](const QString& what) {
            action->setText(what.isEmpty() ? FromUtf8(caption) : FromUtf8(caption) + QLatin1Char(' ') + what);
        });
    }

    QMenu* menu = menuBar()->addMenu(FromUtf8("&Edit"));
    menu->setObjectName(FromUtf8("EditMenu"));
    menu->addAction(undo);
    menu->addAction(redo);
    setAcceptDrops(true);
}

bool TMainForm::UndoKeyForHistory(QObject* watched, const QKeyEvent& key) const
{
    if (!key.matches(QKeySequence::Undo) && !key.matches(QKeySequence::Redo)
        && key.keyCombination() != QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z))
        return false;
    for (QObject* object = watched; object; object = object->parent())
        if (qobject_cast<TRecordPanel*>(object))
            return true;
    return false;
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QStringList paths = LocalPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    std::array<bool, TDatabaseTabs::kTabs> shown{};
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab)
        shown[size_t(tab)] = tabs_->TabShown(tab);
    const bool all = OpenPaths(paths);
    // The first database the drop opened becomes the active one.
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab)
        if (!shown[size_t(tab)] && tabs_->TabShown(tab)) {
            tabs_->setCurrentIndex(tab);
            break;
        }
    if (!all)
        StatusPanel()->setText(FromUtf8("All %1 tabs are in use; close one to open more.").arg(TDatabaseTabs::kTabs));
    EnableButtons(tabs_->CurrentDB() != nullptr);
    UpdateActiveInfo();
}

}  // namespace quorvil
