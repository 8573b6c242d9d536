// The one part of quorvil-cli that starts Qt, and only for `export pdf`:
// the other commands stay as quick and small as without it.
#include "cli_pdf.h"
#include "print_document.h"

#include <QGuiApplication>

#include <optional>

namespace quorvil {

bool PdfExportAvailable()
{
    return true;
}

void ExportPdf(TJFILE& db, const TPrintOptions& options, const std::string& fileName)
{
    // Pages need fonts, not a screen: the tool runs where no display is.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    int argc = 1;
    char name[] = "quorvil-cli";
    char* argv[] = {name, nullptr};
    std::optional<QGuiApplication> app;
    if (!QGuiApplication::instance())
        app.emplace(argc, argv);
    WritePdf(db, TPrintSource{}, options, fileName);
}

}  // namespace quorvil
