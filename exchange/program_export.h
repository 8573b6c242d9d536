#pragma once
// The exports for other programs: a workbook for spreadsheets, CSV in UTF-8,
// a web page and JSON. Beside the handheld converter's own formats, never
// instead of them; the editor and quorvil-cli share this table.
#include "standard_csv.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TJFILE;

enum class TProgramFormat { XLSX, CSV, HTML, JSON };
inline constexpr TProgramFormat kProgramFormats[] = {TProgramFormat::XLSX, TProgramFormat::CSV, TProgramFormat::HTML,
                                                     TProgramFormat::JSON};

struct TProgramFormatKind {
    const char* CliName;    // quorvil-cli's name of the format: "xlsx", "csv-utf8", "html5", "json"
    const char* Extension;  // of the file, lower case as other programs write it: "xlsx"
    const char* Title;      // of the file dialog
    const char* Filter;     // of the file dialog: "Excel workbooks|*.xlsx|All Files|*.*"
};
const TProgramFormatKind& ProgramFormatKind(TProgramFormat format);
// Whether this build writes the format: the workbook needs libxlsxwriter.
bool ProgramFormatAvailable(TProgramFormat format);
// The format of a CLI name, none for an unknown name.
std::optional<TProgramFormat> ProgramFormatNamed(std::string_view cliName);

// The name the file dialog offers: the database's file name without its
// directory and with the format's extension ("things.xlsx").
std::string OfferedProgramExportName(const TJFILE& db, TProgramFormat format);

// Writes `fields` (field numbers from 1, in output order) of every record to
// `fileName`, replacing any file of that name once the new one is complete;
// `csv` applies to the CSV alone. Throws EStreamError when the file cannot be
// written, is the database's own file or the format is not available.
void ExportForProgram(TJFILE& db, TProgramFormat format, const std::vector<int>& fields, const TStandardCsvOptions& csv,
                      const std::string& fileName);

}  // namespace quorvil
