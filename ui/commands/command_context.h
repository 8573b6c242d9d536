#pragma once
// What every command family is given of the main window: the tabs, the
// actions by name, the status line, and the few states several commands
// share (the rearrange mode, the buttons that need an open database).
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMainWindow;

namespace quorvil {

class TJFILE;

class TDatabaseTabs;
class TProgressLine;

// "1 record", "12 records": a count and its noun, which takes an "s".
QString CountOf(int count, const char* noun);
// The file's name without its directory, for the status line.
QString BareName(const std::string& path);
// The main window's title: "parts.PDB[*] — Quorvil 2.0ß" for the active
// database's file, the program's caption alone ("[*]" after it) for none.
QString WindowTitle(const std::string& path);

class TCommandContext {
public:
    TCommandContext(QMainWindow& window, TDatabaseTabs& tabs);

    QMainWindow& Window() const { return window_; }
    TDatabaseTabs& Tabs() const { return tabs_; }

    // A command: its action, named `name` for the tests and the menus, runs
    // `command` through the command guard under the handler's name, after
    // committing the cell being edited when `commitFirst`.
    QAction* AddCommand(const char* name, const char* text, const char* handler, std::function<void()> command,
                        bool commitFirst = true);
    // The action with this object name ("SaveBtn", "OpenFileItem", ...); the
    // menu names of commands the tool bar shares ("OpenFileItem" is
    // "LoadBtn") find the shared action.
    QAction* Action(const char* name) const;

    // Panel1 (the progress texts and what the last command did), the
    // progress bar and InfoPanel (the active database).
    void CreateStatusLine();
    QLabel* StatusPanel() const { return panel1_; }
    TProgressLine* Progress() const { return progress_; }
    void ShowStatus(const QString& text);
    // Long work on `fileName` with the progress bar, and with its Cancel
    // button when `cancellable`. True when the work finished; a cancel puts
    // "<what> cancelled; nothing was written to <file>." in the status line,
    // a file error is shown naming the file, both give false.
    bool RunLong(const char* what, const std::string& fileName, bool cancellable, const std::function<void()>& work);
    // As RunLong, with the work on a thread of its own so that the window
    // keeps answering, through a last step that reports no progress too. For
    // work that only reads the database, touches no widget and shows nothing.
    bool RunLongAside(const char* what, const std::string& fileName, bool cancellable,
                      const std::function<void()>& work);
    // The active tab's record count, layout and state, the placeholder while
    // no tab is open, the view button and the enabled commands.
    void UpdateActiveInfo();
    // Enables the commands that need an open database.
    void EnableButtons(bool on);

    // Leaving the cell being edited commits it before a file is written.
    // False when what was typed there was refused: its editor is open again
    // with the text, and the command should stop.
    static bool CommitEditing();
    // The records a command writes from the active tab: a filter still in
    // progress is completed, then, while the views show fewer records than
    // the database holds, the user chooses all of them or those shown (or
    // those of `selected`, when given). Nothing on Cancel.
    struct TRecordChoice {
        bool All = true;           // every record, in record order
        std::vector<int> Records;  // else these, in the order the rows show them
        // The records chosen as a database of their own that borrows their
        // bytes (it must not outlive `db`); null for every record.
        std::unique_ptr<TJFILE> Part(const TJFILE& db) const;
    };
    std::optional<TRecordChoice> RecordsToWrite(const QString& caption, const std::vector<int>* selected = nullptr);
    // True, with a message, when `path` is the file of an open tab: writing
    // over it would leave that tab on a file that is gone.
    bool RefuseOpenFile(const std::string& path) const;

    // The tab whose grid is in rearrange mode, -1 for none; Up and Down and
    // the copy menu follow the mode.
    int RearrangeTab() const { return rearrangeTab_; }
    void SetRearrange(bool on);
    void EndRearrange();

private:
    void ShowViewButtons();

    QMainWindow& window_;
    TDatabaseTabs& tabs_;
    QLabel* panel1_ = nullptr;
    TProgressLine* progress_ = nullptr;
    QLabel* infoPanel_ = nullptr;
    int rearrangeTab_ = -1;
};

}  // namespace quorvil
