#include "program_export.h"

#include "browser_html.h"
#include "errors.h"
#include "jfile.h"
#include "json_export.h"
#ifdef QUORVIL_XLSX_EXPORT
#include "xlsx_export.h"
#endif

#include <filesystem>

namespace quorvil {

namespace {

const TProgramFormatKind kKinds[] = {
    {"xlsx", "xlsx", "Export to Excel workbook", "Excel workbooks|*.xlsx|All Files|*.*"},
    {"csv-utf8", "csv", "Export to CSV file (UTF-8)", "CSV files|*.csv|All Files|*.*"},
    {"html5", "html", "Export to web page", "Web pages|*.html;*.htm|All Files|*.*"},
    {"json", "json", "Export to JSON file", "JSON files|*.json|All Files|*.*"},
};

}  // namespace

const TProgramFormatKind& ProgramFormatKind(TProgramFormat format)
{
    return kKinds[static_cast<int>(format)];
}

bool ProgramFormatAvailable(TProgramFormat format)
{
#ifdef QUORVIL_XLSX_EXPORT
    (void)format;
    return true;
#else
    return format != TProgramFormat::XLSX;
#endif
}

std::optional<TProgramFormat> ProgramFormatNamed(std::string_view cliName)
{
    for (TProgramFormat format : kProgramFormats)
        if (cliName == ProgramFormatKind(format).CliName)
            return format;
    return std::nullopt;
}

std::string OfferedProgramExportName(const TJFILE& db, TProgramFormat format)
{
    const std::string extension = ProgramFormatKind(format).Extension;
    if (db.FileName.empty())
        return "*." + extension;
    // The whole extension: ForceExtension keeps three letters, and
    // "things.xls" or "things.jso" would name another kind of file.
    const std::string name = std::filesystem::path(db.FileName).filename().string();
    return name.substr(0, name.rfind('.')) + "." + extension;
}

void ExportForProgram(TJFILE& db, TProgramFormat format, const std::vector<int>& fields, const TStandardCsvOptions& csv,
                      const std::string& fileName)
{
    switch (format) {
    case TProgramFormat::XLSX:
#ifdef QUORVIL_XLSX_EXPORT
        WriteXlsx(db, fields, fileName);
#else
        throw EStreamError("Cannot create file \"" + fileName + "\". This build writes no workbooks.");
#endif
        break;
    case TProgramFormat::CSV: WriteStandardCsv(db, fields, csv, fileName); break;
    case TProgramFormat::HTML: WriteBrowserHtml(db, fields, fileName); break;
    case TProgramFormat::JSON: WriteJson(db, fields, fileName, db.Charset()); break;
    }
}

}  // namespace quorvil
