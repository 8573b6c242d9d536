#pragma once
// A database as the command-line tool's JSON object, and back.
#include <nlohmann/json.hpp>

namespace quorvil {

class TJFILE;

nlohmann::ordered_json DatabaseToJson(const TJFILE& db, bool withRecords);
// Applies the keys present in `spec` to a new database; absent keys keep the
// defaults. `layout` is the layout the database ends in. Throws
// std::invalid_argument for a spec that does not fit the format.
void ApplySpec(TJFILE& db, const nlohmann::json& spec, int layout);
// A readable summary for people.
std::string DatabaseSummary(const TJFILE& db);

}  // namespace quorvil
