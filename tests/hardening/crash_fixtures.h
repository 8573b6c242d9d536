#pragma once
// Data and checks shared by the crash tests.
#include "jfile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvil::hardening {

using Bytes = std::vector<uint8_t>;

// `records` records by 30 fields of deterministic text, about 1.3 KB a record.
std::unique_ptr<TJFILE> SizeableDatabase(int records);
// Changes every tenth record, one field's type and the title, so that the
// old and the new file differ all through.
void EditDatabase(TJFILE& db);

// The hidden temporary files ".NAME.XXXXXX" a replacement of `target` makes
// beside it, as full paths, and their removal.
std::vector<std::string> TemporariesOf(const std::string& target);
void RemoveTemporariesOf(const std::string& target);

// Whether `path` can be opened with the engine's lock, i.e. nobody holds it.
bool LockIsFree(const std::string& path);

// "old", "new" or "a mix of N bytes": readable failures without printing megabytes.
std::string WhichImageOnDisk(const std::string& path, const Bytes& oldImage, const Bytes& newImage);

}  // namespace quorvil::hardening
