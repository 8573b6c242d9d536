#pragma once
// Small databases for the exchange tests, described as field lists and rows.
#include "jfile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvil::exchangetest {

struct Field {
    std::string Name;
    TFieldType Type = TFieldType::String;
    std::vector<std::string> Popup = {};
};
using Rows = std::vector<std::vector<std::string>>;

// A database in memory (layout 3) named `title`, with `fields` and one record per row.
std::unique_ptr<TJFILE> Table(const std::vector<Field>& fields, const Rows& rows, const std::string& title = "");
// Every record's cells, in record and field order.
Rows CellsOf(const TJFILE& db);
// Writes `db` to `path` and gives the database that file.
void SaveAs(TJFILE& db, const std::string& path);

}  // namespace quorvil::exchangetest
