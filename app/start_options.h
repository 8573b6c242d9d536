#pragma once
// What the editor's command line asks for: the files to open, or only a
// text to print (--help, --version, a refused option). No window here.
#include <QString>
#include <QStringList>

namespace quorvil {

struct TStartOptions {
    enum class TAction { Open, Help, Version, Refuse };
    TAction Action = TAction::Open;
    // The database arguments, as given (Open only); an argument that starts
    // with '-' is a file after "--".
    QStringList Files;
    // For standard output (Help, Version) or standard error (Refuse).
    QString Text;
};

// `arguments` starts with the program's name. Qt's own options (-platform,
// -style ...) are refused here, so parse what QApplication leaves.
TStartOptions ParseStartOptions(const QStringList& arguments);

// The exit status of a run that only prints: 0, or 2 for a refused option.
int ExitStatus(const TStartOptions& options);

}  // namespace quorvil
