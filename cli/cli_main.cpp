#include "cli.h"
#include "cli_pdf.h"
#include "pdf_handoff.h"

#include <iostream>

#include "system_file.h"

int main(int argc, char** argv)
{
    // Outputs written to standard output are files too: the same bytes on
    // every platform.
    quorvil::sys::SetBinaryStandardOutput();
#if defined(QUORVIL_PDF_WRITER)
    quorvil::SetPdfWriter(quorvil::WritePdfOffscreen);
#elif defined(QUORVIL_PDF_HELPER_DIR)
    if (quorvil::IsPdfExport(argc, argv))
        return quorvil::HandOffPdfExport(argv, QUORVIL_PDF_HELPER_DIR, std::cerr);
#endif
    return quorvil::RunCli(argc, argv, std::cout, std::cerr);
}
