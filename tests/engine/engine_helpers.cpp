#include "engine_helpers.h"

#include "streams.h"

#include <algorithm>

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

namespace {

template <class T>
T Find(const std::vector<T>& items, int slot)
{
    auto it = std::find_if(items.begin(), items.end(), [&](const T& x) { return x.slot == slot; });
    return it == items.end() ? T{} : *it;
}

void ExpectExtrasMatch(const TJFILE& db, const pdbtest::Database& d)
{
    for (int f = 1; f <= 50; ++f)
        EXPECT_EQ(db.GetDefault(f), d.defaults.count(f) ? d.defaults.at(f) : "") << "default " << f;
    for (int s = 1; s <= 5; ++s) {
        pdbtest::SavedSort sort = Find(d.sorts, s);
        EXPECT_EQ(db.GetSavedSortName(s), sort.name) << "saved sort " << s;
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(db.GetSavedSortField(s, k), sort.fields[size_t(k - 1)]) << "saved sort " << s;
        pdbtest::Filter flt = Find(d.filters, s);
        FilterRec rec = db.GetFilter(s);
        if (flt.name.empty()) {
            EXPECT_EQ(rec, FilterRec{}) << "filter " << s;
            continue;
        }
        std::array<long, 5> codes;
        std::copy(rec.FilterCodes.begin(), rec.FilterCodes.end(), codes.begin());
        for (long& c : codes)
            --c;  // held one above the file's numbers
        EXPECT_EQ(std::tuple(rec.FilterName, rec.FilterValues, long(rec.FilterWord), codes),
                  std::tuple(flt.name, flt.values, flt.word, flt.codes));
    }
}

}  // namespace

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
    if (fiveX)
        ExpectExtrasMatch(db, d);
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

std::string LayoutParamName(const ::testing::TestParamInfo<int>& param)
{
    static const char* const names[] = {"JFile3x", "JFilePro4x", "JFile5x", "JFile55"};
    return names[param.param & 3];
}

}  // namespace quorvil
