#include "command_context.h"

#include "app_icons.h"
#include "command_guard.h"
#include "database.h"
#include "database_page.h"
#include "database_tabs.h"
#include "layout.h"
#include "message_dialog.h"
#include "progress_line.h"
#include "records_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

#include <initializer_list>
#include <utility>

namespace quorvil {

namespace {

struct IconChoice {
    const char* action;
    std::initializer_list<const char*> names;  // tried in this order
    QStyle::StandardPixmap fallback;
};

// Distinct commands get distinct pictures.
const IconChoice kIcons[] = {
    {"NewBtn", {"document-new"}, QStyle::SP_FileIcon},
    {"LoadBtn", {"document-open"}, QStyle::SP_DialogOpenButton},
    {"SaveBtn", {"document-save"}, QStyle::SP_DialogSaveButton},
    {"SaveFileAsItem", {"document-save-as"}, QStyle::SP_DialogSaveButton},
    {"CloseBtn", {"window-close"}, QStyle::SP_DialogCloseButton},
    {"ExitProgItem", {"application-exit", "system-log-out"}, QStyle::SP_DialogCloseButton},
    {"ImportCsvItem", {"document-import", "quorvil-import"}, QStyle::SP_DialogOpenButton},
    {"MergeItem", {"quorvil-merge"}, QStyle::SP_ArrowLeft},
    {"SaveCSV", {"x-office-spreadsheet"}, QStyle::SP_FileIcon},
    {"SaveHTM", {"text-html"}, QStyle::SP_FileIcon},
    {"SaveTXT", {"text-x-generic"}, QStyle::SP_FileIcon},
    {"ExportProgramBtn", {"document-export", "document-send"}, QStyle::SP_DialogSaveButton},
    {"ExportXlsxItem", {"x-office-spreadsheet"}, QStyle::SP_FileIcon},
    {"ExportCsvUtf8Item", {"text-csv", "x-office-spreadsheet"}, QStyle::SP_FileIcon},
    {"ExportHtml5Item", {"text-html"}, QStyle::SP_FileIcon},
    {"ExportJsonItem", {"application-json", "text-x-script"}, QStyle::SP_FileIcon},
    {"PrintItem", {"document-print"}, QStyle::SP_FileIcon},
    {"PrintPreviewItem", {"document-print-preview"}, QStyle::SP_FileDialogContentsView},
    {"ExportPdfItem", {"application-pdf", "x-office-document"}, QStyle::SP_FileIcon},
    {"SplitBtn", {"quorvil-split"}, QStyle::SP_FileDialogNewFolder},
    {"EditBtn", {"document-properties"}, QStyle::SP_FileDialogContentsView},
    {"SortBtn", {"view-sort-ascending"}, QStyle::SP_ArrowDown},
    {"AddBtn", {"list-add"}, QStyle::SP_FileDialogNewFolder},
    {"DelBtn", {"list-remove"}, QStyle::SP_TrashIcon},
    {"GridBtn", {"quorvil-grid"}, QStyle::SP_FileDialogDetailedView},
    {"ListBtn", {"quorvil-list"}, QStyle::SP_FileDialogListView},
    {"RecBtn", {"quorvil-record"}, QStyle::SP_FileDialogInfoView},
    {"FindBtn", {"edit-find"}, QStyle::SP_FileDialogContentsView},
    {"ReplaceBtn", {"edit-find-replace"}, QStyle::SP_BrowserReload},
    {"AllBtn", {"edit-select-all"}, QStyle::SP_DialogResetButton},
    {"UndoItem", {"edit-undo"}, QStyle::SP_ArrowBack},
    {"RedoItem", {"edit-redo"}, QStyle::SP_ArrowForward},
    {"ShortcutsItem", {"preferences-desktop-keyboard-shortcuts", "input-keyboard"}, QStyle::SP_DialogHelpButton},
    {"AboutItem", {"help-about"}, QStyle::SP_MessageBoxInformation},
};

// The menu items that are the tool bar's commands under their menu names.
const char* const kSharedActions[][2] = {
    {"NewItem", "NewBtn"}, {"OpenFileItem", "LoadBtn"}, {"SaveFileItem", "SaveBtn"}};

QIcon IconFor(const QString& action)
{
    for (const IconChoice& choice : kIcons) {
        if (action == QLatin1String(choice.action)) {
            QStringList names;
            for (const char* name : choice.names)
                names << FromUtf8(name);
            return NamedIcon(names, choice.fallback);
        }
    }
    return {};
}

}  // namespace

QString CountOf(int count, const char* noun)
{
    return FromUtf8("%1 %2%3").arg(count).arg(FromUtf8(noun), count == 1 ? QString() : FromUtf8("s"));
}

QString WindowTitle(const std::string& path)
{
    const QString caption = FromUtf8("Quorvil 2.0\u00DF");
    if (path.empty())
        return caption + FromUtf8("[*]");
    // "[*]" stands where the platform puts its mark of unsaved changes.
    const QString name = BareName(path).replace(FromUtf8("[*]"), FromUtf8("[*][*]"));  // a literal "[*]"
    return name + FromUtf8("[*] \u2014 ") + caption;
}

QString BareName(const std::string& path)
{
    return QFileInfo(PathToQString(path)).fileName();
}

TCommandContext::TCommandContext(QMainWindow& window, TDatabaseTabs& tabs) : window_(window), tabs_(tabs) {}

QAction* TCommandContext::AddCommand(const char* name, const char* text, const char* handler,
                                     std::function<void()> command, bool commitFirst)
{
    auto* action = new QAction(IconFor(FromUtf8(name)), FromUtf8(text), &window_);
    action->setObjectName(FromUtf8(name));
    // A number, date or time being typed is stored when its line is left; a
    // command from the menu, the tool bar or a key leaves it first, so that
    // it works on what the user typed.
    QObject::connect(action, &QAction::triggered, &window_, [this, handler, commitFirst, command = std::move(command)] {
        const TCommandScope running;  // committing lets timers run already
        // A refused text waits for correction in its editor; the command
        // would work on the value the user meant to change.
        if (commitFirst && !CommitEditing())
            return;
        // A filter still waiting or running lands now, not in the middle of
        // the command: rows must keep their records while it works.
        if (TDatabasePage* page = tabs_.Page(tabs_.CurrentTab()))
            page->FinishFilter();
        RunCommand(handler, command);
        // Counts, unsaved marks and enabled commands follow whatever the
        // command did, in whichever tab it ended.
        UpdateActiveInfo();
    });
    return action;
}

QAction* TCommandContext::Action(const char* name) const
{
    for (const auto& [menuName, shared] : kSharedActions)
        if (qstrcmp(name, menuName) == 0)
            name = shared;
    return window_.findChild<QAction*>(FromUtf8(name));
}

void TCommandContext::CreateStatusLine()
{
    panel1_ = new QLabel(&window_);
    panel1_->setObjectName(FromUtf8("Panel1"));
    infoPanel_ = new QLabel(&window_);
    infoPanel_->setObjectName(FromUtf8("InfoPanel"));
    progress_ = new TProgressLine(&window_);
    window_.statusBar()->addWidget(panel1_, 1);
    window_.statusBar()->addPermanentWidget(progress_);
    window_.statusBar()->addPermanentWidget(infoPanel_);
    tabs_.SetProgressLine(progress_);
}

bool TCommandContext::RunLong(const char* what, const std::string& fileName, bool cancellable,
                              const std::function<void()>& work)
{
    try {
        TProgressLine::TRun run(progress_, cancellable);
        if (RunOnFile(fileName, work))
            return true;
        ShowStatus(QString());  // the message said what went wrong
    } catch (const ECancelled&) {
        ShowStatus(FromUtf8("%1 cancelled; nothing was written to %2.").arg(FromUtf8(what), BareName(fileName)));
    }
    return false;
}

bool TCommandContext::RunLongAside(const char* what, const std::string& fileName, bool cancellable,
                                   const std::function<void()>& work)
{
    return RunLong(what, fileName, cancellable, [&] { progress_->RunAside(work); });
}

void TCommandContext::ShowStatus(const QString& text)
{
    panel1_->setText(text);
    // Long work runs on this thread: let the window paint, but take no input.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TCommandContext::EnableButtons(bool on)
{
    for (const char* name : {"SaveBtn",          "SaveCSV",           "SaveHTM",           "SaveTXT",
                             "SplitBtn",         "EditBtn",           "SortBtn",           "AddBtn",
                             "DelBtn",           "GridBtn",           "ListBtn",           "RecBtn",
                             "ReplaceBtn",       "FindBtn",           "SaveFileAsItem",    "MergeItem",
                             "SaveAsAccessItem", "SaveAsJF3Item",     "SaveAsJF4Item",     "SaveAsJF5Item",
                             "SaveAsJF55Item",   "ExportToCSVasItem", "ExportToHTMasItem", "ExportToTXTasItem",
                             "ExportProgramBtn", "ExportXlsxItem",    "ExportCsvUtf8Item", "ExportHtml5Item",
                             "ExportJsonItem",   "PrintItem",         "PrintPreviewItem",  "ExportPdfItem"})
        Action(name)->setEnabled(on);
    // A database whose file is read-only is looked at, searched, exported
    // and copied from (rearrange mode selects the rows to copy); the commands
    // that change it wait for a writable one. Save stays, to say so and
    // point to Save as.
    const TDataBase* db = tabs_.CurrentDB();
    const bool readOnly = db && db->ReadOnlyFile();
    for (const char* name : {"EditBtn", "SortBtn", "AddBtn", "DelBtn", "ReplaceBtn", "MergeItem"})
        Action(name)->setEnabled(on && !readOnly);
    for (const char* name : {"UpBtn", "DownBtn"})
        if (QAction* action = Action(name))
            action->setEnabled(!readOnly);
}

void TCommandContext::ShowViewButtons()
{
    const TDatabasePage* page = tabs_.Page(tabs_.CurrentTab());
    if (QAction* button = Action(ViewFacts(page ? page->ViewMode() : TViewMode::Grid).Button))
        button->setChecked(true);
}

void TCommandContext::UpdateActiveInfo()
{
    const TDataBase* db = tabs_.CurrentDB();
    tabs_.ShowModifiedMarks();
    window_.setWindowTitle(WindowTitle(db ? db->FileName : std::string()));
    window_.setWindowModified(db && db->Modified());
    if (auto* centre = qobject_cast<QStackedWidget*>(window_.centralWidget()))
        centre->setCurrentIndex(tabs_.OpenCount() > 0 ? 1 : 0);
    ShowViewButtons();
    if (db)
        EnableButtons(true);  // the active tab's file may be read-only
    if (!db) {
        infoPanel_->clear();
        Action("AllBtn")->setEnabled(false);
        return;
    }
    int shown = 0;
    for (int r = 1; r <= db->RecordCount(); ++r)
        shown += db->GetShown(r);
    // "View all records" is offered exactly while the find filter hides some.
    const bool filtered = shown < db->RecordCount();
    Action("AllBtn")->setEnabled(filtered);
    const QString layout = FromUtf8(Facts(db->Layout()).Name);
    const QString count = filtered ? FromUtf8("%1 of %2").arg(shown).arg(db->RecordCount())
                                   : QString::number(db->RecordCount());
    infoPanel_->setText(FromUtf8("%1 %2, %3  |  %4%5")
                            .arg(count)
                            .arg(db->RecordCount() == 1 ? FromUtf8("record") : FromUtf8("records"))
                            .arg(CountOf(db->FieldCount(), "field"))
                            .arg(layout)
                            .arg(db->Modified() ? FromUtf8("  |  modified") : QString()) +
                        (db->ReadOnlyFile() ? FromUtf8("  |  read-only") : QString()));
}

std::optional<TCommandContext::TRecordChoice> TCommandContext::RecordsToWrite(const QString& caption,
                                                                              const std::vector<int>* selected)
{
    TDataBase* db = tabs_.CurrentDB();
    TDatabasePage* page = tabs_.Page(tabs_.CurrentTab());
    if (!db || !page)
        return std::nullopt;
    page->FinishFilter();
    std::vector<int> shown = page->ShownRecords();
    const auto chosen = [](std::vector<int> records) { return TRecordChoice{false, std::move(records)}; };
    if (int(shown.size()) >= db->RecordCount())  // nothing hidden: nothing to ask
        return selected ? chosen(*selected) : TRecordChoice{};
    const std::optional<TRecordScope> scope = ChooseRecordScope(
        &Window(), caption, db->RecordCount(), int(shown.size()), selected ? int(selected->size()) : -1);
    if (!scope)
        return std::nullopt;
    if (*scope == TRecordScope::Selected)
        return chosen(*selected);
    if (*scope == TRecordScope::Shown)
        return chosen(std::move(shown));
    if (!selected)
        return TRecordChoice{};
    std::vector<int> all;
    for (int r = 1; r <= db->RecordCount(); ++r)
        all.push_back(r);
    return chosen(std::move(all));
}

std::unique_ptr<TJFILE> TCommandContext::TRecordChoice::Part(const TJFILE& db) const
{
    return All ? nullptr : CopyDatabase(db, Records, TRecordCopy::Borrow);
}

bool TCommandContext::CommitEditing()
{
    const int refusals = TDatabasePage::Refusals();
    if (QWidget* focus = QApplication::focusWidget())
        focus->clearFocus();
    QApplication::processEvents();
    return TDatabasePage::Refusals() == refusals;
}

bool TCommandContext::RefuseOpenFile(const std::string& path) const
{
    const int open = tabs_.TabOfFile(path);
    if (open < 0)
        return false;
    ShowError(OpenInTabMessage(path, open));
    return true;
}

void TCommandContext::SetRearrange(bool on)
{
    Action("RearrangeItem")->setChecked(on);
    if (rearrangeTab_ >= 0)
        tabs_.Page(rearrangeTab_)->SetRearrange(false);
    rearrangeTab_ = on ? tabs_.CurrentTab() : -1;
    if (on)
        tabs_.Page(rearrangeTab_)->SetRearrange(true);
    for (const char* name : {"UpBtnButton", "DownBtnButton"})
        if (auto* button = window_.findChild<QToolButton*>(FromUtf8(name)))
            button->setVisible(on);
}

void TCommandContext::EndRearrange()
{
    if (Action("RearrangeItem")->isChecked())
        SetRearrange(false);
}

}  // namespace quorvil
