#pragma once
// Where the save-as and export dialogs start, what they remember in the
// "SAVE" section of the configuration, and how a typed name is completed.
#include "export.h"
#include "standard_csv.h"

#include <string>
#include <vector>

namespace quorvil {

class TIniFile;
class TJFILE;

// "Dir" of "SAVE" (default: the program's directory); the directory of the
// database's file when that does not exist. Without a trailing separator.
std::string SaveAsDirectory(const TIniFile& ini, const TJFILE& db);
// Stores the directory of `fileName` under "Dir", without a trailing separator.
void RememberSaveAsDirectory(TIniFile& ini, const std::string& fileName);

// The format's key of "SAVE", else "Dir", else the program's directory; the
// program's directory when the one found does not exist. Without a trailing
// separator.
std::string ExportDirectory(const TIniFile& ini, TExportFormat format);
// Stores the directory of `fileName` under the format's key, with a trailing
// separator.
void RememberExportDirectory(TIniFile& ini, TExportFormat format, const std::string& fileName);

// The exports for other programs share "ProgramExportDir" of "SAVE"; the
// directory of the database's file before one is stored or when it is gone.
// Without a trailing separator.
std::string ProgramExportDirectory(const TIniFile& ini, const TJFILE& db);
void RememberProgramExportDirectory(TIniFile& ini, const std::string& fileName);

// The CSV options chosen last ("CsvSeparator", "CsvByteOrderMark" of
// "SAVE"); a comma and the mark, which spreadsheets need, before any choice.
TStandardCsvOptions StoredCsvOptions(const TIniFile& ini);
void StoreCsvOptions(TIniFile& ini, const TStandardCsvOptions& options);

// A name typed without a directory gets `directory` (made absolute) in front;
// one without an extension gets `extension`.
std::string CompleteFileName(const std::string& chosen, const std::string& directory, const std::string& extension);

// "Overwrite existing file NAME?", the name in double quotes when it holds a
// space and is not quoted yet; "Overwrite existing files A and B?" for two.
std::string OverwriteQuestion(const std::string& fileName);
std::string OverwriteQuestion(const std::vector<std::string>& fileNames);

}  // namespace quorvil
