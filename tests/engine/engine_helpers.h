#pragma once
// Glue between the engine and the independent format helpers.
#include "database_fixtures.h"
#include "jfile.h"
#include "pdb_format.h"
#include "sample_db.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quorvil {

using pdbtest::Bytes;
using test::Column;
using test::FieldSpec;
using test::MemoryDatabase;
using test::OneField;
using test::Rows;

// Loads an image through the engine's reader, from `base` on.
std::unique_ptr<TJFILE> LoadImage(const Bytes& image, uint32_t base = 0);
// The bytes that Save writes into an empty memory stream.
Bytes SaveImage(TJFILE& db);

// `d` as a save writes it: without deleted records, record attributes 0x40,
// unique ids 0, the layout's own tag.
pdbtest::Database AsSaved(pdbtest::Database d);

std::string LayoutParamName(const ::testing::TestParamInfo<int>& param);

}  // namespace quorvil
