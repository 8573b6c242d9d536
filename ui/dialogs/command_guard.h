#pragma once
// The one place where commands of the main window catch: an exception that
// escapes a command is shown with one OK button, and the program goes on.
#include <QString>

#include <functional>

namespace quorvil {

// Shows `message` + " at " + `command` in the error dialog with one OK button.
void ShowApplicationError(const QString& message, const QString& command);

// Runs the command named `command` (its handler's name, as "LoadBtnClick").
// Returns false when it failed; the failure has then been shown.
bool RunCommand(const char* command, const std::function<void()>& body);

}  // namespace quorvil
