// Reading and checking an arbitrary .DEF settings file beside a valid CSV
// file, as the import does: a refused file throws EInOutError; the settings of an accepted one, given to a
// database whose fields match, save and read back the same.
#include "csv_import_settings.h"
#include "errors.h"
#include "fuzz_support.h"
#include "ini_file.h"
#include "jfile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Cells that name popup values and dates, as exported records hold them.
const char* const kCells[] = {"Nut", "05/03/2003", "1", "Bolt, washer"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quorvil;
    static const std::string csvName = [] {
        const std::string name = fuzz::ScratchFile("in.CSV");
        fuzz::WriteFile(name, "\"Item\",\"When\"\r\n\"Nut\",\"05 Mar 2003\"\r\n");
        return name;
    }();
    static const std::string defName = fuzz::ScratchFile("in.DEF");
    static const std::string pdbName = fuzz::ScratchFile("out.PDB");
    fuzz::WriteFile(defName, std::string_view(reinterpret_cast<const char*>(data), size));

    std::unique_ptr<TCsvSettings> settings;
    try {
        settings = ReadCsvSettings(csvName);
        if (settings)
            CheckCsvSettings(csvName, *settings, settings->Layout);
    } catch (const EInOutError&) {
        return 0;
    } catch (...) {
        std::abort();
    }
    if (!settings)
        return 0;
    FUZZ_CHECK(settings->Widths.size() == settings->Types.size());
    TJFILE db;
    db.InitNew();
    db.ConvertLayout(settings->Layout);
    // The import refuses more columns than the layout holds.
    const int fields = int(settings->Types.size());
    if (fields > db.MaxFields())
        return 0;
    db.SetFieldCount(fields);
    db.SetRecordCount(2);
    for (int f = 1; f <= fields; ++f) {
        db.SetFieldName(f, "Field " + std::to_string(f));
        db.SetFieldType(f, settings->Types[size_t(f - 1)]);
        db.SetColumnWidth(f, settings->Widths[size_t(f - 1)]);
        db.SetCell(1, f, kCells[f % 4]);
    }
    ApplyCsvSettings(db, *settings);
    auto loaded = fuzz::SaveAndLoad(db, pdbName);
    FUZZ_CHECK(loaded->LoadWarning().empty());
    fuzz::CheckSameDatabase(db, *loaded);
    return 0;
}
