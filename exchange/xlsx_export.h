#pragma once
// A spreadsheet workbook (.xlsx) of a database: one sheet named after the
// title, a bold and frozen header row of field names, and typed cells:
// numbers, booleans, dates and times as such, everything else as text, line
// breaks kept. Built only where libxlsxwriter is found (QUORVIL_XLSX_EXPORT).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TJFILE;
enum class TCharset : uint8_t;

// Writes `fields` (field numbers from 1, in output order; 0 is skipped) of
// every record, in record order, to `fileName`, replacing any file of that
// name once the new one is complete. An empty value, or one its field's type
// cannot read ("12abc" in an Integer field), is an empty cell. Throws
// EStreamError when the file cannot be written or is the database's own
// file, ECancelled when the progress watcher stops it; either way the old
// file stays as it was.
void WriteXlsx(TJFILE& db, const std::vector<int>& fields, const std::string& fileName);

// A valid sheet name (UTF-8) for a database title (bytes of `set`): at most
// 31 characters, none of []:*?/\ or control characters, not starting or ending
// with an apostrophe; "Sheet1" when nothing is left.
std::string XlsxSheetName(std::string_view title, TCharset set);

// The spreadsheet column width (in characters of the default font) for a
// grid column `pixels` wide; the default width for none.
double XlsxColumnWidth(int pixels);

}  // namespace quorvil
