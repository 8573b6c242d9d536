#include "edit_commands.h"

#include "clipboard_commands.h"
#include "command_context.h"
#include "database_page.h"
#include "database_tabs.h"
#include "text_convert.h"

#include <QAction>
#include <QMainWindow>
#include <QUndoGroup>
#include <QUndoStack>

#include <tuple>

namespace quorvil {

TEditCommands::TEditCommands(TCommandContext& context) : group_(new QUndoGroup(&context.Window()))
{
    TDatabaseTabs& tabs = context.Tabs();
    group_->setObjectName(FromUtf8("UndoGroup"));
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab)
        group_->addStack(tabs.Page(tab)->UndoStack());
    const auto follow = [this, &tabs] { group_->setActiveStack(tabs.Page(tabs.CurrentTab())->UndoStack()); };
    follow();
    connect(&tabs, &QTabWidget::currentChanged, this, follow);

    // The cell being edited is committed first, so that its edit is undone too.
    QAction* undo = context.AddCommand("UndoItem", "&Undo", "UndoItemClick", [this] { UndoItemClick(); });
    QAction* redo = context.AddCommand("RedoItem", "&Redo", "RedoItemClick", [this] { RedoItemClick(); });
    for (auto [action, caption, can, text] :
         {std::tuple{undo, "&Undo", &QUndoGroup::canUndoChanged, &QUndoGroup::undoTextChanged},
          std::tuple{redo, "&Redo", &QUndoGroup::canRedoChanged, &QUndoGroup::redoTextChanged}}) {
        action->setEnabled(false);
        connect(group_, can, action, &QAction::setEnabled);
        connect(group_, text, action, [action, caption](const QString& what) {
            action->setText(what.isEmpty() ? FromUtf8(caption) : FromUtf8(caption) + QLatin1Char(' ') + what);
        });
    }
    clipboard_ = std::make_unique<TClipboardCommands>(context);
}

TEditCommands::~TEditCommands() = default;

void TEditCommands::UndoItemClick()
{
    TCommandContext::CommitEditing();
    group_->undo();
}

void TEditCommands::RedoItemClick()
{
    TCommandContext::CommitEditing();
    group_->redo();
}

}  // namespace quorvil
