#pragma once
// What the Access-style export needs of a database file: statements in the
// export's own dialect (bracketed names, double-quoted texts in which "::"
// stands for one colon, #date# literals, TRUE, FALSE and NULL) run one at a
// time, a row of column defaults appended through a record set, and one
// transaction around the whole export. The layer below (exchange/sql)
// translates the dialect for the driver it uses.
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

// A statement the database refused, or a file it could not write. The
// message is the database's own.
class ESqlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value handed to the file as it is, without a statement text: a text
// (UTF-8, a date or time in ISO 8601 too), a whole number, a
// real number (IsReal) or NULL.
struct TSqlCell {
    bool IsNull = false;
    bool IsText = true;
    std::string_view Text;
    long long Number = 0;
    bool IsReal = false;
    double Real = 0;
};

class TSqlConnection {
public:
    virtual ~TSqlConnection() = default;

    // Runs one statement. Throws ESqlError when it fails; the database is
    // then as it was before the statement.
    virtual void Execute(const std::string& statement) = 0;
    // Opens a record set on `query` (a SELECT from one table), appends one
    // row, which the column defaults fill, and posts it.
    virtual void AppendRow(const std::string& query) = 0;
    // The first column of the first row of `query`; ESqlError when there is
    // no row.
    virtual long long FirstValue(const std::string& query) = 0;

    // Readies rows appended to `table` with values of `columns` bound as they
    // are, the counter taking the next ID. False when the connection cannot
    // (nothing is changed; the statements are then the way).
    virtual bool PrepareRows(const std::string&, const std::vector<std::string>&) { return false; }
    // Appends one row: values[i] for the i-th column of PrepareRows.
    virtual void AppendValues(const TSqlCell*) {}

    virtual void BeginTransaction() = 0;
    // Throws ESqlError when the file cannot take the changes (a full disk).
    virtual void CommitTransaction() = 0;
};

}  // namespace quorvil
