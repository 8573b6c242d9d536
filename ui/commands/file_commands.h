#pragma once
// The File menu's commands on whole databases: open (the dialog, the recent
// files, the command line, files dropped on the window), new, save, close,
// exit.
#include <QObject>
#include <QStringList>

#include <string>
#include <vector>

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
    // them.
    void OpenDropped(const QStringList& paths);

private:
    // What a request to open several files did: the first tab it filled
    // (-1: none), and the files left out for want of a tab.
    struct TOpened {
        int First = -1;
        std::vector<std::string> LeftOut;
    };
    // Opens the databases the arguments name, each where TabForDatabase
    // says, never in place of one the same request opened; the first one
    // opened becomes the active tab, and the status line says when files
    // were left out.
    void OpenRequest(const QStringList& arguments);
    TOpened OpenPaths(const std::vector<std::string>& paths);
    // The first database opened becomes the active tab; the status line says
    // when files were left out.
    void ShowOpened(const TOpened& opened);
    bool OpenInto(int tab, const std::string& path);
    // Opens a file the user chose (Open, the recent files) where
    // TabForDatabase says.
    void OpenChosenFile(const std::string& path);

    TCommandContext& context_;
    TDefineForm* defineForm_;
};

}  // namespace quorvil
