#pragma once
// What the targets that read files share: a scratch folder of the process's
// own, the save and reload every accepted input goes through, and the
// comparison of the database before and after.
#include <memory>
#include <string>
#include <string_view>

namespace quorvil {
class TJFILE;
}

namespace quorvil::fuzz {

// Stops the fuzzer on a broken invariant, naming it.
void Fail(const char* what, const char* file, int line);
#define FUZZ_CHECK(condition) ((condition) ? void() : quorvil::fuzz::Fail(#condition, __FILE__, __LINE__))

// A folder only this process writes into (in memory where the system has
// such a folder, so that the crash-safe saves cost no disk syncs); removed
// when the process ends normally.
const std::string& ScratchDir();
std::string ScratchFile(const std::string& name);

void WriteFile(const std::string& path, std::string_view bytes);

// Writes `db` in its own layout as the command-line tool writes a database
// and opens the file again.
std::unique_ptr<TJFILE> SaveAndLoad(TJFILE& db, const std::string& path);

// Definitions, settings and cells of `saved` (after its save) match those of
// `loaded`, byte for byte.
void CheckSameDatabase(const TJFILE& saved, const TJFILE& loaded);

}  // namespace quorvil::fuzz
