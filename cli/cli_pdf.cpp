#include "cli_pdf.h"

#include <stdexcept>

namespace quorvil {

namespace {

TPdfWriter pdfWriter = nullptr;

}  // namespace

bool PdfExportAvailable()
{
#ifdef QUORVIL_PDF_EXPORT
    return true;
#else
    return false;
#endif
}

TPrintOptions PdfOptions(const Arguments& args)
{
    TPrintOptions options;
    options.Layout = args.flags.count("--cards") ? TPrintLayout::Cards : TPrintLayout::Table;
    options.Landscape = args.flags.count("--landscape") > 0;
    if (auto size = args.options.find("--font-size"); size != args.options.end()) {
        const std::string& v = size->second;
        const bool digits = !v.empty() && v.size() <= 2 && v.find_first_not_of("0123456789") == std::string::npos;
        options.FontPoints = digits ? std::stoi(v) : 0;
        if (options.FontPoints < kMinPrintFontPoints || options.FontPoints > kMaxPrintFontPoints)
            throw UsageError("--font-size takes a number of points from " + std::to_string(kMinPrintFontPoints) +
                             " to " + std::to_string(kMaxPrintFontPoints));
    }
    return options;
}

void SetPdfWriter(TPdfWriter writer)
{
    pdfWriter = writer;
}

void ExportPdf(TJFILE& db, const TPrintOptions& options, const std::string& fileName)
{
    if (!pdfWriter)
        throw std::logic_error("This program writes no PDF: quorvil-cli does.");
    pdfWriter(db, options, fileName);
}

}  // namespace quorvil
