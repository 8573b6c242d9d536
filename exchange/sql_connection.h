#pragma once
// What the Access-style export needs of a database file: statements in the
// export's own dialect (bracketed names, double-quoted texts in which "::"
// stands for one colon, #date# literals, TRUE and FALSE) run one at a time,
// a row of column defaults appended through a record set, and one
// transaction around the whole export. The layer below (exchange/sql)
// translates the dialect for the driver it uses.
#include <memory>
#include <stdexcept>
#include <string>

namespace quorvil {

// A statement the database refused, or a file it could not write. The
// message is the database's own.
class ESqlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
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

    virtual void BeginTransaction() = 0;
    // Throws ESqlError when the file cannot take the changes (a full disk).
    virtual void CommitTransaction() = 0;
};

}  // namespace quorvil
