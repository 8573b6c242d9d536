// The one part of quorvil-cli that starts Qt, and only for `export pdf`.
#include "cli_pdf.h"
#include "print_document.h"

#include <QGuiApplication>

#include <optional>

namespace quorvil {

namespace {

QtMessageHandler qtHandler = nullptr;

// Qt's notes on the platform ("XDG_RUNTIME_DIR not set", no session bus)
// tell a user of the tool nothing and would break its one line a warning;
// its errors still go out.
void OnlyQtErrors(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if ((type == QtCriticalMsg || type == QtFatalMsg) && qtHandler)
        qtHandler(type, context, message);
}

// Qt's own handler again when the export ends, however it ends.
struct TQtErrorsOnly {
    TQtErrorsOnly() { qtHandler = qInstallMessageHandler(OnlyQtErrors); }
    ~TQtErrorsOnly() { qInstallMessageHandler(qtHandler); }
};

}  // namespace

void WritePdfOffscreen(TJFILE& db, const TPrintOptions& options, const std::string& fileName)
{
    // Pages need fonts, not a screen: the tool runs where no display is.
    // Windows always has one, and only its own platform knows its fonts.
#ifndef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
#endif
    const TQtErrorsOnly quiet;
    int argc = 1;
    char name[] = "quorvil-cli";
    char* argv[] = {name, nullptr};
    std::optional<QGuiApplication> app;
    if (!QGuiApplication::instance())
        app.emplace(argc, argv);
    WritePdf(db, TPrintSource{}, options, fileName);
}

}  // namespace quorvil
