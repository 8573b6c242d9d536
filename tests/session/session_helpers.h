#pragma once
// Databases in memory for the session tests.
#include "jfile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvil {

struct FieldSpec {
    std::string name;
    uint16_t type;
    std::vector<std::string> popup;  // for LIST fields
};

using Rows = std::vector<std::vector<std::string>>;

// Gives a database the fields and records (one string per field).
void FillDatabase(TJFILE& db, const std::vector<FieldSpec>& fields, const Rows& rows);
// A new database in memory with the fields and records, loaded.
std::unique_ptr<TJFILE> MemoryDatabase(const std::vector<FieldSpec>& fields, const Rows& rows = {});

}  // namespace quorvil
