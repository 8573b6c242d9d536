#include "engine_helpers.h"

#include "streams.h"

#include <gtest/gtest.h>

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

uint16_t EngineType(const pdbtest::Database& d, const pdbtest::Field& f)
{
    return (d.layout >= 2 && f.type == pdbtest::kDate && f.extra1 == 1) ? 65535 : f.type;
}

namespace {

int EngineWidth(const pdbtest::Database& d, uint16_t width)
{
    return d.layout >= 2 ? int(int16_t(width)) : std::min<int>(width, 32767);
}

void ExpectHeaderMatches(const TJFILE& db, const pdbtest::Database& d)
{
    EXPECT_EQ(db.PdbHeader.Name, d.title);
    EXPECT_EQ(db.CreatorText(), d.creator);
    EXPECT_EQ(db.DbTypeText(), d.dbType);
    EXPECT_EQ(db.PdbHeader.Attributes, d.attributes);
    EXPECT_EQ(db.PdbHeader.Version, d.version);
    EXPECT_EQ(db.PdbHeader.CreationDate, d.created);
    EXPECT_EQ(db.PdbHeader.ModificationDate, d.modified);
    EXPECT_EQ(db.PdbHeader.LastBackupDate, d.backedUp);
    EXPECT_EQ(db.PdbHeader.ModificationNumber, d.modificationNumber);
    EXPECT_EQ(db.PdbHeader.UniqueIdSeed, d.uniqueIdSeed);
    EXPECT_EQ(db.PdbHeader.NextRecordListId, d.nextRecordListId);
    EXPECT_EQ(db.Layout, d.layout == 2 ? 3 : d.layout) << "a 5.x file always reads as 5.5";
}

void ExpectViewMatches(const TJFILE& db, const pdbtest::Database& d)
{
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(db.GetSortField(k), d.sortFields[size_t(k - 1)]) << "sort field " << k;
    EXPECT_EQ(db.FindField(), d.findField);
    EXPECT_EQ(db.FindText(), d.findText);
    EXPECT_EQ(db.FilterField(), d.filterField);
    EXPECT_EQ(db.FilterText(), d.filterText);
    EXPECT_EQ(db.FirstColumn(), d.firstColumn);
    EXPECT_EQ(db.DisplayWidth(), d.displayWidth);
    if (d.layout >= 2) {
        EXPECT_EQ(db.Category(), d.version >> 12);
        EXPECT_EQ(db.ReadOnly(), (d.version & 0x0400) != 0);
    } else {
        EXPECT_EQ(db.Category(), d.flags >> 12);
        EXPECT_EQ(db.ReadOnly(), (d.flags & 2) != 0);
    }
}

void ExpectExtrasMatch(const TJFILE& db, const pdbtest::Database& d)
{
    for (int f = 1; f <= 50; ++f) {
        auto it = d.defaults.find(f);
        EXPECT_EQ(db.GetDefault(f), it == d.defaults.end() ? "" : it->second) << "default " << f;
    }
    for (int s = 1; s <= 5; ++s) {
        auto sort = std::find_if(d.sorts.begin(), d.sorts.end(), [&](const auto& x) { return x.slot == s; });
        EXPECT_EQ(db.GetSavedSortName(s), sort == d.sorts.end() ? "" : sort->name) << "saved sort " << s;
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(db.GetSavedSortField(s, k), sort == d.sorts.end() ? 0 : sort->fields[size_t(k - 1)]);
        auto flt = std::find_if(d.filters.begin(), d.filters.end(), [&](const auto& x) { return x.slot == s; });
        FilterRec rec = db.GetFilter(s);
        if (flt == d.filters.end()) {
            EXPECT_EQ(rec, FilterRec{}) << "filter " << s;
            continue;
        }
        EXPECT_EQ(rec.FilterName, flt->name);
        for (size_t v = 0; v < 5; ++v) {
            EXPECT_EQ(rec.FilterValues[v], flt->values[v]);
            EXPECT_EQ(rec.FilterCodes[v], flt->codes[v] + 1) << "codes are held one above the file's";
        }
        EXPECT_EQ(rec.FilterWord, flt->word);
    }
}

}  // namespace

void ExpectMatches(const TJFILE& db, const pdbtest::Database& d)
{
    ExpectHeaderMatches(db, d);
    ASSERT_EQ(db.FieldCount(), int(d.fields.size()));
    for (int f = 1; f <= db.FieldCount(); ++f) {
        const pdbtest::Field& field = d.fields[size_t(f - 1)];
        EXPECT_EQ(db.GetFieldName(f), field.name) << "field " << f;
        EXPECT_EQ(db.GetFieldType(f), EngineType(d, field)) << "field " << f;
        EXPECT_EQ(db.GetColumnWidth(f), EngineWidth(d, field.width)) << "field " << f;
        auto popup = d.popups.find(f);
        std::vector<std::string> values;
        for (int k = 1; k <= db.PopupCount(f); ++k)
            values.push_back(db.GetPopupItem(f, k));
        EXPECT_EQ(values, popup == d.popups.end() ? std::vector<std::string>{} : popup->second) << "field " << f;
    }
    ExpectViewMatches(db, d);
    if (d.layout >= 2)
        ExpectExtrasMatch(db, d);
    pdbtest::Database live = AsSaved(d);
    ASSERT_EQ(db.RecordCount(), live.records.size());
    for (int r = 1; r <= db.RecordCount(); ++r)
        for (int f = 1; f <= db.FieldCount(); ++f)
            EXPECT_EQ(db.GetCell(r, f), live.records[size_t(r - 1)].cells[size_t(f - 1)])
                << "record " << r << " field " << f;
    EXPECT_FALSE(db.Modified);
    EXPECT_TRUE(db.Loaded);
}

pdbtest::Database AsSaved(pdbtest::Database d)
{
    std::erase_if(d.records, [](const pdbtest::Record& r) { return (r.attributes & 0x80) != 0; });
    for (auto& r : d.records) {
        r.attributes = 0x40;
        r.uniqueId = {};
    }
    return d;
}

std::string LayoutName(int layout)
{
    static const char* const names[] = {"JFile3x", "JFilePro4x", "JFile5x", "JFile55"};
    return names[layout & 3];
}

std::string LayoutParamName(const ::testing::TestParamInfo<int>& param)
{
    return LayoutName(param.param);
}

}  // namespace quorvil
