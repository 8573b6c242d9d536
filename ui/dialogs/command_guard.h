#pragma once
// The one place where commands of the main window catch: an exception that
// escapes a command is shown with one OK button, and the program goes on.
#include <QString>

#include <exception>
#include <functional>
#include <string>

namespace quorvil {

// Shows `message` + " at " + `command` in the error dialog with one OK button.
void ShowApplicationError(const QString& message, const QString& command);

// The errors a file is expected to give (not a database, damaged, cannot be
// opened, created or written, a full disk, read-only), as opposed to faults
// of the program.
bool IsFileError(const std::exception& e);
// "contacts.PDB: Not a JFile/JFile Pro database!": the message after the
// file's name, which is left out when the message names the file already.
QString FileErrorText(const std::string& fileName, const char* message);

// While one lives a command is at work, and whatever waits for the window
// to be idle (a question about a file changed outside) waits: the work may
// let the window repaint, which runs timers too.
class TCommandScope {
public:
    TCommandScope();
    ~TCommandScope();
    TCommandScope(const TCommandScope&) = delete;
    TCommandScope& operator=(const TCommandScope&) = delete;
};
bool CommandRunning();

// Runs the command named `command` (its handler's name, as "LoadBtnClick").
// Returns false when it failed; the failure has then been shown: a file error
// by its message alone, a fault with the handler's name after it. Cancelled
// work ends the command without a message.
bool RunCommand(const char* command, const std::function<void()>& body);

// Runs a command's work on the file `fileName`: a file error is shown as
// FileErrorText and gives false; anything else passes on.
bool RunOnFile(const std::string& fileName, const std::function<void()>& body);

}  // namespace quorvil
