// Save as Access: the active database written to a new database file (SQLite
// here, Access where its ODBC driver is installed). The dialog, the cursor,
// the progress and the messages are the window's; the export is exchange's.
#include "main_window.h"

#include "access_export.h"
#include "command_guard.h"
#include "config_store.h"
#include "database.h"
#include "database_tabs.h"
#include "file_system.h"
#include "message_dialog.h"
#include "modal.h"
#include "sql_database.h"
#include "text_convert.h"
#include "wait_cursor.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressBar>
#include <QStatusBar>

#include <filesystem>

namespace quorvil {

namespace {

// "Dir" of "SAVE", else the program's directory; the database's own
// directory when that does not exist.
QString StartDirectory(const TIniFile& ini, const TDataBase& db)
{
    std::string directory = ini.ReadString("SAVE", "Dir", ProgramDir());
    if (!DirectoryExists(directory))
        directory = std::filesystem::path(db.FileName).parent_path().string();
    return QDir(PathToQString(directory)).absolutePath();
}

// The chosen file, or empty when the dialog was cancelled.
std::string PickAccessFile(QWidget* parent, const TDataBase& db, const TSqlFileKind& kind)
{
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    const QString directory = StartDirectory(*ini, db);
    const QString extension = FromUtf8(kind.Extension);
    const bool access = extension == FromUtf8("MDB");
    QFileDialog dialog(parent, access ? FromUtf8("Create Access database named") : FromUtf8("Create SQLite database named"),
                       directory, FromUtf8("%1 (*.%2%3);;All Files (*)")
                                      .arg(FromUtf8(kind.TypeName), extension, access ? QString() : FromUtf8(" *.db")));
    dialog.setObjectName(FromUtf8("SaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // an existing file is replaced without a question
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(extension);
    dialog.selectFile(QFileInfo(PathToQString(db.FileName)).completeBaseName() + QLatin1Char('.') + extension);
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().constFirst();
    if (QFileInfo(path).isRelative())
        path = directory + QLatin1Char('/') + path;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + extension;
    ini->WriteString("SAVE", "Dir", QStringToPath(QFileInfo(path).absolutePath()));
    return QStringToPath(QFileInfo(path).absoluteFilePath());
}

// A message in the middle of long work: the normal cursor while it shows.
void Warn(const std::string& text)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    ShowMsg(ToQString(text), 0);
    QApplication::restoreOverrideCursor();
}

}  // namespace

void TMainForm::SaveAsAccessItemClick(const std::string& chosenName)
{
    TDataBase* db = tabs_->CurrentDB();
    if (!db)
        return;
    const std::string fileName = chosenName.empty() ? PickAccessFile(this, *db, AccessFileKind()) : chosenName;
    if (fileName.empty() || RefuseOpenFile(fileName))
        return;

    WaitCursor wait;
    const auto bar = std::make_unique<QProgressBar>();
    bar->setObjectName(FromUtf8("ProgressBar"));
    bar->setRange(0, db->RecordCount());
    statusBar()->addWidget(bar.get());
    bar->show();
    TAccessEvents events;
    events.Warning = Warn;
    events.Progress = [&](int record, int count) {
        // Painting every few hundred records keeps the export fast.
        if (record % 256 != 1 && record != count)
            return;
        bar->setValue(record);
        ShowStatus(FromUtf8("Writing record %1 of %2").arg(record).arg(count));
    };
    ExportToAccess(*db, fileName,
                   [](const std::string& name) { return std::make_unique<TAccessDB>(CreateSqlDatabase(name)); },
                   events);
    ShowStatus(QString());
}

void TMainForm::CreateAccessCommand()
{
    auto* action = new QAction(FromUtf8("Save as &Access..."), this);
    action->setObjectName(FromUtf8("SaveAsAccessItem"));
    action->setToolTip(FromUtf8("Save as %1").arg(FromUtf8(AccessFileKind().TypeName)));
    connect(action, &QAction::triggered, this,
            [this] { RunCommand("SaveAsAccessItemClick", [this] { SaveAsAccessItemClick(); }); });
}

}  // namespace quorvil
