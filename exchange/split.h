#pragma once
// Splitting a database by the values of one List field: one new database
// per chosen value, holding the records of that value without the field,
// written as a JFile file and, on request, as CSV, HTML and TXT.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TIniFile;
class TJFILE;

inline constexpr const char* kNoListFieldMessage = "No fields in this database is of \"List\" type.";

// The fields of type List, in field order.
std::vector<int> ListFields(const TJFILE& db);
// The last field named exactly `name`; 0 when there is none.
int LastFieldNamed(const TJFILE& db, const std::string& name);

// The value without the characters a file name should not hold: kept are
// space ! " # ' - 0-9 @ A-Z _ a-z and the codes 128 to 254.
std::string DefaultSplitFileName(std::string_view value);

// One popup value of the split field.
struct TSplitValue {
    std::string Value;
    bool Held = false;     // some record holds exactly this value
    std::string FileName;  // a bare name or a path; empty: no output
};

// The values of `field` in popup order, each with the name remembered in
// `ini` (section = the database title, key = the value) or else its default
// name. `ini` may be null.
std::vector<TSplitValue> SplitValues(const TJFILE& db, int field, const TIniFile* ini);
// Remembers the file name of every value that has one. Returns false when
// the configuration could not be written.
bool RememberSplitNames(TIniFile& ini, const TJFILE& db, const std::vector<TSplitValue>& values);

struct TSplitFormats {
    bool PDB = true;
    bool CSV = false;
    bool HTM = false;
    bool TXT = false;
};

struct TSplitChoice {
    int Field = 0;                    // the List field split by
    std::vector<TSplitValue> Values;  // the outputs: every value with a file name
    std::string OutputDir;            // for names without a directory
    TSplitFormats Formats;
    // Source field -> the value every output record gets, stored as SetCell
    // stores it (a Boolean's TRUE and FALSE texts as "1" and "0").
    std::map<int, std::string> GlobalValues;
};

// The file an output is written to, before its extension: `name` with a
// directory in front when it has none (the output directory when it exists,
// else the database's directory when it exists, else the program's), with
// ".PDB" appended when it has no extension.
std::string SplitOutputName(const TJFILE& db, const std::string& outputDir, const std::string& name);

// The widths from the "Widths" key of section "JFilePro" of `defName`, when
// it lists exactly `fieldCount` numbers (commas or spaces between them);
// empty otherwise. Throws std::invalid_argument, naming the file and key,
// for a width that is not a whole number from -32768 to 32767.
std::vector<int> WidthsFromDef(const std::string& defName, int fieldCount);

// Splits `db` and writes every output; returns the .PDB names of the
// outputs, in value order. Each file is replaced only when its new contents
// are complete. Throws before writing anything when a .DEF width is refused
// or an output's directory does not exist; a write error (EStreamError,
// naming the file) stops the command with the outputs before it written.
// `progress` is told each file (every format counts) before it is written,
// with the files finished so far and the number of files in all; when it
// returns false the split stops there: the files finished stay, and the
// outputs whose files were all written are returned.
using TSplitProgress = std::function<bool(const std::string& fileName, int done, int total)>;
std::vector<std::string> Split(const TJFILE& db, const TSplitChoice& choice, const TSplitProgress& progress = {});

}  // namespace quorvil
