// The main window's menu bar and tool bar: one action per command, shared
// by the menus, the tool bar and the context menus.
#include "main_window.h"

#include "exchange_commands.h"
#include "file_commands.h"
#include "recent_menu.h"
#include "record_commands.h"
#include "text_convert.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <initializer_list>

namespace quorvil {

namespace {

struct MenuChoice {
    const char* title;
    const char* name;
    std::initializer_list<const char*> actions;  // nullptr: a separator
};

// The keys of the commands: the handheld program's own keys first (the
// menus show the first), then the keys today's desktops use for the command,
// then the platform's standard keys for it, so no habit is broken.
struct KeyChoice {
    const char* action;
    std::initializer_list<const char*> keys;
    QKeySequence::StandardKey standard;
};

const KeyChoice kKeys[] = {
    {"NewBtn", {"Ctrl+N"}, QKeySequence::New},
    {"LoadBtn", {"Ctrl+O"}, QKeySequence::Open},
    {"SaveBtn", {"Ctrl+S"}, QKeySequence::Save},
    {"SaveFileAsItem", {"Ctrl+A", "Ctrl+Shift+S"}, QKeySequence::SaveAs},
    {"MergeItem", {"Ctrl+M"}, QKeySequence::UnknownKey},
    {"CloseBtn", {"Ctrl+W"}, QKeySequence::Close},
    {"PrintItem", {"Ctrl+P"}, QKeySequence::Print},
    {"ExitProgItem", {"Alt+X", "Ctrl+Q"}, QKeySequence::Quit},
    {"UndoItem", {"Ctrl+Z"}, QKeySequence::Undo},
    {"RedoItem", {"Ctrl+Shift+Z"}, QKeySequence::Redo},
    {"CutCellsItem", {}, QKeySequence::Cut},
    {"CopyCellsItem", {}, QKeySequence::Copy},
    {"CopyWithNamesItem", {"Ctrl+Shift+C"}, QKeySequence::UnknownKey},
    {"PasteCellsItem", {}, QKeySequence::Paste},
    {"DeleteCellsItem", {}, QKeySequence::Delete},
    // The standard Ctrl+A is Save as.
    {"SelectAllItem", {"Ctrl+Shift+A"}, QKeySequence::UnknownKey},
    {"AddBtn", {"Ins"}, QKeySequence::UnknownKey},
    {"FindBtn", {"Ctrl+F"}, QKeySequence::Find},
    {"ReplaceBtn", {"Ctrl+H"}, QKeySequence::Replace},
    {"FilterRowItem", {"Ctrl+Shift+L"}, QKeySequence::UnknownKey},
    {"ShortcutsItem", {"F1"}, QKeySequence::HelpContents},
};

void SetKeys(QAction& action, const KeyChoice& choice)
{
    QList<QKeySequence> keys;
    for (const char* key : choice.keys)
        keys << QKeySequence(FromUtf8(key));
    for (const QKeySequence& key : QKeySequence::keyBindings(choice.standard))
        if (!keys.contains(key))
            keys << key;
    action.setShortcuts(keys);
}

}  // namespace

void TMainForm::CreateMenus()
{
    const MenuChoice menus[] = {
        {"&File",
         "FileMenu",
         {"NewItem", "OpenFileItem", "ImportCsvItem", "SaveFileItem", "SaveFileAsItem", "MergeItem", "CloseBtn",
          nullptr, "PrintPreviewItem", "PrintItem", "ExportPdfItem"}},
        {"&Edit",
         "EditMenu",
         {"UndoItem", "RedoItem", nullptr, "CutCellsItem", "CopyCellsItem", "CopyWithNamesItem", "PasteCellsItem",
          "DeleteCellsItem", nullptr, "SelectAllItem"}},
        {"&Records", "RecordsMenu", {"AddBtn", "DelBtn", "SortBtn", nullptr, "FindBtn", "ReplaceBtn", "AllBtn"}},
        {"&Database",
         "DatabaseMenu",
         {"EditBtn", "SplitBtn", nullptr, "SaveCSV", "SaveHTM", "SaveTXT", "SaveAsAccessItem"}},
        {"&View", "ViewMenu", {"GridBtn", "ListBtn", "RecBtn", nullptr, "FilterRowItem"}},
        {"&Help", "HelpMenu", {"ShortcutsItem", nullptr, "AboutItem"}},
    };
    for (const MenuChoice& choice : menus) {
        QMenu* menu = menuBar()->addMenu(FromUtf8(choice.title));
        menu->setObjectName(FromUtf8(choice.name));
        for (const char* name : choice.actions) {
            if (name)
                menu->addAction(Action(name));
            else
                menu->addSeparator();
        }
    }
    QMenu* fileMenu = menuBar()->findChild<QMenu*>(FromUtf8("FileMenu"));
    // The four layouts, also on a right click of the Save button.
    QMenu* layouts = new QMenu(FromUtf8("Save as &layout"), fileMenu);
    layouts->setObjectName(FromUtf8("SaveAsLayoutMenu"));
    for (const char* name : {"SaveAsJF3Item", "SaveAsJF4Item", "SaveAsJF5Item", "SaveAsJF55Item"})
        layouts->addAction(Action(name));
    fileMenu->insertMenu(Action("MergeItem"), layouts);
    fileMenu->insertMenu(Action("MergeItem"), exchange_->ProgramExportMenu());
    // The printed pages as a file, after the formats for other programs.
    exchange_->ProgramExportMenu()->addSeparator();
    exchange_->ProgramExportMenu()->addAction(Action("ExportPdfItem"));
    // Beside the handheld converter's exports too, where those are looked for.
    QMenu* databaseMenu = menuBar()->findChild<QMenu*>(FromUtf8("DatabaseMenu"));
    databaseMenu->insertMenu(Action("SaveAsAccessItem"), exchange_->ProgramExportMenu());
    QMenu* viewMenu = menuBar()->findChild<QMenu*>(FromUtf8("ViewMenu"));
    viewMenu->addSeparator();
    viewMenu->addMenu(records_->CharsetMenu());
    for (const KeyChoice& choice : kKeys)
        SetKeys(*Action(choice.action), choice);
    // The recent files stand between the file commands and Exit.
    QAction* exitSeparator = fileMenu->addSeparator();
    fileMenu->addAction(Action("ExitProgItem"));
    recent_ = new TRecentMenu(fileMenu, exitSeparator, this);
    connect(recent_, &TRecentMenu::Picked, this, [this](int k) { files_->LoadFileItemClick(recent_->List(), k); });
}

void TMainForm::CreateToolBar()
{
    QToolBar* toolBar = addToolBar(FromUtf8("Toolbar"));
    toolBar->setObjectName(FromUtf8("ToolBar"));
    toolBar->setMovable(false);
    toolBar->setIconSize(QSize(22, 22));
    const std::initializer_list<const char*> groups[] = {
        {"NewBtn", "LoadBtn", "SaveBtn", "CloseBtn"}, {"SaveCSV", "SaveHTM", "SaveTXT", "ExportProgramBtn", "SplitBtn"},
        {"EditBtn", "SortBtn", "AddBtn", "DelBtn"},   {"GridBtn", "ListBtn", "RecBtn"},
        {"FindBtn", "ReplaceBtn", "AllBtn"},
    };
    for (const auto& group : groups) {
        if (!toolBar->actions().isEmpty())
            toolBar->addSeparator();
        for (const char* name : group)
            toolBar->addAction(Action(name));
    }
    exchange_->AttachPopUps(*toolBar);
}

}  // namespace quorvil
