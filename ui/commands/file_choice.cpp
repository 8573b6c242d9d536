#include "file_choice.h"

#include "config_settings.h"
#include "config_store.h"
#include "file_system.h"
#include "message_dialog.h"
#include "modal.h"
#include "save_places.h"
#include "text_convert.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <filesystem>

namespace quorvil {

namespace {

// "CSV files|*.CSV|All Files|*.*" as the file dialog's name filters; each
// pattern also in lower case, as file names are case-sensitive here.
QStringList NameFilters(const char* filter)
{
    const QStringList parts = FromUtf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
            const QString shown = pattern == QLatin1String("*.*") ? FromUtf8("*") : pattern;
            patterns << shown;
            if (shown.toLower() != shown)
                patterns << shown.toLower();
        }
        filters << parts[i] + FromUtf8(" (") + patterns.join(QLatin1Char(' ')) + FromUtf8(")");
    }
    return filters;
}

// A name without a directory is in `directory`; one without an extension
// gets ".PDB".
QString CompletedPath(QString path, const QString& directory)
{
    if (QFileInfo(path).isRelative())
        path = directory + QLatin1Char('/') + path;
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.')))
        path += FromUtf8(".PDB");
    return path;
}

// The open dialog, one file or several; the folder is remembered.
std::vector<std::string> PickOpenFiles(QWidget* parent, bool several)
{
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    QString directory = PathToQString(ReadText(*ini, settings::LoadDirectory));
    if (directory.isEmpty() || !DirectoryExists(QStringToPath(directory)))
        directory = QDir::currentPath();
    directory = QDir(directory).absolutePath();

    QFileDialog dialog(parent, FromUtf8("Select .PDB file to load"), directory,
                       FromUtf8("JFile databases (*.PDB *.pdb);;All files (*)"));
    dialog.setObjectName(FromUtf8("OpenDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (ExecModal(dialog) != QDialog::Accepted)
        return {};
    std::vector<std::string> paths;
    for (const QString& chosen : dialog.selectedFiles())
        paths.push_back(QStringToPath(QFileInfo(CompletedPath(chosen, directory)).absoluteFilePath()));
    if (!paths.empty())
        WriteText(*ini, settings::LoadDirectory, QStringToPath(QFileInfo(PathToQString(paths.front())).absolutePath()));
    return paths;
}

}  // namespace

QString ChosenDatabasePath(const QFileDialog& dialog, const QString& directory)
{
    if (dialog.selectedFiles().isEmpty())
        return {};
    return CompletedPath(dialog.selectedFiles().constFirst(), directory);
}

std::string PickDatabaseFile(QWidget* parent)
{
    const std::vector<std::string> paths = PickOpenFiles(parent, false);
    return paths.empty() ? std::string() : paths.front();
}

std::vector<std::string> PickDatabaseFiles(QWidget* parent)
{
    return PickOpenFiles(parent, true);
}

std::string PickNewFileName(QWidget* parent, const QString& title)
{
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    QString directory = PathToQString(ReadText(*ini, settings::SaveDirectory));
    if (directory.isEmpty() || !DirectoryExists(QStringToPath(directory)))
        directory = QDir::currentPath();
    directory = QDir(directory).absolutePath();
    QString name = PathToQString(ReadText(*ini, settings::NewFileName));
    if (!QFileInfo(name).fileName().contains(QLatin1Char('.')))
        name += FromUtf8(".PDB");

    QFileDialog dialog(parent, title, directory, FromUtf8("PDB files (*.PDB *.pdb);;All Files (*)"));
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
    WriteText(*ini, settings::SaveDirectory, QStringToPath(chosen.absolutePath() + QLatin1Char('/')));
    WriteText(*ini, settings::NewFileName, QStringToPath(chosen.fileName()));
    return QStringToPath(chosen.absoluteFilePath());
}

void PrepareSaveDialog(QFileDialog& dialog, const char* filter)
{
    dialog.setObjectName(FromUtf8("SaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NameFilters(filter));
}

std::string ChosenFile(const QFileDialog& dialog, const std::string& directory, const char* extension)
{
    if (dialog.selectedFiles().isEmpty())
        return {};
    return CompleteFileName(QStringToPath(dialog.selectedFiles().constFirst()), directory, extension);
}

bool MayReplace(const std::vector<std::string>& names)
{
    std::vector<std::string> existing;
    for (const std::string& name : names) {
        std::error_code ec;
        if (std::filesystem::exists(name, ec))
            existing.push_back(name);
    }
    return existing.empty() || AskYesNo(PathToQString(OverwriteQuestion(existing)));
}

bool MayReplace(const std::string& name)
{
    return MayReplace(std::vector<std::string>{name});
}

}  // namespace quorvil
