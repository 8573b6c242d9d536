// The main window's commands on the definition and order of the active
// database: sorting and editing the definition.
#include "main_window.h"

#include "database_page.h"
#include "database_tabs.h"
#include "definition_editor.h"
#include "field_definition.h"
#include "sort_command.h"
#include "text_convert.h"

namespace quorvil {

void TMainForm::SortBtnClick()
{
    TDataBase* db = tabs_->CurrentDB();
    if (!db)
        return;
    TDatabasePage* page = tabs_->Page(tabs_->CurrentTab());
    bool sorted = false;
    try {
        TUndoScope change = page->Change(FromUtf8("Sort"));
        sorted = SortInteractively(*db);
    } catch (...) {
        page->RecordsReordered();  // whatever moved before the failure shows
        throw;
    }
    // A cancelled sort may still have written a popup list's order.
    if (sorted)
        page->RecordsReordered();
    else
        page->DefinitionChanged();
    UpdateActiveInfo();
}

void TMainForm::EditBtnClick()
{
    TDataBase* db = tabs_->CurrentDB();
    if (!db)
        return;
    TEditDB form(this);
    if (!form.Execute(ReadDefinition(*db)))
        return;
    TDatabasePage* page = tabs_->Page(tabs_->CurrentTab());
    {
        TUndoScope change = page->Change(FromUtf8("Edit definition"));
        WriteDefinition(*db, form.Definition());
    }
    page->DefinitionChanged();
    UpdateActiveInfo();
}

}  // namespace quorvil
