// An arbitrary mapping file for `quorvil-cli merge --map` against two small
// databases, then the merge with the resulting choice. A mapping that does
// not fit is refused with std::invalid_argument or UsageError; an accepted
// merge keeps every master value it was not told to overwrite, gives every
// List value a place in its popup list, and the merged database saves and
// reads back the same.
#include "cli_args.h"
#include "cli_exchange.h"
#include "db_json.h"
#include "errors.h"
#include "field_types.h"
#include "fuzz_support.h"
#include "jfile.h"
#include "latin1.h"
#include "merge.h"
#include "open_checks.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string_view>

namespace {

using namespace quorvil;

std::unique_ptr<TJFILE> Built(const char* spec)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    ApplySpec(*db, nlohmann::json::parse(spec), TLayout::JFile55);
    return db;
}

const TJFILE& Master()
{
    static const auto db = Built(R"({"fields": [{"name": "ID", "type_name": "INTEGER"}, {"name": "Name"},
        {"name": "Region", "type_name": "LIST", "popup": ["North", "South"]}, {"name": "Paid", "type_name": "BOOLEAN"},
        {"name": "Due", "type_name": "DATE"}],
        "records": [["12", "Ann", "North", "1", ""], ["13", "", "South", "", "01/02/2024"],
                    ["7", "Bo", "", "0", ""]]})");
    return *db;
}

const TJFILE& Other()
{
    static const auto db = Built(R"({"fields": [{"name": "Id", "type_name": "INTEGER"}, {"name": "Name"},
        {"name": "Email"}, {"name": "Area", "type_name": "LIST", "popup": ["West", "North"]},
        {"name": "Paid", "type_name": "BOOLEAN"}, {"name": "Seen", "type_name": "DATE"}, {"name": "Gr\u00f6\u00dfe"}],
        "records": [["012", "Anne", "a@x", "West", "0", "03/04/2024", "L"], ["99", "Zed", "", "North", "1", "", ""],
                    ["13", "Cy", "c@x", "", "1", "05/06/2024", "M"]]})");
    return *db;
}

// Whether some ticked field of the other database overwrites master field `f`.
bool Overwritten(const TMergeChoice& choice, int f)
{
    for (const TFieldMapping& m : choice.Fields)
        if (m.Copy && m.Overwrite && m.MasterField == f)
            return true;
    return false;
}

// The names a new master field may get: those of the other database's
// fields and the "name" values of the mapping, as 8-bit texts.
std::set<std::string> GivenNames(const TJFILE& other, std::string_view map)
{
    std::set<std::string> names;
    for (int j = 1; j <= other.FieldCount(); ++j)
        names.insert(other.GetFieldName(j));
    const auto json = nlohmann::json::parse(map, nullptr, false);
    if (!json.is_object() || !json.contains("fields") || !json["fields"].is_object())
        return names;
    for (const auto& spec : json["fields"])
        if (spec.is_object() && spec.contains("name") && spec["name"].is_string()) {
            try {
                names.insert(Utf8ToBytes(spec["name"].get<std::string>()).substr(0, kMaxFieldNameLength));
            } catch (const std::invalid_argument&) {
            }
        }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string mapName = fuzz::ScratchFile("map.json");
    static const std::string pdbName = fuzz::ScratchFile("out.PDB");
    fuzz::WriteFile(mapName, std::string_view(reinterpret_cast<const char*>(data), size));

    const TJFILE& before = Master();
    const TJFILE& other = Other();
    auto master = CopyDatabase(before);
    Arguments args;
    args.options["--map"] = mapName;
    TMergeChoice choice;
    TMergeResult result;
    try {
        choice = MergeChoice(*master, other, args);
        result = Merge(*master, other, choice);
    } catch (const std::invalid_argument&) {
        return 0;
    } catch (const UsageError&) {
        return 0;
    } catch (...) {
        std::abort();
    }
    FUZZ_CHECK(master->RecordCount() == before.RecordCount() + result.Appended);
    for (int r = 1; r <= before.RecordCount(); ++r)
        for (int f = 1; f <= before.FieldCount(); ++f)
            FUZZ_CHECK(master->CellView(r, f) == before.CellView(r, f) || before.CellView(r, f).empty() ||
                       Overwritten(choice, f));
    const std::set<std::string> names = GivenNames(other, std::string_view(reinterpret_cast<const char*>(data), size));
    for (int f = before.FieldCount() + 1; f <= master->FieldCount(); ++f)
        FUZZ_CHECK(names.count(master->GetFieldName(f)) == 1);
    auto loaded = fuzz::SaveAndLoad(*master, pdbName);
    FUZZ_CHECK(loaded->LoadWarning().empty());
    FUZZ_CHECK(CheckPopupValues(*loaded).empty());
    fuzz::CheckSameDatabase(*master, *loaded);
    return 0;
}
