#pragma once
// The standard large database of the benchmarks: 65535 records by 50 fields
// of mixed types with deterministic content, about 70 MB as a file.
#include "jfile.h"
#include "record_sort.h"

#include <memory>
#include <string>

namespace quorvil::bench {

constexpr int kLargeRecords = 65535;
constexpr int kLargeFields = 50;

// Fills a new in-memory database (layout 3).
std::unique_ptr<TJFILE> MakeLargeDatabase(int records = kLargeRecords, int fields = kLargeFields);
// Writes the large database once per process to a file in the temporary
// directory and returns its path.
const std::string& LargeDatabaseFile();
// Gives `db` a saved sort of a List, a text and a long-date field and
// returns what the sort dialog hands over when it is chosen: the names, and
// the List key in its popup order (the order dialog's choice on plain OK).
TSortOrder ThreeFieldOrder(TJFILE& db);
// Bytes of a file read into memory: the baseline of load and save.
size_t ReadWholeFile(const std::string& path);

}  // namespace quorvil::bench
