#include "engine_helpers.h"

#include "streams.h"


namespace quorvil {

std::unique_ptr<TJFILE> LoadImage(const Bytes& image, uint32_t base)
{
    TMemoryStream stream(image);
    stream.Seek(base);
    auto db = std::make_unique<TJFILE>();
    db->LoadFrom(stream);
    return db;
}

Bytes SaveImage(TJFILE& db)
{
    TMemoryStream stream;
    db.Save(stream);
    return stream.Bytes();
}

std::unique_ptr<TJFILE> NewDatabase(int layout, const std::vector<std::string>& names, int records, TFieldType type)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    db->SetFieldCount(int(names.size()));
    for (size_t f = 0; f < names.size(); ++f) {
        db->SetFieldName(int(f) + 1, names[f]);
        db->SetFieldType(int(f) + 1, type);
    }
    db->SetRecordCount(uint16_t(records));
    db->ConvertLayout(TLayout(layout));
    db->ClearModified();
    return db;
}

pdbtest::Database AsSaved(pdbtest::Database d)
{
    std::erase_if(d.records, [](const pdbtest::Record& r) { return (r.attributes & 0x80) != 0; });
    for (auto& r : d.records) {
        r.attributes = 0x40;
        r.uniqueId = {};
    }
    d.layoutTag = d.layout == 0 ? 452 : 576;
    return d;
}

std::vector<std::string> Column(const TJFILE& db, int field)
{
    std::vector<std::string> cells;
    for (int r = 1; r <= db.RecordCount(); ++r)
        cells.push_back(db.GetCell(r, field));
    return cells;
}

std::string LayoutParamName(const ::testing::TestParamInfo<int>& param)
{
    static const char* const names[] = {"JFile3x", "JFilePro4x", "JFile5x", "JFile55"};
    return names[param.param & 3];
}

}  // namespace quorvil
