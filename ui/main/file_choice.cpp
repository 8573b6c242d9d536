#include "file_choice.h"

#include "text_convert.h"

#include <QFileDialog>
#include <QFileInfo>

namespace quorvil {

QString ChosenDatabasePath(const QFileDialog& dialog, const QString& directory)
{
    if (dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().constFirst();
    if (QFileInfo(path).isRelative())
        path = directory + QLatin1Char('/') + path;
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.')))
        path += FromUtf8(".PDB");
    return path;
}

}  // namespace quorvil
