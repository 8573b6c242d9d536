// The desktop editor: the main window with the databases named on the
// command line, or the last one opened.
#include "main_window.h"
#include "quorvil_version.h"
#include "start_options.h"
#include "system_console.h"
#include "text_convert.h"

#include <QApplication>

#include <cstdio>

namespace {

void Print(const quorvil::TStartOptions& options)
{
    quorvil::sys::UseParentConsole();
    const QByteArray text = options.Text.toLocal8Bit();
    std::FILE* stream = quorvil::ExitStatus(options) == 0 ? stdout : stderr;
    std::fwrite(text.constData(), 1, size_t(text.size()), stream);
}

QStringList RawArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char** argv)
{
    // --help and --version before the window system is reached, so that
    // they work without a display. Qt's own options are still in argv here;
    // what else is refused is decided once QApplication has taken them.
    using TAction = quorvil::TStartOptions::TAction;
    const quorvil::TStartOptions early = quorvil::ParseStartOptions(RawArguments(argc, argv));
    if (early.Action == TAction::Help || early.Action == TAction::Version) {
        Print(early);
        return 0;
    }

    QApplication app(argc, argv);
    const quorvil::TStartOptions options = quorvil::ParseStartOptions(QApplication::arguments());
    if (options.Action != TAction::Open) {
        Print(options);
        return quorvil::ExitStatus(options);
    }
    // Only the plain name: a display name would make Qt append " — Quorvil"
    // to every window title, and the titles are the program's own texts.
    QApplication::setApplicationName(quorvil::FromUtf8("Quorvil"));
    QApplication::setApplicationVersion(quorvil::FromUtf8(quorvil::kVersion));
    // The desktop file the taskbar takes the name and icon from (Wayland's app id).
    QApplication::setDesktopFileName(quorvil::FromUtf8("io.github.quorvil.quorvil"));
    QApplication::setWindowIcon(quorvil::ApplicationIcon());

    quorvil::TMainForm mainForm;
    mainForm.FormCreate(options.Files);
    mainForm.show();
    return QApplication::exec();
}
