#pragma once
#include "test_files.h"
// Databases, paths and file helpers shared by the text writer tests.
#include "jfile.h"

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quorvil::test {

// The shared temporary directory, with "dir / name" for paths in it.
class TempDir : public testkit::TempDir {
public:
    std::string operator/(const std::string& name) const { return File(name); }
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// A file of tests/data/golden.
std::string GoldenPath(const std::string& name);

// The keys of one INI section in file order, names and values trimmed.
using IniKeys = std::vector<std::pair<std::string, std::string>>;
IniKeys SectionKeys(const std::string& iniBytes, const std::string& section);
// The value of a key, or "<missing>".
std::string KeyValue(const IniKeys& keys, const std::string& key);

// A JFile 5.5 database "Parts & Notes" with six fields (Name, Note, Qty,
// Done, Due, Kind), three records, a saved sort and a filter.
void FillEdgeDatabase(TJFILE& db);
std::unique_ptr<TJFILE> MakeEdgeDatabase();
// The edge database saved as a file at `path`.
void SaveEdgeDatabase(const std::string& path);

// A bundled sample ("inventory", "address_book", "projects"): the file the
// build made when it is there, else made here from the same description.
std::unique_ptr<TJFILE> OpenSample(const std::string& name, const TempDir& scratch);

std::vector<int> AllFields(const TJFILE& db);

}  // namespace quorvil::test
