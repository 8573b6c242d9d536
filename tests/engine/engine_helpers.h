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

// A new database in `layout` with the given field names, all of `type`, and
// `records` empty records; not modified.
std::unique_ptr<TJFILE> NewDatabase(int layout, const std::vector<std::string>& names, int records = 0,
                                    TFieldType type = TFieldType::String);

// `d` as a save writes it: without deleted records, record attributes 0x40,
// unique ids 0, the layout's own tag.
pdbtest::Database AsSaved(pdbtest::Database d);

// The cells of one field, record by record.
std::vector<std::string> Column(const TJFILE& db, int field);

std::string LayoutParamName(const ::testing::TestParamInfo<int>& param);

}  // namespace quorvil
