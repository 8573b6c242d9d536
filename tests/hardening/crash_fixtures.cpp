#include "crash_fixtures.h"

#include "field_types.h"
#include "streams.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace quorvil::hardening {

namespace fs = std::filesystem;

namespace {

std::string CellText(uint32_t seed)
{
    static const char* const words[] = {"basil", "chive", "dill", "fennel", "lovage", "marjoram",
                                        "oregano", "parsley", "rosemary", "sage", "sorrel", "thyme"};
    std::string text;
    for (uint32_t k = 0; k < 3 + seed % 6; ++k) {
        if (k)
            text += ' ';
        text += words[(seed >> (k * 3)) % 12];
    }
    return text;
}

size_t FirstDifference(const Bytes& a, const Bytes& b)
{
    size_t n = std::min(a.size(), b.size());
    return size_t(std::mismatch(a.begin(), a.begin() + long(n), b.begin()).first - a.begin());
}

}  // namespace

std::unique_ptr<TJFILE> SizeableDatabase(int records)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    db->PdbHeader.Name = "Herb garden";
    db->SetFieldCount(30);
    for (int f = 1; f <= 30; ++f)
        db->SetFieldName(f, "Field " + std::to_string(f));
    db->SetRecordCount(uint16_t(records));
    uint32_t seed = 2024;
    for (int r = 1; r <= records; ++r)
        for (int f = 1; f <= 30; ++f) {
            seed = seed * 1103515245u + 12345u;
            db->SetCell(r, f, CellText(seed >> 4));
        }
    return db;
}

void EditDatabase(TJFILE& db)
{
    db.PdbHeader.Name = "Herb garden, weeded";
    db.SetFieldType(2, kTypeInteger);
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
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
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

Bytes FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    Bytes bytes(size_t(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
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

std::string WhichImage(const Bytes& actual, const Bytes& oldImage, const Bytes& newImage)
{
    if (actual == oldImage)
        return "old";
    if (actual == newImage)
        return "new";
    return "a mix: " + std::to_string(actual.size()) + " bytes, differs from the old file at byte " +
           std::to_string(FirstDifference(actual, oldImage)) + " and from the new one at byte " +
           std::to_string(FirstDifference(actual, newImage));
}

std::string WhichImageOnDisk(const std::string& path, const Bytes& oldImage, const Bytes& newImage)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const size_t size = in ? size_t(in.tellg()) : 0;
    bool isOld = in && size == oldImage.size();
    bool isNew = in && size == newImage.size();
    static std::vector<uint8_t> piece(1 << 20);
    in.seekg(0);
    for (size_t at = 0; (isOld || isNew) && at < size; at += piece.size()) {
        const size_t n = std::min(piece.size(), size - at);
        in.read(reinterpret_cast<char*>(piece.data()), std::streamsize(n));
        isOld = isOld && std::equal(piece.begin(), piece.begin() + long(n), oldImage.begin() + long(at));
        isNew = isNew && std::equal(piece.begin(), piece.begin() + long(n), newImage.begin() + long(at));
    }
    if (isOld || isNew)
        return isOld ? "old" : "new";
    return WhichImage(FileBytes(path), oldImage, newImage);
}

}  // namespace quorvil::hardening
