#include "cli_pdf.h"

#include <stdexcept>

namespace quorvil {

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

#ifndef QUORVIL_PDF_EXPORT
bool PdfExportAvailable()
{
    return false;
}

void ExportPdf(TJFILE&, const TPrintOptions&, const std::string&)
{
    throw std::logic_error("This build of quorvil-cli has no PDF export: it was built without Qt.");
}
#endif

}  // namespace quorvil
