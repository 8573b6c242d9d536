#include "command_guard.h"

#include "message_dialog.h"
#include "text_convert.h"

#include <QApplication>

#include <exception>
#include <new>

namespace quorvil {

void ShowApplicationError(const QString& message, const QString& command)
{
    MessageDlgButtons(message + FromUtf8(" at ") + command, mtError, {mbOK}, mbHelp);
}

bool RunCommand(const char* command, const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const std::bad_alloc&) {
        ShowApplicationError(FromUtf8("Out of memory"), FromUtf8(command));
    } catch (const std::exception& e) {
        ShowApplicationError(MessageText(e.what()), FromUtf8(command));
    } catch (...) {
        ShowApplicationError(FromUtf8("Unknown error"), FromUtf8(command));
    }
    return false;
}

}  // namespace quorvil
