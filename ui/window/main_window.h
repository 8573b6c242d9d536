#pragma once
// The main window: menus, toolbar, the eight database tabs and the status
// line, wired to the command families that do the work. Start-up reads the
// settings and opens the databases of the command line (or the last one);
// closing asks about unsaved changes; destruction writes the settings back.
#include <QIcon>
#include <QMainWindow>
#include <QStringList>

#include <memory>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QStackedWidget;

namespace quorvil {

class TCommandContext;
class TDatabaseTabs;
class TEditCommands;
class TExchangeCommands;
class TFileCommands;
class TFindCommands;
class THelpCommands;
class TKeyFilter;
class TOutsideChanges;
class TPrintCommands;
class TRecentMenu;
class TRecordCommands;
class TTransferCommands;

// The program's own icon in every size the desktop asks for.
QIcon ApplicationIcon();

// TMainForm: the main window.
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
    QLabel* StatusPanel() const;

    // The command families.
    TFileCommands& Files() const { return *files_; }
    TRecordCommands& Records() const { return *records_; }
    TFindCommands& Finds() const { return *finds_; }
    TExchangeCommands& Exchange() const { return *exchange_; }
    TTransferCommands& Transfer() const { return *transfer_; }
    TPrintCommands& Printing() const { return *print_; }
    THelpCommands& Help() const { return *help_; }
    // The watch over the open files for changes made by other programs.
    TOutsideChanges& OutsideChanges() const { return *outside_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Database files and folders dropped on the window open as the command
    // line opens them, in the free tabs.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The menu bar and the tool bar over the commands' actions (main_menus.cpp).
    void CreateMenus();
    void CreateToolBar();

    TDatabaseTabs* tabs_;
    QStackedWidget* centre_;
    TRecentMenu* recent_ = nullptr;
    bool created_ = false;
    // Declared in the order they are made; they go before the widgets.
    std::unique_ptr<TCommandContext> context_;
    std::unique_ptr<TFileCommands> files_;
    std::unique_ptr<TEditCommands> edits_;
    std::unique_ptr<TRecordCommands> records_;
    std::unique_ptr<TFindCommands> finds_;
    std::unique_ptr<TExchangeCommands> exchange_;
    std::unique_ptr<TTransferCommands> transfer_;
    std::unique_ptr<TPrintCommands> print_;
    std::unique_ptr<THelpCommands> help_;
    std::unique_ptr<TKeyFilter> keys_;
    std::unique_ptr<TOutsideChanges> outside_;
};

}  // namespace quorvil
