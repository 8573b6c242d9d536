#include "bench_data.h"

#include "field_definition.h"
#include "field_types.h"
#include "page_buffer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace quorvil::bench {

namespace {

const char* const kWords[] = {"alpha", "bravo", "charlie", "delta",  "echo", "foxtrot",
                              "golf",  "hotel", "india",   "juliet", "kilo", "lima"};

std::string WordsText(uint32_t seed)
{
    std::string text;
    for (uint32_t k = 0; k < 3 + seed % 9; ++k) {
        if (k)
            text += ' ';
        text += kWords[(seed >> (k % 8 * 3)) % 12];
    }
    return text;
}

std::string ListText(uint32_t seed)
{
    return kWords[seed % 5];
}

// The ten columns that repeat across the fields: a type and values of it.
const struct {
    TFieldType Type;
    std::string (*Text)(uint32_t seed);
} kColumns[] = {
    {TFieldType::String, WordsText},
    {TFieldType::String, WordsText},
    {TFieldType::Integer, [](uint32_t seed) { return std::to_string(seed % 100000); }},
    {TFieldType::Float, [](uint32_t seed) { return std::to_string(seed % 10000) + "." + std::to_string(seed % 100); }},
    {TFieldType::Date,
     [](uint32_t seed) {
         return std::to_string(1 + seed % 28) + "/" + std::to_string(1 + seed % 12) + "/" +
                std::to_string(1990 + seed % 35);
     }},
    {TFieldType::Boolean, [](uint32_t seed) { return std::string(seed & 1 ? "1" : "0"); }},
    {TFieldType::List, ListText},
    {TFieldType::Time, [](uint32_t seed) { return std::to_string(seed % 24) + ":" + std::to_string(10 + seed % 50); }},
    {TFieldType::String, WordsText},
    {TFieldType::IntDate,
     [](uint32_t seed) { return std::to_string(10 + seed % 18) + " Mar 20" + std::to_string(10 + seed % 15); }},
};

}  // namespace

std::unique_ptr<TJFILE> MakeLargeDatabase(int records, int fields)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    db->PdbHeader.Name = "Benchmark";
    db->SetFieldCount(fields);
    for (int f = 1; f <= fields; ++f) {
        db->SetFieldName(f, "Field " + std::to_string(f));
        db->SetFieldType(f, kColumns[(f - 1) % 10].Type);
    }
    for (int k = 1; k <= 5; ++k)
        for (int f = 7; f <= fields; f += 10)
            db->SetPopupItem(f, k, ListText(uint32_t(k - 1)));
    db->SetRecordCount(uint16_t(records));
    uint32_t seed = 12345;
    std::vector<std::string_view> views(static_cast<size_t>(fields));
    std::vector<std::string> texts(static_cast<size_t>(fields));
    for (int r = 1; r <= records; ++r) {
        for (int f = 1; f <= fields; ++f) {
            seed = seed * 1103515245u + 12345u;
            texts[size_t(f - 1)] = kColumns[(f - 1) % 10].Text(seed >> 8);
            views[size_t(f - 1)] = texts[size_t(f - 1)];
        }
        db->SetRecord(r, TDATA(views.data(), fields));
    }
    return db;
}

TSortOrder ThreeFieldOrder(TJFILE& db)
{
    db.SetSavedSort(1, "List, text, date", {7, 2, 10});
    TSortOrder order{SavedSortNames(db, 1), {1}, {{}}};
    for (int k = 1; k <= db.PopupCount(7); ++k)
        order.OrderLists[0].push_back(db.GetPopupItem(7, k));
    return order;
}

const std::string& LargeDatabaseFile()
{
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / "quorvil_bench_large.pdb").string();
        auto db = MakeLargeDatabase();
        TMemoryStream image;
        db->Save(image);
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.Bytes().data()), std::streamsize(image.Bytes().size()));
        return p;
    }();
    return path;
}

size_t ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(0, std::ios::end);
    // Memory such as the editor's load reads into, so that the floor is the
    // copy itself and not the first touch of fresh pages.
    TPageBuffer bytes(size_t(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.Data()), std::streamsize(bytes.Size()));
    return bytes.Size();
}

}  // namespace quorvil::bench
