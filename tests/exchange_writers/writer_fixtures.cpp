#include "writer_fixtures.h"

#include "db_json.h"
#include "field_types.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace quorvil::test {

namespace fs = std::filesystem;

namespace {

fs::path SourceRoot()
{
    return fs::path(__FILE__).parent_path().parent_path().parent_path();
}

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

}  // namespace

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<no file " + path + ">";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string GoldenPath(const std::string& name)
{
    const char* data = std::getenv("QUORVIL_TEST_DATA");
    fs::path root = data ? fs::path(data) : fs::path(QUORVIL_TEST_DATA_DIR);
    return (root / "golden" / name).string();
}

IniKeys SectionKeys(const std::string& iniBytes, const std::string& section)
{
    IniKeys keys;
    std::istringstream in(iniBytes);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string trimmed = Trim(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            inSection = trimmed == "[" + section + "]";
            continue;
        }
        size_t eq = line.find('=');
        if (inSection && eq != std::string::npos)
            keys.emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
    return keys;
}

std::string KeyValue(const IniKeys& keys, const std::string& key)
{
    for (const auto& [k, v] : keys)
        if (k == key)
            return v;
    return "<missing>";
}

void FillEdgeDatabase(TJFILE& db)
{
    struct Field {
        const char* name;
        uint16_t type;
        int width;
    };
    const Field fields[] = {{"Name", kTypeString, 80}, {"Note", kTypeString, 120}, {"Qty", kTypeInteger, 30},
                            {"Done", kTypeBoolean, 20}, {"Due", kTypeDate, 50},     {"Kind", kTypeList, -40}};
    db.PdbHeader.Name = "Parts & Notes";
    db.SetFieldCount(6);
    for (int f = 1; f <= 6; ++f) {
        db.SetFieldName(f, fields[f - 1].name);
        db.SetFieldType(f, fields[f - 1].type);
        db.SetColumnWidth(f, fields[f - 1].width);
    }
    db.SetPopupItem(6, 1, "Bolt");
    db.SetPopupItem(6, 2, "Nut");
    db.SetDefault(6, "Bolt");
    const char* const records[3][6] = {
        {"Hex bolt", "Line one\nLine two", "1200", "1", "5/3/2003", "Bolt"},
        {"Say \"hi\"", "A - B", "7", "0", "31/2/2003", "Nut"},
        {"", "", "1234567", "", "2003-03-05", ""},
    };
    db.SetRecordCount(3);
    for (int r = 1; r <= 3; ++r)
        for (int f = 1; f <= 6; ++f)
            db.SetCell(r, f, records[r - 1][f - 1]);
    db.AppInfo->SetFindText("bolt");
    db.AppInfo->SetFilterField(6);
    db.AppInfo->SetFilterText("Nut");
    db.AppInfo->SetFirstColumn(2);
    db.PdbHeader.Version = uint16_t((2 << 12) | 0x0400);  // category 2, read-only
    db.SetSavedSort(2, "By qty", {3, 1, 0});
    FilterRec filter;
    filter.FilterName = "Open";
    filter.FilterValues[0] = "Nut";
    filter.FilterWord = 4;
    filter.FilterCodes = {1, 0, 0, -3, 0};
    db.SetFilter(1, filter);
}

std::unique_ptr<TJFILE> MakeEdgeDatabase()
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    FillEdgeDatabase(*db);
    return db;
}

void SaveEdgeDatabase(const std::string& path)
{
    auto db = CreateNew(path);
    FillEdgeDatabase(*db);
    db->SaveWithName(db->PdbHeader.Name);
}

std::unique_ptr<TJFILE> OpenSample(const std::string& name, const TempDir& scratch)
{
    static const std::map<std::string, std::string> files = {
        {"inventory", "Inventory.PDB"}, {"address_book", "AddressBook.PDB"}, {"projects", "Projects.PDB"}};
    std::string path = scratch / files.at(name);
    // A copy, as an open database locks its file against other test runs.
    const char* env = std::getenv("QUORVIL_SAMPLES");
    fs::path built = env ? fs::path(env) : fs::path(QUORVIL_SAMPLES_DIR);
    if (fs::exists(built / files.at(name))) {
        fs::copy_file(built / files.at(name), path);
        return Open(path);
    }
    std::ifstream in(SourceRoot() / "samples" / (name + ".json"));
    nlohmann::json spec = nlohmann::json::parse(in);
    {
        auto db = CreateNew(path);
        ApplySpec(*db, spec, spec.value("layout", 3));
        db->SaveWithName(db->PdbHeader.Name);
    }
    return Open(path);
}

std::vector<int> AllFields(const TJFILE& db)
{
    std::vector<int> fields;
    for (int f = 1; f <= db.FieldCount(); ++f)
        fields.push_back(f);
    return fields;
}

}  // namespace quorvil::test
