#pragma once
// The file dialogs of the commands that open and create databases, and the
// file a file dialog hands back: a relative name taken in the dialog's
// directory, ".PDB" added when the name has no extension.
#include <QString>

#include <string>
#include <vector>

class QFileDialog;
class QWidget;

namespace quorvil {

// Empty when the dialog returned no file.
QString ChosenDatabasePath(const QFileDialog& dialog, const QString& directory);

// The open dialog for a database, starting in "LoadDir" (remembered); empty
// when cancelled.
std::string PickDatabaseFile(QWidget* parent);
// The same dialog taking several files, in the order it lists them; empty
// when cancelled.
std::vector<std::string> PickDatabaseFiles(QWidget* parent);
// The save dialog for a new file name, starting at "Dir" and "Name" of
// "SAVE" (remembered); empty when cancelled.
std::string PickNewFileName(QWidget* parent, const QString& title);

// The save dialog of the exports: `filter` as "CSV files|*.CSV|All
// Files|*.*". The question about an existing file is the command's own, not
// the dialog's.
void PrepareSaveDialog(QFileDialog& dialog, const char* filter);
// The dialog's file, completed with its directory and the extension; empty
// when it returned none.
std::string ChosenFile(const QFileDialog& dialog, const std::string& directory, const char* extension);
// False when one of the files exists and the user keeps them.
bool MayReplace(const std::vector<std::string>& names);
bool MayReplace(const std::string& name);

}  // namespace quorvil
