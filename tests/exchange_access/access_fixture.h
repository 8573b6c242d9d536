#pragma once
// Databases for the Access-style export and the file it wrote, read back
// through Qt Sql.
#include "access_export.h"
#include "jfile.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace quorvil::accesstest {

struct FieldSpec {
    std::string Name;
    uint16_t Type;
};

// A database in memory named `title`, with `fields` and `rows` of cells.
std::unique_ptr<TJFILE> MakeDatabase(const std::string& title, const std::vector<FieldSpec>& fields,
                                     const std::vector<std::vector<std::string>>& rows);

// Exports through a TAccessDB that records every statement text it sees.
struct ExportRun {
    int Errors = 0;
    std::vector<std::string> Statements;
    std::vector<std::string> Warnings;
};
ExportRun RunExport(TJFILE& db, const std::string& fileName);

// The table of an SQLite file: its column names and its rows by ID.
struct TableContents {
    std::vector<QString> Columns;
    std::vector<std::vector<QVariant>> Rows;
};
TableContents ReadTable(const std::string& fileName, const std::string& table);

// Windows-1252 bytes as text.
QString Text(const std::string& bytes);

}  // namespace quorvil::accesstest

// Texts in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace quorvil::accesstest {

}  // namespace quorvil::accesstest
