#pragma once
// The file a file dialog hands back, as the commands use it: a relative name
// taken in the dialog's directory, ".PDB" added when the name has no extension.
#include <QString>

class QFileDialog;

namespace quorvil {

// Empty when the dialog returned no file.
QString ChosenDatabasePath(const QFileDialog& dialog, const QString& directory);

}  // namespace quorvil
