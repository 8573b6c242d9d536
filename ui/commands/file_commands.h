#pragma once
// The File menu's commands on whole databases: open (the dialog, the recent
// files, the command line, files dropped on the window), new, save, close,
// exit.
#include <QObject>
#include <QStringList>

#include <string>

namespace quorvil {

class TCommandContext;
class TDefineForm;
class TRecentList;

class TFileCommands : public QObject {
    Q_OBJECT
public:
    explicit TFileCommands(TCommandContext& context);

    void LoadBtnClick();
    void SaveBtnClick();
    void CloseBtnClick();
    void ExitProgItemClick();
    // Entry k (from 1) of the recent files.
    void LoadFileItemClick(const TRecentList& recent, int k);
    void NewBtnClick();

    // The databases of the command line, or "LastDB" when it names none.
    void OpenCommandLine(const QStringList& arguments);
    // Files and folders dropped on the window open as the command line opens
    // them, in the free tabs; the first one opened becomes the active tab.
    void OpenDropped(const QStringList& paths);

private:
    // Opens the databases the arguments name into the free tabs; false when
    // some were left out because all tabs were in use.
    bool OpenPaths(const QStringList& arguments);
    bool OpenInto(int tab, const std::string& path);
    // Opens a file the user chose (Open, the recent files) into a free tab,
    // or in place of the active one after its changes are seen to.
    void OpenChosenFile(const std::string& path);

    TCommandContext& context_;
    TDefineForm* defineForm_;
};

}  // namespace quorvil
