// Import CSV: a CSV file (with the .DEF settings beside it, when there is
// one) opened as a new database in a tab of its own, unsaved. The reading
// is exchange's; the file dialog, the tab and the wait cursor are the
// window's.
#include "main_window.h"

#include "command_guard.h"
#include "config_store.h"
#include "csv_import.h"
#include "database.h"
#include "database_tabs.h"
#include "errors.h"
#include "file_system.h"
#include "message_dialog.h"
#include "modal.h"
#include "text_convert.h"
#include "wait_cursor.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <filesystem>

namespace quorvil {

namespace {

// The CSV file to read, or empty when the dialog was cancelled. It starts
// where the last CSV export went.
std::string PickCsvFile(QWidget* parent)
{
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    QString directory = PathToQString(ini->ReadString("SAVE", "CSV", ini->ReadString("SAVE", "Dir")));
    if (directory.isEmpty() || !DirectoryExists(QStringToPath(directory)))
        directory = QDir::currentPath();
    QFileDialog dialog(parent, FromUtf8("Import CSV file"), QDir(directory).absolutePath(),
                       FromUtf8("CSV files (*.CSV *.csv);;All Files (*)"));
    dialog.setObjectName(FromUtf8("OpenDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QStringToPath(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
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

}  // namespace

void TMainForm::ImportCsvItemClick()
{
    const std::string csvName = PickCsvFile(this);
    if (csvName.empty())
        return;
    // Everything is read and checked before a tab or a file is touched.
    std::unique_ptr<TCsvImport> import;
    try {
        WaitCursor wait;
        import = std::make_unique<TCsvImport>(csvName, TCsvImportOptions{});
    } catch (const EEngineError& e) {
        // A file the import refuses is the user's to mend: its message alone.
        MessageDlgButtons(MessageText(e.what()), mtError, {mbOK}, mbHelp);
        return;
    }
    const int tab = tabs_->FindFreeTab();
    if (tabs_->DataBase(tab) && !tabs_->AskSave(tab))
        return;
    EndRearrange();
    tabs_->NewDatabaseFrom(tab, NewDatabaseName(csvName), [&](TDataBase& db) { import->ApplyTo(db); });
    EnableButtons(true);
    UpdateActiveInfo();
}

void TMainForm::CreateImportCommand()
{
    AddCommand("ImportCsvItem", "&Import CSV...", "ImportCsvItemClick", &TMainForm::ImportCsvItemClick)
        ->setToolTip(FromUtf8("Import a CSV file as a new database"));
}

}  // namespace quorvil
