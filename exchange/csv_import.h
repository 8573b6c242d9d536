#pragma once
// CSV import: a CSV file read back into a database. With the .DEF settings
// file the CSV export writes beside it, the import undoes that export: the
// field names, types, widths, popup lists, title and view settings come back,
// byte hex CF becomes a line feed again and "05 Mar 2003" in a "DATE" field
// becomes 05/03/2003. Without a .DEF every field is a text field, named by
// the first line or "Field 1".."Field N". Spreadsheets' UTF-8 CSV is read
// as well, into the same bytes the database keeps.
#include "charset.h"
#include "layout.h"

#include <memory>
#include <optional>
#include <string>

namespace quorvil {

class TJFILE;

inline constexpr const char* kNothingToImport = "The file holds no records and no field names";

struct TCsvImportOptions {
    // None takes the layout the .DEF file points to (JFile 5.5 without one).
    std::optional<TLayout> Layout;
    // Without a .DEF: whether the first line names the fields. A .DEF always
    // comes with a header line.
    bool HeaderLine = true;
    // Standard CSV in UTF-8 (what spreadsheets write), chosen also by a
    // byte-order mark at the file's start, and by a file without one that
    // is UTF-8 throughout and holds characters beyond ASCII: quoted cells,
    // doubled quotes, line breaks inside cells kept as they are; every
    // character must have bytes in `Charset`. A .DEF beside it gives the
    // field types and settings; the cells stay as the file holds them.
    bool Utf8 = false;
    // In UTF-8: ',' or ';', or 0 for the one the header line uses.
    char Separator = 0;
    // The new database's character set, which UTF-8 cells are turned into;
    // the handheld's own CSV is taken byte for byte whatever it is.
    TCharset Charset = TCharset::Windows1252;
};

// One import, in the two steps the editor runs around choosing its tab.
class TCsvImport {
public:
    // Reads `csvName` (and the .DEF file of the same name, when there is
    // one) and checks it against the format's limits. Throws EStreamError
    // when a file cannot be read, EInOutError with one message naming the
    // line and the limit for a malformed CSV or one the format cannot hold
    // (a NUL byte in a cell too), and EInOutError with kNothingToImport
    // after the file's name for a file of nothing but blanks and line ends.
    TCsvImport(const std::string& csvName, const TCsvImportOptions& options);
    ~TCsvImport();
    TCsvImport(const TCsvImport&) = delete;
    TCsvImport& operator=(const TCsvImport&) = delete;

    // What the user is to know about how the file was read: that it was
    // taken for UTF-8 without being asked to; empty otherwise.
    std::string ReadingNote() const;

    // Gives `db`, a new database (InitNew, no records), the imported layout,
    // fields, settings and records, and marks it modified. Never throws; the
    // records move into `db`, so this is done once.
    void ApplyTo(TJFILE& db);

private:
    struct TState;
    std::unique_ptr<TState> state_;
};

// Both steps at once; `db` is unchanged when the reading throws. Returns the
// reading note.
std::string ImportCSV(const std::string& csvName, const TCsvImportOptions& options, TJFILE& db);

// The title an import without a .DEF gives the database: the file's name
// without directory and extension, at most 31 characters.
std::string ImportTitle(const std::string& csvName);

}  // namespace quorvil
