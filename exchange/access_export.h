#pragma once
// The Access-style export: the database becomes one table named after it,
// with the ID counter, one column per field of a type the table can hold and
// one row per record. Statements that fail while the rows are written, and
// dates or times that cannot be read (written as NULL), are logged in
// "Quorvil.LOG" beside the exported file and counted; the export goes on.
// Every text goes into the file, and into the log, in UTF-8 from the
// database's character set.
#include "access_db.h"
#include "date_text.h"
#include "field_types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TJFILE;

struct TAccessColumn {
    int Field = 0;     // the field it takes its values from
    std::string Name;  // the field's name in UTF-8, made fit for a column
    TAccessKind Kind = TAccessKind::Text;
};

// The database's name without every character that is not an ASCII letter
// or digit; else the file's name filtered the same way; else "TABLE".
std::string AccessTableName(const TJFILE& db);
// The exported fields in field order. A name loses what a column name cannot
// hold (control characters, ". ! ` [ ]" become "_", leading blanks go), an
// empty one becomes "Field<n>", and a name already taken (ignoring case,
// "ID" included) gets "_2", "_3", ... Fields of other types are left out.
std::vector<TAccessColumn> AccessColumns(const TJFILE& db);

// "#y-m-d#", "#y-m-d hh:mm:ss#" or "#hh:mm:ss#": the date unless there is
// none ({}) or it is the date value 0 (30 December 1899), the time of day
// (seconds) when it is not midnight or there is no date.
std::string SqlDateTime(const TCivilDate& date, int seconds);
// Seconds of the day of a time as a Time cell is read for its column (the
// times ParseTimeText reads, and with ':' and '.' mixed); 0 when the text
// holds none.
int TimeTextToTime(std::string_view text);
// The SQL value of one cell for its column, in the statements' dialect:
// NULL for an empty Date, Time, Integer or Float cell, and for a Date, Time
// or Float cell that holds no date, time or number, for which
// AppendAccessValue returns false.
std::string AccessValue(const TJFILE& db, int record, const TAccessColumn& column);
bool AppendAccessValue(std::string& out, const TJFILE& db, int record, const TAccessColumn& column);
// The log's line for a Date, Time or Float cell written as NULL because it
// holds no date, time or number: 'Not a date: "31/02/2003"; NULL written'.
std::string UnreadableMessage(TAccessKind kind, std::string_view cell);

// The warning about the fields no column can hold, naming each with its
// type: 'Field "Photo" (BINARY) cannot be written to the database; it is
// left out.' Empty when every field has its column.
std::string LeftOutFieldsMessage(const TJFILE& db);

// "1 error encountered", "3 errors encountered".
std::string ErrorCountMessage(int count);
// "Quorvil.LOG" in the directory of the exported file.
std::string AccessLogName(const std::string& fileName);

struct TAccessEvents {
    std::function<void(const std::string&)> Warning;  // shown with an OK button
    // Before each record; false stops the export (ECancelled) and leaves the
    // file as it was.
    std::function<bool(int record, int count)> Progress;
};
// Creates the connection to a new, empty database file of that name.
using TAccessOpener = std::function<std::unique_ptr<TAccessDB>(const std::string& fileName)>;

// Writes every record of `db` to the file `fileName`, through a TAccessDB
// that `open` creates on a temporary file beside it, in one transaction;
// `fileName` is replaced only when everything is committed. Returns the
// number of failed statements and unreadable dates and times. Throws
// EStreamError naming `fileName` when the file cannot be created or written,
// and ESqlError when the table or a column cannot be made; no file is then
// left behind and an old one stays.
int ExportToAccess(TJFILE& db, const std::string& fileName, const TAccessOpener& open,
                   const TAccessEvents& events = {});

}  // namespace quorvil
