// Importing an arbitrary CSV file, with or without a settings file beside it.
// The first byte chooses the options (layout -1..3, header line, UTF-8 with
// its separator found, ',' or ';'); the rest is
// the CSV, and after kDefMark the .DEF. A refused file throws EInOutError or
// EStreamError and nothing else; an accepted one, applied to a new database as
// the command-line tool does, saves in its layout and reads back the same.
#include "csv_import.h"
#include "errors.h"
#include "fuzz_support.h"
#include "jfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kDefMark = "\n@@DEF@@\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quorvil;
    if (size == 0)
        return 0;
    static const std::string csvName = fuzz::ScratchFile("in.CSV");
    static const std::string defName = fuzz::ScratchFile("in.DEF");
    static const std::string pdbName = fuzz::ScratchFile("out.PDB");

    TCsvImportOptions options;
    options.Layout = LayoutFromNumber(data[0] % 5 - 1);
    options.HeaderLine = (data[0] & 0x80) == 0;
    options.Utf8 = (data[0] & 0x40) != 0;
    options.Separator = "\0,;\0"[(data[0] >> 4) & 3];
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const size_t mark = rest.find(kDefMark);
    fuzz::WriteFile(csvName, rest.substr(0, mark));
    if (mark == std::string_view::npos)
        std::remove(defName.c_str());
    else
        fuzz::WriteFile(defName, rest.substr(mark + kDefMark.size()));

    std::unique_ptr<TCsvImport> import;
    try {
        import = std::make_unique<TCsvImport>(csvName, options);
    } catch (const EInOutError&) {
        return 0;
    } catch (const EStreamError&) {
        return 0;
    } catch (...) {
        std::abort();
    }
    TJFILE db;
    db.InitNew();
    import->ApplyTo(db);
    auto loaded = fuzz::SaveAndLoad(db, pdbName);
    FUZZ_CHECK(loaded->LoadWarning().empty());
    fuzz::CheckSameDatabase(db, *loaded);
    return 0;
}
