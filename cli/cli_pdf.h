#pragma once
// `export pdf`: the printout's choices given as options, and the pages
// written where the build has Qt's painting.
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
// `fileName`, replacing it once complete. Starts Qt on the offscreen
// platform (unless QT_QPA_PLATFORM names another), so no display is needed.
// Throws EStreamError when the file cannot be written, std::logic_error in a
// build without PDF.
void ExportPdf(TJFILE& db, const TPrintOptions& options, const std::string& fileName);

}  // namespace quorvil
