#pragma once
// A database from the command-line tool's JSON object (json_export.h
// writes it).
#include "charset.h"
#include "layout.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>

namespace quorvil {

class TJFILE;

// Applies the keys present in `spec` to a new database; absent keys keep the
// defaults. `layout` is the layout the database ends in; texts are the
// characters of `set`, or without one each code point the byte of its
// number. Throws std::invalid_argument for a spec that does not fit the
// format or a character the set lacks.
void ApplySpec(TJFILE& db, const nlohmann::json& spec, TLayout layout, std::optional<TCharset> set = {});
// The create command: reads the description in `specFile`, builds the
// database in `layout` (none: the description's "layout", 5.5 without one) and
// saves it as `output`, which it returns. Throws EStreamError for a file that
// cannot be read or written and std::invalid_argument for a description that
// is not JSON or does not fit the format; an output that did not exist before
// is removed again.
std::unique_ptr<TJFILE> CreateFromSpec(const std::string& specFile, const std::string& output,
                                       std::optional<TLayout> layout, std::optional<TCharset> set = {});
// A readable summary for people.
std::string DatabaseSummary(const TJFILE& db);

}  // namespace quorvil
