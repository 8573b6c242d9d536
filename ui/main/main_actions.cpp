// The main window's menus, toolbar and status line.
#include "main_window.h"

#include "command_guard.h"
#include "database.h"
#include "database_tabs.h"
#include "recent_files.h"
#include "text_convert.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <utility>

namespace quorvil {

namespace {

struct IconChoice {
    const char* action;
    const char* theme;
    QStyle::StandardPixmap fallback;
};

const IconChoice kIcons[] = {
    {"NewBtn", "document-new", QStyle::SP_FileIcon},
    {"NewItem", "document-new", QStyle::SP_FileIcon},
    {"LoadBtn", "document-open", QStyle::SP_DialogOpenButton},
    {"OpenFileItem", "document-open", QStyle::SP_DialogOpenButton},
    {"SaveBtn", "document-save", QStyle::SP_DialogSaveButton},
    {"SaveFileItem", "document-save", QStyle::SP_DialogSaveButton},
    {"SaveFileAsItem", "document-save-as", QStyle::SP_DialogSaveButton},
    {"CloseBtn", "window-close", QStyle::SP_DialogCloseButton},
    {"ExitProgItem", "system-log-out", QStyle::SP_DialogCloseButton},
    {"SaveCSV", "x-office-spreadsheet", QStyle::SP_FileIcon},
    {"SaveHTM", "text-html", QStyle::SP_FileIcon},
    {"SaveTXT", "text-x-generic", QStyle::SP_FileIcon},
    {"SplitBtn", "edit-cut", QStyle::SP_FileDialogNewFolder},
    {"EditBtn", "document-properties", QStyle::SP_FileDialogContentsView},
    {"SortBtn", "view-sort-ascending", QStyle::SP_ArrowDown},
    {"AddBtn", "list-add", QStyle::SP_FileDialogNewFolder},
    {"DelBtn", "list-remove", QStyle::SP_TrashIcon},
    {"GridBtn", "view-grid", QStyle::SP_FileDialogDetailedView},
    {"ListBtn", "view-list", QStyle::SP_FileDialogListView},
    {"RecBtn", "view-form", QStyle::SP_FileDialogInfoView},
    {"FindBtn", "edit-find", QStyle::SP_FileDialogContentsView},
    {"ReplaceBtn", "edit-find-replace", QStyle::SP_BrowserReload},
    {"AllBtn", "edit-select-all", QStyle::SP_DialogResetButton},
    {"AboutItem", "help-about", QStyle::SP_MessageBoxInformation},
};

QIcon IconFor(const QString& action)
{
    for (const IconChoice& choice : kIcons) {
        if (action == QLatin1String(choice.action)) {
            // The icon theme first; the style's own pictures where it has none.
            QIcon icon = QIcon::fromTheme(FromUtf8(choice.theme));
            return icon.isNull() ? QApplication::style()->standardIcon(choice.fallback) : icon;
        }
    }
    return {};
}

}  // namespace

QAction* TMainForm::AddCommand(const char* name, const char* text, const char* handler,
                               void (TMainForm::*command)())
{
    return AddCommand(name, text, handler, std::function<void()>([this, command] { (this->*command)(); }));
}

QAction* TMainForm::AddCommand(const char* name, const char* text, const char* handler,
                               std::function<void()> command)
{
    auto* action = new QAction(IconFor(FromUtf8(name)), FromUtf8(text), this);
    action->setObjectName(FromUtf8(name));
    // A date or time being typed in a record's fields is stored when its
    // line is left; a command from the menu, the tool bar or a key leaves it
    // first, so that it works on what the user typed.
    connect(action, &QAction::triggered, this, [this, handler, command = std::move(command)] {
        CommitEditing();
        RunCommand(handler, command);
    });
    return action;
}

void TMainForm::CreateActions()
{
    AddCommand("LoadBtn", "&Open...", "LoadBtnClick", &TMainForm::LoadBtnClick)->setToolTip(FromUtf8("Open database"));
    AddCommand("OpenFileItem", "&Open...", "LoadBtnClick", &TMainForm::LoadBtnClick)->setShortcut(FromUtf8("Ctrl+O"));
    AddCommand("SaveBtn", "&Save", "SaveBtnClick", &TMainForm::SaveBtnClick)->setToolTip(FromUtf8("Save database"));
    AddCommand("SaveFileItem", "&Save", "SaveBtnClick", &TMainForm::SaveBtnClick)->setShortcut(FromUtf8("Ctrl+S"));
    AddCommand("CloseBtn", "&Close", "CloseBtnClick", &TMainForm::CloseBtnClick)->setToolTip(FromUtf8("Close database"));
    AddCommand("ExitProgItem", "E&xit", "ExitProgItemClick", &TMainForm::ExitProgItemClick)
        ->setShortcut(FromUtf8("Alt+X"));
    AddCommand("AboutItem", "&About Quorvil", "AboutItemClick", &TMainForm::AboutItemClick);

    AddCommand("NewBtn", "&New...", "NewBtnClick", &TMainForm::NewBtnClick)->setToolTip(FromUtf8("Create new database"));
    AddCommand("NewItem", "&New...", "NewBtnClick", &TMainForm::NewBtnClick)->setShortcut(FromUtf8("Ctrl+N"));
    CreateExchangeActions();
    CreateExchangeMenuCommands();
    AddCommand("EditBtn", "&Edit definition...", "EditBtnClick", &TMainForm::EditBtnClick)->setToolTip(FromUtf8("Edit database definition"));
    AddCommand("SortBtn", "&Sort...", "SortBtnClick", &TMainForm::SortBtnClick)->setToolTip(FromUtf8("Sort records"));
    CreateAccessCommand();
    CreateImportCommand();
    AddCommand("AddBtn", "&Add record", "AddBtnClick", &TMainForm::AddBtnClick)->setToolTip(FromUtf8("Add record"));
    AddCommand("DelBtn", "&Delete record", "DelBtnClick", &TMainForm::DelBtnClick)->setToolTip(FromUtf8("Delete record"));
    AddCommand("FindBtn", "&Find...", "FindBtnClick", &TMainForm::FindBtnClick)->setToolTip(FromUtf8("Find records"));
    AddCommand("ReplaceBtn", "&Replace...", "ReplaceBtnClick", &TMainForm::ReplaceBtnClick)
        ->setToolTip(FromUtf8("Find and replace"));
    AddCommand("AllBtn", "View &all records", "AllBtnClick", &TMainForm::AllBtnClick)
        ->setToolTip(FromUtf8("View all records"));
    auto* views = new QActionGroup(this);
    int tag = 0;
    for (auto [name, text] : {std::pair{"GridBtn", "&Grid"}, {"ListBtn", "&List"}, {"RecBtn", "&Record"}}) {
        auto* view = new QAction(IconFor(FromUtf8(name)), FromUtf8(text), this);
        view->setObjectName(FromUtf8(name));
        connect(view, &QAction::triggered, this,
                [this, tag] { RunCommand("RecordItemClick", [this, tag] { RecordItemClick(tag); }); });
        ++tag;
        view->setCheckable(true);
        view->setToolTip(QString(view->text()).remove(QLatin1Char('&')) + FromUtf8(" view"));
        views->addAction(view);
    }
    Action("GridBtn")->setChecked(true);
}

void TMainForm::CreateFileMenu()
{
    fileMenu_ = menuBar()->addMenu(FromUtf8("&File"));
    fileMenu_->setObjectName(FromUtf8("FileMenu"));
    for (const char* name : {"NewItem", "OpenFileItem", "ImportCsvItem", "SaveFileItem", "SaveFileAsItem", "MergeItem", "CloseBtn"})
        fileMenu_->addAction(Action(name));
    exitSeparator_ = fileMenu_->addSeparator();
    fileMenu_->addAction(Action("ExitProgItem"));
    // The recent files stand between the file commands and Exit.
    recent_ = new TRecentMenu(fileMenu_, exitSeparator_, this);
    connect(recent_, &TRecentMenu::Picked, this, &TMainForm::LoadFileItemClick);
}

void TMainForm::CreateRecordsMenu()
{
    QMenu* menu = menuBar()->addMenu(FromUtf8("&Records"));
    menu->setObjectName(FromUtf8("RecordsMenu"));
    for (const char* name : {"AddBtn", "DelBtn", "SortBtn"})
        menu->addAction(Action(name));
    menu->addSeparator();
    for (const char* name : {"FindBtn", "ReplaceBtn", "AllBtn"})
        menu->addAction(Action(name));
}

void TMainForm::CreateDatabaseMenu()
{
    QMenu* menu = menuBar()->addMenu(FromUtf8("&Database"));
    menu->setObjectName(FromUtf8("DatabaseMenu"));
    menu->addAction(Action("EditBtn"));
    menu->addAction(Action("SplitBtn"));
    menu->addSeparator();
    for (const char* name : {"SaveCSV", "SaveHTM", "SaveTXT", "SaveAsAccessItem"})
        menu->addAction(Action(name));
}

void TMainForm::CreateViewMenu()
{
    QMenu* menu = menuBar()->addMenu(FromUtf8("&View"));
    menu->setObjectName(FromUtf8("ViewMenu"));
    for (const char* name : {"GridBtn", "ListBtn", "RecBtn"})
        menu->addAction(Action(name));
}

void TMainForm::CreateHelpMenu()
{
    QMenu* menu = menuBar()->addMenu(FromUtf8("&Help"));
    menu->setObjectName(FromUtf8("HelpMenu"));
    menu->addAction(Action("AboutItem"));
}

void TMainForm::CreateToolBar()
{
    toolBar_ = addToolBar(FromUtf8("Toolbar"));
    toolBar_->setObjectName(FromUtf8("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(22, 22));
    const std::initializer_list<const char*> groups[] = {
        {"NewBtn", "LoadBtn", "SaveBtn", "CloseBtn"},
        {"SaveCSV", "SaveHTM", "SaveTXT", "SplitBtn"},
        {"EditBtn", "SortBtn", "AddBtn", "DelBtn"},
        {"GridBtn", "ListBtn", "RecBtn"},
        {"FindBtn", "ReplaceBtn", "AllBtn"},
    };
    for (const auto& group : groups) {
        if (!toolBar_->actions().isEmpty())
            toolBar_->addSeparator();
        for (const char* name : group)
            toolBar_->addAction(Action(name));
    }
}

void TMainForm::CreateStatusLine()
{
    panel1_ = new QLabel(this);
    panel1_->setObjectName(FromUtf8("Panel1"));
    infoPanel_ = new QLabel(this);
    infoPanel_->setObjectName(FromUtf8("InfoPanel"));
    statusBar()->addWidget(panel1_, 1);
    statusBar()->addPermanentWidget(infoPanel_);
}

void TMainForm::EnableButtons(bool on)
{
    for (const char* name : {"SaveBtn", "SaveCSV", "SaveHTM", "SaveTXT", "SplitBtn", "EditBtn", "SortBtn", "AddBtn",
                             "DelBtn", "GridBtn", "ListBtn", "RecBtn", "ReplaceBtn", "FindBtn", "SaveFileItem",
                             "SaveFileAsItem", "MergeItem", "SaveAsAccessItem", "SaveAsJF3Item", "SaveAsJF4Item",
                             "SaveAsJF5Item", "SaveAsJF55Item", "ExportToCSVasItem", "ExportToHTMasItem",
                             "ExportToTXTasItem"}) {
        QAction* action = Action(name);
        action->setEnabled(on);
    }
    // A database whose file is read-only is looked at, searched, exported
    // and copied from (rearrange mode selects the rows to copy); the commands
    // that change it wait for a writable one. Save stays, to say so and
    // point to Save as.
    const TDataBase* db = tabs_->CurrentDB();
    const bool readOnly = db && db->ReadOnlyFile();
    for (const char* name : {"EditBtn", "SortBtn", "AddBtn", "DelBtn", "ReplaceBtn", "MergeItem"})
        Action(name)->setEnabled(on && !readOnly);
    for (const char* name : {"UpBtn", "DownBtn"})
        if (QAction* action = Action(name))
            action->setEnabled(!readOnly);
}

QAction* TMainForm::Action(const char* name) const
{
    return findChild<QAction*>(FromUtf8(name));
}

}  // namespace quorvil
