#pragma once
// Glue between the engine and the independent format helpers.
#include "jfile.h"
#include "pdb_format.h"
#include "sample_db.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quorvil {

using pdbtest::Bytes;

// Loads an image through the engine's reader, from `base` on.
std::unique_ptr<TJFILE> LoadImage(const Bytes& image, uint32_t base = 0);
// The bytes that Save writes into an empty memory stream.
Bytes SaveImage(TJFILE& db);
// Save, then the independent reader; `layout` 2 reads a 5.x file as 5.x.
pdbtest::Parsed SaveAndParse(TJFILE& db);

// A new database in `layout` with the given field names (type STRING unless
// `type` says otherwise) and `records` empty records.
std::unique_ptr<TJFILE> NewDatabase(int layout, const std::vector<std::string>& names, int records = 0,
                                    uint16_t type = 1);

// The type code the engine reports for a field as the file stores it.
uint16_t EngineType(const pdbtest::Database& d, const pdbtest::Field& f);

// Checks every value the engine holds against the database the file holds;
// deleted records are left out.
void ExpectMatches(const TJFILE& db, const pdbtest::Database& d);

// `d` without its deleted records, with the record attributes a save writes.
pdbtest::Database AsSaved(pdbtest::Database d);

// "JFile3x", ... for test names.
std::string LayoutName(int layout);
std::string LayoutParamName(const ::testing::TestParamInfo<int>& param);

}  // namespace quorvil
