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

pdbtest::Parsed SaveAndParse(TJFILE& db)
{
    return pdbtest::Parse(SaveImage(db), 0, db.Layout == 2);
}

std::unique_ptr<TJFILE> NewDatabase(int layout, const std::vector<std::string>& names, int records, uint16_t type)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    db->SetFieldCount(int(names.size()));
    for (size_t f = 0; f < names.size(); ++f) {
        db->SetFieldName(int(f) + 1, names[f]);
        db->SetFieldType(int(f) + 1, type);
    }
    db->SetRecordCount(uint16_t(records));
    db->ConvertLayout(layout);
    db->Modified = false;
    return db;
}

void ExpectMatches(const TJFILE& db, const pdbtest::Database& d)
{
    const auto& h = db.PdbHeader;
    EXPECT_EQ(std::tuple(h.Name, db.CreatorText(), db.DbTypeText(), h.Attributes, h.Version, h.CreationDate,
                         h.ModificationDate, h.LastBackupDate, h.ModificationNumber, h.UniqueIdSeed,
                         h.NextRecordListId),
              std::tuple(d.title, d.creator, d.dbType, d.attributes, d.version, d.created, d.modified, d.backedUp,
                         d.modificationNumber, d.uniqueIdSeed, d.nextRecordListId));
    EXPECT_EQ(db.Layout, d.layout == 2 ? 3 : d.layout) << "a 5.x file reads as 5.5";
    const bool fiveX = d.layout >= 2;
    ASSERT_EQ(db.FieldCount(), int(d.fields.size()));
    for (int f = 1; f <= db.FieldCount(); ++f) {
        const pdbtest::Field& field = d.fields[size_t(f - 1)];
        std::vector<std::string> popup;
        for (int k = 1; k <= db.PopupCount(f); ++k)
            popup.push_back(db.GetPopupItem(f, k));
        EXPECT_EQ(std::tuple(db.GetFieldName(f), db.GetFieldType(f), db.GetColumnWidth(f), popup),
                  std::tuple(field.name, fiveX && field.type == pdbtest::kDate && field.extra1 == 1 ? 65535 : field.type,
                             fiveX ? int(int16_t(field.width)) : std::min<int>(field.width, 32767),
                             d.popups.count(f) ? d.popups.at(f) : std::vector<std::string>{}))
            << "field " << f;
    }
    EXPECT_EQ(std::tuple(db.GetSortField(1), db.GetSortField(2), db.GetSortField(3), db.FindField(), db.FindText(),
                         db.FilterField(), db.FilterText(), db.FirstColumn(), db.DisplayWidth()),
              std::tuple(d.sortFields[0], d.sortFields[1], d.sortFields[2], d.findField, d.findText, d.filterField,
                         d.filterText, d.firstColumn, d.displayWidth));
    const uint16_t word = fiveX ? d.version : d.flags;
    EXPECT_EQ(db.Category(), word >> 12);
    EXPECT_EQ(db.ReadOnly(), (word & (fiveX ? 0x0400 : 2)) != 0);
    if (fiveX) {
        EXPECT_EQ(std::tuple(db.GetDefault(1), db.GetSavedSortName(1), db.GetFilter(1).FilterName),
                  std::tuple(d.defaults.count(1) ? d.defaults.at(1) : "", d.sorts.empty() ? "" : d.sorts[0].name,
                             d.filters.empty() || d.filters[0].slot != 1 ? "" : d.filters[0].name));
    }
    const pdbtest::Database live = AsSaved(d);
    ASSERT_EQ(db.RecordCount(), live.records.size());
    for (int r = 1; r <= db.RecordCount(); ++r)
        for (int f = 1; f <= db.FieldCount(); ++f)
            EXPECT_EQ(db.GetCell(r, f), live.records[size_t(r - 1)].cells[size_t(f - 1)]) << r << "/" << f;
    EXPECT_FALSE(db.Modified);
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
