#include "command_guard.h"

#include "errors.h"
#include "message_dialog.h"
#include "progress.h"
#include "text_convert.h"

#include <QApplication>
#include <QFileInfo>

#include <new>

namespace quorvil {

void ShowApplicationError(const QString& message, const QString& command)
{
    ShowError(message + FromUtf8(" at ") + command);
}

bool IsFileError(const std::exception& e)
{
    return dynamic_cast<const EInOutError*>(&e) || dynamic_cast<const EStreamError*>(&e);
}

QString FileErrorText(const std::string& fileName, const char* message)
{
    const QString text = MessageText(message);
    const QString name = QFileInfo(PathToQString(fileName)).fileName();
    if (name.isEmpty() || text.contains(name))
        return text;
    return name + FromUtf8(": ") + text;
}

namespace {

int gCommandDepth = 0;

}  // namespace

TCommandScope::TCommandScope()
{
    ++gCommandDepth;
}

TCommandScope::~TCommandScope()
{
    --gCommandDepth;
}

bool CommandRunning()
{
    return gCommandDepth > 0;
}

bool RunCommand(const char* command, const std::function<void()>& body)
{
    const TCommandScope running;
    try {
        body();
        return true;
    } catch (const ECancelled&) {
        // The user stopped it; the status line says so where it matters.
    } catch (const std::bad_alloc&) {
        ShowApplicationError(FromUtf8("Out of memory"), FromUtf8(command));
    } catch (const std::exception& e) {
        if (IsFileError(e))
            ShowError(MessageText(e.what()));
        else
            ShowApplicationError(MessageText(e.what()), FromUtf8(command));
    } catch (...) {
        ShowApplicationError(FromUtf8("Unknown error"), FromUtf8(command));
    }
    return false;
}

bool RunOnFile(const std::string& fileName, const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        if (!IsFileError(e))
            throw;
        ShowError(FileErrorText(fileName, e.what()));
    }
    return false;
}

}  // namespace quorvil
