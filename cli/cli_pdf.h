#pragma once
// `export pdf`: the printout's choices given as options, and the pages
// written by the writer the program's main sets, one that links Qt.
#include "cli_args.h"
#include "print_options.h"

#include <string>

namespace quorvil {

class TJFILE;

// Whether this build writes PDF: it needs Qt Gui.
bool PdfExportAvailable();

// The layout, orientation and font size that --cards, --landscape and
// --font-size give (every field); throws UsageError for a font size that is
// not a number of points in range.
TPrintOptions PdfOptions(const Arguments& args);

// Writes every record of `db`, in record order, as pages of `options` to
// `fileName`, replacing it once complete; throws EStreamError when the file
// cannot be written.
using TPdfWriter = void (*)(TJFILE& db, const TPrintOptions& options, const std::string& fileName);
// The main of a program that links Qt sets WritePdfOffscreen; a program
// without a writer throws std::logic_error on `export pdf`.
void SetPdfWriter(TPdfWriter writer);
void ExportPdf(TJFILE& db, const TPrintOptions& options, const std::string& fileName);

// The writer of quorvil_cli_pdf: starts Qt on the offscreen platform (unless
// QT_QPA_PLATFORM names another), so no display is needed.
void WritePdfOffscreen(TJFILE& db, const TPrintOptions& options, const std::string& fileName);

}  // namespace quorvil
