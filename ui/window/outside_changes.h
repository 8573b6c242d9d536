#pragma once
// Files of open tabs that another program changes: the window watches them
// and, once it is idle, says what happened and offers to read the new
// version or keep the one shown. The program's own saves are not changes.
#include "disk_stamp.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <string>
#include <vector>

class QMainWindow;

namespace quorvil {

class TCommandContext;

class TOutsideChanges : public QObject {
    Q_OBJECT
public:
    TOutsideChanges(QMainWindow& window, TCommandContext& context);
    ~TOutsideChanges() override;

    // Watches the files of the open tabs and their folders, and no others.
    void Follow();
    // Asks about every tab whose file changed outside since it was read,
    // saved or asked about. While the window is busy (a dialog, a command at
    // work, a cell being edited, another program in front) the question
    // waits and is tried again.
    void Check();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The watcher saw `path` change: it follows what is at the path now,
    // and a check follows once the writes have paused.
    void Noticed(const QString& path);
    bool Busy() const;
    // Reload or Keep mine (a removed file: a word only).
    void Ask(int tab, TOutsideChange change);

    QMainWindow& window_;
    TCommandContext& context_;
    QFileSystemWatcher watcher_;
    std::vector<std::string> followed_;  // the files of the tabs watched
    QTimer later_;
    bool asking_ = false;
};

}  // namespace quorvil
