#pragma once
// Data and checks shared by the crash tests.
#include "jfile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvil::hardening {

using Bytes = std::vector<uint8_t>;

// A database of `records` records by 30 fields of deterministic text, about
// 1.3 KB a record: 2400 records make a file of about 3 MB.
std::unique_ptr<TJFILE> SizeableDatabase(int records = 2400);
// Changes every tenth record, one field's type and the title, so that the
// old and the new file differ all through.
void EditDatabase(TJFILE& db);

// The hidden temporary files a replacement of `target` makes beside it
// (".NAME.XXXXXX"), as full paths.
std::vector<std::string> TemporariesOf(const std::string& target);
// Removes them.
void RemoveTemporariesOf(const std::string& target);

// The bytes of a file, read in one piece (the tests read megabytes often).
Bytes FileBytes(const std::string& path);

// Whether `path` can be opened with the engine's lock, i.e. nobody holds it.
bool LockIsFree(const std::string& path);

// "old", "new" or a description of where `actual` leaves both: readable
// failure messages without printing megabytes.
std::string WhichImage(const Bytes& actual, const Bytes& oldImage, const Bytes& newImage);
// The same for the file at `path`, read piece by piece (the crash tests check
// hundreds of files of megabytes).
std::string WhichImageOnDisk(const std::string& path, const Bytes& oldImage, const Bytes& newImage);

}  // namespace quorvil::hardening
