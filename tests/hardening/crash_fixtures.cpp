#include "crash_fixtures.h"

#include "database_fixtures.h"
#include "field_types.h"
#include "streams.h"
#include "test_files.h"

#include <algorithm>
#include <filesystem>

namespace quorvil::hardening {

namespace fs = std::filesystem;

std::unique_ptr<TJFILE> SizeableDatabase(int records)
{
    static const char* const words[] = {"basil",   "chive",   "dill",     "fennel", "lovage", "marjoram",
                                        "oregano", "parsley", "rosemary", "sage",   "sorrel", "thyme"};
    std::vector<test::FieldSpec> fields;
    for (int f = 1; f <= 30; ++f)
        fields.push_back({"Field " + std::to_string(f)});
    test::Rows rows(size_t(records), std::vector<std::string>(30));
    uint32_t seed = 2024;
    for (auto& row : rows)
        for (std::string& text : row) {
            seed = seed * 1103515245u + 12345u;
            const uint32_t bits = seed >> 4;
            for (uint32_t k = 0; k < 3 + bits % 6; ++k)
                text += (k ? " " : "") + std::string(words[(bits >> (k * 3)) % 12]);
        }
    return test::MemoryDatabase(fields, rows, "Herb garden");
}

void EditDatabase(TJFILE& db)
{
    db.PdbHeader.Name = "Herb garden, weeded";
    db.SetFieldType(2, TFieldType::Integer);
    for (int r = 1; r <= db.RecordCount(); r += 10)
        db.SetCell(r, 1, "weeded in spring, record " + std::to_string(r));
}

std::vector<std::string> TemporariesOf(const std::string& target)
{
    fs::path path(target);
    const std::string prefix = "." + path.filename().string() + ".";
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(path.parent_path())) {
        std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix))
            found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

void RemoveTemporariesOf(const std::string& target)
{
    for (const std::string& temp : TemporariesOf(target))
        fs::remove(temp);
}

bool LockIsFree(const std::string& path)
{
    try {
        TFileStream stream(path, TFileStream::Mode::OpenExisting);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string WhichImageOnDisk(const std::string& path, const Bytes& oldImage, const Bytes& newImage)
{
    const std::string text = testkit::ReadText(path);
    const Bytes actual(text.begin(), text.end());
    return actual == oldImage   ? "old"
           : actual == newImage ? "new"
                                : "a mix of " + std::to_string(actual.size()) + " bytes";
}

}  // namespace quorvil::hardening
