// The main window's menu bar and tool bar: one action per command, shared
// by the menus, the tool bar and the context menus.
#include "main_window.h"

#include "exchange_commands.h"
#include "file_commands.h"
#include "recent_menu.h"
#include "text_convert.h"

#include <QAction>
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

}  // namespace

void TMainForm::CreateMenus()
{
    const MenuChoice menus[] = {
        {"&File", "FileMenu",
         {"NewItem", "OpenFileItem", "ImportCsvItem", "SaveFileItem", "SaveFileAsItem", "MergeItem", "CloseBtn"}},
        {"&Edit", "EditMenu", {"UndoItem", "RedoItem"}},
        {"&Records", "RecordsMenu", {"AddBtn", "DelBtn", "SortBtn", nullptr, "FindBtn", "ReplaceBtn", "AllBtn"}},
        {"&Database", "DatabaseMenu",
         {"EditBtn", "SplitBtn", nullptr, "SaveCSV", "SaveHTM", "SaveTXT", "SaveAsAccessItem"}},
        {"&View", "ViewMenu", {"GridBtn", "ListBtn", "RecBtn"}},
        {"&Help", "HelpMenu", {"AboutItem"}},
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
    // The recent files stand between the file commands and Exit.
    QMenu* fileMenu = menuBar()->findChild<QMenu*>(FromUtf8("FileMenu"));
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
        {"NewBtn", "LoadBtn", "SaveBtn", "CloseBtn"},
        {"SaveCSV", "SaveHTM", "SaveTXT", "SplitBtn"},
        {"EditBtn", "SortBtn", "AddBtn", "DelBtn"},
        {"GridBtn", "ListBtn", "RecBtn"},
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
