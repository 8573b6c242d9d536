#include "outside_changes.h"

#include "command_context.h"
#include "command_guard.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "message_dialog.h"
#include "progress_line.h"
#include "text_convert.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QSet>

namespace quorvil {

namespace {

// One outside save notifies several times; the check waits for a pause.
constexpr int kPauseMs = 300;
// A busy window is asked again this much later.
constexpr int kRetryMs = 500;

QString ChangeText(const QString& path, TOutsideChange change, bool modified)
{
    if (change == TOutsideChange::Removed)
        return path + FromUtf8("\r\nwas deleted or moved away by another program. The database stays open as it "
                               "is shown; Save writes it to that name again.");
    if (!modified)
        return path + FromUtf8("\r\nwas changed by another program.\r\nReload it to see the new version, or keep "
                               "the version shown here? (Save then asks before writing over the other program's "
                               "changes.)");
    return path + FromUtf8("\r\nwas changed by another program, and this tab has changes that are not saved.\r\n"
                           "Reload shows the new version and drops your changes, which can then not be undone. "
                           "Keep mine keeps them; Save then asks before writing over the other program's changes.");
}

}  // namespace

TOutsideChanges::TOutsideChanges(QMainWindow& window, TCommandContext& context) : window_(window), context_(context)
{
    later_.setSingleShot(true);
    connect(&later_, &QTimer::timeout, this, &TOutsideChanges::Check);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &TOutsideChanges::Noticed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &TOutsideChanges::Noticed);
    connect(&context_.Tabs(), &TDatabaseTabs::ActiveChanged, this, &TOutsideChanges::Follow);
    // Coming back from another program is when a change made there shows.
    window_.installEventFilter(this);
}

TOutsideChanges::~TOutsideChanges()
{
    window_.removeEventFilter(this);
}

void TOutsideChanges::Follow()
{
    const TDatabaseTabs& tabs = context_.Tabs();
    std::vector<std::string> names;
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab)
        if (const TDataBase* db = tabs.DataBase(tab); db && tabs.TabShown(tab))
            names.push_back(db->FileName);
    // Every edit says that the tabs changed: the watcher is set up again only
    // when their files did.
    if (names == followed_)
        return;
    followed_ = std::move(names);
    QSet<QString> files;
    QSet<QString> folders;
    for (const std::string& name : followed_) {
        const QFileInfo file(PathToQString(name));
        files.insert(file.absoluteFilePath());
        folders.insert(file.absolutePath());
    }
    for (const QString& path : watcher_.files())
        if (!files.contains(path))
            watcher_.removePath(path);
    for (const QString& path : watcher_.directories())
        if (!folders.contains(path))
            watcher_.removePath(path);
    for (const QSet<QString>* wanted : {&files, &folders})
        for (const QString& path : *wanted)
            if (!watcher_.files().contains(path) && !watcher_.directories().contains(path) && QFileInfo::exists(path))
                watcher_.addPath(path);
}

void TOutsideChanges::Noticed(const QString& path)
{
    // The watcher keeps to the file it found at the path, which a rename
    // (a save, this program's own too) takes away: watch what is there now.
    if (watcher_.files().contains(path))
        watcher_.removePath(path);
    followed_.clear();
    Follow();
    later_.start(kPauseMs);
}

bool TOutsideChanges::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::ActivationChange && window_.isActiveWindow())
        later_.start(0);
    return QObject::eventFilter(watched, event);
}

bool TOutsideChanges::Busy() const
{
    if (asking_ || CommandRunning() || QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
        context_.Progress()->Running())
        return true;
    // Nothing the user is typing may be overtaken: a cell being edited, a
    // date in a record's fields (stored when the line is left), a filter box.
    const QWidget* focus = QApplication::focusWidget();
    const TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
    if (!focus || !page || !page->isAncestorOf(focus))
        return false;
    const auto* line = qobject_cast<const QLineEdit*>(focus);
    return page->Grid()->viewport()->isAncestorOf(focus) || (line && line->isModified());
}

void TOutsideChanges::Check()
{
    // While another program is in front the question waits for the window
    // to be activated again, which checks anew.
    if (!window_.isActiveWindow())
        return;
    if (Busy()) {
        later_.start(kRetryMs);
        return;
    }
    TDatabaseTabs& tabs = context_.Tabs();
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab) {
        TDataBase* db = tabs.DataBase(tab);
        if (!db || !tabs.TabShown(tab))
            continue;
        const TOutsideChange change = db->NewOutsideChange();
        if (change != TOutsideChange::None)
            Ask(tab, change);
    }
}

void TOutsideChanges::Ask(int tab, TOutsideChange change)
{
    asking_ = true;
    RunCommand("OutsideChange", [&] {
        TDatabaseTabs& tabs = context_.Tabs();
        tabs.setCurrentIndex(tab);
        TDataBase* db = tabs.DataBase(tab);
        if (!db)
            return;
        const std::string path = db->FileName;
        const QString text = ChangeText(PathToQString(path), change, db->Modified());
        if (change == TOutsideChange::Removed) {
            ShowWarning(text);
            return;
        }
        // Unsaved changes are kept unless the user says otherwise.
        const TMsgButton answer = MessageDlgButtons(text, TMsgKind::Warning, {TMsgButton::Reload, TMsgButton::KeepMine},
                                                    db->Modified() ? TMsgButton::KeepMine : TMsgButton::Reload);
        // Whatever the file became while the question was open was seen.
        db->OutsideChangeSeen();
        if (answer == TMsgButton::Reload) {
            context_.EndRearrange();
            RunOnFile(path, [&] { tabs.ReloadDatabase(tab); });
        }
    });
    asking_ = false;
    context_.UpdateActiveInfo();
}

}  // namespace quorvil
