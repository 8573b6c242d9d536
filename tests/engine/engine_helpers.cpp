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

std::string LayoutParamName(const ::testing::TestParamInfo<int>& param)
{
    static const char* const names[] = {"JFile3x", "JFilePro4x", "JFile5x", "JFile55"};
    return names[param.param & 3];
}

}  // namespace quorvil
