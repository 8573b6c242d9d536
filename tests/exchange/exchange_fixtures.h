#pragma once
// The exchange suites' databases, and the file a test writes one into.
#include "database_fixtures.h"
#include "save_as.h"

#include <string>

namespace quorvil::exchangetest {

// Writes `db` to `path` and gives the database that file.
inline void SaveAs(TJFILE& db, const std::string& path)
{
    WriteInLayout(db, db.Layout(), path);
    db.FileName = path;
}

}  // namespace quorvil::exchangetest
