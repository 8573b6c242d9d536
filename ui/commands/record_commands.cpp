#include "record_commands.h"

#include "charset.h"
#include "command_context.h"
#include "command_guard.h"
#include "config_settings.h"
#include "config_store.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "definition_editor.h"
#include "extended_grid.h"
#include "field_definition.h"
#include "field_layout.h"
#include "field_types.h"
#include "form_position.h"
#include "message_dialog.h"
#include "modal.h"
#include "new_record.h"
#include "record_list_model.h"
#include "record_panel.h"
#include "sort_command.h"
#include "text_convert.h"
#include "undo_steps.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

#include <memory>
#include <optional>
#include <string>

namespace quorvil {

TRecordCommands::TRecordCommands(TCommandContext& context) : context_(context)
{
    TCommandContext& c = context_;
    c.AddCommand("EditBtn", "&Edit definition...", "EditBtnClick", [this] {
         EditBtnClick();
     })->setToolTip(FromUtf8("Edit database definition"));
    c.AddCommand("SortBtn", "&Sort...", "SortBtnClick", [this] {
         SortBtnClick();
     })->setToolTip(FromUtf8("Sort records"));
    c.AddCommand("AddBtn", "&Add record", "AddBtnClick", [this] { AddBtnClick(); })->setToolTip(FromUtf8("Add record"));
    c.AddCommand("DelBtn", "&Delete record", "DelBtnClick", [this] {
         DelBtnClick();
     })->setToolTip(FromUtf8("Delete record"));
    c.AddCommand("AllBtn", "View &all records", "AllBtnClick", [this] {
         AllBtnClick();
     })->setToolTip(FromUtf8("View all records"));
    auto* views = new QActionGroup(&c.Window());
    for (const TViewFacts& facts : kViews) {
        // A view switch leaves the cell being edited as it is.
        const TViewMode mode = facts.Mode;
        QAction* view = c.AddCommand(
            facts.Button, facts.Caption, "RecordItemClick", [this, mode] { RecordItemClick(mode); }, false);
        view->setCheckable(true);
        view->setToolTip(QString(view->text()).remove(QLatin1Char('&')) + FromUtf8(" view"));
        views->addAction(view);
    }
    c.Action("GridBtn")->setChecked(true);
    QAction* filterRow = c.AddCommand("FilterRowItem", "&Filter row", "FilterRowItemClick",
                                      [this] { FilterRowItemClick(); });
    filterRow->setCheckable(true);
    filterRow->setToolTip(FromUtf8("A filter box under each column title"));
    // The mark follows the tab shown.
    connect(&c.Tabs(), &TDatabaseTabs::ActiveChanged, this, [this, filterRow] {
        const TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
        filterRow->setChecked(page && page->DataBase() && page->FilterRowVisible());
    });
    connect(&c.Tabs(), &TDatabaseTabs::FilterApplied, this, [this](int tab) {
        if (tab != context_.Tabs().CurrentTab())
            return;
        // Rows moved by hand and a filter never mix.
        context_.EndRearrange();
        context_.UpdateActiveInfo();
    });
    CreatePopupMenu();
    CreateMoveButtons();
    CreateCharsetChoice();
    // The mode never stays on for a grid that is not shown.
    connect(&c.Tabs(), &QTabWidget::currentChanged, this, [this] { context_.EndRearrange(); });
}

void TRecordCommands::CreatePopupMenu()
{
    QMainWindow& window = context_.Window();
    TDatabaseTabs& tabs = context_.Tabs();
    auto* rearrange = new QAction(FromUtf8("Rearrange records"), &window);
    rearrange->setObjectName(FromUtf8("RearrangeItem"));
    rearrange->setCheckable(true);
    connect(rearrange, &QAction::triggered, this, [this, rearrange] {
        rearrange->setChecked(!rearrange->isChecked());  // the command toggles the mark itself
        RunCommand("RearrangeItemClick", [this] { RearrangeItemClick(); });
    });
    auto* record = new QAction(FromUtf8("Record Format"), &window);
    record->setObjectName(FromUtf8("RecordItem"));
    connect(record, &QAction::triggered, this, [this, &tabs] {
        RunCommand("RecordItemClick", [this, &tabs] {
            TDatabasePage* page = tabs.Page(tabs.CurrentTab());
            const int row = page->GridVisible() || page->ViewMode() == TViewMode::List ? page->ContextRow() : -1;
            RecordItemClick(TViewMode::Record);
            if (row >= 0)
                page->EditPanel()->ShowRow(row);
        });
    });
    popupMenu_ = new QMenu(&window);
    popupMenu_->setObjectName(FromUtf8("PopupMenu"));
    popupMenu_->addAction(record);
    popupMenu_->addAction(rearrange);
    connect(popupMenu_, &QMenu::aboutToShow, this, [&tabs, rearrange] {
        const TDatabasePage* page = tabs.Page(tabs.CurrentTab());
        rearrange->setEnabled(page && page->DataBase() && page->GridVisible());
    });
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab)
        connect(tabs.Page(tab), &TDatabasePage::ContextPopup, this, [this, &tabs](const QPoint& at) {
            if (tabs.CurrentDB())
                popupMenu_->popup(at);
        });
}

// Up and Down show beside the status line while the rearrange mode is on.
void TRecordCommands::CreateMoveButtons()
{
    QMainWindow& window = context_.Window();
    for (auto [name, text, handler, icon] : {std::tuple{"UpBtn", "Up", "UpBtnClick", QStyle::SP_ArrowUp},
                                             std::tuple{"DownBtn", "Down", "DownBtnClick", QStyle::SP_ArrowDown}}) {
        const bool up = icon == QStyle::SP_ArrowUp;
        QAction* action = context_.AddCommand(name, text, handler, [this, up] { up ? UpBtnClick() : DownBtnClick(); });
        action->setIcon(window.style()->standardIcon(icon));
        auto* button = new QToolButton(&window);
        button->setObjectName(FromUtf8(name) + FromUtf8("Button"));
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->hide();
        window.statusBar()->addPermanentWidget(button);
    }
}

void TRecordCommands::RecordItemClick(TViewMode mode)
{
    context_.EndRearrange();
    TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
    context_.Action(ViewFacts(mode).Button)->setChecked(true);
    // Each view keeps its own window placement.
    const QString form = FromUtf8(ViewFacts(mode).Form);
    QMainWindow& window = context_.Window();
    if (window.objectName() != form) {
        const std::unique_ptr<TIniFile> ini = OpenConfig();
        SaveFormPosition(*ini, window, window.objectName());
        window.setObjectName(form);
        if (!ReadText(*ini, settings::WindowPosition, {.Section = CurrentScreenSection(), .Key = form.toStdString()})
                 .empty())
            LoadFormPosition(*ini, window, form);
    }
    if (page->DataBase())
        page->SetViewMode(mode);
}

void TRecordCommands::AllBtnClick()
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return;
    db->ShowAll();
    context_.Tabs().Page(context_.Tabs().CurrentTab())->ClearFilterRow();
    context_.Tabs().Page(context_.Tabs().CurrentTab())->RefreshView();
    context_.Action("AllBtn")->setEnabled(false);
    context_.UpdateActiveInfo();
}

namespace {

// The script or region of a set, beside its name in the menu.
const char* CharsetRegion(TCharset set)
{
    switch (set) {
    case TCharset::Windows1252: return "Western";
    case TCharset::Windows1250: return "Central European";
    case TCharset::Windows1251: return "Cyrillic";
    case TCharset::Windows1253: return "Greek";
    case TCharset::Windows1254: return "Turkish";
    case TCharset::Windows1257: return "Baltic";
    case TCharset::ShiftJis: return "Japanese";
    case TCharset::Gbk: return "Simplified Chinese";
    case TCharset::Big5: return "Traditional Chinese";
    case TCharset::EucKr: return "Korean";
    }
    return "";
}

QString CaptionOf(TCharset set)
{
    const std::string_view caption = CharsetCaption(set);
    return QString::fromUtf8(caption.data(), qsizetype(caption.size()));
}

std::string ChoiceName(TCharset set)
{
    return "Charset_" + std::string(CharsetName(set));
}

}  // namespace

void TRecordCommands::CreateCharsetChoice()
{
    QMainWindow& window = context_.Window();
    charsetMenu_ = new QMenu(FromUtf8("&Character set"), &window);
    charsetMenu_->setObjectName(FromUtf8("CharsetMenu"));
    auto* group = new QActionGroup(charsetMenu_);
    for (const TCharset set : AllCharsets()) {
        const std::string name = ChoiceName(set);
        const std::string caption = std::string(CharsetCaption(set)) + " (" + CharsetRegion(set) + ")";
        // The texts of the new set replace those of an open editor, so what is
        // typed there is stored first.
        QAction* choice = context_.AddCommand(name.c_str(), caption.c_str(), "CharsetItemClick", [this, set] {
            context_.Tabs().SetCharset(context_.Tabs().CurrentTab(), set);
        });
        choice->setCheckable(true);
        group->addAction(choice);
        charsetMenu_->addAction(choice);
    }
    suggestion_ = new QWidget(&window);
    suggestion_->setObjectName(FromUtf8("CharsetSuggestion"));
    auto* layout = new QHBoxLayout(suggestion_);
    layout->setContentsMargins(0, 0, 0, 0);
    suggestionText_ = new QLabel(suggestion_);
    suggestionText_->setObjectName(FromUtf8("CharsetSuggestionText"));
    suggestionButton_ = new QToolButton(suggestion_);
    suggestionButton_->setObjectName(FromUtf8("CharsetSuggestionButton"));
    layout->addWidget(suggestionText_);
    layout->addWidget(suggestionButton_);
    suggestion_->hide();
    window.statusBar()->addWidget(suggestion_);
    connect(suggestionButton_, &QToolButton::clicked, this, [this] {
        TDatabaseTabs& tabs = context_.Tabs();
        if (const std::optional<TCharset> set = tabs.SuggestedCharset(tabs.CurrentTab()))
            context_.Action(ChoiceName(*set).c_str())->trigger();
    });
    connect(&context_.Tabs(), &TDatabaseTabs::ActiveChanged, this, [this] { ShowCharsetChoice(); });
    ShowCharsetChoice();
}

void TRecordCommands::ShowCharsetChoice()
{
    TDatabaseTabs& tabs = context_.Tabs();
    const int tab = tabs.CurrentTab();
    const TDataBase* db = tabs.DataBase(tab);
    charsetMenu_->setEnabled(db != nullptr);
    for (QAction* choice : charsetMenu_->actions())
        choice->setChecked(db && choice->objectName() == FromUtf8(ChoiceName(db->Charset()).c_str()));
    const std::optional<TCharset> suggested = tabs.SuggestedCharset(tab);
    if (suggested && db) {
        suggestionText_->setText(
            FromUtf8("Shown as %1; this database looks like %2.").arg(CaptionOf(db->Charset()), CaptionOf(*suggested)));
        suggestionButton_->setText(FromUtf8("Show as %1").arg(CaptionOf(*suggested)));
    }
    suggestion_->setVisible(suggested && db);
}

void TRecordCommands::FilterRowItemClick()
{
    const int tab = context_.Tabs().CurrentTab();
    TDatabasePage* page = context_.Tabs().Page(tab);
    if (!page || !page->DataBase()) {
        context_.Action("FilterRowItem")->setChecked(false);
        return;
    }
    context_.Tabs().SetFilterRow(tab, !page->FilterRowVisible());
    context_.Action("FilterRowItem")->setChecked(page->FilterRowVisible());
    // Hiding the row ends its filter; the views show that at once.
    page->FinishFilter();
    context_.UpdateActiveInfo();
}

void TRecordCommands::AddBtnClick()
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return;
    TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
    context_.EnableButtons(true);
    {
        TUndoScope change = page->Change(FromUtf8("Add record"));
        AppendDefaultRecord(*db, LocalNow());
    }
    page->RefreshView();
    const int last = page->Model()->rowCount() - 1;
    // A counter in field 1 is filled in already; the cursor skips it.
    const int first = db->GetFieldType(1) == TFieldType::AutoInc && db->FieldCount() > 1 ? 1 : 0;
    if (page->GridVisible()) {
        page->Grid()->setCurrentIndex(page->Model()->index(last, first));
        page->Grid()->setFocus();
    } else {
        if (page->ViewMode() == TViewMode::List)
            page->ListBox()->setCurrentIndex(page->ListModel()->index(last, 0));
        page->EditPanel()->ShowRow(last);
        if (QWidget* editor = page->EditPanel()->Editor(first + 1))
            editor->setFocus();
    }
    context_.UpdateActiveInfo();
}

void TRecordCommands::DelBtnClick()
{
    TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
    if (!page->DataBase())
        return;
    int row = page->GridVisible() ? page->Grid()->currentIndex().row() : page->EditPanel()->CurrentRow();
    const int record = page->Model()->RecordOfRow(row);
    if (!record)
        return;
    if (!AskYesNo(FromUtf8("Delete record #%1?").arg(record)))
        return;
    // The record confirmed goes, wherever its row is now.
    row = page->Model()->RowOfRecord(record);
    if (row < 0)
        return;
    {
        TUndoScope change = page->Change(FromUtf8("Delete record"));
        change.AddRemoval(record);
        page->Model()->DeleteRow(row);
    }
    page->RefreshView();
    // The row below takes the deleted one's place.
    const int next = std::min(row, page->Model()->rowCount() - 1);
    if (page->GridVisible())
        page->Grid()->setCurrentIndex(page->Model()->index(next, std::max(page->Grid()->currentIndex().column(), 0)));
    else if (page->ViewMode() == TViewMode::List)
        page->ListBox()->setCurrentIndex(page->ListModel()->index(next, 0));
    else
        page->EditPanel()->ShowRow(next);
    context_.UpdateActiveInfo();
}

void TRecordCommands::RearrangeItemClick()
{
    context_.SetRearrange(!context_.Action("RearrangeItem")->isChecked());
}

void TRecordCommands::UpBtnClick()
{
    if (context_.Tabs().CurrentDB())
        context_.Tabs().Page(context_.Tabs().CurrentTab())->MoveSelection(-1);
    context_.UpdateActiveInfo();
}

void TRecordCommands::DownBtnClick()
{
    if (context_.Tabs().CurrentDB())
        context_.Tabs().Page(context_.Tabs().CurrentTab())->MoveSelection(1);
    context_.UpdateActiveInfo();
}

void TRecordCommands::SortBtnClick()
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return;
    TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
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
    context_.UpdateActiveInfo();
}

void TRecordCommands::EditBtnClick()
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return;
    TEditDB form(&context_.Window());
    if (!form.Execute(*db))
        return;
    TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
    {
        TUndoScope change = page->Change(FromUtf8("Edit definition"));
        const TFieldSources& sources = form.Sources();
        if (sources == SameFields(db->FieldCount())) {
            WriteDefinition(*db, form.Definition());
        } else {
            // Whatever shows the fields follows them, in the undo too, where
            // the columns dropped come back as they were.
            auto aside = std::make_shared<TDatabasePage::TColumnsAside>();
            auto follow = [page, aside](const TFieldSources& order) { page->FollowFields(order, *aside); };
            TFieldCells back = RearrangeFields(*db, sources, form.Definition(), LocalNow());
            db->FollowFields(sources);
            follow(sources);
            change.AddStep(FieldCellsStep(std::move(back), follow));
        }
    }
    page->DefinitionChanged();
    context_.UpdateActiveInfo();
}

}  // namespace quorvil
