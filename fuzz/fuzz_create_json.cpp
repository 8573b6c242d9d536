// An arbitrary description for `quorvil-cli create`, read as the tool reads
// it: text that is not JSON and a description the format cannot hold are
// refused with std::invalid_argument; an accepted one is written in the
// layout it names and reads back as the database that was built.
#include "db_json.h"
#include "errors.h"
#include "fuzz_support.h"
#include "jfile.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quorvil;
    static const std::string specName = fuzz::ScratchFile("spec.json");
    static const std::string pdbName = fuzz::ScratchFile("out.PDB");
    fuzz::WriteFile(specName, std::string_view(reinterpret_cast<const char*>(data), size));

    std::unique_ptr<TJFILE> db;
    try {
        db = CreateFromSpec(specName, pdbName, std::nullopt);
    } catch (const std::invalid_argument&) {
        return 0;
    } catch (...) {
        std::abort();
    }
    auto loaded = OpenReadOnly(pdbName);
    FUZZ_CHECK(loaded->LoadWarning().empty());
    fuzz::CheckSameDatabase(*db, *loaded);
    return 0;
}
