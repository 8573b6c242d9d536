// Split, copy records and merge from the main window: the commands collect
// the choices (file dialog, field chooser, the split and mapping windows)
// and hand them to the exchange layer, which does the work. A file name
// given to a command stands for the file dialog's answer.
#include "main_window.h"

#include "command_guard.h"
#include "config_store.h"
#include "copy_records.h"
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "field_dialog.h"
#include "field_types.h"
#include "file_choice.h"
#include "merge.h"
#include "merge_dialog.h"
#include "message_dialog.h"
#include "modal.h"
#include "split.h"
#include "split_dialog.h"
#include "text_case.h"
#include "text_convert.h"
#include "wait_cursor.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace quorvil {

namespace {

constexpr int kExternalFile = 8;

// True when the databases share a field name, without regard to case.
bool ShareFieldName(const TJFILE& a, const TJFILE& b)
{
    for (int i = 1; i <= a.FieldCount(); ++i)
        for (int j = 1; j <= b.FieldCount(); ++j)
            if (SameTextIgnoringCase(a.GetFieldName(i).substr(0, kMaxFieldNameLength),
                                     b.GetFieldName(j).substr(0, kMaxFieldNameLength)))
                return true;
    return false;
}

QString DirectoryOfFile(const std::string& fileName)
{
    return QFileInfo(PathToQString(fileName)).absolutePath();
}

}  // namespace

void TMainForm::CreateExchangeMenuCommands()
{
    AddCommand("MergeItem", "&Merge", "MergeItemClick", [this] { MergeItemClick(); })->setShortcut(FromUtf8("Ctrl+M"));
    AddCommand("SplitBtn", "S&plit...", "SplitBtnClick", &TMainForm::SplitBtnClick)
        ->setToolTip(FromUtf8("Split database into multiple files"));
}

void TMainForm::CreateCopyMenu()
{
    QMenu* copy = popupMenu_->addMenu(FromUtf8("Copy to other database"));
    copy->setObjectName(FromUtf8("CopyItemMenu"));
    copy->menuAction()->setObjectName(FromUtf8("CopyItem"));
    for (int tag = 0; tag <= kExternalFile; ++tag) {
        auto* item = new QAction(tag == kExternalFile ? FromUtf8("External file") : QString(), this);
        item->setObjectName(tag == kExternalFile ? FromUtf8("CopyExt") : FromUtf8("Copy%1").arg(tag));
        connect(item, &QAction::triggered, this,
                [this, tag] { RunCommand("CopyRecsItemClick", [this, tag] { CopyRecsItemClick(tag); }); });
        if (tag == kExternalFile)
            copy->addSeparator();
        copy->addAction(item);
    }
    connect(popupMenu_, &QMenu::aboutToShow, this, [this, copy] {
        const int active = tabs_->CurrentTab();
        const TDataBase* source = tabs_->CurrentDB();
        copy->menuAction()->setVisible(source && Action("RearrangeItem")->isChecked());
        for (int tag = 0; tag < TDatabaseTabs::kTabs; ++tag) {
            const TDataBase* target = tabs_->DataBase(tag);
            auto* item = findChild<QAction*>(FromUtf8("Copy%1").arg(tag));
            item->setVisible(source && target && tag != active && !target->ReadOnlyFile() &&
                             ShareFieldName(*source, *target));
            item->setText(tabs_->tabText(tag));
        }
    });
}

void TMainForm::CopyRecsItemClick(int tag, const std::string& chosenName)
{
    TDataBase* source = tabs_->CurrentDB();
    TDatabasePage* page = tabs_->Page(tabs_->CurrentTab());
    int top = 0;
    int bottom = 0;
    if (!source || !page->SelectedRows(top, bottom))
        return;
    // The rows shown may be filtered or reversed: each names its record.
    std::vector<int> records;
    for (int row = top; row <= bottom; ++row)
        if (const int record = page->Model()->RecordOfRow(row))
            records.push_back(record);

    if (tag < kExternalFile) {
        TDataBase* target = tabs_->DataBase(tag);
        if (!target || target == source || target->ReadOnlyFile())
            return;
        WaitCursor hourglass;
        TCopyResult result;
        try {
            TUndoScope change = tabs_->Page(tag)->Change(FromUtf8("Copy records"));
            change.TrackCells();
            result = CopyRecords(*source, records, *target);
        } catch (...) {
            tabs_->Page(tag)->RefreshView();  // the records copied before the failure stay
            throw;
        }
        if (!result.Keyed)
            return;
        tabs_->Page(tag)->RefreshView();
        MessageDlgButtons(ToQString(CopyMessage(result.Copied)), mtInformation, {mbOK}, mbHelp);
        return;
    }

    std::string fileName = chosenName;
    if (fileName.empty()) {
        const QString directory = DirectoryOfFile(source->FileName);
        QFileDialog dialog(this, ToQString(CopyFileDialogTitle(int(records.size()))), directory,
                           FromUtf8("PDB files (*.PDB *.pdb);;All Files (*)"));
        dialog.setObjectName(FromUtf8("OpenDialog"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(FromUtf8("PDB"));
        if (ExecModal(dialog) != QDialog::Accepted)
            return;
        fileName = QStringToPath(ChosenDatabasePath(dialog, directory));
        if (fileName.empty())
            return;
    }
    // A file open in a tab takes the records there, where the user sees them
    // and saves them with the rest of that tab's changes.
    if (const int open = tabs_->TabOfFile(fileName); open >= 0) {
        if (open == tabs_->CurrentTab() || tabs_->DataBase(open)->ReadOnlyFile()) {
            MessageDlgButtons(FromUtf8("The records cannot be copied into ") + PathToQString(fileName) +
                                  (open == tabs_->CurrentTab() ? FromUtf8(": it is the file they come from.")
                                                               : FromUtf8(": it is open read-only in tab %1.").arg(open + 1)),
                              mtError, {mbOK}, mbHelp);
            return;
        }
        CopyRecsItemClick(open);
        return;
    }
    WaitCursor hourglass;
    ShowStatus(FromUtf8("Copying records to ") + PathToQString(fileName));
    const TCopyResult result = CopyRecordsToFile(*source, records, fileName);
    ShowStatus(QString());
    if (result.Keyed)
        MessageDlgButtons(ToQString(CopyMessage(result.Copied)), mtInformation, {mbOK}, mbHelp);
}

void TMainForm::MergeItemClick(const std::string& chosenName)
{
    TDataBase* master = tabs_->CurrentDB();
    if (!master)
        return;
    CommitEditing();
    const std::string path = chosenName.empty() ? PickDatabaseFile() : chosenName;
    if (path.empty())
        return;
    // A database open in a tab merges as that tab shows it, unsaved changes
    // and all; any other file is opened for the merge alone. It is never written.
    std::unique_ptr<TJFILE> opened;
    const TJFILE* other = nullptr;
    if (const int open = tabs_->TabOfFile(path); open >= 0) {
        if (tabs_->DataBase(open) == master)
            opened = CopyDatabase(*master);
        else
            other = tabs_->DataBase(open);
    } else {
        opened = Open<TJFILE>(path);
        if (!opened->LoadWarning().empty())
            MessageDlgButtons(ToQString(opened->LoadWarning()), mtWarning, {mbOK}, mbHelp);
    }
    if (opened)
        other = opened.get();
    if (IdCandidates(*master, *other).empty()) {
        ShowMsg(FromUtf8(kNoIdFieldMessage), 1);
        return;
    }
    TSyncForm form(this);
    form.SetDatabases(*master, *other);
    if (!form.Execute())
        return;
    const TMergeChoice choice = form.Choice();

    WaitCursor hourglass;
    const int fields = master->FieldCount();
    TMergeResult result;
    TDatabasePage* page = tabs_->Page(tabs_->CurrentTab());
    try {
        TUndoScope change = page->Change(FromUtf8("Merge"));
        change.TrackCells();
        result = Merge(*master, *other, choice, [this](int record, int count) {
            ShowStatus(FromUtf8("Merging record %1 of %2").arg(record).arg(count));
        });
    } catch (...) {
        // A merge stopped at the record limit keeps what it did so far.
        ShowStatus(QString());
        page->RefreshView();
        throw;
    }
    ShowStatus(QString());
    if (result.Written > 0 || result.Appended > 0 || master->FieldCount() != fields)
        page->RefreshView();
}

void TMainForm::SplitBtnClick()
{
    TDataBase* db = tabs_->CurrentDB();
    if (!db)
        return;
    CommitEditing();
    const std::vector<int> listFields = ListFields(*db);
    if (listFields.empty()) {
        ShowMsg(FromUtf8(kNoListFieldMessage), 1);
        return;
    }
    std::string fieldName = db->GetFieldName(listFields.front());
    if (listFields.size() > 1) {
        QStringList names;
        for (int f : listFields)
            names << ToQString(db->GetFieldName(f));
        const int chosen = ChooseField(names);
        if (chosen < 0)
            return;
        fieldName = db->GetFieldName(listFields[size_t(chosen)]);
    }
    TSplitChoice choice;
    choice.Field = LastFieldNamed(*db, fieldName);

    // The configuration is opened around each use: dialogs in between write it too.
    std::vector<TSplitValue> values = SplitValues(*db, choice.Field, OpenConfig().get());
    std::vector<TSplitDialogValue> rows;
    for (const TSplitValue& v : values)
        rows.push_back({ToQString(v.Value), v.Held, PathToQString(v.FileName)});
    QStringList others;
    std::vector<int> otherFields;
    for (int f = 1; f <= db->FieldCount(); ++f)
        if (f != choice.Field) {
            others << ToQString(db->GetFieldName(f));
            otherFields.push_back(f);
        }
    TDefNameForm form(this);
    form.SetSourceDir(DirectoryOfFile(db->FileName));
    form.SetOutputDir(DirectoryOfFile(db->FileName));
    form.SetFields(others);
    form.SetValues(rows);
    if (ExecModal(form) != QDialog::Accepted)
        return;

    const TSplitDialogChoice chosen = form.Choice();
    for (size_t k = 0; k < values.size(); ++k)
        values[k].FileName = QStringToPath(chosen.FileNames.value(qsizetype(k)));
    RememberSplitNames(*OpenConfig(), *db, values);
    for (const TSplitValue& v : values)
        if (!v.FileName.empty())
            choice.Values.push_back(v);
    choice.OutputDir = QStringToPath(chosen.OutputDir);
    choice.Formats = {chosen.PDB, chosen.CSV, chosen.HTM, chosen.TXT};
    if (choice.Formats.PDB)
        for (const TSplitValue& v : choice.Values)
            if (RefuseOpenFile(SplitOutputName(*db, choice.OutputDir, v.FileName)))
                return;
    for (const auto& [entry, value] : chosen.GlobalValues)
        choice.GlobalValues[otherFields[size_t(entry)]] = FromQString(value);

    WaitCursor hourglass;
    Split(*db, choice, [this](const std::string& fileName) { ShowStatus(FromUtf8("Writing ") + PathToQString(fileName)); });
    ShowStatus(QString());
}

}  // namespace quorvil
