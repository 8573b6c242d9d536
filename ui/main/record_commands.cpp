// The main window's view switch and record commands: grid, list and record
// view, View all records, New database, Add, Delete and the rearrange mode
// with Up and Down.
#include "file_choice.h"
#include "main_window.h"

#include "command_guard.h"
#include "config_store.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "define_dialog.h"
#include "extended_grid.h"
#include "field_types.h"
#include "file_system.h"
#include "form_position.h"
#include "message_dialog.h"
#include "modal.h"
#include "new_record.h"
#include "record_list_model.h"
#include "record_panel.h"
#include "text_convert.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

namespace quorvil {

namespace {

const char* const kViewButtons[] = {"GridBtn", "ListBtn", "RecBtn"};
const char* const kViewForms[] = {"MainForm", "ListForm", "RecForm"};

}  // namespace

void TMainForm::CreateRecordCommands()
{
    defineForm_ = new TDefineForm(this);

    auto* rearrange = new QAction(FromUtf8("Rearrange records"), this);
    rearrange->setObjectName(FromUtf8("RearrangeItem"));
    rearrange->setCheckable(true);
    connect(rearrange, &QAction::triggered, this, [this, rearrange] {
        rearrange->setChecked(!rearrange->isChecked());  // the command toggles the mark itself
        RunCommand("RearrangeItemClick", [this] { RearrangeItemClick(); });
    });
    auto* record = new QAction(FromUtf8("Record Format"), this);
    record->setObjectName(FromUtf8("RecordItem"));
    connect(record, &QAction::triggered, this, [this] {
        RunCommand("RecordItemClick", [this] {
            TDatabasePage* page = tabs_->Page(tabs_->CurrentTab());
            const int row = page->GridVisible() || page->ViewMode() == 1 ? page->ContextRow() : -1;
            RecordItemClick(2);
            if (row >= 0)
                page->EditPanel()->ShowRow(row);
        });
    });
    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(FromUtf8("PopupMenu"));
    popupMenu_->addAction(record);
    popupMenu_->addAction(rearrange);
    connect(popupMenu_, &QMenu::aboutToShow, this, [this, rearrange] {
        const TDatabasePage* page = tabs_->Page(tabs_->CurrentTab());
        rearrange->setEnabled(page && page->DataBase() && page->GridVisible());
    });
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab)
        connect(tabs_->Page(tab), &TDatabasePage::ContextPopup, this, [this](const QPoint& at) {
            if (tabs_->CurrentDB())
                popupMenu_->popup(at);
        });

    for (auto [name, text, handler, command, icon] :
         {std::tuple{"UpBtn", "Up", "UpBtnClick", &TMainForm::UpBtnClick, QStyle::SP_ArrowUp},
          std::tuple{"DownBtn", "Down", "DownBtnClick", &TMainForm::DownBtnClick, QStyle::SP_ArrowDown}}) {
        QAction* action = AddCommand(name, text, handler, command);
        action->setIcon(style()->standardIcon(icon));
        auto* button = new QToolButton(this);
        button->setObjectName(FromUtf8(name) + FromUtf8("Button"));
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->hide();
        statusBar()->addPermanentWidget(button);
    }
    // The mode never stays on for a grid that is not shown.
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { EndRearrange(); });
}

void TMainForm::ShowViewButtons()
{
    const TDatabasePage* page = tabs_->Page(tabs_->CurrentTab());
    if (QAction* button = Action(kViewButtons[page ? page->ViewMode() : 0]))
        button->setChecked(true);
}

void TMainForm::RecordItemClick(int tag)
{
    EndRearrange();
    tag = std::clamp(tag, 0, 2);
    TDatabasePage* page = tabs_->Page(tabs_->CurrentTab());
    Action(kViewButtons[tag])->setChecked(true);
    // Each view keeps its own window placement.
    const QString form = FromUtf8(kViewForms[tag]);
    if (objectName() != form) {
        const std::unique_ptr<TIniFile> ini = OpenConfig();
        SaveFormPosition(*ini, *this, objectName());
        setObjectName(form);
        if (!ini->ReadString(CurrentScreenSection(), FromQString(form) + "Pos").empty())
            LoadFormPosition(*ini, *this, form);
    }
    if (page->DataBase())
        page->SetViewMode(tag);
}

void TMainForm::AllBtnClick()
{
    TDataBase* db = tabs_->CurrentDB();
    if (!db)
        return;
    db->ShowAll();
    tabs_->Page(tabs_->CurrentTab())->RefreshView();
    Action("AllBtn")->setEnabled(false);
    UpdateActiveInfo();
}

void TMainForm::NewBtnClick()
{
    int tab = 0;
    for (int k = TDatabaseTabs::kTabs - 1; k >= 0; --k)
        if (!tabs_->TabShown(k)) {
            tab = k;
            break;
        }
    if (!tabs_->AskSave(tab))
        return;
    const std::string path = PickNewFileName(FromUtf8("Name of new database file"));
    if (path.empty())
        return;
    if (RefuseOpenFile(path))
        return;
    if (!defineForm_->DefineNewDatabase())
        return;
    EndRearrange();
    tabs_->NewDatabase(tab, path, defineForm_->Definition());
    EnableButtons(true);
    UpdateActiveInfo();
}

std::string TMainForm::PickNewFileName(const QString& title)
{
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    QString directory = PathToQString(ini->ReadString("SAVE", "Dir"));
    if (directory.isEmpty() || !DirectoryExists(QStringToPath(directory)))
        directory = QDir::currentPath();
    directory = QDir(directory).absolutePath();
    QString name = PathToQString(ini->ReadString("SAVE", "Name", "NEW"));
    if (!QFileInfo(name).fileName().contains(QLatin1Char('.')))
        name += FromUtf8(".PDB");

    QFileDialog dialog(this, title, directory, FromUtf8("PDB files (*.PDB *.pdb);;All Files (*)"));
    dialog.setObjectName(FromUtf8("SaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // only save-as asks
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(FromUtf8("PDB"));
    dialog.selectFile(name);
    if (ExecModal(dialog) != QDialog::Accepted)
        return {};
    const QString path = ChosenDatabasePath(dialog, directory);
    if (path.isEmpty())
        return {};
    const QFileInfo chosen(path);
    ini->WriteString("SAVE", "Dir", QStringToPath(chosen.absolutePath() + QLatin1Char('/')));
    ini->WriteString("SAVE", "Name", QStringToPath(chosen.fileName()));
    return QStringToPath(chosen.absoluteFilePath());
}

void TMainForm::AddBtnClick()
{
    TDataBase* db = tabs_->CurrentDB();
    if (!db)
        return;
    TDatabasePage* page = tabs_->Page(tabs_->CurrentTab());
    EnableButtons(true);
    {
        TUndoScope change = page->Change(FromUtf8("Add record"));
        AppendDefaultRecord(*db);
    }
    page->RefreshView();
    const int last = page->Model()->rowCount() - 1;
    // A counter in field 1 is filled in already; the cursor skips it.
    const int first = db->GetFieldType(1) == kTypeAutoInc && db->FieldCount() > 1 ? 1 : 0;
    if (page->GridVisible()) {
        page->Grid()->setCurrentIndex(page->Model()->index(last, first));
        page->Grid()->setFocus();
    } else {
        if (page->ViewMode() == 1)
            page->ListBox()->setCurrentIndex(page->ListModel()->index(last, 0));
        page->EditPanel()->ShowRow(last);
        if (QWidget* editor = page->EditPanel()->Editor(first + 1))
            editor->setFocus();
    }
    UpdateActiveInfo();
}

void TMainForm::DelBtnClick()
{
    TDatabasePage* page = tabs_->Page(tabs_->CurrentTab());
    if (!page->DataBase())
        return;
    const int row = page->GridVisible() ? page->Grid()->currentIndex().row() : page->EditPanel()->CurrentRow();
    const int record = page->Model()->RecordOfRow(row);
    if (!record)
        return;
    if (MessageDlgButtons(FromUtf8("Delete record #%1?").arg(record), mtConfirmation, {mbYes, mbNo}, mbYes) != mrYes)
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
    else if (page->ViewMode() == 1)
        page->ListBox()->setCurrentIndex(page->ListModel()->index(next, 0));
    else
        page->EditPanel()->ShowRow(next);
    UpdateActiveInfo();
}

void TMainForm::RearrangeItemClick()
{
    QAction* item = Action("RearrangeItem");
    item->setChecked(!item->isChecked());
    const bool on = item->isChecked();
    if (rearrangeTab_ >= 0)
        tabs_->Page(rearrangeTab_)->SetRearrange(false);
    rearrangeTab_ = on ? tabs_->CurrentTab() : -1;
    if (on)
        tabs_->Page(rearrangeTab_)->SetRearrange(true);
    for (const char* name : {"UpBtnButton", "DownBtnButton"})
        findChild<QToolButton*>(FromUtf8(name))->setVisible(on);
}

void TMainForm::EndRearrange()
{
    if (Action("RearrangeItem")->isChecked())
        RearrangeItemClick();
}

void TMainForm::UpBtnClick()
{
    if (tabs_->CurrentDB())
        tabs_->Page(tabs_->CurrentTab())->MoveSelection(-1);
    UpdateActiveInfo();
}

void TMainForm::DownBtnClick()
{
    if (tabs_->CurrentDB())
        tabs_->Page(tabs_->CurrentTab())->MoveSelection(1);
    UpdateActiveInfo();
}

}  // namespace quorvil
