#include "transfer_commands.h"

#include "command_context.h"
#include "command_guard.h"
#include "config_settings.h"
#include "config_store.h"
#include "copy_records.h"
#include "csv_import.h"
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "errors.h"
#include "field_definition.h"
#include "field_dialog.h"
#include "field_types.h"
#include "file_choice.h"
#include "file_system.h"
#include "merge.h"
#include "merge_dialog.h"
#include "message_dialog.h"
#include "modal.h"
#include "progress_line.h"
#include "split.h"
#include "split_dialog.h"
#include "text_convert.h"
#include "wait_cursor.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>

#include <filesystem>
#include <functional>

namespace quorvil {

namespace {

// True when the databases share a field name, without regard to case.
bool ShareFieldName(const TJFILE& a, const TJFILE& b)
{
    for (int i = 1; i <= a.FieldCount(); ++i)
        for (int j = 1; j <= b.FieldCount(); ++j)
            if (SameFieldName(a.GetFieldName(i), b.GetFieldName(j)))
                return true;
    return false;
}

// Finds the values popup lists cannot take, with the hourglass, and asks
// whether to go on without them; `verb` is "copy" or "merge".
// The values left out are of the database written, in its set.
bool MayLeaveOut(const std::function<TLeftOutValues()>& find, const char* verb, TMsgButton goOn, TCharset set)
{
    TLeftOutValues leftOut;
    {
        WaitCursor hourglass;
        leftOut = find();
    }
    if (leftOut.empty())
        return true;
    const QString text = ToQString(ListsFullText(verb, leftOut), set) +
                         FromUtf8("\n\nGo on without them? The records keep what they hold in those fields.");
    return MessageDlgButtons(text, TMsgKind::Warning, {goOn, TMsgButton::Cancel}, TMsgButton::Cancel) == goOn;
}

// "Merged other.pdb: 2 records added, 5 cells written", and what went into
// and was left out of popup lists.
QString MergeStatus(const QString& name, const TMergeResult& result)
{
    QString done = FromUtf8("Merged %1: %2 added, %3 written")
                       .arg(name, CountOf(result.Appended, "record"), CountOf(result.Written, "cell"));
    if (result.ListAdded > 0)
        done += FromUtf8(", %1 added to popup lists").arg(CountOf(result.ListAdded, "value"));
    if (result.LeftOut > 0)
        done += FromUtf8(", %1 left out").arg(CountOf(result.LeftOut, "value"));
    return done;
}

QString DirectoryOfFile(const std::string& fileName)
{
    return QFileInfo(PathToQString(fileName)).absolutePath();
}

const char* const kCsvFilter = "CSV files (*.CSV *.csv)";
const char* const kUtf8CsvFilter = "CSV files, UTF-8 (*.csv *.CSV)";

struct TCsvChoice {
    std::string Name;  // empty when the dialog was cancelled
    bool Utf8 = false;
};

// The CSV file to read and whether it is standard UTF-8 CSV, as its file
// type says. It starts where the last CSV export went, with the file type
// of the last import.
TCsvChoice PickCsvFile(QWidget* parent)
{
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    QString directory = PathToQString(ReadText(*ini, settings::CsvDirectory));
    if (directory.isEmpty() || !DirectoryExists(QStringToPath(directory)))
        directory = QDir::currentPath();
    QFileDialog dialog(parent, FromUtf8("Import CSV file"), QDir(directory).absolutePath(),
                       FromUtf8(kCsvFilter) + FromUtf8(";;") + FromUtf8(kUtf8CsvFilter) + FromUtf8(";;All Files (*)"));
    dialog.setObjectName(FromUtf8("OpenDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (ReadFlag(*ini, settings::ImportUtf8))
        dialog.selectNameFilter(FromUtf8(kUtf8CsvFilter));
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    TCsvChoice choice;
    choice.Name = QStringToPath(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
    choice.Utf8 = dialog.selectedNameFilter() == FromUtf8(kUtf8CsvFilter);
    WriteFlag(*ini, settings::ImportUtf8, choice.Utf8);
    return choice;
}

// The database's file beside the CSV: its name with ".PDB", or with " (2)"
// and so on before it, so that no file there is replaced at the first save.
std::string NewDatabaseName(const std::string& csvName)
{
    const std::filesystem::path csv(csvName);
    std::filesystem::path name = csv.parent_path() / (csv.stem().string() + ".PDB");
    for (int k = 2; std::filesystem::exists(name); ++k)
        name = csv.parent_path() / (csv.stem().string() + " (" + std::to_string(k) + ").PDB");
    return name.string();
}

struct TSplitCount {
    int Done = 0;
    int Total = 0;
};

// The directory every output of the split goes to, with a slash after it;
// empty when they go to several.
QString OutputDirectory(const TJFILE& db, const TSplitChoice& choice)
{
    QString directory;
    for (const TSplitValue& v : choice.Values) {
        const QString own = DirectoryOfFile(SplitOutputName(db, choice.OutputDir, v.FileName)) + QLatin1Char('/');
        if (!directory.isEmpty() && own != directory)
            return {};
        directory = own;
    }
    return directory;
}

// Whether the split's output folder can take the files: one that does not
// exist is offered to be made. False sends the user back to the dialog,
// with what was typed kept.
bool OutputFolderReady(const QString& folder)
{
    const QString shown = QDir::toNativeSeparators(QDir::cleanPath(folder));
    if (folder.isEmpty()) {
        ShowError(FromUtf8("Type the output directory, or choose one with Browse."));
        return false;
    }
    const QFileInfo info(folder);
    if (info.isDir())
        return true;
    if (info.exists()) {
        ShowError(FromUtf8("%1 is a file, not a directory. Type a directory, or choose one with Browse.").arg(shown));
        return false;
    }
    if (MessageDlgButtons(FromUtf8("The directory %1 does not exist. Create it?").arg(shown), TMsgKind::Confirmation,
                          {TMsgButton::CreateFolder, TMsgButton::Cancel},
                          TMsgButton::CreateFolder) != TMsgButton::CreateFolder)
        return false;
    if (QDir().mkpath(folder))
        return true;
    ShowError(
        FromUtf8("The directory %1 could not be created. Type another one, or choose one with Browse.").arg(shown));
    return false;
}

// "Split into 12 files in /data/out/"; a cancelled split names the files it
// finished, which stay.
QString SplitDoneText(const TSplitCount& count, bool cancelled, const QString& directory)
{
    const QString where = directory.isEmpty() ? QString() : FromUtf8(" in ") + directory;
    if (cancelled)
        return FromUtf8("Split cancelled after %1 of %2; those are kept%3.")
            .arg(count.Done)
            .arg(CountOf(count.Total, "file"), where);
    return FromUtf8("Split into %1%2").arg(CountOf(count.Total, "file"), where);
}

}  // namespace

TTransferCommands::TTransferCommands(TCommandContext& context, QMenu& popupMenu) : context_(context)
{
    context.AddCommand("MergeItem", "&Merge", "MergeItemClick", [this] { MergeItemClick(); });
    context.AddCommand("SplitBtn", "S&plit...", "SplitBtnClick", [this] { SplitBtnClick(); })
        ->setToolTip(FromUtf8("Split database into multiple files"));
    context.AddCommand("ImportCsvItem", "&Import CSV...", "ImportCsvItemClick", [this] { ImportCsvItemClick(); })
        ->setToolTip(FromUtf8("Import a CSV file as a new database"));
    CreateCopyMenu(popupMenu);
}

void TTransferCommands::CreateCopyMenu(QMenu& popupMenu)
{
    QMainWindow& window = context_.Window();
    QMenu* copy = popupMenu.addMenu(FromUtf8("Copy to other database"));
    copy->setObjectName(FromUtf8("CopyItemMenu"));
    copy->menuAction()->setObjectName(FromUtf8("CopyItem"));
    const auto add = [&](QAction* item, const std::function<void()>& command) {
        connect(item, &QAction::triggered, this, [this, command] {
            RunCommand("CopyRecsItemClick", command);
            context_.UpdateActiveInfo();
        });
        copy->addAction(item);
    };
    for (int tab = 0; tab < TDatabaseTabs::kTabs; ++tab) {
        auto* item = new QAction(&window);
        item->setObjectName(FromUtf8("Copy%1").arg(tab));
        add(item, [this, tab] { CopyRecsToTab(tab); });
    }
    copy->addSeparator();
    auto* external = new QAction(FromUtf8("External file"), &window);
    external->setObjectName(FromUtf8("CopyExt"));
    add(external, [this] { CopyRecsToFile(); });
    connect(&popupMenu, &QMenu::aboutToShow, this, [this, &window, copy] {
        const int active = context_.Tabs().CurrentTab();
        const TDataBase* source = context_.Tabs().CurrentDB();
        copy->menuAction()->setVisible(source && context_.Action("RearrangeItem")->isChecked());
        for (int tag = 0; tag < TDatabaseTabs::kTabs; ++tag) {
            const TDataBase* target = context_.Tabs().DataBase(tag);
            auto* item = window.findChild<QAction*>(FromUtf8("Copy%1").arg(tag));
            item->setVisible(source && target && tag != active && !target->ReadOnlyFile() &&
                             ShareFieldName(*source, *target));
            item->setText(context_.Tabs().tabText(tag));
        }
    });
}

std::optional<TCopyOptions> TTransferCommands::ChooseCopyOptions(const TJFILE& source, const std::vector<int>& records,
                                                                 const TJFILE& target, const QString& targetName)
{
    if (!ShareFieldName(source, target)) {
        ShowInformation(
            FromUtf8("No field of %1 has the name of a field of this database; nothing was copied.").arg(targetName));
        return std::nullopt;
    }
    const std::vector<std::string> keys = KeyCandidates(source, target);
    QStringList entries;
    for (const std::string& key : keys)
        entries << ToQString(key, source.Charset());
    entries << FromUtf8("(none: add every record)");
    const int chosen = ChooseField(entries, FromUtf8("Copy records to %1").arg(targetName),
                                   FromUtf8("Match records on the field below: a record whose value %1 already holds "
                                            "updates that record, any other is added.")
                                       .arg(targetName),
                                   0);
    if (chosen < 0)
        return std::nullopt;
    TCopyOptions options;
    options.Key = size_t(chosen) < keys.size() ? keys[size_t(chosen)] : std::string();
    if (!MayLeaveOut([&] { return CopyLeftOut(source, records, target, options); }, "copy", TMsgButton::CopyWithout,
                     target.Charset()))
        return std::nullopt;
    options.LeaveOutUnlisted = true;
    return options;
}

void TTransferCommands::CopyIntoTab(int tag, const std::vector<int>& records)
{
    TDataBase* source = context_.Tabs().CurrentDB();
    TDataBase* target = context_.Tabs().DataBase(tag);
    if (!target || target == source || target->ReadOnlyFile())
        return;
    const QString name = BareName(target->FileName);
    const std::optional<TCopyOptions> options = ChooseCopyOptions(*source, records, *target, name);
    if (!options)
        return;
    WaitCursor hourglass;
    TCopyResult result;
    try {
        TUndoScope change = context_.Tabs().Page(tag)->Change(FromUtf8("Copy records"));
        change.TrackCells();
        result = CopyRecords(*source, records, *target, *options);
    } catch (...) {
        context_.Tabs().Page(tag)->RefreshView();  // the records copied before the failure stay
        throw;
    }
    context_.Tabs().Page(tag)->RefreshView();
    TellCopied(name, result, target->Charset());
}

void TTransferCommands::CopyIntoFile(const std::string& fileName, const std::vector<int>& records)
{
    const TDataBase* source = context_.Tabs().CurrentDB();
    std::unique_ptr<TJFILE> target;
    if (!RunOnFile(fileName, [&] { target = OpenCopyTarget(fileName); }))
        return;
    const std::optional<TCopyOptions> options = ChooseCopyOptions(*source, records, *target, BareName(fileName));
    if (!options)
        return;
    WaitCursor hourglass;
    context_.ShowStatus(FromUtf8("Copying records to ") + PathToQString(fileName));
    TCopyResult result;
    if (context_.RunLong("Copy", fileName, true,
                         [&] { result = CopyRecordsToFile(*source, records, *target, *options); }))
        TellCopied(BareName(fileName), result, target->Charset());
}

void TTransferCommands::TellCopied(const QString& targetName, const TCopyResult& result, TCharset set)
{
    const QString message = ToQString(CopyMessage(result), set);
    context_.ShowStatus(targetName + FromUtf8(": ") + message);
    ShowInformation(message);
}

std::optional<std::vector<int>> TTransferCommands::RecordsToCopy()
{
    TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
    page->FinishFilter();  // the rows selected are those the result shows
    int top = 0;
    int bottom = 0;
    if (!context_.Tabs().CurrentDB() || !page->SelectedRows(top, bottom))
        return std::nullopt;
    // The rows shown may be filtered or reversed: each names its record.
    std::vector<int> selected;
    for (int row = top; row <= bottom; ++row)
        if (const int record = page->Model()->RecordOfRow(row))
            selected.push_back(record);
    // While a filter or find hides records, the shown or all of them may go too.
    auto chosen = context_.RecordsToWrite(FromUtf8("Copy"), &selected);
    if (!chosen)
        return std::nullopt;
    return std::move(chosen->Records);
}

void TTransferCommands::CopyRecsToTab(int tab)
{
    if (const std::optional<std::vector<int>> records = RecordsToCopy())
        CopyIntoTab(tab, *records);
}

void TTransferCommands::CopyRecsToFile(const std::string& chosenName)
{
    const std::optional<std::vector<int>> chosen = RecordsToCopy();
    if (!chosen)
        return;
    const std::vector<int>& records = *chosen;
    const TDataBase* source = context_.Tabs().CurrentDB();
    std::string fileName = chosenName;
    if (fileName.empty()) {
        const QString directory = DirectoryOfFile(source->FileName);
        QFileDialog dialog(&context_.Window(), FromUtf8(CopyFileDialogTitle(int(records.size())).c_str()), directory,
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
    if (const int open = context_.Tabs().TabOfFile(fileName); open >= 0) {
        if (open == context_.Tabs().CurrentTab() || context_.Tabs().DataBase(open)->ReadOnlyFile()) {
            ShowError(FromUtf8("The records cannot be copied into ") + PathToQString(fileName) +
                      (open == context_.Tabs().CurrentTab()
                           ? FromUtf8(": it is the file they come from.")
                           : FromUtf8(": it is open read-only in tab %1.").arg(open + 1)));
            return;
        }
        CopyIntoTab(open, records);
        return;
    }
    CopyIntoFile(fileName, records);
}

void TTransferCommands::MergeItemClick(const std::string& chosenName)
{
    TDataBase* master = context_.Tabs().CurrentDB();
    if (!master)
        return;
    TCommandContext::CommitEditing();
    const std::string path = chosenName.empty() ? PickDatabaseFile(&context_.Window()) : chosenName;
    if (path.empty())
        return;
    // A database open in a tab merges as that tab shows it, unsaved changes
    // and all; any other file is opened for the merge alone. It is never written.
    std::unique_ptr<TJFILE> opened;
    const TJFILE* other = nullptr;
    if (const int open = context_.Tabs().TabOfFile(path); open >= 0) {
        if (context_.Tabs().DataBase(open) == master)
            opened = CopyDatabase(*master);
        else
            other = context_.Tabs().DataBase(open);
    } else {
        if (!RunOnFile(path, [&] { opened = Open<TJFILE>(path); }))
            return;
        if (!opened->LoadWarning().empty())
            ShowWarning(ToQString(opened->LoadWarning(), opened->Charset()));
    }
    if (opened)
        other = opened.get();
    if (IdCandidates(*master, *other).empty()) {
        ShowError(FromUtf8(kNoIdFieldMessage), TMsgButton::Abort);
        return;
    }
    TSyncForm form(&context_.Window());
    form.SetDatabases(*master, *other);
    if (!form.Execute())
        return;
    TMergeChoice choice = form.Choice();
    if (!MayLeaveOut([&] { return MergeLeftOut(*master, *other, choice); }, "merge", TMsgButton::MergeWithout,
                     master->Charset())) {
        context_.ShowStatus(FromUtf8("Merge cancelled; nothing was changed."));
        return;
    }
    choice.LeaveOutUnlisted = true;

    WaitCursor hourglass;
    const int fields = master->FieldCount();
    TMergeResult result;
    TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
    try {
        TUndoScope change = page->Change(FromUtf8("Merge"));
        change.TrackCells();
        // No Cancel: a merge stopped halfway would leave the master half merged.
        TProgressLine::TRun run(context_.Progress(), false);
        result = Merge(*master, *other, choice, [this, &run](int record, int count) {
            if (record % 256 == 1 || record == count)
                context_.ShowStatus(FromUtf8("Merging record %1 of %2").arg(record).arg(count));
            run.Step(record, count);
        });
    } catch (...) {
        // A merge stopped at the record limit keeps what it did so far.
        context_.ShowStatus(QString());
        page->RefreshView();
        throw;
    }
    context_.ShowStatus(MergeStatus(BareName(path), result));
    if (result.Written > 0 || result.Appended > 0 || master->FieldCount() != fields)
        page->RefreshView();
}

void TTransferCommands::SplitBtnClick()
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return;
    TCommandContext::CommitEditing();
    const std::vector<int> listFields = ListFields(*db);
    if (listFields.empty()) {
        ShowError(FromUtf8(kNoListFieldMessage), TMsgButton::Abort);
        return;
    }
    std::string fieldName = db->GetFieldName(listFields.front());
    if (listFields.size() > 1) {
        QStringList names;
        for (int f : listFields)
            names << ToQString(db->GetFieldName(f), db->Charset());
        const int chosen = ChooseField(names);
        if (chosen < 0)
            return;
        fieldName = db->GetFieldName(listFields[size_t(chosen)]);
    }
    const auto records = context_.RecordsToWrite(FromUtf8("Split"));
    if (!records)
        return;
    const std::unique_ptr<TJFILE> part = records->Part(*db);
    const TJFILE& source = part ? *part : *db;
    TSplitChoice choice;
    choice.Field = LastFieldNamed(*db, fieldName);

    // The configuration is opened around each use: dialogs in between write it too.
    std::vector<TSplitValue> values = SplitValues(source, choice.Field, OpenConfig().get());
    std::vector<TSplitDialogValue> rows;
    for (const TSplitValue& v : values)
        rows.push_back({ToQString(v.Value, db->Charset()), v.Held, PathToQString(v.FileName)});
    QStringList others;
    std::vector<int> otherFields;
    for (int f = 1; f <= db->FieldCount(); ++f)
        if (f != choice.Field) {
            others << ToQString(db->GetFieldName(f), db->Charset());
            otherFields.push_back(f);
        }
    TDefNameForm form(&context_.Window());
    form.SetSourceDir(DirectoryOfFile(db->FileName));
    form.SetOutputDir(DirectoryOfFile(db->FileName));
    form.SetFields(others);
    form.SetCharset(db->Charset());
    form.SetValues(rows);
    do {
        if (ExecModal(form) != QDialog::Accepted)
            return;
    } while (!OutputFolderReady(form.GetOutputDir()));

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
            if (context_.RefuseOpenFile(SplitOutputName(*db, choice.OutputDir, v.FileName)))
                return;
    for (const auto& [entry, value] : chosen.GlobalValues) {
        // The dialog refused what the set cannot hold; nothing is written yet.
        QString refusal;
        const std::optional<std::string> bytes = FromQString(value, db->Charset(), &refusal);
        if (!bytes) {
            ShowWarning(refusal);
            return;
        }
        choice.GlobalValues[otherFields[size_t(entry)]] = *bytes;
    }

    WaitCursor hourglass;
    TProgressLine::TRun run(context_.Progress(), true);
    TSplitCount count;
    bool stopped = false;
    Split(source, choice, [&](const std::string& fileName, int done, int total) {
        count = {done, total};
        context_.ShowStatus(FromUtf8("Writing ") + PathToQString(fileName));
        stopped = !run.Step(done, total);
        return !stopped;
    });
    if (!stopped)
        count.Done = count.Total;
    context_.ShowStatus(SplitDoneText(count, stopped, OutputDirectory(*db, choice)));
}

void TTransferCommands::ImportCsvItemClick()
{
    const TCsvChoice chosen = PickCsvFile(&context_.Window());
    const std::string& csvName = chosen.Name;
    if (csvName.empty())
        return;
    // Everything is read and checked before a tab or a file is touched.
    std::unique_ptr<TCsvImport> import;
    try {
        WaitCursor wait;
        TProgressLine::TRun run(context_.Progress(), true);
        TCsvImportOptions options;
        options.Utf8 = chosen.Utf8;
        // A new database takes the set of the one in front, as New does.
        if (const TDataBase* front = context_.Tabs().CurrentDB())
            options.Charset = front->Charset();
        import = std::make_unique<TCsvImport>(csvName, options);
    } catch (const ECancelled&) {
        context_.ShowStatus(FromUtf8("Import of %1 cancelled.").arg(BareName(csvName)));
        return;
    } catch (const EEngineError& e) {
        // A file the import refuses is the user's to mend: its message alone.
        ShowError(FileErrorText(csvName, e.what()));
        return;
    }
    const int tab = context_.Tabs().TabForDatabase();
    if (tab < 0)
        return;
    context_.EndRearrange();
    context_.Tabs().NewDatabaseFrom(tab, NewDatabaseName(csvName), [&](TDataBase& db) { import->ApplyTo(db); });
    context_.EnableButtons(true);
    context_.UpdateActiveInfo();
    if (const TDataBase* db = context_.Tabs().CurrentDB()) {
        const std::string note = import->ReadingNote();
        context_.ShowStatus(
            FromUtf8("Imported %1 from %2").arg(CountOf(db->RecordCount(), "record"), BareName(csvName)) +
            (note.empty() ? QString() : FromUtf8(". ") + ToQString(note, db->Charset())));
    }
}

}  // namespace quorvil
