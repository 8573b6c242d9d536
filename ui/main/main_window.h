#pragma once
// The main window: menus, toolbar, the eight database tabs and the status
// line. Start-up reads the settings and opens the databases of the command
// line (or the last one); closing asks about unsaved changes; destruction
// writes the settings back.
#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QKeyEvent;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolBar;

namespace quorvil {

class TDataBase;
class TDatabaseTabs;
class TFindForm;
class TReplaceForm;
class TDefineForm;
enum class TExportFormat;
class TIniFile;
class TRecentMenu;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Start-up: fixed conventions, settings, recent files, window position,
    // then the databases named by `arguments` (or "LastDB" when empty).
    void FormCreate(const QStringList& arguments);

    TDatabaseTabs* Tabs() const { return tabs_; }
    TRecentMenu* Recent() const { return recent_; }
    // The action with this object name ("SaveBtn", "OpenFileItem", ...).
    QAction* Action(const char* name) const;
    QLabel* StatusPanel() const { return panel1_; }

    // Enables the commands that need an open database.
    void EnableButtons(bool on);

    // Commands.
    void LoadBtnClick();
    void SaveBtnClick();
    void CloseBtnClick();
    void ExitProgItemClick();
    void LoadFileItemClick(int k);
    void AboutItemClick();
    // Sorts the active database by the fields chosen in the sort dialog
    // (database_commands.cpp).
    void SortBtnClick();
    // Edits the definition of the active database.
    void EditBtnClick();
    // Writes the active database to a new SQLite (or Access) file; with an
    // empty name the file dialog asks (access_command.cpp).
    void SaveAsAccessItemClick(const std::string& chosenName = {});
    void ImportCsvItemClick();

    // Views and records (record_commands.cpp).
    // tag 0 grid, 1 list, 2 record, for the active tab.
    void RecordItemClick(int tag);
    void AllBtnClick();
    void NewBtnClick();
    // The save dialog for a new file name; empty when cancelled.
    std::string PickNewFileName(const QString& title);
    void AddBtnClick();
    void DelBtnClick();
    void RearrangeItemClick();
    void UpBtnClick();
    void DownBtnClick();
    // Save as and the exports (exchange_commands.cpp). `entry` is the save
    // dialog's first file type, 1..4 (JFile 3.x .. 5.5); 0 picks the one of
    // the database's layout. A button press exports without a dialog when
    // it can; the pop-up items always ask.
    void SaveFileAsItemClick(int entry);
    void SaveAsVerBtnClick(int layout);
    void ExportClick(TExportFormat format, bool buttonPress);
    TDefineForm* DefineForm() const { return defineForm_; }
    QMenu* PopupMenu() const { return popupMenu_; }

    // Split, copy records and merge (exchange_menu_commands.cpp). A given
    // file name stands for the file dialog's answer. Copy's `tag` is the
    // target tab, 0..7, or 8 for a file.
    void SplitBtnClick();
    void CopyRecsItemClick(int tag, const std::string& chosenName = {});
    void MergeItemClick(const std::string& chosenName = {});

    // Find and replace (find_commands.cpp).
    void FindBtnClick();
    void ReplaceBtnClick();
    // Marks the records of the active database in which the text occurs.
    void FindRecords(const std::string& text, bool caseSensitive, const std::vector<bool>& fieldFlags,
                     bool wordSearch);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Previews every key pressed anywhere in this window (FormKeyDown).
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Database files and folders dropped on the window open as the command
    // line opens them, in the free tabs (edit_commands.cpp).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Menus and toolbar (main_actions.cpp), each wired in its own function.
    void CreateActions();
    void CreateFileMenu();
    // Undo and Redo of the active tab (edit_commands.cpp).
    void CreateEditMenu();
    void CreateRecordsMenu();
    void CreateDatabaseMenu();
    void CreateViewMenu();
    void CreateHelpMenu();
    void CreateToolBar();
    void CreateStatusLine();
    void CreateRecordCommands();
    void CreateAccessCommand();
    void CreateImportCommand();
    void CreateExchangeActions();
    void CreateExchangePopUps();
    void CreateExchangeMenuCommands();
    void CreateCopyMenu();
    std::string PickSaveAsFile(const TDataBase& db, int& entry);
    std::string PickExportFile(const TDataBase& db, TExportFormat format, const std::vector<int>& fields);
    // Leaving the cell being edited commits it before a file is written.
    void CommitEditing();
    void ShowViewButtons();
    void EndRearrange();
    QAction* AddCommand(const char* name, const char* text, const char* handler, void (TMainForm::*command)());
    QAction* AddCommand(const char* name, const char* text, const char* handler, std::function<void()> command);

    void OpenCommandLine(const QStringList& arguments);
    // Opens the databases the arguments name into the free tabs; false when
    // some were left out because all tabs were in use.
    bool OpenPaths(const QStringList& arguments);
    bool OpenInto(int tab, const std::string& path);
    // Opens a file the user chose (Open, the recent files) into a free tab,
    // or in place of the active one after its changes are seen to.
    void OpenChosenFile(const std::string& path);
    std::string PickDatabaseFile();
    // True, with a message, when `path` is the file of an open tab: writing
    // over it would leave that tab on a file that is gone.
    bool RefuseOpenFile(const std::string& path);
    void ShowStatus(const QString& text);
    void UpdateActiveInfo();
    void FormDestroy();
    // Find and replace (find_commands.cpp); the dialogs live for the run.
    TFindForm& FindForm();
    TReplaceForm& ReplaceForm();
    // Insert, Ctrl+H and Ctrl+F click their buttons wherever the focus is;
    // true when the key was one of them (it is then consumed).
    bool FormKeyDown(const QKeyEvent& key);
    // True when Undo or Redo pressed in a record view's editor is to reach
    // the tab's history (its keystrokes are in the database already) rather
    // than the editor's own (edit_commands.cpp).
    bool UndoKeyForHistory(QObject* watched, const QKeyEvent& key) const;

    TDatabaseTabs* tabs_;
    QStackedWidget* centre_;
    QLabel* panel1_ = nullptr;
    QLabel* infoPanel_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* exitSeparator_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    TRecentMenu* recent_ = nullptr;
    bool created_ = false;
    TDefineForm* defineForm_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    int rearrangeTab_ = -1;  // the tab whose grid is in rearrange mode
    TFindForm* findForm_ = nullptr;
    TReplaceForm* replaceForm_ = nullptr;
};

}  // namespace quorvil
