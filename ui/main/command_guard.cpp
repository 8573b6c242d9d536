#include "command_guard.h"

#include "message_dialog.h"
#include "text_convert.h"

#include <QApplication>

#include <exception>
#include <new>

namespace quorvil {

void ShowApplicationError(const QString& message, const QString& command)
{
    MessageDlgButtons(message + Tr(" at ") + command, mtError, {mbOK}, mbHelp);
}

bool RunCommand(const char* command, const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const std::bad_alloc&) {
        ShowApplicationError(Tr("Out of memory"), Tr(command));
    } catch (const std::exception& e) {
        ShowApplicationError(MessageText(e.what()), Tr(command));
    } catch (...) {
        ShowApplicationError(Tr("Unknown error"), Tr(command));
    }
    return false;
}

}  // namespace quorvil
