#pragma once
// The main window: menus, toolbar, the eight database tabs and the status
// line. Start-up reads the settings and opens the databases of the command
// line (or the last one); closing asks about unsaved changes; destruction
// writes the settings back.
#include <QMainWindow>
#include <QStringList>

#include <string>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolBar;

namespace quorvil {

class TDatabaseTabs;
class TDefineForm;
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
    TDefineForm* DefineForm() const { return defineForm_; }
    QMenu* PopupMenu() const { return popupMenu_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Previews every key pressed anywhere in this window (FormKeyDown).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Menus and toolbar (main_actions.cpp), each wired in its own function.
    void CreateActions();
    void CreateFileMenu();
    void CreateRecordsMenu();
    void CreateDatabaseMenu();
    void CreateViewMenu();
    void CreateHelpMenu();
    void CreateToolBar();
    void CreateStatusLine();
    void CreateRecordCommands();
    void ShowViewButtons();
    void EndRearrange();
    QAction* AddCommand(const char* name, const char* text, const char* handler, void (TMainForm::*command)());
    QAction* AddPending(const char* name, const char* text);

    void OpenCommandLine(const QStringList& arguments);
    bool OpenInto(int tab, const std::string& path);
    std::string PickDatabaseFile();
    void ShowStatus(const QString& text);
    void UpdateActiveInfo();
    void FormDestroy();
    // Insert, Ctrl+H and Ctrl+F click their buttons wherever the focus is;
    // true when the key was one of them (it is then consumed).
    bool FormKeyDown(const QKeyEvent& key);

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
};

}  // namespace quorvil
