#pragma once
// The database files the Access-style export writes. Everywhere an SQLite
// file through Qt's QSQLITE driver; a real Access .MDB through QODBC where
// an Access ODBC driver is installed (Windows) and the name ends in ".MDB".
#include "sql_connection.h"

#include <memory>
#include <string>

namespace quorvil {

// What the file dialog offers for the export on this machine.
struct TSqlFileKind {
    const char* Extension;  // "sqlite", or "MDB" with the Access driver
    const char* TypeName;   // "SQLite database", or "Access Databases"
};
TSqlFileKind AccessFileKind();

// Creates a new, empty database file `fileName`, replacing any file there,
// and connects to it. Throws ESqlError when the driver is missing or the file
// cannot be opened.
std::unique_ptr<TSqlConnection> CreateSqlDatabase(const std::string& fileName);

}  // namespace quorvil
