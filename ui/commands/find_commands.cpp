#include "find_commands.h"

#include "command_context.h"
#include "database_page.h"
#include "database_tabs.h"
#include "field_types.h"
#include "find_dialog.h"
#include "find_replace.h"
#include "message_dialog.h"
#include "replace_dialog.h"
#include "text_convert.h"
#include "wait_cursor.h"

#include <QAction>
#include <QCheckBox>
#include <QMainWindow>

namespace quorvil {

namespace {

TReplaceAnswer Answer(TMsgButton pressed)
{
    switch (pressed) {
    case TMsgButton::Yes: return TReplaceAnswer::Yes;
    case TMsgButton::No: return TReplaceAnswer::No;
    case TMsgButton::All:
    case TMsgButton::YesToAll: return TReplaceAnswer::YesToAll;
    case TMsgButton::NoToAll: return TReplaceAnswer::NoToAll;
    default: return TReplaceAnswer::Cancel;  // Cancel, Escape or the window closed
    }
}

// `text` names the database's values, in its set.
TReplaceAnswer AskReplace(TReplaceQuestion question, const std::string& text, TCharset set)
{
    // "All" replaces every match left; the 4K-boundary question answers
    // for every later crossing, yes or no.
    const std::vector<TMsgButton> buttons = question == TReplaceQuestion::Replace
                                                ? std::vector{TMsgButton::Yes, TMsgButton::No, TMsgButton::All,
                                                              TMsgButton::Cancel}
                                                : std::vector{TMsgButton::Yes, TMsgButton::No, TMsgButton::YesToAll,
                                                              TMsgButton::NoToAll, TMsgButton::Cancel};
    return Answer(MessageDlgButtons(ToQString(text, set), TMsgKind::Confirmation, buttons, TMsgButton::Yes));
}

}  // namespace

TFindCommands::TFindCommands(TCommandContext& context) : context_(context)
{
    context.AddCommand("FindBtn", "&Find...", "FindBtnClick", [this] { FindBtnClick(); })
        ->setToolTip(FromUtf8("Find records"));
    context.AddCommand("ReplaceBtn", "&Replace...", "ReplaceBtnClick", [this] { ReplaceBtnClick(); })
        ->setToolTip(FromUtf8("Find and replace"));
}

TFindForm& TFindCommands::FindForm()
{
    if (!findForm_)
        findForm_ = new TFindForm(&context_.Window());
    return *findForm_;
}

TReplaceForm& TFindCommands::ReplaceForm()
{
    if (!replaceForm_)
        replaceForm_ = new TReplaceForm(&context_.Window());
    return *replaceForm_;
}

void TFindCommands::FindBtnClick()
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return;
    TFindForm& form = FindForm();
    const std::vector<bool> flags = form.ChooseFields(*db);
    if (flags.empty())
        return;
    // Rows moved by hand and a filter never mix.
    context_.EndRearrange();
    FindRecords(form.SearchText(), form.CaseSensitive()->isChecked(), flags, form.WordSearch()->isChecked());
}

void TFindCommands::FindRecords(const std::string& text, bool caseSensitive, const std::vector<bool>& fieldFlags,
                                bool wordSearch)
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return;
    WaitCursor wait;
    const std::vector<bool> shown = quorvil::FindRecords(*db, text, caseSensitive, fieldFlags, wordSearch);
    for (size_t k = 0; k < shown.size(); ++k)
        db->SetShown(int(k) + 1, shown[k] ? 1 : 0);
    db->SetLastFind(text, caseSensitive, wordSearch, fieldFlags);
    context_.Tabs().Page(context_.Tabs().CurrentTab())->RefreshView();
    context_.UpdateActiveInfo();
}

void TFindCommands::ReplaceBtnClick()
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return;
    TReplaceForm& form = ReplaceForm();
    QStringList names;
    std::vector<bool> strings;
    for (int f = 1; f <= db->FieldCount(); ++f) {
        names << ToQString(db->GetFieldName(f), db->Charset());
        strings.push_back(db->GetFieldType(f) == TFieldType::String);
    }
    form.SetFields(names, strings);
    form.SetCharset(db->Charset());
    if (!form.ChooseReplace())
        return;

    TReplaceOptions options;
    options.SearchFor = form.SearchText();
    options.ReplaceWith = form.ReplacementText();
    options.FieldFlags = form.Checked();
    options.CaseSensitive = form.CaseSensitive()->isChecked();
    options.WordSearch = form.WordSearch()->isChecked();
    options.Prompt = form.Prompt()->isChecked();
    options.Stamp = LocalNow();

    TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
    TReplaceCallbacks callbacks;
    callbacks.Ask = [set = db->Charset()](TReplaceQuestion question, const std::string& text) {
        return AskReplace(question, text, set);
    };
    // While the user is asked, each change shows before the next question;
    // without prompts one refill at the end does.
    TReplaceResult result;
    {
        TUndoScope change = page->Change(FromUtf8("Replace"));
        change.TrackCells();
        callbacks.CellWritten = [page, &options](int, int) {
            if (options.Prompt)
                page->RefreshView();
        };
        result = ReplaceText(*db, options, callbacks);
    }
    page->RefreshView();
    context_.UpdateActiveInfo();
    if (!result.Cancelled)
        ShowInformation(FromUtf8(ReplaceSummaryText(result.Count).c_str()));
}

}  // namespace quorvil
