#pragma once
// The export commands: a database written as CSV (with its .DEF settings),
// as an HTML table or as a fixed-width text table, of the chosen fields in
// the chosen order.
#include <string>
#include <vector>

namespace quorvil {

class TJFILE;
struct TTextSetting;

enum class TExportFormat { CSV, HTML, TXT };

// The fixed texts of one format.
struct TExportKind {
    const char* Extension;          // of the file and the dialog's default: "CSV", "HTM", "TXT"
    const TTextSetting* Directory;  // the setting that remembers where the last export went
    const char* Title;              // of the file dialog
    const char* Filter;             // of the file dialog: "CSV files|*.CSV|All Files|*.*"
    // A button press writes without a dialog only when every field is chosen.
    bool DirectNeedsAllFields;
};
const TExportKind& ExportKind(TExportFormat format);

// Field numbers 1..FieldCount, the choice before anyone changes it.
std::vector<int> AllFields(const TJFILE& db);

// The file a button press writes without asking: the database's file name
// with the format's extension. Empty when the file dialog must ask (a CSV
// export of fewer fields than the database has).
std::string DirectExportName(const TJFILE& db, TExportFormat format, const std::vector<int>& fields);

// The name the file dialog offers: the database's file name (without its
// directory) with the format's extension when every field is chosen, else
// the format's wildcard ("*.CSV").
std::string OfferedExportName(const TJFILE& db, TExportFormat format, const std::vector<int>& fields);

// The files an export to `fileName` writes: the CSV file and its .DEF
// settings, or the one table file (each name as the writer completes it).
std::vector<std::string> ExportFiles(TExportFormat format, const std::string& fileName);

// Whether new files can be made in the folder of `fileName`: a button press
// writes beside the database only then, else the file dialog asks.
bool FolderTakesFiles(const std::string& fileName);

// The popup values of the chosen List fields that the CSV's .DEF file cannot
// give back: it separates a list's values by commas, so a value holding one
// comes back as several. Empty when there are none, else a sentence naming
// the values and their fields.
std::string PopupCommaMessage(const TJFILE& db, const std::vector<int>& fields);

// Writes `fields` (field numbers from 1, in output order) of every record
// to `fileName`, replacing any file of that name once the new one is
// complete. Throws EStreamError when the file
// cannot be written or is the database's own file.
void Export(TJFILE& db, TExportFormat format, const std::vector<int>& fields, const std::string& fileName);

}  // namespace quorvil
